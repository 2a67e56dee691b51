// The command line and the window show the same texts and colours for the same view of one diary.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "test_app.h"
#include "ui/grid.h"

namespace {

struct PrintedGrid {
    std::vector<std::vector<std::string>> texts;    // heading row first
    std::vector<std::vector<std::string>> colours;  // data rows only
    std::map<std::string, std::string> values;
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        cells.push_back(line.substr(start, tab - start));
    }
    cells.push_back(line.substr(start));
    return cells;
}

PrintedGrid runCli(TestApp& app, std::vector<std::string> args) {
    const sora::Date today = app.clock().today();
    args.insert(args.begin(), {"--data-dir", app.dir().string()});
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err, today), 0) << err.str();
    PrintedGrid printed;
    std::istringstream lines(out.str());
    enum { Texts, Colours, Rest } part = Texts;
    std::size_t columns = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line == "colours") {
            part = Colours;
            continue;
        }
        if (line == "chart") {
            part = Rest;
            continue;
        }
        std::vector<std::string> cells = splitTabs(line);
        if (part == Texts) {
            columns = printed.texts.empty() ? cells.size() : columns;
            printed.texts.push_back(cells);
        } else if (part == Colours && cells.size() == columns) {
            printed.colours.push_back(cells);
        } else if (cells.size() == 2) {
            part = Rest;
            printed.values[cells[0]] = cells[1];
        }
    }
    return printed;
}

std::string hex(const QColor& colour) {
    return colour.isValid() ? colour.name(QColor::HexRgb).toUpper().toStdString() : std::string();
}

/// Compares every cell of a grid on screen with the printed grid: headings, texts and colours.
void expectSameGrid(ui::Grid* grid, const PrintedGrid& printed) {
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(static_cast<std::size_t>(grid->rowCount()), printed.texts.size());
    ASSERT_EQ(printed.colours.size() + 1, printed.texts.size());
    for (int row = 0; row < grid->rowCount(); ++row) {
        ASSERT_EQ(static_cast<std::size_t>(grid->columnCount()), printed.texts[row].size()) << "row " << row;
        for (int column = 0; column < grid->columnCount(); ++column) {
            EXPECT_EQ(grid->text(row, column).toStdString(), printed.texts[row][column])
                << "row " << row << " column " << column;
            if (row > 0) {
                EXPECT_EQ(hex(grid->background(row, column)), printed.colours[row - 1][column])
                    << "row " << row << " column " << column;
            }
        }
    }
}

class CliMatchesWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app.useSample();
        app.start();
    }
    TestApp app;
};

}  // namespace

TEST_F(CliMatchesWindow, DayPage) {
    expectSameGrid(app.find<ui::Grid>("msgDayList"), runCli(app, {"day", "2005/02/09"}));
    const PrintedGrid printed = runCli(app, {"day", "2005/02/09"});
    for (const char* label : {"lblMaxMax", "lblMaxAvg", "lblSaSa", "lblMyaMin", "lblMHyouka"}) {
        EXPECT_EQ(app.find<QLabel>(label)->text().toStdString(), printed.values.at(label)) << label;
    }
}

TEST_F(CliMatchesWindow, FilteredViewOfTheWholeLog) {
    app.click("cmdTaijyu");
    expectSameGrid(app.find<ui::Grid>("msgBunseki"),
                   runCli(app, {"filter", "--from", "2005/02/01", "--to", "2005/03/01"}));
}

TEST_F(CliMatchesWindow, AveragesSortedListCalendarAndDiary) {
    app.click("cmdAvgtai");
    expectSameGrid(app.find<ui::Grid>("msgAvgtai"), runCli(app, {"averages"}));
    app.click("cmdBunseki");
    expectSameGrid(app.find<ui::Grid>("msgIchiran"), runCli(app, {"list"}));
    app.click("cmdSort4");
    expectSameGrid(app.find<ui::Grid>("msgIchiran"), runCli(app, {"list", "--sort", "4"}));
    app.click("cmdSort4");
    expectSameGrid(app.find<ui::Grid>("msgIchiran"), runCli(app, {"list", "--sort", "4", "--descending"}));
    app.click("cmdCale");
    const PrintedGrid calendar = runCli(app, {"calendar"});
    expectSameGrid(app.find<ui::Grid>("msgList2"), calendar);
    for (const char* label : {"lblHan1", "lblHan4", "lblNon_c", "lblGenT", "lblZouT", "lblHugou"}) {
        EXPECT_EQ(app.find<QLabel>(label)->text().toStdString(), calendar.values.at(label)) << label;
    }
    app.click("cmdMemo");
    expectSameGrid(app.find<ui::Grid>("msgMemoList"), runCli(app, {"diary"}));
}

TEST_F(CliMatchesWindow, LongTermGraphLines) {
    app.click("cmdRentai");
    const PrintedGrid trend = runCli(app, {"trend"});
    EXPECT_EQ(app.find<QLabel>("lblNichis")->text().toStdString(), trend.values.at("lblNichis"));
    EXPECT_EQ(app.find<QLabel>("lblKiro")->text().toStdString(), trend.values.at("lblKiro"));
}

// A diary with readings imported without pulse or weight: both leave the same cells empty and sort them last.
TEST(CliMatchesWindowNotMeasured, ListsAveragesAndSorting) {
    TestApp app;
    app.writeFile("データ.txt",
                  "\"2026/12/02\",\"はじめの一歩\",128,78,64,,62.3\n"
                  "\"2026/12/03\",\"起床後\",130,80,66,\"\",62\n"
                  "\"2026/12/03\",\"起床後\",133,80,0,\"\",0\n"
                  "\"2026/12/03\",\"就寝前\",0,0,63,\"\",0\n"
                  "\"2026/12/03\",\"就寝前\",132,81,65,\"\",62\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.start();
    app.window().showMainScreenFor(QDate(2026, 12, 3));
    expectSameGrid(app.find<ui::Grid>("msgDayList"), runCli(app, {"day", "2026/12/03"}));
    app.click("cmdTaijyu");
    expectSameGrid(app.find<ui::Grid>("msgBunseki"),
                   runCli(app, {"filter", "--from", "2026/12/02", "--to", "2026/12/03"}));
    app.click("cmdAvgtai");
    expectSameGrid(app.find<ui::Grid>("msgAvgtai"), runCli(app, {"averages"}));
    app.click("cmdBunseki");
    app.click("cmdSort9");
    const PrintedGrid ascending = runCli(app, {"list", "--sort", "8"});
    expectSameGrid(app.find<ui::Grid>("msgIchiran"), ascending);
    EXPECT_EQ(ascending.texts[1][8] + "|" + ascending.texts[3][8] + "|" + ascending.texts[4][8], "62|62.3|");
    app.click("cmdSort9");
    expectSameGrid(app.find<ui::Grid>("msgIchiran"), runCli(app, {"list", "--sort", "8", "--descending"}));
}
