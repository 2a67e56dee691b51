// The filtered view's report (preview, PDF, printing) and CSV buttons, checked against the command line.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <sstream>

#include "cli/cli.h"
#include "test_app.h"
#include "ui/grid.h"
#include "views/report_preview.h"

namespace {

/// The CLI's standard output for the arguments after --data-dir.
std::string cliOutput(TestApp& app, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", app.dir().string()});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run(args, out, err, sora::Date{2005, 3, 1}), cli::ExitOk) << err.str();
    return out.str();
}

/// The text of a PDF as pdftotext lays it out, exactly as extracted.
QString pdfText(const QString& path) {
    QProcess process;
    process.start("pdftotext", {"-layout", path, "-"});
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// The pages of a PDF, normalised (full-width signs come back half-width, as the command line may print them).
QStringList pdfPages(const QString& path) {
    return pdfText(path).normalized(QString::NormalizationForm_KC).split(QChar(0x0c), Qt::SkipEmptyParts);
}

QStringList words(const QString& text) {
    return text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

/// The rows of a block ("summary", "daily") of the CLI's text output, as their non-empty cells.
std::vector<QStringList> cliBlock(const std::string& text, const QString& block) {
    std::vector<QStringList> rows;
    bool inside = false;
    for (const QString& line : QString::fromStdString(text).split('\n', Qt::SkipEmptyParts)) {
        if (!line.contains('\t')) {
            inside = line == block;
            continue;
        }
        if (inside) {
            rows.push_back(line.normalized(QString::NormalizationForm_KC).split('\t', Qt::SkipEmptyParts));
        }
    }
    return rows;
}

/// The dates and figures among the words (the diary's slashes and the like come back from the PDF as other forms).
QStringList figures(const QStringList& cells) {
    static const QRegularExpression figure("^-?[0-9./]+$");
    return cells.filter(figure);
}

/// The line of the page that begins with `first`, as words.
QStringList lineStartingWith(const QString& page, const QString& first) {
    for (const QString& line : page.split('\n')) {
        const QStringList w = words(line);
        if (!w.isEmpty() && w.front() == first) {
            return w;
        }
    }
    return {};
}

}  // namespace

TEST(FilterReport, PdfShowsHeadingFiguresOfTheCommandLineAndContinuedTables) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    TestApp app;
    app.useSample();
    app.start();
    app.click("cmdTaijyu");  // the boxes hold the log's first and last dates: 2005/02/01 to 2005/03/01
    app.click("cmdWeek1");   // the weekday filter does not narrow the report
    app.click("cmdReport");
    auto* preview = app.find<ReportPreview>("frmReport");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());

