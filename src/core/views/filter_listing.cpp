#include "core/views/filter_listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/rules/classification.h"
#include "core/rules/dates.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

bool in_period(const FilterCriteria& criteria, const std::string& date) {
    return criteria.periodStart <= date && date <= criteria.periodEnd;
}

bool has_keyword(const FilterCriteria& criteria, const std::string& situation) {
    // Byte search on UTF-8 is a character search: no character's bytes occur inside another's.
    return situation.find(criteria.keyword) != std::string::npos;
}

int weekday_of(const std::string& date) {
    const auto parsed = parse_date(date);
    return parsed ? weekday_index(*parsed) : -1;
}

// A float whose shortest 7-digit text has at most one decimal: that text from integer arithmetic. Returns false
// where the general formatting is needed (more decimals, large values, a tenth too close to call).
bool tenths_text(double value, std::string& text) {
    if (!(std::abs(value) < 1e5)) {
        return false;
    }
    if (value == std::trunc(value)) {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int>(value)).ptr;
        text.assign(buffer, end);
        return true;
    }
    const double rounded = std::round(value * 10);
    // The text keeps 7 significant digits: the value must lie closer to its tenth than half the 7th digit.
    const double magnitude = std::abs(value);
    double unit = 1e-12;  // below 1e-6 only an exact tenth (zero) qualifies
    for (double power = 1e5; power >= 1e-6; power /= 10) {
        if (magnitude >= power) {
            unit = power * 1e-6;
            break;
        }
    }
    if (std::abs(value - rounded / 10) > unit * 0.4) {
        return false;
    }
    const long long k = static_cast<long long>(rounded);
    const long long whole = (k < 0 ? -k : k) / 10;
    const int decimal = static_cast<int>((k < 0 ? -k : k) % 10);
    char buffer[24];
    char* end = buffer;
    if (k < 0) {
        *end++ = '-';
    }
    end = std::to_chars(end, buffer + sizeof buffer, whole).ptr;
    if (decimal != 0) {
        *end++ = '.';
        *end++ = static_cast<char>('0' + decimal);
    }
    text.assign(buffer, end);
    return true;
}

// Most values are whole numbers or have one decimal; they need no general 7-digit formatting.
std::string number_text(float value) {
    std::string text;
    if (!tenths_text(value, text)) {
        text = format_number(value);
    }
    return text;
}

// A measured value's text; a value not measured leaves its cell empty.
std::string listed_value_text(float value) {
    return is_measured(value) ? number_text(value) : std::string();
}

// The change and arrow cells of one value against the last listed reading that has it (0: none yet, the value is
// compared with itself); both cells stay empty for a value not measured.
template <typename ChangeText>
void fill_change(GridRow& row, int changeColumn, float value, float reference, ChangeText changeText) {
    if (!is_measured(value)) {
        return;
    }
    row[changeColumn].text = changeText(value, is_measured(reference) ? reference : value);
    row[changeColumn + 1] = change_arrow_cell(row[changeColumn].text);
}

GridRow make_row(int number, const MeasurementRecord& record, const std::optional<Date>& date,
                 const ChangeReference& reference) {
    GridRow row(filter_col::Count);
    row[filter_col::Number].text = std::to_string(number);
    if (date) {
        // The log holds dates as "yyyy/mm/dd" only, so "yy/mm/dd" is its tail.
        row[filter_col::Date].text = record.date.size() == 10 ? record.date.substr(2) : format_short_date(*date);
        row[filter_col::Weekday].text = weekday_character(weekday_index(*date));
    } else {
        row[filter_col::Date].text = record.date;
    }
    row[filter_col::Situation].text = record.situation;
    if (has_pressure(record)) {
        // The detailed colour of GET_HANTEI, without building the judgement's name for every row.
        row[filter_col::ClassColour].background =
            class_info(classify(record.systolic, record.diastolic)).detailedColour;
    }
    row[filter_col::Systolic].text = listed_value_text(record.systolic);
    fill_change(row, filter_col::SystolicChange, record.systolic, reference[0], change_text);
    row[filter_col::Diastolic].text = listed_value_text(record.diastolic);
    fill_change(row, filter_col::DiastolicChange, record.diastolic, reference[1], change_text);
    row[filter_col::Difference].text = pressure_difference_text(record);
    row[filter_col::Pulse].text = listed_value_text(record.pulse);
    row[filter_col::Weight].text = listed_value_text(record.weight);
    fill_change(row, filter_col::WeightChange, record.weight, reference[2], weight_change_text);
    return row;
}

// The test of a listing with the record's weekday already known (-1 for a date that does not parse).
bool passes(FilterListing listing, const FilterCriteria& criteria, const MeasurementRecord& record, int weekday) {
    switch (listing) {
        case FilterListing::All:
            return true;
        case FilterListing::Period:
            return in_period(criteria, record.date);
        case FilterListing::Keyword:
            return in_period(criteria, record.date) && has_keyword(criteria, record.situation);
        case FilterListing::Weekday:
            return in_period(criteria, record.date) && weekday == criteria.weekday;
        case FilterListing::WeekdayKeyword:
            return in_period(criteria, record.date) && weekday == criteria.weekday &&
                   has_keyword(criteria, record.situation);
    }
    return false;
}

}  // namespace

