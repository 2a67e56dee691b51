#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sora {

/// When a measurement counts for home blood pressure: in the morning, in the evening, or neither.
enum class Occasion { Morning, Evening, Neither };

/// The age group that decides the home target.
enum class AgeGroup { Under75, From75 };

/// 朝, 晩 or なし, as the settings file and the screen write it.
std::string_view occasion_name(Occasion occasion);

/// The occasion a situation has until the user says otherwise: 起床 or 朝 in it is the morning; 就寝, 夜 or 晩 the
/// evening; anything else neither. The morning words win when both occur.
Occasion default_occasion(std::string_view situation);

/// The user's morning/evening settings: an occasion for some situations (others take the default) and the age group.
class MorningEveningSettings {
public:
    Occasion occasion_of(std::string_view situation) const;
    /// Sets the occasion of a situation; a new situation goes after the others.
    void set(std::string_view situation, Occasion occasion);
    /// A situation renamed throughout the diary keeps the occasion it had, in its place; a name that was set already
    /// keeps its own. False when nothing changes.
    bool rename(std::string_view from, std::string_view to);
    /// The situations set explicitly, in the order they were set.
    const std::vector<std::pair<std::string, Occasion>>& entries() const { return m_entries; }

    AgeGroup ageGroup = AgeGroup::Under75;

    bool operator==(const MorningEveningSettings&) const = default;

private:
    void reindex();

    std::vector<std::pair<std::string, Occasion>> m_entries;
    std::unordered_map<std::string, std::size_t> m_index;  // situation → position in m_entries
};

/// A home blood pressure is high from 135/85 mmHg on (either value).
inline constexpr double HomeThresholdSystolic = 135;
inline constexpr double HomeThresholdDiastolic = 85;

/// The home target: below 125/75 mmHg under 75 years, below 135/85 from 75 on.
struct HomeTarget {
    double systolic;
    double diastolic;
};
HomeTarget home_target(AgeGroup group);

/// Where a mean stands against the home threshold and the user's target.
enum class HomeMark {
    High,       // 135/85 or more
    AboveGoal,  // below 135/85 but not below the target (only under 75)
    OnTarget    // below the target
};

/// The mark of a mean pair as shown (one decimal): high when either value reaches the threshold.
HomeMark home_mark(double systolic, double diastolic, AgeGroup group);

/// The mark as the report prints it, with the limits it was judged against.
std::string home_mark_text(HomeMark mark, AgeGroup group);

}  // namespace sora
