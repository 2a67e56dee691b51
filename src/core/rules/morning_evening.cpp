#include "core/rules/morning_evening.h"

#include <algorithm>
#include <cmath>

#include "core/rules/home_bp_guideline.h"
#include "core/rules/numbers.h"
#include "core/rules/plausibility.h"

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

HomeTarget home_target(const TargetSetting& setting) {
    if (setting.choice == TargetSetting::Choice::Doctor) {
        return setting.doctor;
    }
    const HomeBpGuideline& guideline = home_bp_guideline();
    return {guideline.targetSystolic, guideline.targetDiastolic};
}

std::string target_text(const TargetSetting& setting) {
    const HomeTarget target = home_target(setting);
    const std::string limits = limit_text(target.systolic, target.diastolic) + " mmHg 未満";
    if (setting.choice == TargetSetting::Choice::Doctor) {
        return limits + "（" + target_source(setting) + "）";
    }
    return limits + "（標準、" + home_bp_guideline().shortName + "）";
}

std::string target_source(const TargetSetting& setting) {
    return setting.earlierFrom75 ? "以前の設定 75歳以上" : "主治医の指示";
}

DoctorTargetInput parse_doctor_target(std::string_view systolic, std::string_view diastolic) {
    const std::string_view typed[2] = {systolic, diastolic};
    double values[2] = {0, 0};
    for (int box = 0; box < 2; ++box) {
        const PlausibleRange& range = plausible_range(box);
        const std::optional<double> value = number_value(half_width_number(typed[box]));
        if (!value || *value < range.low || *value > range.high) {
            return {std::nullopt, box,
                    std::string("降圧目標の") + range.name + "には " + format_number(range.low) + " から " +
                        format_number(range.high) + " までの数値を入力してください。"};
        }
        values[box] = *value;
    }
    if (values[0] <= values[1]) {
        return {std::nullopt, 1, "降圧目標の最低血圧は最高血圧より小さい値にしてください。"};
    }
    return {HomeTarget{values[0], values[1]}, -1, {}};
}

HomeMark home_mark(double systolic, double diastolic, const HomeTarget& target) {
    const HomeBpGuideline& guideline = home_bp_guideline();
    const double s = to_one_decimal(systolic);
    const double d = to_one_decimal(diastolic);
    if (s >= guideline.highSystolic || d >= guideline.highDiastolic) {
        return HomeMark::High;
    }
    return s < target.systolic && d < target.diastolic ? HomeMark::OnTarget : HomeMark::AboveGoal;
}

std::string home_mark_text(HomeMark mark, const HomeTarget& target) {
    const HomeBpGuideline& guideline = home_bp_guideline();
    switch (mark) {
        case HomeMark::High:
            return "高血圧域（" + limit_text(guideline.highSystolic, guideline.highDiastolic) + "以上）";
        case HomeMark::AboveGoal:
            return "目標未達（" + limit_text(target.systolic, target.diastolic) + "以上）";
        case HomeMark::OnTarget:
            break;
    }
    return "目標達成（" + limit_text(target.systolic, target.diastolic) + "未満）";
}

}  // namespace sora