FilterListing select_listing(std::string_view keyword, int weekday) {
    const bool withKeyword = !keyword.empty();
    const bool withWeekday = weekday != NoWeekday;
    if (withWeekday) {
        return withKeyword ? FilterListing::WeekdayKeyword : FilterListing::Weekday;
    }
    return withKeyword ? FilterListing::Keyword : FilterListing::Period;
}

bool is_listed(FilterListing listing, const FilterCriteria& criteria, const MeasurementRecord& record) {
    return passes(listing, criteria, record, weekday_of(record.date));
}

const std::vector<GridColumn>& filter_columns() {
    static const std::vector<GridColumn> columns = {
        {"回", 590, Align::Right},   {"日付け", 1000, Align::Centre}, {"曜", 330, Align::Right},
        {"行動", 1585, Align::Left}, {"", 90, Align::Right},          {"最高", 515, Align::Right},
        {"前", 450, Align::Right},   {"差", 320, Align::Centre},      {"最低", 515, Align::Right},
        {"前", 450, Align::Right},   {"差", 330, Align::Centre},      {"高低", 515, Align::Right},
        {"脈拍", 515, Align::Right}, {"体重", 580, Align::Right},     {"前", 450, Align::Right},
        {"差", 330, Align::Centre},
    };
    return columns;
}

std::optional<int> filter_top_row(std::size_t listedRows) {
    const std::size_t gridRows = listedRows + 1;
    if (gridRows > 11) {
        return static_cast<int>(listedRows);
    }
    return std::nullopt;
}

AxisRange filter_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                                const DataExtremes& extremes) {
    return secondary_axis_for_data(settings, quantity, extremes);
}

FilterSelection select_filter_records(const std::vector<MeasurementRecord>& records, FilterListing listing,
                                      const FilterCriteria& criteria, const GraphAxisSettings& settings,
                                      SecondaryQuantity quantity) {
    FilterSelection selection;
    const bool byWeekday = listing == FilterListing::Weekday || listing == FilterListing::WeekdayKeyword;
    const std::string* previousDate = nullptr;
    if (listing == FilterListing::All) {
        selection.listed.reserve(records.size());
        selection.references.reserve(records.size());
        selection.chartRows.reserve(records.size());
    }
    ChangeReference lastMeasured{};
    bool anySystolic = false;
    bool anyDiastolic = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const MeasurementRecord& record = records[i];
        const int weekday = byWeekday ? weekday_of(record.date) : -1;
        if (!passes(listing, criteria, record, weekday)) {
            continue;
        }
        selection.listed.push_back(i);
        selection.references.push_back(lastMeasured);
        const float values[3] = {record.systolic, record.diastolic, record.weight};
        for (std::size_t v = 0; v < 3; ++v) {
            if (is_measured(values[v])) {
                lastMeasured[v] = values[v];
            }
        }
        if (is_measured(record.systolic)) {
            anySystolic = true;
            selection.systolicMax = std::max(selection.systolicMax, record.systolic);
        }
        if (is_measured(record.diastolic)) {
            anyDiastolic = true;
            selection.diastolicMin = std::min(selection.diastolicMin, record.diastolic);
        }
        selection.extremes.add(record.pulse, record.weight);
        selection.chartRows.push_back({chart_point(record.systolic), chart_point(record.diastolic),
                                       chart_point(record.pulse), chart_point(record.weight)});
        if (listing == FilterListing::All && (previousDate == nullptr || *previousDate != record.date)) {
            selection.periodDates.push_back(record.date);
            previousDate = &record.date;
        }
    }

    selection.topRow = filter_top_row(selection.listed.size());
    selection.primary =
        primary_axis_for_data(settings, anySystolic && anyDiastolic, selection.systolicMax, selection.diastolicMin);
    selection.secondary = filter_secondary_axis(settings, quantity, selection.extremes);
    return selection;
}

GridRow filter_grid_row(const std::vector<MeasurementRecord>& records, const FilterSelection& selection,
                        std::size_t n) {
    const MeasurementRecord& record = records[selection.listed[n]];
    return make_row(static_cast<int>(n) + 1, record, parse_date(record.date), selection.references[n]);
}

FilterView build_filter_listing(const std::vector<MeasurementRecord>& records, FilterListing listing,
                                const FilterCriteria& criteria, const GraphAxisSettings& settings,
                                SecondaryQuantity quantity) {
    FilterView view;
    static_cast<FilterSelection&>(view) = select_filter_records(records, listing, criteria, settings, quantity);
    view.grid.columns = filter_columns();
    view.grid.topRow = view.topRow;
    view.grid.rows.reserve(view.listed.size());
    for (std::size_t n = 0; n < view.listed.size(); ++n) {
        view.grid.rows.push_back(filter_grid_row(records, view, n));
    }
    return view;
}

}  // namespace sora
