#include "core/rules/morning_evening.h"

#include <algorithm>
#include <cmath>

#include "core/rules/numbers.h"

namespace sora {
namespace {

bool contains_any(std::string_view text, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [text](std::string_view word) { return text.find(word) != std::string_view::npos; });
}

/// The value as the report shows it: the marks must agree with the printed figures.
double to_one_decimal(double value) {
    return number_value(format_one_decimal(value)).value_or(value);
}

std::string limit_text(double systolic, double diastolic) {
    return format_number(systolic) + "/" + format_number(diastolic);
}

}  // namespace

std::string_view occasion_name(Occasion occasion) {
    switch (occasion) {
        case Occasion::Morning:
            return "朝";
        case Occasion::Evening:
            return "晩";
        case Occasion::Neither:
            break;
    }
    return "なし";
}

Occasion default_occasion(std::string_view situation) {
    if (contains_any(situation, {"起床", "朝"})) {
        return Occasion::Morning;
    }
    if (contains_any(situation, {"就寝", "夜", "晩"})) {
        return Occasion::Evening;
    }
    return Occasion::Neither;
}

// The index makes every look-up constant: a settings file of 100,000 lines must read in linear time.
Occasion MorningEveningSettings::occasion_of(std::string_view situation) const {
    const auto it = m_index.find(std::string(situation));
    return it == m_index.end() ? default_occasion(situation) : m_entries[it->second].second;
}

void MorningEveningSettings::set(std::string_view situation, Occasion occasion) {
    const auto [it, added] = m_index.try_emplace(std::string(situation), m_entries.size());
    if (added) {
        m_entries.emplace_back(std::string(situation), occasion);
    } else {
        m_entries[it->second].second = occasion;
    }
}

bool MorningEveningSettings::rename(std::string_view from, std::string_view to) {
    const auto old = m_index.find(std::string(from));
    const bool toSet = m_index.count(std::string(to)) != 0;
    if (from == to || (old == m_index.end() && (toSet || default_occasion(from) == default_occasion(to)))) {
        return false;
    }
    if (old == m_index.end()) {
        // Only the default said what the old name was: the new name must not fall to another default.
        set(to, default_occasion(from));
        return true;
    }
    const std::size_t position = old->second;
    if (toSet) {
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    } else {
        m_entries[position].first = std::string(to);
    }
    reindex();
    return true;
}

void MorningEveningSettings::reindex() {
    m_index.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        m_index.emplace(m_entries[i].first, i);
    }
}

HomeTarget home_target(AgeGroup group) {
    return group == AgeGroup::Under75 ? HomeTarget{125, 75} : HomeTarget{135, 85};
}

HomeMark home_mark(double systolic, double diastolic, AgeGroup group) {
    const double s = to_one_decimal(systolic);
    const double d = to_one_decimal(diastolic);
    if (s >= HomeThresholdSystolic || d >= HomeThresholdDiastolic) {
        return HomeMark::High;
    }
    const HomeTarget target = home_target(group);
    return s < target.systolic && d < target.diastolic ? HomeMark::OnTarget : HomeMark::AboveGoal;
}

std::string home_mark_text(HomeMark mark, AgeGroup group) {
    const HomeTarget target = home_target(group);
    switch (mark) {
        case HomeMark::High:
            return "高血圧域（" + limit_text(HomeThresholdSystolic, HomeThresholdDiastolic) + "以上）";
        case HomeMark::AboveGoal:
            return "目標未達（" + limit_text(target.systolic, target.diastolic) + "以上）";
        case HomeMark::OnTarget:
            break;
    }
    return "目標達成（" + limit_text(target.systolic, target.diastolic) + "未満）";
}

}  // namespace sora
