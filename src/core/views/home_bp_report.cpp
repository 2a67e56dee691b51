#include "core/views/home_bp_report.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/rules/home_bp_guideline.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

constexpr const char* NoFigure = "—";
// About a hundred years: a typed date far off must not make a table of millions of days.
constexpr long long MaxReportDays = 36600;

/// The sum of one value, leaving out a value not measured.
struct ValueSum {
    int count = 0;
    double total = 0;
    void add(double value) {
        if (is_measured(static_cast<float>(value))) {
            ++count;
            total += value;
        }
    }
    void add(const ValueMean& mean) {
        if (mean.present()) {
            ++count;
            total += mean.mean;
        }
    }
    ValueMean mean() const { return count == 0 ? ValueMean{} : ValueMean{count, total / count}; }
};

/// Sums of one occasion, over readings or over daily means, turned into means at the end.
struct Sum {
    int count = 0;
    ValueSum systolic;
    ValueSum diastolic;
    ValueSum pulse;
    /// The record's values as the lists show them, so that sums start from what the user sees. Only a reading with
    /// a pressure counts as a reading of blood pressure; a pulse alone still counts for the pulse mean.
    void add(const MeasurementRecord& record) {
        systolic.add(shown_value(record.systolic));
        diastolic.add(shown_value(record.diastolic));
        pulse.add(shown_value(record.pulse));
        count += has_pressure(record) ? 1 : 0;
    }
    void add(const OccasionMean& day) {
        count += day.present() ? 1 : 0;
        systolic.add(day.systolic);
        diastolic.add(day.diastolic);
        pulse.add(day.pulse);
    }
    OccasionMean mean() const { return {count, systolic.mean(), diastolic.mean(), pulse.mean()}; }
};

struct DaySums {
    Sum morning;
    Sum evening;
    ValueSum weight;
    std::string diary;
};

void add_record(DaySums& day, const MeasurementRecord& record, Occasion occasion) {
    if (occasion == Occasion::Morning) {
        day.morning.add(record);
    } else if (occasion == Occasion::Evening) {
        day.evening.add(record);
    }
    day.weight.add(shown_value(record.weight));
    const std::string_view text = split_saving_time(record.diary).text;
    if (!text.empty()) {
        if (!day.diary.empty()) {
            day.diary += "／";
        }
        day.diary += text;
    }
}

/// Counts a reading left out under its situation; the index keeps a diary of many free situations linear.
void count_left_out(std::vector<LeftOutSituation>& leftOut, std::unordered_map<std::string, std::size_t>& index,
                    const std::string& situation) {
    const auto [it, added] = index.try_emplace(situation, leftOut.size());
    if (added) {
        leftOut.push_back({situation, 0});
    }
    ++leftOut[it->second].count;
}

/// A value taken to one decimal, as the report prints it.
double rounded(double value) {
    return number_value(format_one_decimal(value)).value_or(value);
}

std::optional<double> printed(const ValueMean& value) {
    return value.present() ? std::optional<double>(rounded(value.mean)) : std::nullopt;
}

/// The mean of the morning and evening means, where both have the value.
std::optional<double> mean_of_both(const ValueMean& morning, const ValueMean& evening) {
    if (!morning.present() || !evening.present()) {
        return std::nullopt;
    }
    return (morning.mean + evening.mean) / 2;
}

/// Morning − evening of the printed figures, so that the page adds up (141.4 − 129.7 prints 11.7, never 11.8).
std::optional<double> printed_difference(const ValueMean& morning, const ValueMean& evening) {
    if (!morning.present() || !evening.present()) {
        return std::nullopt;
    }
    return rounded(*printed(morning) - *printed(evening));
}

BpFigures figures_of(const OccasionMean& mean) {
    return {printed(mean.systolic), printed(mean.diastolic), printed(mean.pulse)};
}

std::string day_figure(const ValueMean& value) {
    return value.present() ? format_number(rounded(value.mean)) : std::string();
}

std::string short_date(const Date& date) {
    return format_date(date).substr(5);
}

std::string days_text(int days) {
    return std::to_string(days) + "日";
}

std::string figure_text(const std::optional<double>& value) {
    return value ? format_one_decimal(*value) : std::string(NoFigure);
}

/// High when a measured value reaches the threshold; a missing value counts as below it.
bool is_high(const BpFigures& figures) {
    return home_mark(figures.systolic.value_or(0), figures.diastolic.value_or(0), {}) == HomeMark::High;
}

