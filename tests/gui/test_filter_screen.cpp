// The filtered view: opening, period, weekday and situation controls, chart modes, printing.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <algorithm>

#include "core/rules/dates.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"
#include "views/filter_screen.h"

namespace {

// 2005/03/01, the clock's day, is a Tuesday.
const char* const kLog =
    "\"2005/02/01\",\"はじめの一歩\",128,82,72,,63.4\n"
    "\"2005/02/14\",\"朝食後\",130,85,66,\"\",63.7\n"        // Mon
    "\"2005/02/21\",\"朝食後\",126,80,70,\"\",63.5\n"        // Mon
    "\"2005/02/21\",\"夕食後\",122,78,64,\"\",63.6\n"        // Mon
    "\"2005/02/22\",\"朝食後\",131,83,66,\"\",62.9\n"        // Tue
    "\"2005/02/23\",\"起床後の朝\",146,92,71,\"\",62.1\n"    // Wed
    "\"2005/02/26\",\"朝食後\",135,86,73,\"\",62\n"          // Sat
    "\"2005/02/27\",\"昼食後\",124,79,58,\"\",62.5\n"        // Sun
    "\"2005/02/28\",\"朝食後\",118,76,75,\"\",64.2\n"        // Mon
    "\"2005/02/28\",\"朝食後の散歩\",121,77,62,\"\",62.5\n"  // Mon
    "\"2005/03/01\",\"夕食後\",125,81,67,\"\",62.2\n"        // Tue
    "\"2005/03/02\",\"朝食後\",129,82,69,\"\",62.3\n";       // after today

const char* const kPeriodButtons[] = {"cmdKikan1", "cmdKikan8", "cmdKikan2", "cmdKikan3", "cmdKikan4",
                                      "cmdKikan5", "cmdKikan6", "cmdKikan7", "cmdAllDay", "cmdKikanF"};

void writeDiary(TestApp& app, bool helpTour = false, const char* log = kLog) {
    app.writeFile("データ.txt", log);
    app.writeFile("状況リスト.txt", "はじめの一歩\n起床後\n朝食後\n昼食後\n夕食後\n");
    app.writeFile("設定.txt", helpTour ? "\"ヘルプツアー\",1\n" : "\"ヘルプツアー\",0\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
}

struct Filter {
    TestApp& app;
    ui::Grid* grid() { return app.find<ui::Grid>("msgBunseki"); }
    ui::Chart* chart() { return app.find<ui::Chart>("mcrBunseki"); }
    QComboBox* start() { return app.find<QComboBox>("cboStdate"); }
    QComboBox* end() { return app.find<QComboBox>("cboEddate"); }
    QLineEdit* key() { return app.find<QLineEdit>("txtKey"); }

    /// "yy/mm/dd 状況" of every listed row.
    QStringList listed() {
        QStringList rows;
        for (int r = 1; r < grid()->rowCount(); ++r) {
            rows << grid()->text(r, 1) + " " + grid()->text(r, 3);
        }
        return rows;
    }
    bool highlighted(const char* name) {
        return app.find<QPushButton>(name)->palette().color(QPalette::Button) == FilterScreen::highlightColour();
    }
    QStringList highlightedOf(std::initializer_list<const char*> names) {
        QStringList on;
        for (const char* name : names) {
            if (highlighted(name)) {
                on << name;
            }
        }
        return on;
    }
    void chooseSituation(const QString& text) {
        auto* list = app.find<QListWidget>("lstAct2");
        const auto items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        const QRect rect = list->visualItemRect(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    /// Japanese text arrives from the input method as a committed string.
    void type(const QString& text) {
        QInputMethodEvent input;
        input.setCommitString(text);
        QCoreApplication::sendEvent(key(), &input);
    }
    void focusKeyword() {
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(key(), &focus);
    }
};

QStringList weekdayButtons() {
    QStringList names;
    for (int i = 0; i < 7; ++i) {
        names << QString("cmdWeek%1").arg(i);
    }
    return names;
}

}  // namespace

TEST(FilterOpen, ListsEveryRecordResetsCriteriaAndShowsHelp) {
    TestApp app;
    writeDiary(app, true);
    app.start();
    Filter f{app};
    app.dialogs().clear();
    app.click("cmdTaijyu");

    EXPECT_FALSE(app.find<QWidget>("fraTaijyu")->isHidden());
    EXPECT_TRUE(app.find<QWidget>("fraMain")->isHidden());
    ASSERT_EQ(f.grid()->rowCount(), 13);
    EXPECT_EQ(f.grid()->text(0, 3), "行動");
    EXPECT_EQ(f.grid()->text(1, 1), "05/02/01");
    EXPECT_EQ(f.grid()->text(12, 1), "05/03/02");
    EXPECT_EQ(f.grid()->text(6, 2), "水");
    EXPECT_EQ(f.grid()->text(2, 6), "2");  // 130 after 128
    EXPECT_EQ(f.grid()->text(2, 7), "↑");
    EXPECT_EQ(f.grid()->background(2, 7), QColor(255, 192, 192));
    EXPECT_EQ(f.grid()->text(1, 7), "→");
    EXPECT_EQ(f.grid()->background(1, 7), QColor(255, 255, 192));
    EXPECT_EQ(f.start()->currentText(), "2005/02/01");
    EXPECT_EQ(f.end()->currentText(), "2005/03/02");
    EXPECT_EQ(f.start()->count(), 10);  // each date once
    EXPECT_EQ(f.chart()->rowCount(), 12);
    EXPECT_EQ(app.find<QListWidget>("lstAct2")->count(), 5);

    EXPECT_TRUE(app.find<QRadioButton>("optKon4")->isChecked());
    EXPECT_EQ(f.highlightedOf({"cmdAllDay", "cmdAllact", "cmdAllWeek", "cmdKikan1", "cmdKikanF", "cmdWeek0"}),
              (QStringList{"cmdAllDay", "cmdAllact", "cmdAllWeek"}));
    EXPECT_EQ(app.screen<FilterScreen>()->selectedWeekday(), 99);

    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& help = app.dialogs().records().front();
    EXPECT_EQ(help.title, "ヘルプツアー");
    EXPECT_TRUE(
        help.text.startsWith("これまで入力してきたデータを「状況」「曜日」「期間」指定で表示できます。\r\n\r\n"));
    EXPECT_TRUE(
        help.text.contains("\r\n　※状況欄に直接任意の語句を入力することができます。（入力後Enter）\r\n\r\n各種"));
    EXPECT_TRUE(help.text.endsWith("お医者さんへの提出に便利！\r\n"));
    EXPECT_EQ(help.text.count("\r\n"), 11);
}

TEST(FilterOpen, SecondOpeningKeepsOrResetsAsTheButtonSays) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    app.click("cmdWeek1");
    f.key()->setText("朝");

    // A click while the view is shown changes nothing.
    app.click("cmdTaijyu");
    EXPECT_TRUE(f.highlighted("cmdWeek1"));
    EXPECT_EQ(f.key()->text(), "朝");

    // Coming back from another screen lists everything again with the same period entries, not twice.
    app.click("cmdMain");
    app.click("cmdTaijyu");
    EXPECT_EQ(f.grid()->rowCount(), 13);
    EXPECT_EQ(f.key()->text(), "");
    EXPECT_FALSE(f.highlighted("cmdWeek1"));
    ASSERT_EQ(f.start()->count(), 10);
    ASSERT_EQ(f.end()->count(), 10);
    QStringList dates;
    for (int i = 0; i < f.start()->count(); ++i) {
        dates << f.start()->itemText(i);
    }
    EXPECT_EQ(dates.removeDuplicates(), 0);
    EXPECT_EQ(dates.front(), "2005/02/01");
    EXPECT_EQ(dates.back(), "2005/03/02");
}

TEST(FilterPeriod, EachButtonWritesItsPeriodAndHighlightsItself) {
    TestApp app;
    writeDiary(app);
    frmMain& window = app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    // "全部" runs from the log's start, as the main screen found it, to today: the record after today is left out.
    app.click("cmdAllDay");
    EXPECT_EQ(f.start()->currentText(), "2005/02/01");
    EXPECT_EQ(f.end()->currentText(), "2005/03/01");
    EXPECT_EQ(f.grid()->rowCount() - 1, 11);
    window.state().startDate = "2005/02/14";  // as if the main screen's last refresh had found this start

    struct Case {
        const char* button;
        const char* start;
        int listed;
    };
    const Case cases[] = {
        {"cmdKikan1", "2005/02/28", 3},  {"cmdKikan8", "2005/02/27", 4},  {"cmdKikan2", "2005/02/22", 7},
        {"cmdKikan3", "2005/02/15", 9},  {"cmdKikan4", "2005/01/30", 11}, {"cmdKikan5", "2004/12/01", 11},
        {"cmdKikan6", "2004/09/02", 11}, {"cmdKikan7", "2004/03/01", 11}, {"cmdAllDay", "2005/02/14", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        app.click(c.button);
        EXPECT_EQ(f.start()->currentText(), c.start);
        EXPECT_EQ(f.end()->currentText(), "2005/03/01");
        EXPECT_EQ(f.grid()->rowCount() - 1, c.listed);
        EXPECT_EQ(f.chart()->rowCount(), c.listed);
        QStringList on;
        for (const char* name : kPeriodButtons) {
            if (f.highlighted(name)) {
                on << name;
            }
        }
        EXPECT_EQ(on, QStringList{c.button});
    }
    EXPECT_EQ(f.listed().back(), "05/03/01 夕食後");  // the record after today is not listed

    // "任意" takes the boxes as they are, typed text included.
    f.start()->setEditText("2005/02/21");
    f.end()->setEditText("2005/02/22");
    app.click("cmdKikanF");
    EXPECT_EQ(f.listed(), (QStringList{"05/02/21 朝食後", "05/02/21 夕食後", "05/02/22 朝食後"}));
    EXPECT_TRUE(f.highlighted("cmdKikanF"));
    EXPECT_FALSE(f.highlighted("cmdAllDay"));
    f.start()->setEditText("2005/03/01");
    f.end()->setEditText("2005/02/01");
    app.click("cmdKikanF");
    EXPECT_EQ(f.grid()->rowCount(), 1);
}

TEST(FilterCriteria, WeekdayAndSituationHighlightsAndTheCombinationExample) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    app.click("cmdKikan2");  // １週間: 2005/02/22 to 2005/03/01

    app.click("cmdWeek3");  // 水
    EXPECT_EQ(app.screen<FilterScreen>()->selectedWeekday(), 3);
    QStringList week = weekdayButtons() << "cmdAllWeek";
    QStringList on;
    for (const QString& name : week) {
        if (f.highlighted(name.toLatin1().constData())) {
            on << name;
        }
    }
    EXPECT_EQ(on, QStringList{"cmdWeek3"});
    EXPECT_EQ(f.listed(), QStringList{"05/02/23 起床後の朝"});
    app.click("cmdAllWeek");
    EXPECT_FALSE(f.highlighted("cmdWeek3"));
    EXPECT_TRUE(f.highlighted("cmdAllWeek"));
    EXPECT_EQ(f.grid()->rowCount() - 1, 7);

    // Monday, then the situation 朝食後 from the list: Monday records of the eight days containing it.
    app.click("cmdWeek1");
    f.chooseSituation("朝食後");
    EXPECT_EQ(f.key()->text(), "朝食後");
    EXPECT_FALSE(f.highlighted("cmdAllact"));
    EXPECT_TRUE(f.highlighted("cmdKikan2"));  // the period highlight stays
    EXPECT_TRUE(f.highlighted("cmdWeek1"));
    EXPECT_EQ(f.listed(), (QStringList{"05/02/28 朝食後", "05/02/28 朝食後の散歩"}));
    // The first listed row's changes are zero although earlier records were skipped.
    EXPECT_EQ(f.grid()->text(1, 6), "0");
    EXPECT_EQ(f.grid()->text(1, 14), "0.0");
    EXPECT_EQ(f.grid()->text(1, 15), "→");
    EXPECT_EQ(f.grid()->text(2, 6), "3");  // 121 after 118

    app.click("cmdAllWeek");
    EXPECT_EQ(f.listed(),
              (QStringList{"05/02/22 朝食後", "05/02/26 朝食後", "05/02/28 朝食後", "05/02/28 朝食後の散歩"}));

    app.click("cmdAllact");
    EXPECT_EQ(f.key()->text(), "");
    EXPECT_TRUE(f.highlighted("cmdAllact"));
    EXPECT_EQ(f.grid()->rowCount() - 1, 7);
}

TEST(FilterCriteria, KeywordBoxEmptiesOnFocusAndEnterLists) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    f.chooseSituation("夕食後");
    EXPECT_EQ(f.listed(), (QStringList{"05/02/21 夕食後", "05/03/01 夕食後"}));

    f.focusKeyword();
    EXPECT_EQ(f.key()->text(), "");
    f.type("朝");
    EXPECT_EQ(f.grid()->rowCount() - 1, 2);  // typing alone does not list
    QTest::keyClick(f.key(), Qt::Key_Return);
    EXPECT_EQ(f.listed(),
              (QStringList{"05/02/14 朝食後", "05/02/21 朝食後", "05/02/22 朝食後", "05/02/23 起床後の朝",
                           "05/02/26 朝食後", "05/02/28 朝食後", "05/02/28 朝食後の散歩", "05/03/02 朝食後"}));

    // Enter in the emptied box lists without a keyword.
    f.focusKeyword();
    QTest::keyClick(f.key(), Qt::Key_Return);
    EXPECT_EQ(f.grid()->rowCount(), 13);

    // "検索" runs the keyword listing whatever weekday is selected.
    app.click("cmdWeek0");
    f.key()->setText("朝食後の");
    app.click("cmdKensaku");
    EXPECT_EQ(f.listed(), QStringList{"05/02/28 朝食後の散歩"});
    EXPECT_TRUE(f.highlighted("cmdWeek0"));
}

TEST(FilterCriteria, ADoubleClickOnASituationListsOnceAndEnterListsToo) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    auto* list = app.find<QListWidget>("lstAct2");
    // Every listing puts a new set of rows into the grid.
    QSignalSpy listings(f.grid()->model(), &QAbstractItemModel::modelReset);
    const QPoint at = list->visualItemRect(list->item(2)).center();  // 朝食後

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    const int oneListing = listings.count();
    ASSERT_GT(oneListing, 0);
    EXPECT_EQ(f.key()->text(), "朝食後");
    const QStringList breakfast = f.listed();
    EXPECT_EQ(breakfast.size(), 7);  // 朝食後 and 朝食後の散歩 over the whole log

