// The small widgets: calendar, dialogs, printer, twips, help viewer and series-mode options.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "qt_app.h"
#include "ui/dialogs.h"
#include "ui/help_viewer.h"
#include "ui/month_calendar.h"
#include "ui/printer.h"
#include "ui/series_mode_options.h"
#include "ui/twips.h"

namespace {

QTableView* calendarView(ui::MonthCalendar& calendar) {
    return calendar.findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

// Runs `answer` on the modal dialog once it is shown.
void whenModalShown(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModalShown(answer);
            return;
        }
        answer(modal);
    });
}

QAbstractButton* buttonWithText(QWidget* dialog, const QString& text) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

TEST(MonthCalendar, JapaneseHeaderWeekdaysAndSundayInRed) {
    ui::MonthCalendar calendar;
    ASSERT_TRUE(calendar.setSelectedDateText(QStringLiteral("2005/02/9")));
    EXPECT_EQ(calendar.selectedDateText(), QStringLiteral("2005/02/09"));
    EXPECT_EQ(calendar.headerText(), QStringLiteral("2005年2月"));
    EXPECT_EQ(calendar.firstDayOfWeek(), Qt::Sunday);

    QTableView* view = calendarView(calendar);
    ASSERT_NE(view, nullptr);
    const char* const names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(view->model()->data(view->model()->index(0, column)).toString(), QString::fromUtf8(names[column]));
    }
    const auto foreground = [&](int row, int column) {
        return view->model()->data(view->model()->index(row, column), Qt::ForegroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(foreground(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(foreground(2, 0), QColor(255, 0, 0));
    EXPECT_NE(foreground(2, 6), QColor(255, 0, 0));  // Saturday is an ordinary day
    EXPECT_NE(foreground(2, 3), QColor(255, 0, 0));

    calendar.showNextMonth();
    EXPECT_EQ(calendar.headerText(), QStringLiteral("2005年3月"));
}

TEST(MonthCalendar, DateTextsAcceptedAndRejected) {
    ui::MonthCalendar calendar;
    ASSERT_TRUE(calendar.setSelectedDateText(QStringLiteral("2005/02/09")));
    const char* const rejected[] = {"abc",         "",           "2005/2/9",   "05/02/09", "2005/02/30", "2005/13/01",
                                    "2005/02/009", "2005-02-09", " 2005/02/09"};
    for (const char* text : rejected) {
        EXPECT_FALSE(calendar.setSelectedDateText(QString::fromUtf8(text))) << text;
        EXPECT_EQ(calendar.selectedDateText(), QStringLiteral("2005/02/09")) << text;
    }
    EXPECT_TRUE(calendar.setSelectedDateText(QStringLiteral("2004/02/29")));
    EXPECT_EQ(calendar.selectedDate(), QDate(2004, 2, 29));
}

TEST(MonthCalendar, OnlyAUserClickReportsADate) {
    ui::MonthCalendar calendar;
    calendar.resize(320, 240);
    calendar.show();
    QSignalSpy chosen(&calendar, &ui::MonthCalendar::dateChosen);
    calendar.setSelectedDateText(QStringLiteral("2005/02/09"));
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen.count(), 0);

    // February 2005 starts on a Tuesday: the 16th is in the fourth week row, column 3 (Wednesday).
    QTableView* view = calendarView(calendar);
    ASSERT_NE(view, nullptr);
    const QModelIndex cell = view->model()->index(3, 3);
    ASSERT_EQ(view->model()->data(cell).toString(), "16");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toDate(), QDate(2005, 2, 16));
    EXPECT_EQ(calendar.selectedDateText(), QStringLiteral("2005/02/16"));
}

TEST(Dialogs, ScriptedAnswersFromTheQueueThenTheDefault) {
    ui::ScriptedDialogs dialogs;
    dialogs.queueAnswer(ui::Answer::Cancel);
    EXPECT_EQ(dialogs.message(ui::Icon::Question, QStringLiteral("印刷確認"), QStringLiteral("印刷しますか？"),
                              ui::Buttons::OkCancel),
              ui::Answer::Cancel);
    EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "x", ui::Buttons::OkCancel), ui::Answer::Ok);
    EXPECT_EQ(dialogs.message(ui::Icon::Warning, "t", "y", ui::Buttons::YesNo), ui::Answer::Yes);
    EXPECT_EQ(dialogs.message(ui::Icon::Information, "t", "z"), ui::Answer::Ok);
    // Save / discard / cancel: Yes by default (as --screenshot answers it), the queue otherwise.
    EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "s", ui::Buttons::YesNoCancel), ui::Answer::Yes);
    dialogs.queueAnswer(ui::Answer::Cancel);
    EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "s", ui::Buttons::YesNoCancel), ui::Answer::Cancel);

    dialogs.queueText(QStringLiteral("山田"));
    dialogs.queueText(std::nullopt);
    EXPECT_EQ(dialogs.textInput(QStringLiteral("名前"), QStringLiteral("お名前は？"), QStringLiteral("既定")),
              QStringLiteral("山田"));
    EXPECT_EQ(dialogs.textInput("t", "p"), std::nullopt);
    EXPECT_EQ(dialogs.textInput("t", "p"), std::nullopt);  // empty queue cancels

    const auto& records = dialogs.records();
    ASSERT_EQ(records.size(), 9u);
    EXPECT_EQ(records[5].buttons, ui::Buttons::YesNoCancel);
    EXPECT_EQ(records[0].kind, ui::ScriptedDialogs::Record::Kind::Message);
    EXPECT_EQ(records[0].icon, ui::Icon::Question);
    EXPECT_EQ(records[0].title, QStringLiteral("印刷確認"));
    EXPECT_EQ(records[0].text, QStringLiteral("印刷しますか？"));
    EXPECT_EQ(records[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(records[2].icon, ui::Icon::Warning);
    EXPECT_EQ(records[6].kind, ui::ScriptedDialogs::Record::Kind::TextInput);
    EXPECT_EQ(records[6].text, QStringLiteral("お名前は？"));
    EXPECT_EQ(records[6].defaultText, QStringLiteral("既定"));
    dialogs.clear();
    EXPECT_TRUE(dialogs.records().empty());
}

TEST(Dialogs, QtMessageBoxesHaveJapaneseButtonsAndMapTheAnswer) {
    ui::QtDialogs dialogs;
    QStringList seen;
    whenModalShown([&](QWidget* box) {
        seen << box->windowTitle() << qobject_cast<QMessageBox*>(box)->text();
        QAbstractButton* cancel = buttonWithText(box, QStringLiteral("キャンセル"));
        seen << (buttonWithText(box, QStringLiteral("OK")) ? "OK" : "-");
        ASSERT_NE(cancel, nullptr);
        cancel->click();
    });
    EXPECT_EQ(dialogs.message(ui::Icon::Question, QStringLiteral("クリア確認"), QStringLiteral("消しますか？"),
                              ui::Buttons::OkCancel),
              ui::Answer::Cancel);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("クリア確認"), QStringLiteral("消しますか？"), "OK"}));

    whenModalShown([](QWidget* box) {
        ASSERT_NE(buttonWithText(box, QStringLiteral("はい")), nullptr);
        buttonWithText(box, QStringLiteral("いいえ"))->click();
    });
    EXPECT_EQ(dialogs.message(ui::Icon::Warning, "t", "x", ui::Buttons::YesNo), ui::Answer::No);

    // Yes / No / Cancel: each button gives its answer.
    const std::pair<const char*, ui::Answer> saveQuestion[] = {
        {"はい", ui::Answer::Yes}, {"いいえ", ui::Answer::No}, {"キャンセル", ui::Answer::Cancel}};
    for (const auto& [caption, answer] : saveQuestion) {
        whenModalShown([caption = QString::fromUtf8(caption)](QWidget* box) {
            for (const char* each : {"はい", "いいえ", "キャンセル"}) {
                ASSERT_NE(buttonWithText(box, QString::fromUtf8(each)), nullptr) << each;
            }
            buttonWithText(box, caption)->click();
        });
        EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "s", ui::Buttons::YesNoCancel), answer) << caption;
    }

    whenModalShown([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("起床後"));
        buttonWithText(dialog, QStringLiteral("OK"))->click();
    });
    EXPECT_EQ(dialogs.textInput("t", "p", "x"), QStringLiteral("起床後"));

    whenModalShown([](QWidget* dialog) { buttonWithText(dialog, QStringLiteral("キャンセル"))->click(); });
    EXPECT_EQ(dialogs.textInput("t", "p", "x"), std::nullopt);
}

