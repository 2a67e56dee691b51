// The long-term graph: filling, the start and current lines, the five series-mode buttons, independence of groups.
#include <gtest/gtest.h>

#include <cmath>

#include <QFile>
#include <QLabel>
#include <QRadioButton>

#include "core/views/trend_view.h"
#include "test_app.h"
#include "ui/chart.h"

namespace {

// Systolic up to 168, diastolic down to 72, pulse 62–81, weight 60.4–65.8 with one record without weight.
const std::string kLog =
    "\"2005/02/01\",\"はじめの一歩\",150,90,70,,62.5\n"
    "\"2005/02/01\",\"起床時\",168,95,81,\"7:05:09\",60.4\n"
    "\"2005/02/02\",\"就寝前\",131,72,62,\"\",0\n"
    "\"2005/02/10\",\"起床時\",140,85,75,\"散歩,買い物\",65.8\n"
    "\"2005/02/15\",\"起床時\",125.5,82,68.5,\"\",63\n";

const char* const kModeButtons[] = {"optTai1", "optShi1", "optKon1", "optTai3", "optKon3"};

std::string graphSettings(int automatic) {
    return "\"自動設定\"," + std::to_string(automatic) +
           "\n\"血圧最大値\",190\n\"血圧最小値\",50\n\"血圧刻み\",7\n\"脈拍最大値\",110\n\"脈拍最小値\",45\n"
           "\"脈拍刻み\",13\n\"体重最大値\",80\n\"体重最小値\",50\n\"体重刻み\",6\n";
}

void writeDiary(TestApp& app, const std::string& log, int automatic = 1, int helpTour = 0) {
    app.writeFile("データ.txt", log);
    app.writeFile("グラフ設定.txt", graphSettings(automatic));
    app.writeFile("設定.txt", "\"ヘルプツアー\"," + std::to_string(helpTour) + "\n");
    app.writeFile("状況リスト.txt", "起床時\n就寝前\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
}

/// Everything the series-mode buttons may change on a chart.
struct ChartLook {
    std::array<bool, 4> series{};
    bool primaryAxis = false;
    bool secondaryAxis = false;
    double primaryMin = 0, primaryMax = 0, secondaryMin = 0, secondaryMax = 0;
    int primaryDivisions = 0, secondaryDivisions = 0;
    bool operator==(const ChartLook&) const = default;
};

ChartLook lookOf(const ui::Chart& chart) {
    ChartLook look;
    for (int s = 0; s < 4; ++s) {
        look.series[static_cast<std::size_t>(s)] = chart.isSeriesVisible(s);
    }
    look.primaryAxis = chart.isAxisVisible(ui::Axis::Primary);
    look.secondaryAxis = chart.isAxisVisible(ui::Axis::Secondary);
    look.primaryMin = chart.axisMinimum(ui::Axis::Primary);
    look.primaryMax = chart.axisMaximum(ui::Axis::Primary);
    look.primaryDivisions = chart.axisDivisions(ui::Axis::Primary);
    look.secondaryMin = chart.axisMinimum(ui::Axis::Secondary);
    look.secondaryMax = chart.axisMaximum(ui::Axis::Secondary);
    look.secondaryDivisions = chart.axisDivisions(ui::Axis::Secondary);
    return look;
}

struct ModeCase {
    const char* button;
    std::array<bool, 4> series;
    bool primary;
    bool secondary;
    double secondaryMin, secondaryMax;  // ignored where the secondary axis is hidden
    int secondaryDivisions;
};

void checkEveryMode(TestApp& app, const std::vector<ModeCase>& cases) {
    ui::Chart* chart = app.find<ui::Chart>("mcrRentai");
    ASSERT_NE(chart, nullptr);
    for (const ModeCase& c : cases) {
        app.click(c.button);
        EXPECT_TRUE(app.find<QRadioButton>(c.button)->isChecked()) << c.button;
        const ChartLook look = lookOf(*chart);
        EXPECT_EQ(look.series, c.series) << c.button;
        EXPECT_EQ(look.primaryAxis, c.primary) << c.button;
        EXPECT_EQ(look.secondaryAxis, c.secondary) << c.button;
        // The primary axis keeps what the drawing gave it.
        EXPECT_EQ(look.primaryMin, 72) << c.button;
        EXPECT_EQ(look.primaryMax, 168) << c.button;
        if (c.secondary) {
            EXPECT_EQ(look.secondaryMin, c.secondaryMin) << c.button;
            EXPECT_EQ(look.secondaryMax, c.secondaryMax) << c.button;
            EXPECT_EQ(look.secondaryDivisions, c.secondaryDivisions) << c.button;
        }
    }
}

}  // namespace

TEST(TrendScreen, OpeningFillsTheChartTheLinesAndTheHelpTour) {
    TestApp app;
    writeDiary(app, kLog, 1, 1);
    frmMain& window = app.start();
    app.dialogs().clear();

    app.click("cmdRentai");
    EXPECT_FALSE(app.find<QWidget>("fraRenTai")->isHidden());
    EXPECT_TRUE(app.find<QWidget>("fraMain")->isHidden());

    ui::Chart* chart = app.find<ui::Chart>("mcrRentai");
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->rowCount(), 5);
    // One point per record in log order; the weight of 0 was not measured: no point.
    EXPECT_EQ(chart->value(1, 0), 168);
    EXPECT_EQ(chart->value(2, 1), 72);
    EXPECT_EQ(chart->value(4, 2), 68.5);
    EXPECT_TRUE(std::isnan(chart->value(2, 3)));
    EXPECT_FLOAT_EQ(static_cast<float>(chart->value(3, 3)), 65.8f);