    // A double-click: press, release, then the second press arrives as a press and a double-click.
    listings.clear();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(listings.count(), oneListing);
    EXPECT_EQ(f.listed(), breakfast);

    // The keyboard: moving to an entry lists nothing, Enter lists it once.
    listings.clear();
    list->setFocus();
    list->setCurrentRow(4);  // 夕食後
    EXPECT_EQ(listings.count(), 0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(listings.count(), oneListing);
    EXPECT_EQ(f.key()->text(), "夕食後");
    EXPECT_EQ(f.listed(), QStringList({"05/02/21 夕食後", "05/03/01 夕食後"}));
}

TEST(FilterCriteria, LongListScrollsToItsLastRow) {
    TestApp app;
    std::string log;
    for (int day = 1; day <= 28; ++day) {
        log +=
            "\"2005/02/" + std::string(day < 10 ? "0" : "") + std::to_string(day) + "\",\"朝食後\",120,80,70,\"\",62\n";
    }
    writeDiary(app, false, log.c_str());
    frmMain& window = app.start();
    // Scrolling needs a laid-out grid: show the window (offscreen).
    window.resize(1100, 760);
    window.show();
    Filter f{app};
    app.click("cmdTaijyu");
    QCoreApplication::processEvents();
    app.click("cmdKikan4");  // 2005/01/30 to 2005/03/01: all 28
    ASSERT_EQ(f.grid()->rowCount(), 29);
    EXPECT_GT(f.grid()->topRow(), 1);
    const QRect last = f.grid()->visualRect(f.grid()->model()->index(27, 0));
    EXPECT_TRUE(f.grid()->viewport()->rect().contains(last)) << last.top() << " " << f.grid()->viewport()->height();
    f.start()->setEditText("2005/02/19");
    app.click("cmdKikanF");  // ten rows: no scrolling
    ASSERT_EQ(f.grid()->rowCount(), 11);
    EXPECT_EQ(f.grid()->topRow(), 1);
}

TEST(FilterChart, ModesShowSeriesAndScaleTheSecondaryAxis) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    ui::Chart* chart = f.chart();

