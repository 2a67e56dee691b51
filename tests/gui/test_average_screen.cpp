// The daily-average screen: opening, the period button, export and print.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include "core/files/file_io.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"

namespace {

// 02/09 two records, 02/10 nothing, 02/11 one, 02/12 nothing, 02/13 three.
const char* const kLog =
    "\"2005/02/09\",\"はじめの一歩\",130,80,70,,62\n"
    "\"2005/02/09\",\"朝食後\",141,85,70,\"\",63\n"
    "\"2005/02/11\",\"朝食後\",120,70,70,\"\",62\n"
    "\"2005/02/13\",\"朝食後\",120,80,70,\"\",60\n"
    "\"2005/02/13\",\"昼食後\",120,81,70,\"\",60\n"
    "\"2005/02/13\",\"就寝前\",121,81,70,\"\",60\n";

const char* const kAxes =
    "\"自動設定\",1\n\"血圧最大値\",180\n\"血圧最小値\",60\n\"血圧刻み\",6\n\"脈拍最大値\",120\n"
    "\"脈拍最小値\",40\n\"脈拍刻み\",8\n\"体重最大値\",90\n\"体重最小値\",40\n\"体重刻み\",5\n";

const QString kExportWhole =
    "\"05/02/09\",135.5,82.5,53,62.5\r\n\"05/02/10\",0,0,0,0\r\n\"05/02/11\",120,70,50,62\r\n"
    "\"05/02/12\",0,0,0,0\r\n\"05/02/13\",120.3,80.7,39.7,60\r\n";

struct AverageApp {
    TestApp app;
    ui::Grid* grid = nullptr;
    ui::Chart* chart = nullptr;
    QComboBox* start = nullptr;
    QComboBox* end = nullptr;

    explicit AverageApp(bool helpTour = false) {
        app.writeFile("データ.txt", kLog);
        app.writeFile("グラフ設定.txt", kAxes);
        app.writeFile("設定.txt", helpTour ? "\"ヘルプツアー\",1\n" : "\"ヘルプツアー\",0\n");
        app.start();
        app.dialogs().clear();
        app.click("cmdAvgtai");
        grid = app.find<ui::Grid>("msgAvgtai");
        chart = app.find<ui::Chart>("mcrAvgtai");
        start = app.find<QComboBox>("cboStdate2");
        end = app.find<QComboBox>("cboEddate2");
    }

    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c) {
            cells.append(grid->text(r, c));
        }
        return cells;
    }

    void period(const QString& from, const QString& to) {
        start->setEditText(from);
        end->setEditText(to);
        app.click("cmdKikanF2");
    }
};

// Delegates to the real calls and fails every rename.
class FailingRename : public sora::FileIo {
public:
    int open_for_write(const std::filesystem::path& p, bool append) override {
        return sora::posix_file_io().open_for_write(p, append);
    }
    long write(int fd, const char* data, std::size_t size) override {
        return sora::posix_file_io().write(fd, data, size);
    }
    int fsync(int fd) override { return sora::posix_file_io().fsync(fd); }
    int close(int fd) override { return sora::posix_file_io().close(fd); }
    int rename(const std::filesystem::path&, const std::filesystem::path&) override { return -1; }
    int sync_directory(const std::filesystem::path& d) override { return sora::posix_file_io().sync_directory(d); }
};

QString collapse(QString text) {
    return text.normalized(QString::NormalizationForm_KC).replace(QRegularExpression("[ \\t]+"), " ").trimmed();
}

}  // namespace

