#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/rules/dates.h"

namespace sora {

// What a screen reader says for the parts of a screen that carry their meaning in colour and drawing only.

/// The face on the main screen: "判定の顔: 正常血圧" ("判定の顔: 本日未登録" before a measurement of the day).
std::string face_name(std::string_view className);

/// A day of the class calendar: "12月3日 正常高値血圧 2回". The class is that of the day's first measurement.
std::string calendar_day_name(const Date& date, std::string_view className, int measurements);

/// The ranges of the blood-pressure series of a chart: "最高血圧 126～145、最低血圧 77～92、14 回分".
/// Values of 0 (or not numbers) are not measured and count nowhere.
class PressureSummary {
public:
    void add(double systolic, double diastolic);
    /// `unit` follows the count: "回分" for measurements, "日分" for daily averages.
    std::string text(std::string_view unit = "回分") const;

private:
    struct Range {
        double low = 0;
        double high = 0;
        bool any = false;
        void add(double value);
        std::string text() const;
    };
    Range m_systolic;
    Range m_diastolic;
    int m_count = 0;
};

}  // namespace sora
