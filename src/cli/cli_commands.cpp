#include "cli/cli_commands.h"

#include <algorithm>
#include <cmath>

#include "core/rules/measured.h"
#include "core/rules/numbers.h"
#include "core/views/class_calendar.h"
#include "core/views/daily_averages.h"
#include "core/views/day_page.h"
#include "core/views/diary_view.h"
#include "core/views/filter_listing.h"
#include "core/views/sorted_list.h"
#include "core/views/trend_view.h"

namespace cli {
namespace {

const std::vector<std::string> kTrendSeries = {"systolic", "diastolic", "pulse", "weight"};

std::vector<std::vector<double>> to_rows(const std::vector<sora::ChartRow>& rows) {
    std::vector<std::vector<double>> out;
    out.reserve(rows.size());
    for (const sora::ChartRow& row : rows) {
        out.emplace_back(row.begin(), row.end());
    }
    return out;
}

std::string face_name(sora::Face face) {
    switch (face) {
        case sora::Face::Laughing:
            return "laughing";
        case sora::Face::Smiling:
            return "smiling";
        case sora::Face::Sulky:
            return "sulky";
        case sora::Face::None:
            return "none";
    }
    return "none";
}

std::string calendar_face_name(sora::CalendarFace face) {
    switch (face) {
        case sora::CalendarFace::Laughing:
            return "laughing";
        case sora::CalendarFace::Smiling:
            return "smiling";
        case sora::CalendarFace::Sad:
            return "sad";
    }
    return "smiling";
}

void add_extremes(CliView& view, const sora::DataExtremes& extremes) {
    view.values.emplace_back("extremes.pulseMax", sora::format_number(extremes.pulseMax));
    view.values.emplace_back("extremes.pulseMin", sora::format_number(extremes.pulseMin));
    view.values.emplace_back("extremes.weightMax", sora::format_number(extremes.weightMax));
    view.values.emplace_back("extremes.weightMin", sora::format_number(extremes.weightMin));
}

}  // namespace

CliView day_view(const CommandInput& input, const std::string& date) {
    // The main chart starts in the weight-mixed mode, so its secondary axis carries the weight.
    const sora::DayPage page = sora::build_day_page(input.records, date, input.axes, sora::SecondaryQuantity::Weight);
    CliView view{"day", page.list, kTrendSeries, to_rows(page.chartRows), {}, {}};
    view.axes = {{"primary", page.primary}, {"secondary", page.secondary}};
    static const char* const labels[4][4] = {{"lblMaxMax", "lblMaxMin", "lblMaxSa", "lblMaxAvg"},
                                             {"lblMinMax", "lblMinMin", "lblMinSa", "lblMinAvg"},
                                             {"lblMyaMax", "lblMyaMin", "lblMyaSa", "lblMyaAvg"},
                                             {"lblSaMax", "lblSaMin", "lblSaSa", "lblSaAvg"}};
    for (int quantity = 0; quantity < 4; ++quantity) {
        for (int kind = 0; kind < 4; ++kind) {
            view.values.emplace_back(labels[quantity][kind], page.statistics[quantity][kind]);
        }
    }
    view.values.emplace_back("lblMHyouka", page.judgement.name);
    view.values.emplace_back("lblMHyouka.colour", hex_colour(page.judgement.colour));
    view.values.emplace_back("scalePosition", std::to_string(page.pointerX));
    view.values.emplace_back("pointerTop", std::to_string(page.pointerY));
    view.values.emplace_back("face", face_name(page.face));
    view.values.emplace_back("startDate", page.startDate);
    view.values.emplace_back("latestDate", page.latestDate);
    view.values.emplace_back("recordCount", std::to_string(page.recordCount));
    view.values.emplace_back("previous.systolic", sora::format_number(page.previous.systolic));
    view.values.emplace_back("previous.diastolic", sora::format_number(page.previous.diastolic));
    view.values.emplace_back("previous.pulse", sora::format_number(page.previous.pulse));
    view.values.emplace_back("previous.weight", sora::format_number(page.previous.weight));
    add_extremes(view, page.extremes);
    return view;
}

CliView filter_view(const CommandInput& input, const std::string& from, const std::string& to, int weekday,
                    const std::string& keyword) {
    const sora::FilterCriteria criteria{from, to, keyword, weekday};
    const sora::FilterListing listing = sora::select_listing(keyword, weekday);
    const sora::FilterView filtered =
        sora::build_filter_listing(input.records, listing, criteria, input.axes, sora::SecondaryQuantity::Weight);
    CliView view{"filter", filtered.grid, kTrendSeries, to_rows(filtered.chartRows), {}, {}};
    view.axes = {{"primary", filtered.primary}, {"secondary", filtered.secondary}};
    view.values.emplace_back("listedRecords", std::to_string(filtered.grid.rows.size()));
    add_extremes(view, filtered.extremes);
    return view;
}

std::optional<CliView> averages_view(const CommandInput& input, const std::string& from, const std::string& to,
                                     std::string& message) {
    const sora::DailyAverageView averages =
        from.empty() && to.empty() ? sora::build_daily_averages(input.records, input.axes)
                                   : sora::build_daily_averages_period(input.records, input.axes, from, to);
    if (!averages.message.empty() && averages.grid.rows.empty()) {
        message = averages.message;
        if (!from.empty() || !to.empty()) {
            return std::nullopt;
        }
    }
    CliView view{"averages", averages.grid, {"systolic", "diastolic", "weight"}, {}, {}, {}};
    for (const sora::AverageChartRow& row : averages.chart) {
        view.chartRows.emplace_back(row.begin(), row.end());
    }
    view.axes = {{"primary", averages.bpAxis}, {"secondary", averages.weightAxis}};
    if (!averages.startText.empty()) {
        view.values.emplace_back("cboStdate2", averages.startText);
        view.values.emplace_back("cboEddate2", averages.endText);
    }
    return view;
}

CliView list_view(const CommandInput& input, std::optional<int> sortColumn, bool descending) {
    CliView view{"list", sora::build_sorted_list(input.records), {}, {}, {}, {}};
    if (sortColumn) {
        const int column = *sortColumn;
        // The column compares as its sort button does; columns without a button compare as text.
        const auto& buttons = sora::sort_buttons();
        const bool numeric = std::any_of(buttons.begin(), buttons.end(), [&](const sora::SortButtonInfo& button) {
            return button.column == column && button.kind == sora::SortKeyKind::Numeric;
        });
        auto before = [&](const sora::GridRow& a, const sora::GridRow& b) {
            const std::string& x = a[column].text;
            const std::string& y = b[column].text;
            if (numeric) {
                return sora::numeric_cell_before(x, y, !descending);
            }
            return descending ? y < x : x < y;
        };
        std::stable_sort(view.grid.rows.begin(), view.grid.rows.end(), before);
    }
    return view;
}

CliView calendar_view(const CommandInput& input, bool simple) {
    const std::string start = input.records.empty() ? std::string() : input.records.front().date;
    const sora::CalendarView calendar = sora::build_class_calendar(
        input.records, simple ? sora::CalendarMode::Simple : sora::CalendarMode::Detailed, start, input.today);
    CliView view{"calendar", calendar.grid, {}, {}, {}, {}};
    for (int i = 0; i < 7; ++i) {
        view.values.emplace_back("lblHan" + std::to_string(i + 1), calendar.classLabels[i]);
    }
    view.values.emplace_back("lblNon_c", calendar.notMeasuredLabel);
    view.values.emplace_back("lblGenT", calendar.normalLabel);
    view.values.emplace_back("lblZouT", calendar.highLabel);
    view.values.emplace_back("lblHugou", calendar.sign);
    view.values.emplace_back("face", calendar_face_name(calendar.face));
    return view;
}

CliView trend_view(const CommandInput& input) {
    const sora::TrendView trend = sora::build_trend_view(input.records, input.axes, sora::SeriesMode::WeightMixed);
    CliView view{"trend", {}, kTrendSeries, {}, {}, {}};
    view.chartRows.reserve(trend.pointCount());
    for (std::size_t i = 0; i < trend.pointCount(); ++i) {
        view.chartRows.push_back({trend.series[0][i], trend.series[1][i], trend.series[2][i], trend.series[3][i]});
    }
    view.axes = {{"primary", trend.primary}, {"secondary", trend.secondary}};
    view.values.emplace_back("lblNichis", trend.startLine);
    view.values.emplace_back("lblKiro", trend.currentLine);
    add_extremes(view, trend.extremes);
    return view;
}

CliView diary_view(const CommandInput& input) {
    return {"diary", sora::build_diary_view(input.records), {}, {}, {}, {}};
}

}  // namespace cli
