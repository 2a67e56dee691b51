#include "core/views/day_page.h"

#include <charconv>
#include <cmath>

#include "core/rules/numbers.h"

namespace sora {

namespace {

constexpr std::string_view IsolatedSystolicName = "収縮期高血圧";

/// Maximum, minimum and sum of one quantity over the day; the maximum starts at 0 and the minimum at 999.
struct Tally {
    double maximum = 0;
    double minimum = 999;
    double sum = 0;

    void add(double value) {
        // Only a strictly larger (smaller) value moves an extreme.
        if (value > maximum) {
            maximum = value;
        }
        if (value < minimum) {
            minimum = value;
        }
        sum += value;
    }

    std::array<std::string, 4> texts(std::size_t count) const {
        return {format_number(maximum), format_number(minimum), format_number(maximum - minimum),
                format_number(std::floor(sum / static_cast<double>(count)))};
    }
};

GridRow make_row(std::size_t number, const MeasurementRecord& record, const PreviousMeasurement& reference) {
    GridRow row(day_col::Count);
    row[day_col::Number].text = std::to_string(number);
    row[day_col::Situation].text = record.situation;
    row[day_col::ClassColour].background = GET_HANTEI(record.systolic, record.diastolic).colour;

    row[day_col::Systolic].text = format_number(record.systolic);
    row[day_col::SystolicChange].text = change_text(record.systolic, reference.systolic);
    row[day_col::SystolicArrow] = change_arrow_cell(row[day_col::SystolicChange].text);

    row[day_col::Diastolic].text = format_number(record.diastolic);
    row[day_col::DiastolicChange].text = change_text(record.diastolic, reference.diastolic);
    row[day_col::DiastolicArrow] = change_arrow_cell(row[day_col::DiastolicChange].text);

    row[day_col::Difference].text = change_text(record.systolic, record.diastolic);
    row[day_col::Pulse].text = format_number(record.pulse);
    row[day_col::Weight].text = format_number(record.weight);
    row[day_col::WeightChange].text = weight_change_text(record.weight, reference.weight);
    row[day_col::WeightArrow] = change_arrow_cell(row[day_col::WeightChange].text);
    return row;
}

PreviousMeasurement values_of(const MeasurementRecord& record) {
    return {record.systolic, record.diastolic, record.pulse, record.weight};
}

DayStatistics zero_statistics() {
    DayStatistics statistics;
    for (auto& quantity : statistics) {
        quantity.fill("0");
    }
    return statistics;
}

}  // namespace

const std::vector<GridColumn>& day_list_columns() {
    static const std::vector<GridColumn> columns = {
        {"回", 450, Align::Right},   {"行動", 2025, Align::Left}, {"", 90, Align::Right},
        {"最高", 630, Align::Right}, {"前", 550, Align::Right},   {"差", 370, Align::Centre},
        {"最低", 630, Align::Right}, {"前", 550, Align::Right},   {"差", 370, Align::Centre},
        {"高低", 600, Align::Right}, {"脈拍", 630, Align::Right}, {"体重", 630, Align::Right},
        {"前", 550, Align::Right},   {"差", 370, Align::Centre},
    };
    return columns;
}

std::optional<int> day_list_top_row(std::size_t measurements) {
    if (measurements + 1 > 7) {
        return static_cast<int>(measurements);
    }
    return std::nullopt;
}

AxisRange main_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                              const DataExtremes& extremes) {
    return secondary_axis_for_data(settings, quantity, extremes);
}

int pointer_top(std::string_view className) {
    return className == IsolatedSystolicName ? 750 : 900;
}

DayPage build_day_page(const std::vector<MeasurementRecord>& records, std::string_view selectedDate,
                       const GraphAxisSettings& settings, SecondaryQuantity quantity) {
    DayPage page;
    page.list.columns = day_list_columns();
    if (!records.empty()) {
        page.startDate = records.front().date;
        page.latestDate = records.back().date;
    }
    page.recordCount = records.size();

    Tally systolic, diastolic, pulse, difference;
    PreviousMeasurement reference;
    bool referenceSet = false;
    const MeasurementRecord* readLast = nullptr;
    const MeasurementRecord* latestOfDay = nullptr;

    for (const MeasurementRecord& record : records) {
        if (record.date == selectedDate) {
            if (!referenceSet) {
                // The diary's first day compares its first measurement with itself; any other day with the last
                // measurement of the closest earlier day, which is the record read just before.
                if (record.date == page.startDate) {
                    reference = values_of(record);
                } else if (readLast != nullptr) {
                    reference = values_of(*readLast);
                }
                referenceSet = true;
            }
            page.list.rows.push_back(make_row(page.list.rows.size() + 1, record, reference));
            page.recordIndices.push_back(static_cast<std::size_t>(&record - records.data()));
            page.marks.push_back(judgement_mark(record.systolic, record.diastolic, false));

            const double s = shown_value(record.systolic);
            const double d = shown_value(record.diastolic);
            systolic.add(s);
            diastolic.add(d);
            pulse.add(shown_value(record.pulse));
            difference.add(s - d);
            page.extremes.add(record.pulse, record.weight);
            page.chartRows.push_back({record.systolic, record.diastolic, record.pulse, record.weight});

            reference = values_of(record);
            latestOfDay = &record;
        }
        readLast = &record;
    }

    page.measurements = page.list.rows.size();
    page.list.topRow = day_list_top_row(page.measurements);

    if (page.measurements == 0) {
        page.statistics = zero_statistics();
        page.chartRows.push_back({0, 0, 0, 0});
    } else {
        page.statistics = {systolic.texts(page.measurements), diastolic.texts(page.measurements),
                           pulse.texts(page.measurements), difference.texts(page.measurements)};
        page.largestSystolic = static_cast<float>(systolic.maximum);
        page.smallestDiastolic = static_cast<float>(diastolic.minimum);
    }

    page.primary = primary_axis_for_data(settings, page.measurements > 0, page.largestSystolic, page.smallestDiastolic);
    page.secondary = main_secondary_axis(settings, quantity, page.extremes);

    if (latestOfDay != nullptr) {
        page.previous = values_of(*latestOfDay);
    } else if (readLast != nullptr) {
        page.previous = values_of(*readLast);
    }
    page.judgement = GET_HANTEI(page.previous.systolic, page.previous.diastolic);
    if (page.measurements == 0) {
        page.judgement.cls.reset();
        page.judgement.name = std::string(NotRegisteredToday);
        page.judgement.colour = colours::White;
    } else {
        page.marks.push_back(judgement_mark(page.previous.systolic, page.previous.diastolic, true));
    }
    page.face = face_for(page.judgement.name);
    page.pointerX = page.judgement.scalePosition;
    page.pointerY = pointer_top(page.judgement.name);
    return page;
}

DayPage day_page_of(const SharedLog& log, std::string_view selectedDate, const GraphAxisSettings& settings,
                    SecondaryQuantity quantity) {
    if (!log.ok) {
        DayPage page = build_day_page({}, selectedDate, settings, quantity);
        page.ok = false;
        page.message = log.message;
        return page;
    }
    DayPage page = build_day_page(*log.records, selectedDate, settings, quantity);
    page.stamp = log.stamp;
    return page;
}

}  // namespace sora