TEST(AverageScreen, OpensWithEveryDayTheChartAndThePeriodBoxes) {
    AverageApp a(true);
    EXPECT_FALSE(a.app.find<QWidget>("fraAvgTai")->isHidden());
    EXPECT_TRUE(a.app.find<QWidget>("fraMain")->isHidden());

    ASSERT_EQ(a.grid->rowCount(), 6);
    EXPECT_EQ(a.row(0), (QStringList{"数", "日付", "最高", "最低", "高低", "体重"}));
    EXPECT_EQ(a.row(1), (QStringList{"1", "05/02/09", "135.5", "82.5", "53.0", "62.5"}));
    EXPECT_EQ(a.row(2), (QStringList{"2", "05/02/10", "", "", "", ""}));
    EXPECT_EQ(a.row(5), (QStringList{"5", "05/02/13", "120.3", "80.7", "39.7", "60.0"}));
    EXPECT_EQ(a.grid->columnWidthTwips(1), 900);

    // The empty day repeats the day before in the chart; weight on the right axis, both from the settings.
    ASSERT_EQ(a.chart->rowCount(), 5);
    EXPECT_DOUBLE_EQ(a.chart->value(1, 0), 135.5);
    EXPECT_DOUBLE_EQ(a.chart->value(1, 2), 62.5);
    EXPECT_DOUBLE_EQ(a.chart->value(4, 1), static_cast<double>(242.0f / 3.0f));
    EXPECT_EQ(a.chart->axisMaximum(ui::Axis::Primary), 180);
    EXPECT_EQ(a.chart->axisMinimum(ui::Axis::Primary), 60);
    EXPECT_EQ(a.chart->axisDivisions(ui::Axis::Primary), 6);
    EXPECT_EQ(a.chart->axisMaximum(ui::Axis::Secondary), 90);
    EXPECT_EQ(a.chart->axisMinimum(ui::Axis::Secondary), 40);
    EXPECT_EQ(a.chart->axisDivisions(ui::Axis::Secondary), 5);

    ASSERT_EQ(a.start->count(), 5);
    EXPECT_EQ(a.end->count(), 5);
    EXPECT_EQ(a.start->itemText(4), "05/02/13");
    EXPECT_EQ(a.start->currentText(), "05/02/09");
    EXPECT_EQ(a.end->currentText(), "05/02/13");

    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.dialogs().records()[0].title, "ヘルプツアー");
    EXPECT_EQ(a.app.dialogs().records()[0].text,
              "日毎の平均をリストとグラフに表示します。\r\n\r\n"
              "表示中の平均データはテキストデータに保存したり、印刷することができます。\r\n");

    // A click while shown recomputes nothing: a changed log is not picked up.
    a.app.writeFile("データ.txt", "\"2005/02/09\",\"朝食後\",100,60,70,\"\",50\n");
    a.app.click("cmdAvgtai");
    EXPECT_EQ(a.grid->rowCount(), 6);
    EXPECT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.find<QPushButton>("cmdKikanF2")->toolTip(), "指定した期間で表示");
    EXPECT_EQ(a.app.find<QPushButton>("cmdAvgHozon")->toolTip(), "平均データを保存");
    EXPECT_EQ(a.app.find<QPushButton>("cmdAvgPri")->toolTip(), "平均データを印刷");
}

TEST(AverageScreen, PeriodButtonShowsThePeriodAndSaysWhichBoxIsWrong) {
    AverageApp a;
    a.period("05/02/10", "05/02/11");
    ASSERT_EQ(a.grid->rowCount(), 3);
    EXPECT_EQ(a.row(1), (QStringList{"1", "05/02/10", "", "", "", ""}));
    EXPECT_EQ(a.row(2), (QStringList{"2", "05/02/11", "120.0", "70.0", "50.0", "62.0"}));
    EXPECT_DOUBLE_EQ(a.chart->value(0, 0), 135.5);  // carried in from the day before the period
    EXPECT_EQ(a.chart->rowCount(), 2);
    EXPECT_EQ(a.start->count(), 5);  // the boxes keep their items and texts
    EXPECT_EQ(a.start->currentText(), "05/02/10");
    EXPECT_FALSE(a.app.find<QWidget>("fraAvgTai")->isHidden());
    EXPECT_TRUE(a.app.dialogs().records().empty());

    a.period("05/02/11", "05/02/11");
    ASSERT_EQ(a.grid->rowCount(), 2);
    EXPECT_EQ(a.row(1)[0], "1");

    a.period("05/02/12", "05/02/10");  // end before start
    EXPECT_EQ(a.grid->rowCount(), 1);
    EXPECT_EQ(a.chart->rowCount(), 0);
    EXPECT_TRUE(a.app.dialogs().records().empty());

    a.period("きのう", "05/02/10");
    EXPECT_EQ(a.grid->rowCount(), 1);
    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.dialogs().records()[0].text, "開始日の指定が日付ではありません。");
    a.period("05/02/10", "05/02/31");
    ASSERT_EQ(a.app.dialogs().records().size(), 2u);
    EXPECT_EQ(a.app.dialogs().records()[1].text, "終了日の指定が日付ではありません。");
    EXPECT_EQ(a.grid->rowCount(), 1);
}