    const QString pdf = QDir(QString::fromStdString(app.dir().string())).filePath("report.pdf");
    app.dialogs().clear();
    app.dialogs().queueSaveFileName(pdf);
    app.click("cmdRepPdf");
    const auto& records = app.dialogs().records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].kind, ui::ScriptedDialogs::Record::Kind::SaveFile);
    EXPECT_TRUE(records[0].defaultText.endsWith("/血圧レポート_20050201-20050301.pdf"))
        << records[0].defaultText.toStdString();
    EXPECT_EQ(records[1].title, "保存終了");

    // The PDF's text is the text drawn: searching it for 血圧 finds it, and no Kangxi radical or compatibility
    // ideograph stands in for a common one.
    const QString raw = pdfText(pdf);
    EXPECT_TRUE(raw.contains("家庭血圧レポート") && raw.contains("氏名") && raw.contains("日数")) << raw.toStdString();
    static const QRegularExpression standIns("[\\x{2E80}-\\x{2FDF}\\x{F900}-\\x{FAFF}]");
    EXPECT_FALSE(raw.contains(standIns)) << raw.toStdString();

    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 2);
    const QString total = QString::number(pages.size());
    const QString& first = pages[0];
    for (const QString& expected :
         {QString("家庭血圧レポート"), QString("サンプル"), QString("期間: 2005/02/01"), QString("2005/03/01(29日間)"),
          QString("作成日: 2005/03/01"), QString("ソラノート+")}) {
        EXPECT_TRUE(first.contains(expected)) << expected.toStdString();
    }
    EXPECT_TRUE(first.contains(QRegularExpression("\\b1 ?/ ?" + total + "\\s*$"))) << first.toStdString();
    // Every figure of the summary and of the daily rows is the command line's.
    const std::string cli = cliOutput(app, {"report", "--from", "2005/02/01", "--to", "2005/03/01"});
    const auto summary = cliBlock(cli, "summary");
    ASSERT_EQ(summary.size(), 5u);
    for (std::size_t r = 1; r < summary.size(); ++r) {
        const QStringList printed = lineStartingWith(first, summary[r].front());
        EXPECT_EQ(printed.mid(0, 4), summary[r].mid(0, 4)) << summary[r].join(' ').toStdString();
    }
    const auto daily = cliBlock(cli, "daily");
    ASSERT_EQ(daily.size(), 30u);  // heading and 29 days
    int found = 0;
    for (std::size_t r = 1; r < daily.size(); ++r) {
        for (const QString& page : pages) {
            const QStringList printed = lineStartingWith(page, daily[r].front());
            if (!printed.isEmpty()) {
                ++found;
                EXPECT_EQ(figures(printed), figures(daily[r])) << daily[r].join(' ').toStdString();
                break;
            }
        }
    }
    EXPECT_EQ(found, 29);
    // The daily table goes on over the page break under its heading again.
    const QString& second = pages[1];
    EXPECT_TRUE(second.contains("毎日の記録") && second.contains("(続き)")) << second.toStdString();
    EXPECT_EQ(lineStartingWith(second, "日付").mid(0, 4), (QStringList{"日付", "曜", "朝", "最高"}));
    EXPECT_TRUE(second.contains(QRegularExpression("\\b2 ?/ ?" + total + "\\s*$"))) << second.toStdString();
}

TEST(FilterReport, PrintingWithoutPrinterWritesPdfAndBadPeriodsOrSettingsAreReported) {
    qputenv("SORANOTE_PRINT_TO_PDF", "1");
    TestApp app;
    app.useSample();
    app.writeFile("朝晩設定.txt", "\"降圧目標\",\"標準\"\n\"起床後\",\"昼\"\n");
    app.start();
    app.click("cmdTaijyu");
    app.dialogs().clear();
    app.click("cmdReport");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("朝晩設定.txt の 2 行目"));
    app.dialogs().clear();
    app.click("cmdRepPrint");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("レポート_20050301_101500.pdf"));
    EXPECT_TRUE(app.exists("レポート_20050301_101500.pdf"));

    app.find<QComboBox>("cboStdate")->setEditText("2005/03/02");
    app.dialogs().clear();
    app.click("cmdReport");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].text, "期間の始めが終わりより後になっています。");
    qunsetenv("SORANOTE_PRINT_TO_PDF");
}

TEST(FilterCsv, WritesExactlyTheListedRecordsAsTheCommandLineDoes) {
    TestApp app;
    app.useSample();
    app.start();
    app.click("cmdTaijyu");
    app.click("cmdWeek1");  // Mondays only
    const int listed = app.find<ui::Grid>("msgBunseki")->rowCount() - 1;
    ASSERT_GT(listed, 3);

    const QString csv = QDir(QString::fromStdString(app.dir().string())).filePath("月曜.csv");
    app.dialogs().clear();
    app.click("cmdCsvHozon");  // cancelled: nothing written, nothing said
    EXPECT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_FALSE(QFile::exists(csv));

    app.dialogs().queueSaveFileName(csv);
    app.click("cmdCsvHozon");
    EXPECT_EQ(app.dialogs().records().back().title, "保存終了");
    const std::string bytes = app.readBytes("月曜.csv");
    EXPECT_EQ(bytes,
              cliOutput(app, {"export", "--csv", "--from", "2005/02/01", "--to", "2005/03/01", "--weekday", "1"}));
    EXPECT_EQ(QString::fromStdString(bytes).count("\r\n"), listed + 1);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF日付,時刻,状況,"));
}
