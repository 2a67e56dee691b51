#include "filter_listing.h"

#include "classification.h"
#include "dates.h"
#include "numbers.h"

namespace sora {

namespace {

constexpr std::string_view ArrowUp = "↑";
constexpr std::string_view ArrowSame = "→";
constexpr std::string_view ArrowDown = "↓";

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

// The change of one value against the previous listed one; a previous value of 0 counts as "no previous".
std::string change_text(float value, float& previous) {
    if (previous == 0) {
        previous = value;
    }
    return format_number(value - previous);
}

std::string weight_change_text(float value, float& previous) {
    if (previous == 0) {
        previous = value;
    }
    std::string text = format_one_decimal(value - previous);
    // A change that rounds to nothing shows as 0.0, never as a negative zero.
    if (leading_number(text) == 0) {
        text = "0.0";
    }
    return text;
}

GridRow make_row(int number, const MeasurementRecord& record, int weekday, float (&previous)[4]) {
    GridRow row(filter_col::Count);
    row[filter_col::Number].text = std::to_string(number);
    const auto date = parse_date(record.date);
    row[filter_col::Date].text = date ? format_short_date(*date) : record.date;
    if (weekday >= 0) {
        row[filter_col::Weekday].text = weekday_character(weekday);
    }
    row[filter_col::Situation].text = record.situation;
    row[filter_col::ClassColour].background = GET_HANTEI(record.systolic, record.diastolic).colour;

    row[filter_col::Systolic].text = format_number(record.systolic);
    row[filter_col::SystolicChange].text = change_text(record.systolic, previous[0]);
    row[filter_col::SystolicArrow] = change_arrow(row[filter_col::SystolicChange].text);

    row[filter_col::Diastolic].text = format_number(record.diastolic);
    row[filter_col::DiastolicChange].text = change_text(record.diastolic, previous[1]);
    row[filter_col::DiastolicArrow] = change_arrow(row[filter_col::DiastolicChange].text);

    row[filter_col::Difference].text = format_number(record.systolic - record.diastolic);
    row[filter_col::Pulse].text = format_number(record.pulse);

    row[filter_col::Weight].text = format_number(record.weight);
    row[filter_col::WeightChange].text = weight_change_text(record.weight, previous[3]);
    row[filter_col::WeightArrow] = change_arrow(row[filter_col::WeightChange].text);
    return row;
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
    switch (listing) {
        case FilterListing::All:
            return true;
        case FilterListing::Period:
            return in_period(criteria, record.date);
        case FilterListing::Keyword:
            return in_period(criteria, record.date) && has_keyword(criteria, record.situation);
        case FilterListing::Weekday:
            return in_period(criteria, record.date) && weekday_of(record.date) == criteria.weekday;
        case FilterListing::WeekdayKeyword:
            return in_period(criteria, record.date) && weekday_of(record.date) == criteria.weekday &&
                   has_keyword(criteria, record.situation);
    }
    return false;
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

GridCell change_arrow(std::string_view shownChange) {
    const double shown = leading_number(shownChange);
    if (shown > 0) {
        return {std::string(ArrowUp), colours::ChangeUp};
    }
    if (shown < 0) {
        return {std::string(ArrowDown), colours::ChangeDown};
    }
    return {std::string(ArrowSame), colours::ChangeSame};
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
    const bool empty = quantity == SecondaryQuantity::Pulse ? extremes.pulseMax < extremes.pulseMin
                                                            : extremes.weightMax < extremes.weightMin;
    if (settings.autoScale != 0 && empty) {
        GraphAxisSettings manual = settings;
        manual.autoScale = 0;
        return secondary_axis(manual, quantity, extremes);
    }
    return secondary_axis(settings, quantity, extremes);
}

FilterView build_filter_listing(const std::vector<MeasurementRecord>& records, FilterListing listing,
                                const FilterCriteria& criteria, const GraphAxisSettings& settings,
                                SecondaryQuantity quantity) {
    FilterView view;
    view.grid.columns = filter_columns();
    // Previous systolic, diastolic, pulse and weight of the last *listed* record; 0 means none yet.
    float previous[4] = {0, 0, 0, 0};
    const std::string* previousDate = nullptr;

    for (const MeasurementRecord& record : records) {
        const int weekday = weekday_of(record.date);
        if (!is_listed(listing, criteria, record)) {
            continue;
        }
        const int number = static_cast<int>(view.grid.rows.size()) + 1;
        view.grid.rows.push_back(make_row(number, record, weekday, previous));

        if (record.systolic > view.systolicMax) {
            view.systolicMax = record.systolic;
        }
        if (record.diastolic < view.diastolicMin) {
            view.diastolicMin = record.diastolic;
        }
        view.extremes.add(record.pulse, record.weight);
        view.chartRows.push_back({record.systolic, record.diastolic, record.pulse, record.weight});

        previous[0] = record.systolic;
        previous[1] = record.diastolic;
        previous[2] = record.pulse;
        previous[3] = record.weight;

        if (listing == FilterListing::All && (previousDate == nullptr || *previousDate != record.date)) {
            view.periodDates.push_back(record.date);
            previousDate = &record.date;
        }
    }

    view.grid.topRow = filter_top_row(view.grid.rows.size());
    if (view.grid.rows.empty() && settings.autoScale != 0) {
        // Nothing listed: show an empty chart on the settings' ranges rather than an upside-down axis.
        GraphAxisSettings manual = settings;
        manual.autoScale = 0;
        view.primary = primary_axis(manual, view.systolicMax, view.diastolicMin);
    } else {
        view.primary = primary_axis(settings, view.systolicMax, view.diastolicMin);
    }
    view.secondary = filter_secondary_axis(settings, quantity, view.extremes);
    return view;
}

}  // namespace sora
