#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/views/home_bp_report.h"

using namespace sora;

namespace {

MeasurementRecord rec(const char* date, const char* situation, float sys, float dia, float pulse,
                      const char* diary = "", float weight = 0) {
    return {date, situation, sys, dia, pulse, diary, weight};
}

// A hand-computed week, 2005/03/01 (Tuesday) to 2005/03/07.
std::vector<MeasurementRecord> week() {
    return {
        rec("2005/02/28", "起床後", 200, 120, 90),  // before the period
        rec("2005/03/01", "起床後", 130, 80, 60, "6:30:00", 62.5),
        rec("2005/03/01", "就寝前", 120, 70, 70, "22:05:09 散歩をした", 62.6),
        rec("2005/03/02", "起床後", 140, 90, 62, "よく眠れた", 62.4),
        rec("2005/03/02", "起床後", 136, 86, 64, "頭が重い"),  // a second morning reading: averaged
        rec("2005/03/02", "就寝前", 124, 76, 66),
        rec("2005/03/03", "就寝前", 118, 72, 68),   // evening only
        rec("2005/03/04", "昼食後", 150, 95, 80),   // neither by default
        rec("2005/03/04", "朝食後", 160, 100, 80),  // morning by default, set to neither
        rec("2005/03/05", "起床後", 134, 84, 61),
        rec("2005/03/08", "起床後", 200, 120, 90),  // after the period
    };
}

MorningEveningSettings settings() {
    MorningEveningSettings s;
    s.set("朝食後", Occasion::Neither);
    return s;
}

std::string joined(const std::vector<std::string>& cells) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += (i ? "|" : "") + cells[i];
    }
    return out;
}

const std::string FewDays = "判定には5日以上の測定が必要です";

std::vector<std::string> lines(const ReportTable& table) {
    std::vector<std::string> out{joined(table.headings)};
    for (const auto& row : table.rows) {
        out.push_back(joined(row));
    }
    return out;
}

}  // namespace

TEST(HomeBpReport, HandComputedWeek) {
    const HomeBpReport report = build_home_bp_report(week(), {2005, 3, 1}, {2005, 3, 7}, settings());
    // Morning days 130/80/60, 138/88/63, 134/84/61; evening days 120/70/70, 124/76/66, 118/72/68.
    EXPECT_EQ(lines(report_summary_table(report)), (std::vector<std::string>{
                                                       "|最高血圧|最低血圧|脈拍|日数|判定",
                                                       "朝の平均|134.0|84.0|61.3|3日|" + FewDays,
                                                       "晩の平均|120.7|72.7|68.0|3日|" + FewDays,
                                                       "朝晩の平均|127.3|78.3|64.7||" + FewDays,
                                                       "朝晩の差（朝−晩）|13.3|11.3|-6.7||",
                                                   }));
    EXPECT_EQ(report.summary.morningHighDays, 1);  // 138/88 on 03/02
    const auto notes = report_summary_notes(report);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0], "朝の平均が135/85以上の日: 3日中1日（33.3%）");
    EXPECT_EQ(notes[2], "降圧目標: 125/75 mmHg 未満（標準、JSH2025）");
    EXPECT_EQ(notes[3],
              "朝・晩の対象外の記録: 2 件（昼食後 1 件、朝食後 1 件）。数え方は 編集 → 朝・晩の区別 で変えられます");
    EXPECT_EQ(lines(report_weekly_table(report)),
              (std::vector<std::string>{
                  "週|朝 最高|朝 最低|朝 脈拍|晩 最高|晩 最低|晩 脈拍|朝の日数|晩の日数",
                  "2005/03/01～03/07|134.0|84.0|61.3|120.7|72.7|68.0|3日|3日",
              }));
    EXPECT_EQ(lines(report_daily_table(report)),
              (std::vector<std::string>{
                  "日付|曜|朝 最高|朝 最低|朝 脈拍|晩 最高|晩 最低|晩 脈拍|体重|一言日記",
                  "2005/03/01|火|130|80|60|120|70|70|62.6|散歩をした",
                  "2005/03/02|水|138|88|63|124|76|66|62.4|よく眠れた／頭が重い",
                  "2005/03/03|木||||118|72|68||",
                  "2005/03/04|金||||||||",
                  "2005/03/05|土|134|84|61|||||",
                  "2005/03/06|日||||||||",
                  "2005/03/07|月||||||||",
              }));
    EXPECT_EQ(report_period_text(report), "2005/03/01～2005/03/07");
}