    auto visible = [&] {
        return std::vector<bool>{chart->isSeriesVisible(0),
                                 chart->isSeriesVisible(1),
                                 chart->isSeriesVisible(2),
                                 chart->isSeriesVisible(3),
                                 chart->isAxisVisible(ui::Axis::Primary),
                                 chart->isAxisVisible(ui::Axis::Secondary)};
    };
    auto secondary = [&] {
        return std::vector<double>{chart->axisMinimum(ui::Axis::Secondary), chart->axisMaximum(ui::Axis::Secondary),
                                   double(chart->axisDivisions(ui::Axis::Secondary))};
    };
    // Weight mixed on opening; weights 62.0 to 64.2, diastolic from 76, systolic up to 146.
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, true, true, true}));
    EXPECT_EQ(secondary(), (std::vector<double>{61, 65, 10}));
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Primary), 76);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Primary), 146);

    app.click("optShi2");  // pulse alone; pulses 58 to 75
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(secondary(), (std::vector<double>{57, 75, 10}));
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Primary), 76);  // the primary axis keeps its range

    // A new listing in a pulse mode scales the secondary axis for the pulse of the new selection.
    app.click("cmdKikan1");  // 02/28 to 03/01: pulses 75, 62, 67
    EXPECT_EQ(secondary(), (std::vector<double>{61, 75, 10}));
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, true, false, false, true}));

    app.click("optTai2");
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, false, true, false}));
    app.click("optKon2");
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, false, true, true}));
    app.click("optTai4");  // weights 64.2, 62.5, 62.2
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, false, true, false, true}));
    EXPECT_EQ(secondary(), (std::vector<double>{61, 65, 10}));

    // Reopening selects weight mixed again.
    app.click("cmdMain");
    app.click("cmdTaijyu");
    EXPECT_TRUE(app.find<QRadioButton>("optKon4")->isChecked());
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, true, true, true}));
}

