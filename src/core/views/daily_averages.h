#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/graph_axis_settings.h"
#include "core/rules/dates.h"
#include "core/rules/measurement_record.h"
#include "core/view_model.h"

namespace sora {

/// The sums of one calendar day; each value counts the readings that measured it.
struct DaySums {
    float sumSys = 0;
    float sumDia = 0;
    float sumWeight = 0;
    std::int32_t count = 0;  // readings of the day
    std::int32_t sysCount = 0;
    std::int32_t diaCount = 0;
    std::int32_t weightCount = 0;

    /// Adds a reading; a value not measured stays out of its sum and count.
    void add(const MeasurementRecord& record);
};

/// The log as calendar days from its earliest day to its latest day.
struct DailyAccumulation {
    Date firstDate;
    std::vector<DaySums> days;  // days[0] is firstDate
    bool tooLong = false;       // the span exceeds MaxAverageDays; no days
};

/// The longest span of days shown; a longer one can only come from a mistyped date in a hand-edited log.
inline constexpr long long MaxAverageDays = 366LL * 200;

/// Sums the records per calendar day, whatever their order in the log: the sums of the log sorted by date, with
/// the records of a day in file order. A record whose date is no date counts for no day.
DailyAccumulation accumulate_days(const std::vector<MeasurementRecord>& records);

/// A point of the averages chart: systolic, diastolic, weight; NaN where there is no value.
using AverageChartRow = std::array<float, 3>;

/// The days a table shows, from which its rows can be written when they are drawn (daily_average_row).
struct DailyAverageDays {
    Date first;                 // the day of row 1
    std::vector<DaySums> days;  // one per row
};

/// Whether a builder writes the table's texts or leaves them to daily_average_row.
enum class AverageRowTexts { Now, Later };

/// What the daily-average screen shows.
struct DailyAverageView {
    GridView grid;                         // "数", "日付", "最高", "最低", "高低", "体重"
    DailyAverageDays shownDays;            // with AverageRowTexts::Later, instead of grid.rows
    std::vector<AverageChartRow> chart;    // one row per grid row
    std::vector<std::string> periodItems;  // every day of the log as "YY/MM/DD" (whole-log view only)
    std::string startText;                 // texts of the period boxes (whole-log view only)
    std::string endText;
    AxisRange bpAxis;      // primary axis from the settings
    AxisRange weightAxis;  // secondary axis from the settings
    std::string message;   // why nothing is shown, for the user; empty when all is well
};

/// The six columns of the average table.
std::vector<GridColumn> daily_average_columns();

/// Every day from the earliest to the latest record.
DailyAverageView build_daily_averages(const std::vector<MeasurementRecord>& records, const GraphAxisSettings& axes,
                                      AverageRowTexts texts = AverageRowTexts::Now);

/// Only the days from `startText` to `endText` ("YY/MM/DD", or "yyyy/mm/dd"), numbered from 1. An end before the
/// start shows nothing; a text that is no date shows nothing and says which box holds it.
DailyAverageView build_daily_averages_period(const std::vector<MeasurementRecord>& records,
                                             const GraphAxisSettings& axes, std::string_view startText,
                                             std::string_view endText, AverageRowTexts texts = AverageRowTexts::Now);

/// Table row `index` (from 0) of the shown days: the row the builders write with AverageRowTexts::Now.
GridRow daily_average_row(const DailyAverageDays& shown, std::size_t index);

/// The texts of columns 1–5 of a table row: date, systolic, diastolic, difference, weight.
using DailyAverageCells = std::array<std::string, 5>;

/// One line of "日毎平均.txt" (without CR LF): quoted date, then the four numbers in shortest form; the empty cells
/// of a day without measurements as 0, an empty cell of a day with measurements as an empty field.
std::string daily_average_export_line(const DailyAverageCells& cells);

/// The whole export in CP932 with CR LF after every line; nullopt when a text has no CP932 form.
std::optional<std::string> daily_average_export_bytes(const std::vector<DailyAverageCells>& rows);

/// What an export did. An empty table is nothing to export: then ok is false, nothingToExport is set, the message
/// says so and the file is left as it was (never replaced by an empty one).
struct DailyAverageExport : WriteResult {
    bool nothingToExport = false;
};

/// Replaces "日毎平均.txt" in the data directory with the rows; with no rows, touches nothing.
DailyAverageExport export_daily_averages(const DataDir& dir, const std::vector<DailyAverageCells>& rows);

/// The help-tour text of the daily-average screen (CR LF line breaks).
std::string daily_average_help_text();

namespace daily_average_texts {
inline constexpr std::string_view SavedTitle = "保存終了";
inline constexpr std::string_view PrintQuestionTitle = "印刷確認";
inline constexpr std::string_view PrintQuestion =
    "表示中のデータを印刷しますか？ \r\n\r\n良かったらＯＫボタンを押してください";
inline constexpr std::string_view SavedMessage =
    "日毎平均.txt のファイル名で保存しました。 エクセルなどの表計算ソフトにも読み込めます。";
inline constexpr std::string_view NothingToExportTitle = "平均データの保存";
inline constexpr std::string_view NothingToExport = "書き出す平均値がありません。日毎平均.txt は変更していません。";
inline constexpr std::string_view PrintHeading = "　日付け    　最高血圧　  最低血圧　  高低差　    　体重";
inline constexpr std::string_view PrintRule = "----------------------------------------------";
inline constexpr int PrintX = 7100;  // twips: to the right of the chart picture
inline constexpr std::string_view StartNotDate = "開始日の指定が日付ではありません。";
inline constexpr std::string_view EndNotDate = "終了日の指定が日付ではありません。";
inline constexpr std::string_view TooLong = "記録の期間が長すぎるため、日毎平均を表示できません。";
}  // namespace daily_average_texts

}  // namespace sora
