#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sora {

/// When a measurement counts for home blood pressure: in the morning, in the evening, or neither.
enum class Occasion { Morning, Evening, Neither };

/// 朝, 晩 or なし, as the settings file and the screen write it.
std::string_view occasion_name(Occasion occasion);

/// The occasion a situation has until the user says otherwise: 起床 or 朝 in it is the morning; 就寝, 夜 or 晩 the
/// evening; anything else neither. The morning words win when both occur.
Occasion default_occasion(std::string_view situation);

/// A target of home blood pressure: a mean below both values reaches it.
struct HomeTarget {
    double systolic = 0;
    double diastolic = 0;
    bool operator==(const HomeTarget&) const = default;
};

/// The target the report judges against: the guideline's, or the one the user's doctor set.
struct TargetSetting {
    enum class Choice { Standard, Doctor };
    Choice choice = Choice::Standard;
    HomeTarget doctor;  ///< only for Choice::Doctor
    /// The 135/85 of an old file's age group 75歳以上: named as that until the user chooses a target.
    bool earlierFrom75 = false;
    bool operator==(const TargetSetting&) const = default;
};

/// The target a setting stands for.
HomeTarget home_target(const TargetSetting& setting);

/// The target as the report and the command line name it: "125/75 mmHg 未満（標準、JSH2025）",
/// "130/80 mmHg 未満（主治医の指示）", "135/85 mmHg 未満（以前の設定 75歳以上）".
std::string target_text(const TargetSetting& setting);

/// Who set a target other than the guideline's: "主治医の指示" or "以前の設定 75歳以上".
std::string target_source(const TargetSetting& setting);

/// The doctor's target as typed, or the box (0 systolic, 1 diastolic) that refuses it and why.
struct DoctorTargetInput {
    std::optional<HomeTarget> target;
    int badBox = -1;
    std::string message;
};

/// Reads the doctor's two numbers as typed (full-width digits too): plain decimals, each within the plausible
/// range of its value, systolic above diastolic.
DoctorTargetInput parse_doctor_target(std::string_view systolic, std::string_view diastolic);

/// The user's morning/evening settings: an occasion for some situations (others take the default) and the target.
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

    TargetSetting target;

    bool operator==(const MorningEveningSettings&) const = default;

private:
    void reindex();

    std::vector<std::pair<std::string, Occasion>> m_entries;
    std::unordered_map<std::string, std::size_t> m_index;  // situation → position in m_entries
};

/// Where a mean stands against the home threshold and the user's target.
enum class HomeMark {
    High,       // 135/85 or more
    AboveGoal,  // below 135/85 but not below the target
    OnTarget    // below the target
};

/// The mark of a mean pair as shown (one decimal): high when either value reaches the guideline's threshold.
HomeMark home_mark(double systolic, double diastolic, const HomeTarget& target);

/// The mark as the report prints it, with the limits it was judged against.
std::string home_mark_text(HomeMark mark, const HomeTarget& target);

}  // namespace sora
