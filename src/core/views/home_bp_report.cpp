#include "core/views/home_bp_report.h"

#include <cmath>

#include "core/rules/numbers.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

constexpr const char* NoFigure = "—";
// About a hundred years: a typed date far off must not make a table of millions of days.
constexpr long long MaxReportDays = 36600;

/// Sums of one occasion, turned into a mean at the end.
struct Sum {
    int count = 0;
    BpTriple total;
    void add(const BpTriple& values) {
        ++count;
        total.systolic += values.systolic;
        total.diastolic += values.diastolic;
        total.pulse += values.pulse;
    }
    OccasionMean mean() const {
        if (count == 0) {
            return {};
        }
        return {count, {total.systolic / count, total.diastolic / count, total.pulse / count}};
    }
};

/// The record's values as the lists show them, so that sums start from what the user sees.
BpTriple shown_values(const MeasurementRecord& record) {
    return {shown_value(record.systolic), shown_value(record.diastolic), shown_value(record.pulse)};
}

struct DaySums {
    Sum morning;
    Sum evening;
    double weightTotal = 0;
    int weights = 0;
    std::string diary;
};

void add_record(DaySums& day, const MeasurementRecord& record, Occasion occasion) {
    if (occasion == Occasion::Morning) {
        day.morning.add(shown_values(record));
    } else if (occasion == Occasion::Evening) {
        day.evening.add(shown_values(record));
    }
    if (record.weight != 0) {
        day.weightTotal += shown_value(record.weight);
        ++day.weights;
    }
    const std::string_view text = split_saving_time(record.diary).text;
    if (!text.empty()) {
        if (!day.diary.empty()) {
            day.diary += "／";
        }
        day.diary += text;
    }
}

/// A value taken to one decimal, as the report prints it.
double rounded(double value) {
    return number_value(format_one_decimal(value)).value_or(value);
}

BpTriple combine(const BpTriple& a, const BpTriple& b, double sign, double scale) {
    return {(a.systolic + sign * b.systolic) * scale, (a.diastolic + sign * b.diastolic) * scale,
            (a.pulse + sign * b.pulse) * scale};
}

std::string day_figure(const OccasionMean& mean, double BpTriple::*value) {
    return mean.present() ? format_number(rounded(mean.mean.*value)) : std::string();
}

std::string short_date(const Date& date) {
    return format_date(date).substr(5);
}

std::string days_text(int days) {
    return std::to_string(days) + "日";
}

std::vector<std::string> triple_cells(const std::optional<BpTriple>& values) {
    if (!values) {
        return {NoFigure, NoFigure, NoFigure};
    }
    return {format_one_decimal(values->systolic), format_one_decimal(values->diastolic),
            format_one_decimal(values->pulse)};
}

std::string mark_of(const std::optional<BpTriple>& values, AgeGroup group) {
    return values ? home_mark_text(home_mark(values->systolic, values->diastolic, group), group) : std::string();
}

std::optional<BpTriple> triple_of(const OccasionMean& mean) {
    return mean.present() ? std::optional<BpTriple>(mean.mean) : std::nullopt;
}

}  // namespace

HomeBpReport build_home_bp_report(const std::vector<MeasurementRecord>& records, const Date& from, const Date& to,
                                  const MorningEveningSettings& settings) {
    HomeBpReport report;
    report.from = from;
    report.to = to;
    report.ageGroup = settings.ageGroup;
    if (to < from) {
        return report;
    }
    const long long first = from.serial();
    const std::size_t dayCount = static_cast<std::size_t>(to.serial() - first + 1);
    std::vector<DaySums> sums(dayCount);
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
        add_record(sums[static_cast<std::size_t>(date->serial() - first)], record,
                   settings.occasion_of(record.situation));
    }

    Sum morning;
    Sum evening;
    report.days.reserve(dayCount);
    for (std::size_t i = 0; i < dayCount; ++i) {
        DaySums& day = sums[i];
        ReportDay out{Date::from_serial(first + static_cast<long long>(i)), day.morning.mean(), day.evening.mean(),
                      std::nullopt, std::move(day.diary)};
        if (day.weights > 0) {
            out.weight = day.weightTotal / day.weights;
        }
        if (out.morning.present()) {
            morning.add(out.morning.mean);
            // A day counts as high on the figures the daily table shows.
            if (home_mark(rounded(out.morning.mean.systolic), rounded(out.morning.mean.diastolic), settings.ageGroup) ==
                HomeMark::High) {
                ++report.summary.morningHighDays;
            }
        }
        if (out.evening.present()) {
            evening.add(out.evening.mean);
        }
        report.days.push_back(std::move(out));
    }

    for (std::size_t start = 0; start < dayCount; start += 7) {
        const std::size_t end = std::min(dayCount, start + 7);
        Sum weekMorning;
        Sum weekEvening;
        for (std::size_t i = start; i < end; ++i) {
            if (report.days[i].morning.present()) {
                weekMorning.add(report.days[i].morning.mean);
            }
            if (report.days[i].evening.present()) {
                weekEvening.add(report.days[i].evening.mean);
            }
        }
        report.weeks.push_back(
            {report.days[start].date, report.days[end - 1].date, weekMorning.mean(), weekEvening.mean()});
    }

    ReportSummary& summary = report.summary;
    summary.morning = morning.mean();
    summary.evening = evening.mean();
    if (summary.morning.present() && summary.evening.present()) {
        summary.morningEveningMean = combine(summary.morning.mean, summary.evening.mean, 1, 0.5);
        summary.morningEveningDifference = combine(summary.morning.mean, summary.evening.mean, -1, 1);
    }
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