    EXPECT_EQ(app.find<QLabel>("lblNichis")->text(), "2005/02/01 ( 150mmHg / 90mmHg / 70拍/分 ) でスタート");
    EXPECT_EQ(app.find<QLabel>("lblKiro")->text(), "2005/02/15 現在  14日経過 ( 125.5mmHg / 82mmHg / 68.5拍/分 )");

    // Opening selects weight mixed; the weight axis is scaled over the whole log (0 ignored, maximum rounded up).
    EXPECT_TRUE(app.find<QRadioButton>("optKon3")->isChecked());
    const ChartLook look = lookOf(*chart);
    EXPECT_EQ(look.series, (std::array<bool, 4>{true, true, false, true}));
    EXPECT_TRUE(look.primaryAxis && look.secondaryAxis);
    EXPECT_EQ(look.primaryMin, 72);
    EXPECT_EQ(look.primaryMax, 168);
    EXPECT_EQ(look.primaryDivisions, 10);
    EXPECT_EQ(look.secondaryMin, 59);
    EXPECT_EQ(look.secondaryMax, 66);
    EXPECT_EQ(window.state().extremes, (sora::DataExtremes{81, 62, 65.8f, 60.4f}));

    const auto& records = app.dialogs().records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].title, "ヘルプツアー");
    EXPECT_EQ(records[0].text, QString::fromStdString(sora::trend_help_text()));

    // A second click while the screen is shown does nothing: no second help tour.
    app.click("cmdRentai");
    EXPECT_EQ(app.dialogs().records().size(), 1u);
}

TEST(TrendScreen, EveryModeButtonWithAutomaticAxes) {
    TestApp app;
    writeDiary(app, kLog, 1);
    app.start();
    app.click("cmdRentai");
    const ModeCase cases[] = {
        {"optTai1", {true, true, false, false}, true, false, 0, 0, 0},
        {"optShi1", {false, false, true, false}, false, true, 61, 81, 10},
        {"optKon1", {true, true, true, false}, true, true, 61, 81, 10},
        {"optTai3", {false, false, false, true}, false, true, 59, 66, 10},
        {"optKon3", {true, true, false, true}, true, true, 59, 66, 10},
        {"optShi1", {false, false, true, false}, false, true, 61, 81, 10},
    };
    checkEveryMode(app, {std::begin(cases), std::end(cases)});
}