/// The mark of a mean, or the note that it rests on too few days; empty without both pressures.
std::string mark_of(const BpFigures& figures, int days, const HomeTarget& target) {
    if (!figures.systolic || !figures.diastolic) {
        return {};
    }
    const int needed = home_bp_guideline().minimumDays;
    if (days < needed) {
        return "判定には" + std::to_string(needed) + "日以上の測定が必要です";
    }
    return home_mark_text(home_mark(*figures.systolic, *figures.diastolic, target), target);
}

}  // namespace

HomeBpReport build_home_bp_report(const std::vector<MeasurementRecord>& records, const Date& from, const Date& to,
                                  const MorningEveningSettings& settings) {
    HomeBpReport report;
    report.from = from;
    report.to = to;
    report.target = settings.target;
    if (to < from) {
        return report;
    }
    const long long first = from.serial();
    const std::size_t dayCount = static_cast<std::size_t>(to.serial() - first + 1);
    std::vector<DaySums> sums(dayCount);
    std::unordered_map<std::string, std::size_t> leftOutIndex;
    // Dates compare as text; only the records of the period are parsed.
    const std::string fromText = format_date(from);
    const std::string toText = format_date(to);
    for (const MeasurementRecord& record : records) {
        if (record.date < fromText || record.date > toText) {
            continue;
        }
        const std::optional<Date> date = parse_date(record.date);
        if (!date) {
            continue;
        }
        const Occasion occasion = settings.occasion_of(record.situation);
        if (occasion == Occasion::Neither) {
            count_left_out(report.leftOut, leftOutIndex, record.situation);
        }
        add_record(sums[static_cast<std::size_t>(date->serial() - first)], record, occasion);
    }

    Sum morning;
    Sum evening;
    report.days.reserve(dayCount);
    for (std::size_t i = 0; i < dayCount; ++i) {
        DaySums& day = sums[i];
        ReportDay out{Date::from_serial(first + static_cast<long long>(i)), day.morning.mean(), day.evening.mean(),
                      std::nullopt, std::move(day.diary)};
        if (day.weight.count > 0) {
            out.weight = day.weight.mean().mean;
        }
        morning.add(out.morning);
        evening.add(out.evening);
        // A day counts as high on the figures the daily table shows.
        if (out.morning.present() && is_high(figures_of(out.morning))) {
            ++report.summary.morningHighDays;
        }
        report.days.push_back(std::move(out));
    }

    for (std::size_t start = 0; start < dayCount; start += 7) {
        const std::size_t end = std::min(dayCount, start + 7);
        Sum weekMorning;
        Sum weekEvening;
        for (std::size_t i = start; i < end; ++i) {
            weekMorning.add(report.days[i].morning);
            weekEvening.add(report.days[i].evening);
        }
        report.weeks.push_back(
            {report.days[start].date, report.days[end - 1].date, weekMorning.mean(), weekEvening.mean()});
    }

    ReportSummary& summary = report.summary;
    summary.morning = morning.mean();
    summary.evening = evening.mean();
    summary.morningEveningMean = {mean_of_both(summary.morning.systolic, summary.evening.systolic),
                                  mean_of_both(summary.morning.diastolic, summary.evening.diastolic),
                                  mean_of_both(summary.morning.pulse, summary.evening.pulse)};
    summary.morningEveningDifference = {printed_difference(summary.morning.systolic, summary.evening.systolic),
                                        printed_difference(summary.morning.diastolic, summary.evening.diastolic),
                                        printed_difference(summary.morning.pulse, summary.evening.pulse)};
    if (summary.morning.present()) {
        summary.morningHighPercent = 100.0 * summary.morningHighDays / summary.morning.count;
    }
    return report;
}

std::optional<ReportPeriod> report_period(const std::string& start, const std::string& end, const Date& today,
                                          std::string& message) {
    std::optional<Date> to = end.empty() ? std::optional<Date>(today) : parse_date(end);
    if (!to) {
        message = "期間の終わり「" + end + "」が日付（yyyy/mm/dd）ではありません。";
        return std::nullopt;
    }
    std::optional<Date> from = start.empty() ? std::optional<Date>(to->add_days(-27)) : parse_date(start);
    if (!from) {
        message = "期間の始め「" + start + "」が日付（yyyy/mm/dd）ではありません。";
        return std::nullopt;
    }
    if (*to < *from) {
        message = "期間の始めが終わりより後になっています。";
        return std::nullopt;
    }
    if (to->serial() - from->serial() + 1 > MaxReportDays) {
        message = "レポートの期間は " + std::to_string(MaxReportDays) + " 日（約100年）までです。";
        return std::nullopt;
    }
    return ReportPeriod{*from, *to};
}