TEST(AverageScreen, ExportWritesTheShownTableAndReportsFailure) {
    AverageApp a;
    a.app.click("cmdAvgHozon");
    EXPECT_EQ(QString::fromStdString(a.app.readBytes("日毎平均.txt")), kExportWhole);
    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.dialogs().records()[0].title, "保存終了");
    EXPECT_EQ(a.app.dialogs().records()[0].icon, ui::Icon::Information);
    EXPECT_EQ(a.app.dialogs().records()[0].text,
              "日毎平均.txt のファイル名で保存しました。 エクセルなどの表計算ソフトにも読み込めます。");

    a.period("05/02/10", "05/02/12");
    a.app.click("cmdAvgHozon");
    const std::string period = "\"05/02/10\",0,0,0,0\r\n\"05/02/11\",120,70,50,62\r\n\"05/02/12\",0,0,0,0\r\n";
    EXPECT_EQ(a.app.readBytes("日毎平均.txt"), period);

    a.app.dialogs().clear();
    {
        FailingRename failing;
        sora::FileIoOverride override(failing);
        a.app.click("cmdAvgHozon");
    }
    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_NE(a.app.dialogs().records()[0].title, "保存終了");
    EXPECT_EQ(a.app.dialogs().records()[0].icon, ui::Icon::Warning);
    EXPECT_EQ(a.app.readBytes("日毎平均.txt"), period);
}

TEST(AverageScreen, ExportOfAnEmptyTableSaysSoAndLeavesTheFileAlone) {
    AverageApp a;
    a.app.click("cmdAvgHozon");
    ASSERT_EQ(QString::fromStdString(a.app.readBytes("日毎平均.txt")), kExportWhole);

    a.period("05/02/12", "05/02/10");  // end before start: the headings only
    ASSERT_EQ(a.grid->rowCount(), 1);
    a.app.dialogs().clear();
    a.app.click("cmdAvgHozon");
    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.dialogs().records()[0].icon, ui::Icon::Information);
    EXPECT_EQ(a.app.dialogs().records()[0].title, "平均データの保存");
    EXPECT_EQ(a.app.dialogs().records()[0].text, "書き出す平均値がありません。日毎平均.txt は変更していません。");
    EXPECT_EQ(QString::fromStdString(a.app.readBytes("日毎平均.txt")), kExportWhole);

    // An unreadable log shows no days either; no file appears where there was none.
    TestApp broken;
    broken.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    broken.writeFile("データ.txt", "\"2005/02/30\",\"朝食後\",120,80,70,\"\",60\n");
    broken.start();
    broken.click("cmdAvgtai");
    broken.dialogs().clear();
    broken.click("cmdAvgHozon");
    ASSERT_EQ(broken.dialogs().records().size(), 1u);
    EXPECT_EQ(broken.dialogs().records()[0].icon, ui::Icon::Information);
    EXPECT_EQ(broken.dialogs().records()[0].text, "書き出す平均値がありません。日毎平均.txt は変更していません。");
    EXPECT_FALSE(broken.exists("日毎平均.txt"));
}