TEST(TrendScreen, EveryModeButtonWithManualAxes) {
    TestApp app;
    writeDiary(app, kLog, 0);
    app.start();
    app.click("cmdRentai");
    ui::Chart* chart = app.find<ui::Chart>("mcrRentai");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Primary), 50);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Primary), 190);
    EXPECT_EQ(chart->axisDivisions(ui::Axis::Primary), 7);
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 50);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 80);
    EXPECT_EQ(chart->axisDivisions(ui::Axis::Secondary), 6);
    const ModeCase cases[] = {
        {"optShi1", {false, false, true, false}, false, true, 45, 110, 13},
        {"optTai3", {false, false, false, true}, false, true, 50, 80, 6},
        {"optKon1", {true, true, true, false}, true, true, 45, 110, 13},
        {"optTai1", {true, true, false, false}, true, false, 0, 0, 0},
        {"optKon3", {true, true, false, true}, true, true, 50, 80, 6},
    };
    for (const ModeCase& c : cases) {
        app.click(c.button);
        const ChartLook look = lookOf(*chart);
        EXPECT_EQ(look.series, c.series) << c.button;
        EXPECT_EQ(look.primaryAxis, c.primary) << c.button;
        EXPECT_EQ(look.secondaryAxis, c.secondary) << c.button;
        EXPECT_EQ(look.primaryMin, 50) << c.button;
        if (c.secondary) {
            EXPECT_EQ(look.secondaryMin, c.secondaryMin) << c.button;
            EXPECT_EQ(look.secondaryMax, c.secondaryMax) << c.button;
            EXPECT_EQ(look.secondaryDivisions, c.secondaryDivisions) << c.button;
        }
    }
}

TEST(TrendScreen, ReopeningReturnsToWeightMixedOverTheWholeLog) {
    TestApp app;
    writeDiary(app, kLog, 1);
    app.start();
    app.click("cmdRentai");
    app.click("optShi1");
    app.click("cmdMain");
    // A record added meanwhile is part of the next opening.
    app.writeFile("データ.txt", kLog + "\"2005/02/20\",\"起床時\",120,70,90,\"\",67.2\n");
    app.click("cmdRentai");
    ui::Chart* chart = app.find<ui::Chart>("mcrRentai");
    EXPECT_TRUE(app.find<QRadioButton>("optKon3")->isChecked());
    EXPECT_EQ(chart->rowCount(), 6);
    const ChartLook look = lookOf(*chart);
    EXPECT_EQ(look.series, (std::array<bool, 4>{true, true, false, true}));
    EXPECT_EQ(look.primaryMin, 70);
    EXPECT_EQ(look.secondaryMin, 59);
    EXPECT_EQ(look.secondaryMax, 68);
    app.click("optKon1");
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 61);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 90);
}

TEST(TrendScreen, AModeClickLeavesTheOtherChartsAlone) {
    TestApp app;
    writeDiary(app, kLog, 1);
    app.start();
    app.click("cmdTaijyu");  // the filtered view draws mcrBunseki
    app.click("cmdRentai");
    ui::Chart* rentai = app.find<ui::Chart>("mcrRentai");
    ui::Chart* main = app.find<ui::Chart>("mcrMain");
    ui::Chart* bunseki = app.find<ui::Chart>("mcrBunseki");
    ASSERT_TRUE(rentai && main && bunseki);

    for (const char* button : kModeButtons) {
        const ChartLook mainBefore = lookOf(*main), bunsekiBefore = lookOf(*bunseki);
        app.click(button);
        EXPECT_EQ(lookOf(*main), mainBefore) << button;
        EXPECT_EQ(lookOf(*bunseki), bunsekiBefore) << button;
    }
    // And the other way round: the other groups do not reach mcrRentai.
    app.click("optTai3");
    const ChartLook rentaiBefore = lookOf(*rentai);
    for (const char* button :
         {"optTai", "optShi", "optKon", "optTai5", "optKon5", "optTai2", "optShi2", "optKon2", "optTai4", "optKon4"}) {
        app.click(button);
        EXPECT_EQ(lookOf(*rentai), rentaiBefore) << button;
        EXPECT_TRUE(app.find<QRadioButton>("optTai3")->isChecked()) << button;
    }
}

