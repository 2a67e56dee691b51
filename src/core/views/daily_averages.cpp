#include "core/views/daily_averages.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "core/files/text_codec.h"
#include "core/rules/axis_rules.h"
#include "core/rules/fields.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

constexpr float NoValue = std::numeric_limits<float>::quiet_NaN();

// One chart series carried across days without data: the last sum and the count it belongs to.
struct Carried {
    float sum = 0;
    std::int32_t count = 0;

    float average() const { return count == 0 ? NoValue : sum / static_cast<float>(count); }
};

struct CarriedDay {
    Carried sys;
    Carried dia;
    Carried weight;
};

CarriedDay raw_day(const DaySums& d) {
    return {{d.sumSys, d.sysCount}, {d.sumDia, d.diaCount}, {d.sumWeight, d.weightCount}};
}

// A day without measurements takes the previous day's sums and counts, so the chart runs flat over it. A day with
// measurements has its own points only: a series it never measured has no point there, the line is broken.
CarriedDay carry_forward(const DaySums& today, const CarriedDay& previous) {
    return today.count == 0 ? previous : raw_day(today);
}

/// An average in the "0.0" form, empty when the day has no value of it.
std::string average_text(float sum, std::int32_t count) {
    return count == 0 ? std::string() : format_one_decimal(sum / static_cast<float>(count));
}

GridRow table_row(long long number, const Date& date, const DaySums& d) {
    GridRow row(6);
    row[0].text = std::to_string(number);
    row[1].text = format_short_date(date);
    row[2].text = average_text(d.sumSys, d.sysCount);
    row[3].text = average_text(d.sumDia, d.diaCount);
    if (d.sysCount > 0 && d.diaCount > 0) {
        // Of the unformatted averages.
        row[4].text =
            format_one_decimal(d.sumSys / static_cast<float>(d.sysCount) - d.sumDia / static_cast<float>(d.diaCount));
    }
    row[5].text = average_text(d.sumWeight, d.weightCount);
    return row;
}

DailyAverageView empty_view(const GraphAxisSettings& axes) {
    DailyAverageView view;
    view.grid.columns = daily_average_columns();
    view.bpAxis = manual_bp_axis(axes);
    view.weightAxis = manual_weight_axis(axes);
    return view;
}

std::optional<Date> parse_period_date(std::string_view text) {
    if (auto d = parse_short_date(text)) {
        return d;
    }
    return parse_date(text);
}

// Fills rows (or, for later texts, the shown days) for the days in [from, to] (both within the accumulation).
void fill_rows(DailyAverageView& view, const DailyAccumulation& acc, long long from, long long to,
               AverageRowTexts texts) {
    const auto count = static_cast<std::size_t>(to - from + 1);
    if (texts == AverageRowTexts::Now) {
        view.grid.rows.reserve(count);
    } else {
        view.shownDays.first = acc.firstDate.add_days(from);
        view.shownDays.days.assign(acc.days.begin() + from, acc.days.begin() + to + 1);
    }
    view.chart.reserve(count);
    // Outside the shown days nothing is carried: the first shown day looks back at the raw day before it.
    CarriedDay previous = from > 0 ? raw_day(acc.days[static_cast<std::size_t>(from - 1)]) : CarriedDay{};
    long long number = 1;
    for (long long k = from; k <= to; ++k, ++number) {
        const DaySums& d = acc.days[static_cast<std::size_t>(k)];
        if (texts == AverageRowTexts::Now) {
            view.grid.rows.push_back(table_row(number, acc.firstDate.add_days(k), d));
        }
        previous = carry_forward(d, previous);
        view.chart.push_back({previous.sys.average(), previous.dia.average(), previous.weight.average()});
    }
}

}  // namespace

void DaySums::add(const MeasurementRecord& record) {
    count += 1;
    if (is_measured(record.systolic)) {
        sumSys += record.systolic;
        sysCount += 1;
    }
    if (is_measured(record.diastolic)) {
        sumDia += record.diastolic;
        diaCount += 1;
    }
    if (is_measured(record.weight)) {
        sumWeight += record.weight;
        weightCount += 1;
    }
}

DailyAccumulation accumulate_days(const std::vector<MeasurementRecord>& records) {
    DailyAccumulation acc;
    // A hand edit can leave the log out of date order, so the span is that of the earliest and latest dates, not
    // of the first and last records, and every record is added to its own day wherever it stands.
    constexpr long long NoDay = std::numeric_limits<long long>::min();
    std::vector<long long> serials(records.size(), NoDay);
    long long lowest = std::numeric_limits<long long>::max();
    long long highest = NoDay;
    const std::string* previousText = nullptr;
    long long serial = NoDay;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // The records of a day usually follow each other: each run of one date is parsed once.
        if (previousText == nullptr || records[i].date != *previousText) {
            const auto date = parse_date(records[i].date);
            serial = date ? date->serial() : NoDay;
            previousText = &records[i].date;
        }
        if (serial != NoDay) {
            serials[i] = serial;
            lowest = std::min(lowest, serial);
            highest = std::max(highest, serial);
        }
    }
    if (highest == NoDay) {
        return acc;  // no record has a date
    }
    const long long span = highest - lowest + 1;
    if (span > MaxAverageDays) {
        acc.tooLong = true;
        return acc;
    }
    acc.firstDate = Date::from_serial(lowest);
    acc.days.resize(static_cast<std::size_t>(span));
    // In file order, so a day's sums come out as in the sorted log.
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (serials[i] == NoDay) {
            continue;
        }
        const MeasurementRecord& r = records[i];
        DaySums& d = acc.days[static_cast<std::size_t>(serials[i] - lowest)];
        d.add(r);
    }
    return acc;
}