TEST(AverageScreen, PrintsChartAndTableIntoAPdf) {
    qputenv("SORANOTE_PRINT_TO_PDF", "1");
    AverageApp a;
    const std::string pdf = "日毎平均.pdf";

    a.app.dialogs().queueAnswer(ui::Answer::Cancel);
    a.app.click("cmdAvgPri");
    ASSERT_EQ(a.app.dialogs().records().size(), 1u);
    EXPECT_EQ(a.app.dialogs().records()[0].title, "印刷確認");
    EXPECT_EQ(a.app.dialogs().records()[0].icon, ui::Icon::Question);
    EXPECT_EQ(a.app.dialogs().records()[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(a.app.dialogs().records()[0].text,
              "表示中のデータを印刷しますか？ \r\n\r\n良かったらＯＫボタンを押してください");
    EXPECT_FALSE(a.app.exists(pdf));

    a.app.dialogs().clear();
    a.app.click("cmdAvgPri");  // answered with OK
    ASSERT_TRUE(a.app.exists(pdf));
    ASSERT_EQ(a.app.dialogs().records().size(), 2u);
    EXPECT_TRUE(a.app.dialogs().records()[1].text.contains("日毎平均.pdf"));

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    QProcess extract;
    extract.start("pdftotext", {"-layout", QString::fromStdString((a.app.dir() / pdf).string()), "-"});
    ASSERT_TRUE(extract.waitForFinished(30000));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(extract.readAllStandardOutput()).split('\n')) {
        if (!collapse(line).isEmpty()) {
            lines.append(collapse(line));
        }
    }
    const QStringList expected{
        collapse("　日付け    　最高血圧　  最低血圧　  高低差　    　体重"),
        "----------------------------------------------",
        "05/02/09 135.5 82.5 53.0 62.5",
        "05/02/10",
        "05/02/11 120.0 70.0 50.0 62.0",
        "05/02/12",
        "05/02/13 120.3 80.7 39.7 60.0",
    };
    for (const QString& want : expected) {
        EXPECT_TRUE(lines.contains(want)) << want.toStdString() << "\n" << lines.join('\n').toStdString();
    }
    EXPECT_LT(lines.indexOf(expected[2]), lines.indexOf(expected[6]));
    qunsetenv("SORANOTE_PRINT_TO_PDF");
}

TEST(AverageScreen, BackwardsLogShowsEveryDayAndAMissingLogNone) {
    TestApp app;
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    // A hand edit put the 02/10 record before the 02/01 one: the days are those of the sorted log.
    app.writeFile("データ.txt",
                  "\"2005/02/10\",\"朝食後\",130,85,70,\"\",61\n\"2005/02/01\",\"朝食後\",120,80,70,\"\",60\n");
    app.start();
    app.click("cmdAvgtai");
    auto* grid = app.find<ui::Grid>("msgAvgtai");
    ASSERT_EQ(grid->rowCount(), 11);
    const auto row = [grid](int r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c) {
            cells.append(grid->text(r, c));
        }
        return cells;
    };
    EXPECT_EQ(row(1), (QStringList{"1", "05/02/01", "120.0", "80.0", "40.0", "60.0"}));
    EXPECT_EQ(row(2), (QStringList{"2", "05/02/02", "", "", "", ""}));
    EXPECT_EQ(row(10), (QStringList{"10", "05/02/10", "130.0", "85.0", "45.0", "61.0"}));
    EXPECT_EQ(app.find<QComboBox>("cboStdate2")->count(), 10);
    EXPECT_EQ(app.find<QComboBox>("cboStdate2")->currentText(), "05/02/01");
    EXPECT_EQ(app.find<QComboBox>("cboEddate2")->currentText(), "05/02/10");
    EXPECT_TRUE(app.dialogs().records().empty());

    // The log gone: a message naming it, and the headings only.
    std::filesystem::remove(app.dir() / std::filesystem::u8path("データ.txt"));
    app.dialogs().clear();
    app.click("cmdMain");
    app.dialogs().clear();
    app.click("cmdAvgtai");
    EXPECT_EQ(app.find<ui::Grid>("msgAvgtai")->rowCount(), 1);
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("データ.txt"));
}