TEST(TrendScreen, OneRecordAndAnEmptyLog) {
    TestApp app;
    writeDiary(app, "\"2005/02/09\",\"はじめの一歩\",126,80,70,,62.5\n");
    app.start();
    app.click("cmdRentai");
    EXPECT_EQ(app.find<ui::Chart>("mcrRentai")->rowCount(), 1);
    EXPECT_EQ(app.find<QLabel>("lblNichis")->text(), "2005/02/09 ( 126mmHg / 80mmHg / 70拍/分 ) でスタート");
    EXPECT_EQ(app.find<QLabel>("lblKiro")->text(), "2005/02/09 現在  0日経過 ( 126mmHg / 80mmHg / 70拍/分 )");

    // The log emptied by hand: the screen opens empty, and every mode still draws a chart.
    app.click("cmdMain");
    app.writeFile("データ.txt", "");
    app.click("cmdRentai");
    EXPECT_FALSE(app.find<QWidget>("fraRenTai")->isHidden());
    EXPECT_EQ(app.find<ui::Chart>("mcrRentai")->rowCount(), 0);
    EXPECT_TRUE(app.find<QLabel>("lblNichis")->text().isEmpty());
    EXPECT_TRUE(app.find<QLabel>("lblKiro")->text().isEmpty());
    for (const char* button : kModeButtons) {
        app.click(button);
        EXPECT_FALSE(app.find<ui::Chart>("mcrRentai")->picture().isNull()) << button;
    }
}

TEST(TrendScreen, AnEmptyLogTakesItsAxesFromTheSettings) {
    // Automatic axes with nothing to scale from: the settings' ranges, as the other charts do, in every mode.
    TestApp app;
    writeDiary(app, "\"2005/02/09\",\"はじめの一歩\",126,80,70,,62.5\n", 1);
    app.start();
    app.writeFile("データ.txt", "");  // emptied by hand
    app.click("cmdRentai");
    ui::Chart* chart = app.find<ui::Chart>("mcrRentai");
    const ChartLook opened = lookOf(*chart);
    EXPECT_EQ(opened.primaryMin, 50);
    EXPECT_EQ(opened.primaryMax, 190);
    EXPECT_EQ(opened.primaryDivisions, 7);
    const std::vector<ModeCase> modes = {
        {"optShi1", {false, false, true, false}, false, true, 45, 110, 13},
        {"optKon1", {true, true, true, false}, true, true, 45, 110, 13},
        {"optTai3", {false, false, false, true}, false, true, 50, 80, 6},
        {"optKon3", {true, true, false, true}, true, true, 50, 80, 6},
    };
    for (const ModeCase& c : modes) {
        app.click(c.button);
        const ChartLook look = lookOf(*chart);
        EXPECT_EQ(look.secondaryMin, c.secondaryMin) << c.button;
        EXPECT_EQ(look.secondaryMax, c.secondaryMax) << c.button;
        EXPECT_EQ(look.secondaryDivisions, c.secondaryDivisions) << c.button;
        EXPECT_EQ(look.primaryMin, 50) << c.button;
    }
}

TEST(TrendScreen, TheStartAndCurrentLinesStandBelowTheGraphAsTheHelpSays) {
    TestApp app;
    writeDiary(app, kLog);
    frmMain& window = app.start();
    window.resize(1100, 760);
    window.show();
    app.click("cmdRentai");
    QCoreApplication::processEvents();
    auto* chart = app.find<ui::Chart>("mcrRentai");
    auto* start = app.find<QLabel>("lblNichis");
    auto* current = app.find<QLabel>("lblKiro");
    const int chartBottom = chart->mapTo(&window, QPoint(0, chart->height())).y();
    EXPECT_GE(start->mapTo(&window, QPoint(0, 0)).y(), chartBottom);
    EXPECT_GE(current->mapTo(&window, QPoint(0, 0)).y(), chartBottom);

    QFile page(QString::fromUtf8(SORANOTE_SOURCE_DIR) + "/help/trend.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(help.contains("グラフの下には、スタートした日の値")) << help.toStdString();
    EXPECT_FALSE(help.contains("グラフの上"));
}

TEST(TrendScreen, MissingLogIsReportedAndTheScreenStaysEmpty) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    std::filesystem::remove(app.dir() / std::filesystem::u8path("データ.txt"));
    app.dialogs().clear();
    app.click("cmdRentai");
    bool reported = false;
    for (const auto& record : app.dialogs().records()) {
        reported = reported || (record.icon == ui::Icon::Warning && record.text.contains("データ.txt"));
    }
    EXPECT_TRUE(reported);
    EXPECT_EQ(app.find<ui::Chart>("mcrRentai")->rowCount(), 0);
    EXPECT_TRUE(app.find<QLabel>("lblKiro")->text().isEmpty());
    EXPECT_FALSE(app.exists("データ.txt"));
}