TEST(Dialogs, ADoubtfulValuesQuestionAnswersNoToEnterEscapeAndTheScript) {
    // Enter takes the default button, Escape the escape button: both いいえ; only a click on はい says yes.
    ui::QtDialogs dialogs;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        whenModalShown([key](QWidget* box) { QTest::keyClick(box, key); });
        EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "x", ui::Buttons::YesNoDefaultNo), ui::Answer::No) << key;
    }
    whenModalShown([](QWidget* box) { buttonWithText(box, QStringLiteral("はい"))->click(); });
    EXPECT_EQ(dialogs.message(ui::Icon::Question, "t", "x", ui::Buttons::YesNoDefaultNo), ui::Answer::Yes);
    // The same default for tests and --screenshot.
    ui::ScriptedDialogs scripted;
    EXPECT_EQ(scripted.message(ui::Icon::Question, "t", "x", ui::Buttons::YesNoDefaultNo), ui::Answer::No);
    scripted.queueAnswer(ui::Answer::Yes);
    EXPECT_EQ(scripted.message(ui::Icon::Question, "t", "x", ui::Buttons::YesNoDefaultNo), ui::Answer::Yes);
}

TEST(Twips, FifteenTwipsPerPixelAt96Dpi) {
    QWidget widget;
    const int dpi = widget.logicalDpiX();
    EXPECT_EQ(ui::twipsToPixels(1440, &widget), dpi);
    if (dpi == 96) {
        EXPECT_EQ(ui::twipsToPixels(8895, &widget), 593);
        EXPECT_EQ(ui::pixelsToTwips(593, &widget), 8895);
        EXPECT_EQ(ui::twipsToPixels(7), 0);
        EXPECT_EQ(ui::twipsToPixels(8), 1);  // rounded, not cut
    }

    QImage page(10, 10, QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(300 / 0.0254));
    page.setDotsPerMeterY(qRound(600 / 0.0254));
    EXPECT_DOUBLE_EQ(ui::twipsToDevice(1440, page), 300);
    EXPECT_DOUBLE_EQ(ui::twipsToDeviceY(720, page), 300);
    EXPECT_DOUBLE_EQ(ui::deviceToTwips(150, page), 720);
}

class PrinterToPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        }
        ASSERT_TRUE(m_dir.isValid());
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString text(const QString& pdf) const {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .normalized(QString::NormalizationForm_KC);
    }

    QTemporaryDir m_dir;
};

TEST_F(PrinterToPdf, PrintsJapaneseLinesAndAPicture) {
    ui::Printer printer(path(QStringLiteral("印刷.pdf")), true);
    ASSERT_TRUE(printer.begin()) << printer.errorText().toStdString();
    EXPECT_TRUE(printer.toPdf());

    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    printer.setPosition(0, 0);
    printer.drawPicture(picture);
    printer.setY(5000);
    printer.print(QStringLiteral("　日付け    　最高血圧　  最低血圧"));
    printer.newLine();
    EXPECT_EQ(printer.x(), 0);
    EXPECT_NEAR(printer.y(), 5000 + printer.lineHeightTwips(), 1e-6);
    printer.setX(3000);
    printer.printZones({QStringLiteral("05/02/09"), QStringLiteral("はじめの一歩"), QString(), QStringLiteral("62.5")});
    ASSERT_TRUE(printer.end());

    const QString printed = text(path(QStringLiteral("印刷.pdf")));
    EXPECT_TRUE(printed.contains(QStringLiteral("日付け"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("最高血圧"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("はじめの一歩"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("62.5"))) << printed.toStdString();

    // The picture keeps its on-screen size: 200 x 100 pixels of a 96-DPI screen.
    const QString images =
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path(QStringLiteral("印刷.pdf"))});
    if (!images.isEmpty()) {
        EXPECT_TRUE(images.contains(QRegularExpression(QStringLiteral("\\b200\\s+100\\b")))) << images.toStdString();
    }
}

TEST_F(PrinterToPdf, ZonesAreMultiplesOfFourteenCharacterWidths) {
    ui::Printer printer(path(QStringLiteral("zones.pdf")), true);
    ASSERT_TRUE(printer.begin());
    const double zone = printer.zoneWidthTwips();
    EXPECT_NEAR(zone, 14 * printer.averageCharWidthTwips(), 1e-9);
    // Between 9 and 12 points a half-width cell of fourteen characters is about one inch.
    EXPECT_GT(zone, 900);
    EXPECT_LT(zone, 2000);

    printer.setX(7100);
    printer.print(QStringLiteral("05/02/09"));
    const double afterDate = printer.x();
    EXPECT_GT(afterDate, 7100);
    printer.nextZone();
    const double first = printer.x();
    EXPECT_NEAR(std::fmod(first, zone), 0, 1e-6);
    EXPECT_GT(first, afterDate);
    EXPECT_LE(first - afterDate, zone);
    // An empty text leaves its zone blank: the next zone is a whole zone further.
    printer.print(QString());
    printer.nextZone();
    EXPECT_NEAR(printer.x() - first, zone, 1e-6);
    // A text wider than a zone pushes the next one to the zone after.
    printer.setX(0);
    printer.print(QString(20, QLatin1Char('W')));
    const double wide = printer.x();
    printer.nextZone();
    EXPECT_NEAR(printer.x(), (std::floor(wide / zone) + 1) * zone, 1e-6);
    EXPECT_GT(printer.x(), zone);
    EXPECT_TRUE(printer.end());
}

TEST_F(PrinterToPdf, LongListsFlowOntoMorePagesAndFailuresAreReported) {
    ui::Printer printer(path(QStringLiteral("long.pdf")), true);
    ASSERT_TRUE(printer.begin());
    for (int line = 1; line <= 150; ++line) {
        printer.printZones({QStringLiteral("行%1").arg(line), QStringLiteral("終")});
    }
    EXPECT_LT(printer.y(), 150 * printer.lineHeightTwips());  // a new page started at the top
    ASSERT_TRUE(printer.end());
    const QString printed = text(path(QStringLiteral("long.pdf")));
    EXPECT_TRUE(printed.contains(QStringLiteral("行1 ")));
    EXPECT_TRUE(printed.contains(QStringLiteral("行150")));
    EXPECT_TRUE(printed.contains(QChar(0x0c)));  // pdftotext separates pages with a form feed

    ui::Printer nowhere(QStringLiteral("/nonexistent-directory/sub/x.pdf"), true);
    EXPECT_FALSE(nowhere.begin());
    EXPECT_FALSE(nowhere.errorText().isEmpty());
    nowhere.print(QStringLiteral("ignored"));
    EXPECT_FALSE(nowhere.end());
}

TEST(HelpViewer, OpensPagesInANonModalWindowAndCloses) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString& name, const QString& html) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html.toUtf8());
    };
    write(QStringLiteral("index.html"),
          QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>目次 <a href=\"main.html\">メイン</a>"
                         "</body></html>"));
    write(QStringLiteral("main.html"),
          QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>メイン画面の説明</body></html>"));

    QWidget owner;
    ui::HelpViewer help(&owner);
    EXPECT_FALSE(help.isOpen());
    help.open(dir.filePath(QStringLiteral("index.html")));
    ASSERT_TRUE(help.isOpen());
    QWidget* window = help.window();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ソラノート＋ ヘルプ"));
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(window->parentWidget(), &owner);

    auto* browser = window->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("目次")));
    browser->setSource(QUrl(QStringLiteral("main.html")));  // as the link does
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("メイン画面の説明")));
    auto* back = window->findChild<QPushButton*>(QStringLiteral("cmdHelpBack"));
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("目次")));

    help.closeAll();
    EXPECT_FALSE(help.isOpen());
    help.open(dir.filePath(QStringLiteral("missing.html")));
    EXPECT_TRUE(help.isOpen());
    EXPECT_EQ(help.window(), window);  // one help window, reused
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("missing.html")));
    help.closeAll();
}