TEST(FilterChart, ManualAxesComeFromTheSettings) {
    TestApp app;
    writeDiary(app);
    app.writeFile("グラフ設定.txt",
                  "\"自動設定\",0\n\"血圧最大値\",200\n\"血圧最小値\",40\n\"血圧刻み\",8\n\"脈拍最大値\",110\n"
                  "\"脈拍最小値\",50\n\"脈拍刻み\",6\n\"体重最大値\",80\n\"体重最小値\",50\n\"体重刻み\",6\n");
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    ui::Chart* chart = f.chart();
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Primary), 40);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Primary), 200);
    EXPECT_EQ(chart->axisDivisions(ui::Axis::Primary), 8);
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 50);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 80);
    app.click("optKon2");
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 50);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 110);
    EXPECT_EQ(chart->axisDivisions(ui::Axis::Secondary), 6);
    EXPECT_FALSE(chart->isSeriesVisible(3));
}

TEST(FilterRead, UnreadableLogGivesAMessageAndAnEmptyList) {
    TestApp app;
    writeDiary(app);
    app.start();
    Filter f{app};
    app.click("cmdTaijyu");
    ASSERT_EQ(f.grid()->rowCount(), 13);

    app.writeFile("データ.txt", "\"2005/02/01\",\"朝食後\",128,82,72,,63.4\n\"2005/02/02\",\"朝食後\",abc\n");
    app.dialogs().clear();
    app.click("cmdKikan2");
    EXPECT_EQ(f.grid()->rowCount(), 1);
    EXPECT_EQ(f.chart()->rowCount(), 0);
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& message = app.dialogs().records().front();
    EXPECT_EQ(message.icon, ui::Icon::Warning);
    EXPECT_TRUE(message.text.contains("データ.txt")) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains("2 行目")) << message.text.toStdString();
}