std::string report_figure(const ValueMean& value) {
    return figure_text(printed(value));
}

std::string report_period_text(const HomeBpReport& report) {
    return format_date(report.from) + "～" + format_date(report.to);
}

ReportTable report_summary_table(const HomeBpReport& report) {
    const ReportSummary& s = report.summary;
    const HomeTarget target = home_target(report.target);
    ReportTable table{{"", "最高血圧", "最低血圧", "脈拍", "日数", "判定"}, {}};
    auto row = [&](const std::string& label, const BpFigures& figures, const std::string& days,
                   const std::string& mark) {
        table.rows.push_back({label, figure_text(figures.systolic), figure_text(figures.diastolic),
                              figure_text(figures.pulse), days, mark});
    };
    const BpFigures morning = figures_of(s.morning);
    const BpFigures evening = figures_of(s.evening);
    row("朝の平均", morning, days_text(s.morning.count), mark_of(morning, s.morning.count, target));
    row("晩の平均", evening, days_text(s.evening.count), mark_of(evening, s.evening.count, target));
    row("朝晩の平均", s.morningEveningMean, "",
        mark_of(s.morningEveningMean, std::min(s.morning.count, s.evening.count), target));
    row("朝晩の差（朝−晩）", s.morningEveningDifference, "", "");
    return table;
}

std::vector<std::string> report_summary_notes(const HomeBpReport& report) {
    const ReportSummary& s = report.summary;
    const HomeBpGuideline& guideline = home_bp_guideline();
    const std::string high = format_number(guideline.highSystolic) + "/" + format_number(guideline.highDiastolic);
    std::vector<std::string> notes{
        "朝の平均が" + high + "以上の日: " + days_text(s.morning.count) + "中" + days_text(s.morningHighDays) + "（" +
            (s.morningHighPercent ? format_one_decimal(*s.morningHighPercent) + "%" : NoFigure) + "）",
        "家庭血圧の基準: 高血圧 " + high + " mmHg 以上、正常 " + format_number(guideline.normalSystolic) + "/" +
            format_number(guideline.normalDiastolic) + " mmHg 未満、判定は" + std::to_string(guideline.minimumDays) +
            "日以上の平均で（" + guideline.name + "、" + guideline.shortName + "）",
        "降圧目標: " + target_text(report.target)};
    if (!report.leftOut.empty()) {
        int total = 0;
        std::string each;
        for (const LeftOutSituation& entry : report.leftOut) {
            total += entry.count;
            each += (each.empty() ? "" : "、") + entry.situation + " " + std::to_string(entry.count) + " 件";
        }
        notes.push_back("朝・晩の対象外の記録: " + std::to_string(total) + " 件（" + each +
                        "）。数え方は 編集 → 朝・晩の区別 で変えられます");
    }
    return notes;
}

ReportTable report_weekly_table(const HomeBpReport& report) {
    ReportTable table{{"週", "朝 最高", "朝 最低", "朝 脈拍", "晩 最高", "晩 最低", "晩 脈拍", "朝の日数", "晩の日数"},
                      {}};
    for (const ReportWeek& week : report.weeks) {
        table.rows.push_back({format_date(week.first) + "～" + short_date(week.last),
                              report_figure(week.morning.systolic), report_figure(week.morning.diastolic),
                              report_figure(week.morning.pulse), report_figure(week.evening.systolic),
                              report_figure(week.evening.diastolic), report_figure(week.evening.pulse),
                              days_text(week.morning.count), days_text(week.evening.count)});
    }
    return table;
}

ReportTable report_daily_table(const HomeBpReport& report) {
    ReportTable table{
        {"日付", "曜", "朝 最高", "朝 最低", "朝 脈拍", "晩 最高", "晩 最低", "晩 脈拍", "体重", "一言日記"}, {}};
    table.rows.reserve(report.days.size());
    for (const ReportDay& day : report.days) {
        table.rows.push_back({format_date(day.date), weekday_character(weekday_index(day.date)),
                              day_figure(day.morning.systolic), day_figure(day.morning.diastolic),
                              day_figure(day.morning.pulse), day_figure(day.evening.systolic),
                              day_figure(day.evening.diastolic), day_figure(day.evening.pulse),
                              day.weight ? format_number(rounded(*day.weight)) : std::string(), day.diary});
    }
    return table;
}

}  // namespace sora
