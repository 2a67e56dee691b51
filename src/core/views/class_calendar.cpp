#include "core/views/class_calendar.h"

#include <algorithm>
#include <charconv>

#include "core/rules/classification.h"
#include "core/rules/measured.h"
#include "core/views/spoken_text.h"

namespace sora {

namespace {

std::string with_days(int count) {
    return std::to_string(count) + "日";
}

std::optional<int> read_int(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::vector<GridColumn> calendar_columns() {
    std::vector<GridColumn> columns;
    columns.reserve(32);
    columns.push_back({"年月", 1310, Align::Centre, Align::Centre});
    for (int day = 1; day <= 31; ++day) {
        columns.push_back({std::to_string(day), 310, Align::Centre, Align::Centre});
    }
    return columns;
}

CalendarView build_class_calendar(const std::vector<MeasurementRecord>& records, CalendarMode mode,
                                  std::string_view startDate, const Date& today) {
    CalendarView view;
    view.grid.columns = calendar_columns();
    int currentYear = 0;
    int currentMonth = 0;
    std::string previousDate;
    GridRow* row = nullptr;
    std::optional<Date> start = parse_date(startDate);
    if (!start && !records.empty()) {
        start = parse_date(records.front().date);
    }
    // Only days from the start up to today count against the days not measured: a date far in the future (a typo)
    // must not make that count negative.
    int measuredSoFar = 0;
    // The spoken name of each day: its class (from the colouring reading) and how many readings it has.
    std::string namedDate;
    std::string dayClass;
    int dayCount = 0;
    for (const MeasurementRecord& r : records) {
        const auto date = parse_date(r.date);
        if (!date) {
            previousDate = r.date;
            continue;
        }
        // Months compared as numbers: the heading text is only formatted for a new row.
        if (row == nullptr || date->year != currentYear || date->month != currentMonth) {
            view.grid.rows.emplace_back(32);
            view.dayNames.emplace_back();
            row = &view.grid.rows.back();
            (*row)[0].text = format_month_heading(*date);
            currentYear = date->year;
            currentMonth = date->month;
        }
        if (r.date != namedDate) {
            namedDate = r.date;
            dayClass.clear();
            dayCount = 0;
        }
        // The day's first reading with a pressure colours it; a reading without one has no class.
        if (r.date != previousDate && has_pressure(r)) {
            const Judgement j = mode == CalendarMode::Detailed ? GET_HANTEI(r.systolic, r.diastolic)
                                                               : GET_HANTEI2(r.systolic, r.diastolic);
            (*row)[static_cast<std::size_t>(date->day)].background = j.colour;
            dayClass = j.name;
            if (j.cls) {
                view.classDays[static_cast<std::size_t>(*j.cls) - 1] += 1;
                measuredSoFar += *date <= today && (!start || *date >= *start) ? 1 : 0;
            }
            previousDate = r.date;
        }
        view.dayNames.back()[static_cast<std::size_t>(date->day)] = calendar_day_name(*date, dayClass, ++dayCount);
    }

    for (std::size_t i = 0; i < 7; ++i) {
        view.measuredDays += view.classDays[i];
        (i < 3 ? view.normalDays : view.highDays) += view.classDays[i];
        view.classLabels[i] = std::string(class_table()[i].calendarLabel) + std::to_string(view.classDays[i]);
    }

    if (start && *start <= today) {
        const auto elapsed = static_cast<int>(today.serial() - start->serial());
        view.notMeasuredDays = std::max(0, elapsed - measuredSoFar + 1);
    }
    view.notMeasuredLabel = std::string(NotMeasuredLabel) + std::to_string(view.notMeasuredDays);
    view.normalLabel = with_days(view.normalDays);
    view.highLabel = with_days(view.highDays);

    // A single character, not a literal: g++ 12 warns falsely (-Wrestrict) on assigning short literals here.
    char sign = '<';
    view.face = CalendarFace::Sad;
    if (view.highDays < view.normalDays) {
        sign = '>';
        view.face = CalendarFace::Laughing;
    } else if (view.highDays == view.normalDays) {
        sign = '=';
        view.face = CalendarFace::Smiling;
    }
    view.sign.assign(1, sign);
    return view;
}

std::string calendar_help_text() {
    return "日毎の血圧判定を色で把握できるカレンダーです。\r\n\r\n"
           "※ただし判定対象はその日の初回データです。\r\n"
           "メインで使っている血圧判定色で表示しています。\r\n\r\n"
           "詳細／簡易ボタンで「正常血圧範囲」と「高血圧範囲」に切り替えられます\r\n\r\n";
}

std::optional<Date> calendar_cell_date(std::string_view monthText, int column) {
    // "yyyy年mm月": four digits, "年" (3 bytes), two digits, "月".
    constexpr std::string_view Year = "年";
    constexpr std::string_view Month = "月";
    if (column < 1 || column > 31 || monthText.size() != 4 + Year.size() + 2 + Month.size() ||
        monthText.substr(4, Year.size()) != Year || monthText.substr(4 + Year.size() + 2) != Month) {
        return std::nullopt;
    }
    const auto year = read_int(monthText.substr(0, 4));
    const auto month = read_int(monthText.substr(4 + Year.size(), 2));
    if (!year || !month || *month < 1 || *month > 12 || column > days_in_month(*year, *month)) {
        return std::nullopt;
    }
    return Date{*year, *month, column};
}

}  // namespace sora