namespace {

/// The page text of a PDF as pdftotext lays it out, normalised (CJK glyphs may come back as Kangxi radicals).
QStringList pdfLines(const QString& path) {
    QProcess process;
    process.start("pdftotext", {"-layout", path, "-"});
    EXPECT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    return text.split('\n');
}

QStringList words(const QString& line) {
    return line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

QString printFile(TestApp& app) {
    return QString::fromStdString((app.dir() / "印刷_20050301_101500.pdf").string());
}

}  // namespace

TEST(FilterPrint, PrintsChartHeadingRuleAndTheListedLinesToPdf) {
    TestApp app;
    writeDiary(app);
    app.start();
    app.screen<FilterScreen>()->setPrintToPdf(true);
    Filter f{app};
    app.click("cmdTaijyu");
    app.click("cmdKikan2");  // seven rows
    QGuiApplication::clipboard()->clear();

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdPriData");

    const auto& records = app.dialogs().records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].title, "印刷確認");
    EXPECT_EQ(records[0].icon, ui::Icon::Question);
    EXPECT_EQ(records[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(records[0].text, "表示中のデータを印刷しますか？ \r\n\r\n良かったらＯＫボタンを押してください");
    EXPECT_EQ(records[1].icon, ui::Icon::Information);
    EXPECT_TRUE(records[1].text.contains("印刷_20050301_101500.pdf")) << records[1].text.toStdString();
    ASSERT_TRUE(QFile::exists(printFile(app)));
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());  // the chart went through the clipboard

    const QStringList lines = pdfLines(printFile(app));
    const auto heading =
        std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains("日付け"); });
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(words(*heading), (QStringList{"日付け", "状況", "最高血圧", "最低血圧", "高低差", "脈拍", "体重"}));
    ASSERT_NE(heading + 1, lines.end());
    EXPECT_EQ((heading + 1)->trimmed(), QString(77, '-'));

    QStringList printed;
    for (auto line = heading + 2; line != lines.end(); ++line) {
        if (!line->trimmed().isEmpty()) {
            printed << words(*line).join(' ');
        }
    }
    QStringList expected;
    for (int r = 1; r < f.grid()->rowCount(); ++r) {
        expected << QStringList{f.grid()->text(r, 1), f.grid()->text(r, 3),  f.grid()->text(r, 5),
                                f.grid()->text(r, 8), f.grid()->text(r, 11), f.grid()->text(r, 12),
                                f.grid()->text(r, 13)}
                        .join(' ');
    }
    ASSERT_EQ(expected.size(), 7);
    EXPECT_EQ(expected.front(), "05/02/22 朝食後 131 83 48 66 62.9");
    EXPECT_EQ(printed, expected);
    // Printing changes nothing in the view.
    EXPECT_EQ(f.grid()->rowCount(), 8);
    EXPECT_TRUE(f.highlighted("cmdKikan2"));
}