TEST(HomeBpReport, WeeksOfALongerPeriodAndEmptyFigures) {
    // A doctor's target at the threshold; a period without evenings has no mean of both and no difference.
    MorningEveningSettings s;
    s.target = {TargetSetting::Choice::Doctor, {135, 85}};
    const HomeBpReport report =
        build_home_bp_report({rec("2005/03/01", "起床後", 134, 84, 60), rec("2005/03/09", "起床後", 136, 80, 60)},
                             {2005, 3, 1}, {2005, 3, 10}, s);
    ASSERT_EQ(report.weeks.size(), 2u);
    EXPECT_EQ(report_weekly_table(report).rows[1],
              (std::vector<std::string>{"2005/03/08～03/10", "136.0", "80.0", "60.0", "—", "—", "—", "1日", "0日"}));
    const auto summary = lines(report_summary_table(report));
    EXPECT_EQ(summary[1], "朝の平均|135.0|82.0|60.0|2日|" + FewDays);
    EXPECT_EQ(summary[2], "晩の平均|—|—|—|0日|");
    EXPECT_EQ(summary[3], "朝晩の平均|—|—|—||");
    EXPECT_EQ(report_summary_notes(report)[2], "降圧目標: 135/85 mmHg 未満（主治医の指示）");
    EXPECT_EQ(report.days.size(), 10u);
}

TEST(HomeBpReport, ZerosAreNotMeasuredAndMarksNeedFiveDays) {
    std::vector<MeasurementRecord> records = {
        rec("2005/03/01", "はじめの一歩", 130, 80, 70),  // a new diary's first record counts as neither
        rec("2005/03/01", "起床後", 130, 80, 0),         // a pulse not measured does not halve the mean
        rec("2005/03/02", "起床後", 0, 90, 70),          // nor does a systolic pressure
        rec("2005/03/06", "起床後", 0, 0, 0),            // a day of zeros is no morning
    };
    for (const char* date : {"2005/03/01", "2005/03/02", "2005/03/03", "2005/03/04", "2005/03/05"}) {
        records.push_back(rec(date, "起床後", 130, 80, 70));
    }
    for (const char* date : {"2005/03/01", "2005/03/02", "2005/03/03", "2005/03/04"}) {
        records.push_back(rec(date, "就寝前", 120, 70, 0));
    }
    const HomeBpReport report = build_home_bp_report(records, {2005, 3, 1}, {2005, 3, 7}, MorningEveningSettings{});
    EXPECT_EQ(lines(report_summary_table(report)), (std::vector<std::string>{
                                                       "|最高血圧|最低血圧|脈拍|日数|判定",
                                                       "朝の平均|130.0|81.0|70.0|5日|目標未達（125/75以上）",
                                                       "晩の平均|120.0|70.0|—|4日|" + FewDays,
                                                       "朝晩の平均|125.0|75.5|—||" + FewDays,
                                                       "朝晩の差（朝−晩）|10.0|11.0|—||",
                                                   }));
    EXPECT_EQ(report_daily_table(report).rows[1][2] + "/" + report_daily_table(report).rows[1][3], "130/85");
    EXPECT_EQ(report_daily_table(report).rows[5][2], "");  // 03/06
    EXPECT_EQ(report_summary_notes(report)[3],
              "朝・晩の対象外の記録: 1 件（はじめの一歩 1 件）。数え方は 編集 → 朝・晩の区別 で変えられます");

    // The difference is that of the printed means: 141.4 − 129.7, not 141.44 − 129.66 rounded.
    const HomeBpReport close = build_home_bp_report(
        {rec("2005/03/01", "起床後", 141.44f, 90, 70), rec("2005/03/01", "就寝前", 129.66f, 80, 60)}, {2005, 3, 1},
        {2005, 3, 1}, MorningEveningSettings{});
    const auto summary = lines(report_summary_table(close));
    EXPECT_EQ(summary[1].substr(0, summary[1].find("|1日")), "朝の平均|141.4|90.0|70.0");
    EXPECT_EQ(summary[2].substr(0, summary[2].find("|1日")), "晩の平均|129.7|80.0|60.0");
    EXPECT_EQ(summary[4], "朝晩の差（朝−晩）|11.7|10.0|10.0||");
    EXPECT_EQ(report_summary_notes(close).size(), 3u);  // nothing left out
}

TEST(HomeBpReport, PeriodFromTheBoxes) {
    const Date today{2005, 3, 1};
    const struct {
        const char* start;
        const char* end;
        const char* expected;  // "from to" or the start of the message
    } cases[] = {
        {"", "", "2005/02/02 2005/03/01"},  // the last 28 days
        {"2005/02/09", "2005/02/10", "2005/02/09 2005/02/10"},
        {"", "2005/02/28", "2005/02/01 2005/02/28"},
        {"2005/02/11", "2005/02/10", "期間の始めが終わりより後"},
        {"05/02/09", "", "期間の始め「05/02/09」"},
        {"2005/02/01", "2005/02/30", "期間の終わり「2005/02/30」"},
        {"1905/03/02", "2005/03/01", "1905/03/02 2005/03/01"},  // 36,525 days
        {"0001/01/01", "9999/12/31", "レポートの期間は 36600 日"},
    };
    for (const auto& c : cases) {
        std::string message;
        const auto period = report_period(c.start, c.end, today, message);
        const std::string got = period ? format_date(period->from) + " " + format_date(period->to) : message;
        EXPECT_EQ(got.rfind(c.expected, 0), 0u) << c.start << " " << c.end << ": " << got;
    }
}