std::vector<GridColumn> daily_average_columns() {
    return {
        {"数", 500, Align::Right, Align::Centre},   {"日付", 900, Align::Centre, Align::Centre},
        {"最高", 550, Align::Right, Align::Centre}, {"最低", 550, Align::Right, Align::Centre},
        {"高低", 550, Align::Right, Align::Centre}, {"体重", 550, Align::Right, Align::Centre},
    };
}

GridRow daily_average_row(const DailyAverageDays& shown, std::size_t index) {
    return table_row(static_cast<long long>(index) + 1, shown.first.add_days(static_cast<long long>(index)),
                     shown.days[index]);
}

DailyAverageView build_daily_averages(const std::vector<MeasurementRecord>& records, const GraphAxisSettings& axes,
                                      AverageRowTexts texts) {
    DailyAverageView view = empty_view(axes);
    const DailyAccumulation acc = accumulate_days(records);
    if (acc.days.empty()) {
        if (acc.tooLong) {
            view.message = daily_average_texts::TooLong;
        }
        return view;
    }
    const auto days = static_cast<long long>(acc.days.size());
    fill_rows(view, acc, 0, days - 1, texts);
    view.periodItems.reserve(acc.days.size());
    for (long long k = 0; k < days; ++k) {
        view.periodItems.push_back(format_short_date(acc.firstDate.add_days(k)));
    }
    view.startText = format_short_date(acc.firstDate);
    view.endText = format_short_date(acc.firstDate.add_days(days - 1));
    return view;
}

DailyAverageView build_daily_averages_period(const std::vector<MeasurementRecord>& records,
                                             const GraphAxisSettings& axes, std::string_view startText,
                                             std::string_view endText, AverageRowTexts texts) {
    DailyAverageView view = empty_view(axes);
    const auto start = parse_period_date(startText);
    if (!start) {
        view.message = daily_average_texts::StartNotDate;
        return view;
    }
    const auto end = parse_period_date(endText);
    if (!end) {
        view.message = daily_average_texts::EndNotDate;
        return view;
    }
    const DailyAccumulation acc = accumulate_days(records);
    if (acc.tooLong) {
        view.message = daily_average_texts::TooLong;
    }
    if (acc.days.empty() || *end < *start) {
        return view;
    }
    const long long last = static_cast<long long>(acc.days.size()) - 1;
    const long long from = std::max(0LL, start->serial() - acc.firstDate.serial());
    const long long to = std::min(last, end->serial() - acc.firstDate.serial());
    if (from <= to) {
        fill_rows(view, acc, from, to, texts);
    }
    return view;
}

std::string daily_average_help_text() {
    return "日毎の平均をリストとグラフに表示します。\r\n\r\n"
           "表示中の平均データはテキストデータに保存したり、印刷することができます。\r\n";
}

std::string daily_average_export_line(const DailyAverageCells& cells) {
    // A day without measurements writes its empty cells as 0; a day that lacks only some value (a weight an
    // import did not have) leaves that field empty, which a spreadsheet keeps out of its sums.
    const bool measuredDay =
        std::any_of(cells.begin() + 1, cells.end(), [](const std::string& c) { return !c.empty(); });
    std::string line = sora::quoted(cells[0]);
    for (std::size_t i = 1; i < cells.size(); ++i) {
        line += ',';
        if (!measuredDay || !cells[i].empty()) {
            line += format_number(leading_number(cells[i]));
        }
    }
    return line;
}

std::optional<std::string> daily_average_export_bytes(const std::vector<DailyAverageCells>& rows) {
    std::string text;
    text.reserve(rows.size() * 32);
    for (const DailyAverageCells& cells : rows) {
        text += daily_average_export_line(cells);
        text += "\r\n";
    }
    return utf8_to_cp932(text);
}

DailyAverageExport export_daily_averages(const DataDir& dir, const std::vector<DailyAverageCells>& rows) {
    DailyAverageExport result;
    if (rows.empty()) {
        result.ok = false;
        result.nothingToExport = true;
        result.message = daily_average_texts::NothingToExport;
        return result;
    }
    const auto bytes = daily_average_export_bytes(rows);
    if (!bytes) {
        result.ok = false;
        result.message = std::string(files::DailyAverages) + " に保存できない文字があります。";
        return result;
    }
    const std::filesystem::path target = dir.for_writing(files::DailyAverages);
    const std::filesystem::path temporary = dir.path() / "日毎平均.tmp";
    static_cast<WriteResult&>(result) = replace_file(target, temporary, *bytes);
    return result;
}

}  // namespace sora