TEST(FilterPrint, CancelPrintsNothingAndLongListsFlowOntoMorePages) {
    TestApp app;
    std::string log;
    for (int i = 0; i < 90; ++i) {
        const sora::Date date = sora::Date{2004, 12, 1}.add_days(i);
        log += "\"" + sora::format_date(date) + "\",\"朝食後\"," + std::to_string(110 + i % 40) + ",80,70,\"\",62.5\n";
    }
    writeDiary(app, false, log.c_str());
    app.start();
    app.screen<FilterScreen>()->setPrintToPdf(true);
    Filter f{app};
    app.click("cmdTaijyu");

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    app.click("cmdPriData");
    EXPECT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_FALSE(QFile::exists(printFile(app)));

    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdPriData");
    ASSERT_TRUE(QFile::exists(printFile(app)));
    QStringList dates;
    for (const QString& line : pdfLines(printFile(app))) {
        const QStringList w = words(line);
        if (w.size() == 7 && w[1] == "朝食後") {
            dates << w[0];
        }
    }
    ASSERT_EQ(dates.size(), 90);
    EXPECT_EQ(dates.front(), "04/12/01");
    EXPECT_EQ(dates.back(), f.grid()->text(90, 1));
    QProcess info;
    info.start("pdfinfo", {printFile(app)});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString pages = QString::fromUtf8(info.readAllStandardOutput()).section("Pages:", 1).section('\n', 0, 0);
    EXPECT_GE(pages.trimmed().toInt(), 2);
}

TEST(FilterPrint, AFailedPrintIsReportedNotClaimed) {
    TestApp app;
    writeDiary(app);
    app.start();
    app.screen<FilterScreen>()->setPrintToPdf(true);
    app.click("cmdTaijyu");
    // A directory where the PDF should go: the file cannot be written.
    ASSERT_TRUE(QDir().mkpath(printFile(app)));

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdPriData");
    const auto& records = app.dialogs().records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].icon, ui::Icon::Warning);
    EXPECT_EQ(records[1].title, "印刷エラー");
    EXPECT_FALSE(records[1].text.contains("保存しました"));
}
