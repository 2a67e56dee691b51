#include "core/views/day_page.h"

#include <charconv>
#include <cmath>

#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

constexpr std::string_view IsolatedSystolicName = "収縮期高血圧";

/// Maximum, minimum and sum of one quantity over the day's measured values; the maximum starts at 0 and the
/// minimum at 999.
struct Tally {
    double maximum = 0;
    double minimum = 999;
    double sum = 0;
    std::size_t count = 0;

    void add(double value) {
        // Only a strictly larger (smaller) value moves an extreme.
        if (value > maximum) {
            maximum = value;
        }
        if (value < minimum) {
            minimum = value;
        }
        sum += value;
        ++count;
    }

    /// Empty labels for a quantity that the day's readings never measured.
    std::array<std::string, 4> texts() const {
        if (count == 0) {
            return {};
        }
        return {format_number(maximum), format_number(minimum), format_number(maximum - minimum),
                format_number(std::floor(sum / static_cast<double>(count)))};
    }
};

/// The values each change column compares with: the last reading that has the value; none yet compares a value
/// with itself.
struct ChangeReference {
    std::optional<float> systolic;
    std::optional<float> diastolic;
    std::optional<float> weight;

    void take(const MeasurementRecord& record) {
        if (is_measured(record.systolic)) {
            systolic = record.systolic;
        }
        if (is_measured(record.diastolic)) {
            diastolic = record.diastolic;
        }
        if (is_measured(record.weight)) {
            weight = record.weight;
        }
    }
};

/// The change and arrow cells of one value; both empty for a value not measured.
template <typename ChangeText>
void fill_change(GridRow& row, int changeColumn, float value, const std::optional<float>& reference,
                 ChangeText changeText) {
    if (!is_measured(value)) {
        return;
    }
    row[changeColumn].text = changeText(value, reference.value_or(value));
    row[changeColumn + 1] = change_arrow_cell(row[changeColumn].text);
}

GridRow make_row(std::size_t number, const MeasurementRecord& record, const ChangeReference& reference) {
    GridRow row(day_col::Count);
    row[day_col::Number].text = std::to_string(number);
    row[day_col::Situation].text = record.situation;
    if (has_pressure(record)) {
        row[day_col::ClassColour].background = GET_HANTEI(record.systolic, record.diastolic).colour;
    }
    row[day_col::Systolic].text = measured_text(record.systolic);
    fill_change(row, day_col::SystolicChange, record.systolic, reference.systolic, change_text);
    row[day_col::Diastolic].text = measured_text(record.diastolic);
    fill_change(row, day_col::DiastolicChange, record.diastolic, reference.diastolic, change_text);
    row[day_col::Difference].text = pressure_difference_text(record);
    row[day_col::Pulse].text = measured_text(record.pulse);
    row[day_col::Weight].text = measured_text(record.weight);
    fill_change(row, day_col::WeightChange, record.weight, reference.weight, weight_change_text);
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
    ChangeReference reference;
    ChangeReference measuredBefore;  // the last measured values of the records read so far
    bool referenceSet = false;
    const MeasurementRecord* readLast = nullptr;
    const MeasurementRecord* latestOfDay = nullptr;
    const MeasurementRecord* judgedOfDay = nullptr;  // the day's latest reading with a pressure
    const MeasurementRecord* judgedLast = nullptr;   // the log's

    for (const MeasurementRecord& record : records) {
        if (record.date == selectedDate) {
            if (!referenceSet) {
                // The diary's first day compares its first measurement with itself; any other day with the last
                // measurement of the closest earlier day that has the value.
                if (record.date != page.startDate) {
                    reference = measuredBefore;
                }
                referenceSet = true;
            }
            page.list.rows.push_back(make_row(page.list.rows.size() + 1, record, reference));
            page.recordIndices.push_back(static_cast<std::size_t>(&record - records.data()));

            const double s = shown_value(record.systolic);
            const double d = shown_value(record.diastolic);
            if (is_measured(record.systolic)) {
                systolic.add(s);
            }
            if (is_measured(record.diastolic)) {
                diastolic.add(d);
            }
            if (is_measured(record.pulse)) {
                pulse.add(shown_value(record.pulse));
            }
            if (has_pressure(record)) {
                difference.add(s - d);
                page.marks.push_back(judgement_mark(record.systolic, record.diastolic, false));
                judgedOfDay = &record;
            }
            page.extremes.add(record.pulse, record.weight);
            page.chartRows.push_back({chart_point(record.systolic), chart_point(record.diastolic),
                                      chart_point(record.pulse), chart_point(record.weight)});

            reference.take(record);
            latestOfDay = &record;
        }
        measuredBefore.take(record);
        if (has_pressure(record)) {
            judgedLast = &record;
        }
        readLast = &record;
    }

    page.measurements = page.list.rows.size();
    page.list.topRow = day_list_top_row(page.measurements);

    if (page.measurements == 0) {
        page.statistics = zero_statistics();
        page.chartRows.push_back({0, 0, 0, 0});
    } else {
        page.statistics = {systolic.texts(), diastolic.texts(), pulse.texts(), difference.texts()};
        page.largestSystolic = static_cast<float>(systolic.maximum);
        page.smallestDiastolic = static_cast<float>(diastolic.minimum);
    }

    const bool pressureShown = systolic.count > 0 && diastolic.count > 0;
    page.primary = primary_axis_for_data(settings, pressureShown, page.largestSystolic, page.smallestDiastolic);
    page.secondary = main_secondary_axis(settings, quantity, page.extremes);

    if (latestOfDay != nullptr) {
        page.previous = values_of(*latestOfDay);
    } else if (readLast != nullptr) {
        page.previous = values_of(*readLast);
    }
    // The day is judged by its latest reading with a pressure; a day without one shows "本日未登録" like a day
    // without measurements, its pointer at the class of the log's last reading with a pressure.
    const MeasurementRecord* judged = judgedOfDay != nullptr ? judgedOfDay : judgedLast;
    if (judged != nullptr) {
        page.judgement = GET_HANTEI(judged->systolic, judged->diastolic);
    } else {
        page.judgement = GET_HANTEI(page.previous.systolic, page.previous.diastolic);
    }
    if (judgedOfDay == nullptr) {
        page.judgement.cls.reset();
        page.judgement.name = std::string(NotRegisteredToday);
        page.judgement.colour = colours::White;
    } else {
        page.marks.push_back(judgement_mark(judgedOfDay->systolic, judgedOfDay->diastolic, true));
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