TEST(SeriesModeOptions, SelectionReportsOnlyChanges) {
    const std::array<QString, 5> names{"optTai", "optShi", "optKon", "optTai5", "optKon5"};
    const std::array<QString, 5> captions{QStringLiteral("血圧 (mmHg)"), QStringLiteral("脈拍 (拍/分)"),
                                          QStringLiteral("脈拍混合"), QStringLiteral("体重 （Kg）"),
                                          QStringLiteral("体重混合")};
    QWidget frame;
    ui::SeriesModeOptions options(names, captions, &frame);
    for (int i = 0; i < 5; ++i) {
        auto* button = frame.findChild<QRadioButton*>(names[i]);
        ASSERT_EQ(button, options.button(i));
        EXPECT_EQ(button->text(), captions[i]);
    }
    EXPECT_EQ(options.selected(), -1);

    QSignalSpy chosen(&options, &ui::SeriesModeOptions::modeChosen);
    options.select(4);
    options.select(4);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 4);
    EXPECT_EQ(options.selected(), 4);

    frame.show();
    QTest::mouseClick(options.button(1), Qt::LeftButton);
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.at(1).at(0).toInt(), 1);
    EXPECT_FALSE(options.button(4)->isChecked());
    QTest::mouseClick(options.button(1), Qt::LeftButton);  // already selected
    EXPECT_EQ(chosen.count(), 2);
    options.select(7);
    EXPECT_EQ(options.selected(), 1);
}
