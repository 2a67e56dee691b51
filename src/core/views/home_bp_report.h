#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/rules/dates.h"
#include "core/rules/measurement_record.h"
#include "core/rules/morning_evening.h"

namespace sora {

/// The mean of one value over readings, or over the daily means of a week or period. A value of 0 means "not
/// measured" and is left out, so that a missing pulse does not halve the mean pulse.
struct ValueMean {
    int count = 0;  // readings, or days, that have the value
    double mean = 0;
    bool present() const { return count > 0; }
};

/// The means of one occasion: over the readings of a day, or over the daily means of a week or period.
struct OccasionMean {
    int count = 0;  // readings, or days, of blood pressure: with both pressures measured
    ValueMean systolic;
    ValueMean diastolic;
    ValueMean pulse;
    bool present() const { return count > 0; }
};

/// Systolic, diastolic and pulse as the report prints them (one decimal); a value may be missing.
struct BpFigures {
    std::optional<double> systolic;
    std::optional<double> diastolic;
    std::optional<double> pulse;
};

/// One day of the report, as a blood-pressure notebook has it.
struct ReportDay {
    Date date;
    OccasionMean morning;
    OccasionMean evening;
    std::optional<double> weight;  // the mean of the day's weights other than 0
    std::string diary;             // the day's diary texts without their saving times, joined by "／"
};

/// Seven days from the period start (the last week may be shorter).
struct ReportWeek {
    Date first;
    Date last;
    OccasionMean morning;
    OccasionMean evening;
};

/// The key figures of home blood pressure over the period.
struct ReportSummary {
    OccasionMean morning;
    OccasionMean evening;
    BpFigures morningEveningMean;              // of the printed morning and evening means, where both have the value
    BpFigures morningEveningDifference;        // printed morning mean − printed evening mean
    int morningHighDays = 0;                   // days whose morning mean is at the guideline's threshold or above
    std::optional<double> morningHighPercent;  // of the days with a morning blood pressure
};

/// Readings of the period that count as neither morning nor evening, by situation in order of first appearance.
struct LeftOutSituation {
    std::string situation;
    int count = 0;
};

/// The home blood-pressure report of a period: every day from `from` to `to`, both included.
struct HomeBpReport {
    Date from;
    Date to;
    TargetSetting target;
    ReportSummary summary;
    std::vector<ReportWeek> weeks;
    std::vector<ReportDay> days;
    std::vector<LeftOutSituation> leftOut;
};

/// Builds the report from the log's records (in any order); situations count as the settings say.
HomeBpReport build_home_bp_report(const std::vector<MeasurementRecord>& records, const Date& from, const Date& to,
                                  const MorningEveningSettings& settings);

/// The period of a report from two period texts "yyyy/mm/dd": an empty end is today, an empty start 27 days before
/// the end (28 days). nullopt with a message for a text that is not a date, a start after the end or a period of more
/// than 36,600 days.
struct ReportPeriod {
    Date from;
    Date to;
};
std::optional<ReportPeriod> report_period(const std::string& start, const std::string& end, const Date& today,
                                          std::string& message);

/// A table of texts with its heading row: what the printed report and the command line both show.
struct ReportTable {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

/// Means of the morning, the evening, both and their difference, with days and marks.
ReportTable report_summary_table(const HomeBpReport& report);
/// The lines under the summary: the share of high mornings, the guideline and target used, and the readings left
/// out.
std::vector<std::string> report_summary_notes(const HomeBpReport& report);
ReportTable report_weekly_table(const HomeBpReport& report);
ReportTable report_daily_table(const HomeBpReport& report);

/// "2005/02/01～2005/02/28".
std::string report_period_text(const HomeBpReport& report);
/// A figure as the report shows it: one decimal, "—" when there is none.
std::string report_figure(const ValueMean& value);

}  // namespace sora