std::string report_figure(const OccasionMean& mean, double BpTriple::*value) {
    return mean.present() ? format_one_decimal(mean.mean.*value) : std::string(NoFigure);
}

std::string report_period_text(const HomeBpReport& report) {
    return format_date(report.from) + "～" + format_date(report.to);
}

ReportTable report_summary_table(const HomeBpReport& report) {
    const ReportSummary& s = report.summary;
    ReportTable table{{"", "最高血圧", "最低血圧", "脈拍", "日数", "判定"}, {}};
    auto row = [&](const std::string& label, const std::optional<BpTriple>& values, const std::string& days,
                   const std::string& mark) {
        std::vector<std::string> cells{label};
        for (std::string& cell : triple_cells(values)) {
            cells.push_back(std::move(cell));
        }
        cells.push_back(days);
        cells.push_back(mark);
        table.rows.push_back(std::move(cells));
    };
    row("朝の平均", triple_of(s.morning), days_text(s.morning.count), mark_of(triple_of(s.morning), report.ageGroup));
    row("晩の平均", triple_of(s.evening), days_text(s.evening.count), mark_of(triple_of(s.evening), report.ageGroup));
    row("朝晩の平均", s.morningEveningMean, "", mark_of(s.morningEveningMean, report.ageGroup));
    row("朝晩の差（朝−晩）", s.morningEveningDifference, "", "");
    return table;
}

std::vector<std::string> report_summary_notes(const HomeBpReport& report) {
    const ReportSummary& s = report.summary;
    const HomeTarget target = home_target(report.ageGroup);
    std::string share = "朝の平均が135/85以上の日: " + days_text(s.morningHighDays) + "（朝の値がある " +
                        days_text(s.morning.count) + " のうち " +
                        (s.morningHighPercent ? format_one_decimal(*s.morningHighPercent) + "%" : NoFigure) + "）";
    return {std::move(share), "家庭血圧の高血圧基準: 135/85 mmHg 以上（日本高血圧学会 高血圧治療ガイドライン2019）",
            "降圧目標: " + format_number(target.systolic) + "/" + format_number(target.diastolic) + " mmHg 未満（" +
                (report.ageGroup == AgeGroup::Under75 ? "75歳未満" : "75歳以上") + "）"};
}

ReportTable report_weekly_table(const HomeBpReport& report) {
    ReportTable table{{"週", "朝 最高", "朝 最低", "朝 脈拍", "晩 最高", "晩 最低", "晩 脈拍", "朝の日数", "晩の日数"},
                      {}};
    for (const ReportWeek& week : report.weeks) {
        table.rows.push_back(
            {format_date(week.first) + "～" + short_date(week.last), report_figure(week.morning, &BpTriple::systolic),
             report_figure(week.morning, &BpTriple::diastolic), report_figure(week.morning, &BpTriple::pulse),
             report_figure(week.evening, &BpTriple::systolic), report_figure(week.evening, &BpTriple::diastolic),
             report_figure(week.evening, &BpTriple::pulse), days_text(week.morning.count),
             days_text(week.evening.count)});
    }
    return table;
}

ReportTable report_daily_table(const HomeBpReport& report) {
    ReportTable table{
        {"日付", "曜", "朝 最高", "朝 最低", "朝 脈拍", "晩 最高", "晩 最低", "晩 脈拍", "体重", "一言日記"}, {}};
    table.rows.reserve(report.days.size());
    for (const ReportDay& day : report.days) {
        table.rows.push_back({format_date(day.date), weekday_character(weekday_index(day.date)),
                              day_figure(day.morning, &BpTriple::systolic),
                              day_figure(day.morning, &BpTriple::diastolic), day_figure(day.morning, &BpTriple::pulse),
                              day_figure(day.evening, &BpTriple::systolic),
                              day_figure(day.evening, &BpTriple::diastolic), day_figure(day.evening, &BpTriple::pulse),
                              day.weight ? format_number(rounded(*day.weight)) : std::string(), day.diary});
    }
    return table;
}

}  // namespace sora
