// The main screen: day page, judgement display, charts, entry panel and saving.
#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "core/rules/classification.h"
#include "core/views/judgement_chart.h"
#include "main/class_scale.h"
#include "main/judgement_chart_view.h"
#include "main/main_screen.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"
#include "ui/month_calendar.h"
#include "ui/twips.h"

namespace {

const char* const kSteppers[8] = {"cmdDn", "cmdUp", "cmdDn1", "cmdUp1", "cmdDn2", "cmdUp2", "cmdDn3", "cmdUp3"};
const char* const kBoxes[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};

const std::string kDiary =
    "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
    "\"2005/02/01\",\"起床後\",125,79,66,\"\",62.6\n"
    "\"2005/02/03\",\"起床後\",131,84,68,\"\",62.4\n"
    "\"2005/02/03\",\"夕食後\",125,79,66,\"\",61.9\n"
    "\"2005/02/05\",\"起床後\",150,85,72,\"\",63\n";

/// A diary of the user's own (no sample mode, no help tour), shown on screen so that focus and clicks work.
class MainScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt", kDiary);
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n夕食後\n");
        app.writeFile("マーカー.TXT", "0\n");
        app.writeFile("自動時間.TXT", "0\n");
    }

    frmMain& start() {
        app.start();
        EXPECT_TRUE(app.showActive());
        return app.window();
    }

    void clickDate(const QDate& date) {
        auto* calendar = app.find<ui::MonthCalendar>("mtvmain");
        calendar->setSelectedDate(date);
        auto* view = calendar->findChild<QTableView*>("qt_calendar_calendarview");
        ASSERT_NE(view, nullptr);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
    }

    void chooseSituation(const QString& text) {
        auto* list = app.find<QListWidget>("lstAct");
        const auto items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    }

    QString box(int index) { return app.find<QLineEdit>(kBoxes[index])->text(); }
    void setBoxes(const std::array<QString, 4>& texts) {
        for (int i = 0; i < 4; ++i) {
            app.find<QLineEdit>(kBoxes[i])->setText(texts[i]);
        }
    }
    std::vector<bool> steppersEnabled() {
        std::vector<bool> enabled;
        for (const char* name : kSteppers) {
            enabled.push_back(app.find<QPushButton>(name)->isEnabled());
        }
        return enabled;
    }
    QString cell(int row, int column) { return app.find<ui::Grid>("msgDayList")->text(row, column); }
    QColor colour(int row, int column) { return app.find<ui::Grid>("msgDayList")->background(row, column); }
    QString label(const char* name) { return app.find<QLabel>(name)->text(); }
    std::vector<QString> visibleFaces() {
        std::vector<QString> shown;
        for (const char* name : {"imgwara", "imgniko", "imgkana", "imgNashi"}) {
            if (!app.find<QWidget>(name)->isHidden()) {
                shown.push_back(name);
            }
        }
        return shown;
    }
    /// The class whose cell on the scale lies under the pointer's tip.
    std::optional<sora::BpClass> pointedClass() {
        auto* scale = app.find<ClassScale>("imgScale");
        const QRect pointer = scale->pointer()->geometry();
        for (const sora::BpClassInfo& info : sora::class_table()) {
            const QRectF cell = scale->cellRect(info.cls);
            if (cell.left() <= pointer.center().x() && pointer.center().x() < cell.right() &&
                pointer.bottom() < cell.top()) {
                return info.cls == sora::BpClass::IsolatedSystolic ? sora::BpClass::Moderate : info.cls;
            }
        }
        return std::nullopt;
    }
    const ui::ScriptedDialogs::Record& lastDialog() { return app.dialogs().records().back(); }

    TestApp app;
};

}  // namespace

TEST_F(MainScreenTest, DateClickBuildsTheDayPage) {
    frmMain& window = start();
    // Today (2005/03/01) has no measurement yet.
    EXPECT_EQ(app.find<ui::Grid>("msgDayList")->rowCount(), 1);
    EXPECT_EQ(label("lblMHyouka"), "本日未登録");
    EXPECT_EQ(label("lblMaxMax"), "0");
    EXPECT_EQ(visibleFaces(), std::vector<QString>{"imgNashi"});
    // The pointer stands at the class of the log's last record (150/85: isolated systolic, in column 5), but low.
    EXPECT_EQ(pointedClass(), sora::BpClass::Moderate);
    const int lowTop = app.find<QLabel>("Image1")->y();

    clickDate(QDate(2005, 2, 3));
    EXPECT_EQ(window.state().selectedDate, "2005/02/03");
    auto* list = app.find<ui::Grid>("msgDayList");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->columnCount(), 14);
    EXPECT_EQ(cell(0, 1), "行動");
    const QStringList first = {"1", "起床後", "", "131", "6", "↑", "84", "5", "↑", "47", "68", "62.4", "-0.2", "↓"};
    const QStringList second = {"2", "夕食後", "", "125", "-6", "↓", "79", "-5", "↓", "46", "66", "61.9", "-0.5", "↓"};
    for (int c = 0; c < 14; ++c) {
        EXPECT_EQ(cell(1, c), first[c]) << "column " << c;
        EXPECT_EQ(cell(2, c), second[c]) << "column " << c;
    }
    EXPECT_EQ(colour(1, 2), QColor(255, 255, 192));  // 131/84: high normal
    EXPECT_EQ(colour(2, 2), QColor(192, 255, 192));  // 125/79: normal
    EXPECT_EQ(colour(1, 5), QColor(255, 192, 192));
    EXPECT_EQ(colour(2, 13), QColor(192, 255, 192));

    const std::vector<std::pair<const char*, QString>> labels = {
        {"lblMaxMax", "131"}, {"lblMaxMin", "125"}, {"lblMaxSa", "6"}, {"lblMaxAvg", "128"},
        {"lblMinMax", "84"},  {"lblMinMin", "79"},  {"lblMinSa", "5"}, {"lblMinAvg", "81"},
        {"lblMyaMax", "68"},  {"lblMyaMin", "66"},  {"lblMyaSa", "2"}, {"lblMyaAvg", "67"},
        {"lblSaMax", "47"},   {"lblSaMin", "46"},   {"lblSaSa", "1"},  {"lblSaAvg", "46"},
    };
    for (const auto& [name, text] : labels) {
        EXPECT_EQ(label(name), text) << name;
    }
    EXPECT_EQ(label("lblMHyouka"), "正常血圧");
    EXPECT_TRUE(app.find<QLabel>("lblMHyouka")->styleSheet().contains("#c0ffc0"));
    EXPECT_EQ(visibleFaces(), std::vector<QString>{"imgwara"});
    EXPECT_EQ(pointedClass(), sora::BpClass::Normal);
    EXPECT_EQ(app.find<QLabel>("Image1")->y(), lowTop);
    // The focus goes to the situation list.
    EXPECT_EQ(QApplication::focusWidget(), app.find<QListWidget>("lstAct"));

    // Two circles and today's latest in light blue.
    auto* chart = app.find<JudgementChartView>("picHantei");
    ASSERT_EQ(chart->marks().size(), 3u);
    EXPECT_EQ(chart->marks().back().colour, sora::colours::TodayMark);

    clickDate(QDate(2005, 2, 5));
    EXPECT_EQ(label("lblMHyouka"), "収縮期高血圧");
    EXPECT_EQ(visibleFaces(), std::vector<QString>{"imgkana"});
    EXPECT_EQ(pointedClass(), sora::BpClass::Moderate);
    // Isolated systolic hypertension lifts the pointer by 150 twips.
    EXPECT_EQ(app.find<QLabel>("Image1")->y(), lowTop - (ui::twipsToPixels(900) - ui::twipsToPixels(750)));

    clickDate(QDate(2005, 2, 1));
    EXPECT_EQ(cell(1, 4), "0");
    EXPECT_EQ(cell(1, 5), "→");
    EXPECT_EQ(cell(1, 12), "0.0");
    EXPECT_EQ(colour(1, 13), QColor(255, 255, 192));
}

TEST_F(MainScreenTest, FacesForEveryGroupAndLongDaysScroll) {
    std::string diary = kDiary;
    diary += "\"2005/02/06\",\"起床後\",135,80,70,\"\",62\n";
    for (int i = 0; i < 20; ++i) {
        diary += "\"2005/02/07\",\"起床後\"," + std::to_string(100 + i) + ",70,70,\"\",62\n";
    }
    for (int i = 0; i < 6; ++i) {
        diary += "\"2005/02/08\",\"起床後\",118,70,70,\"\",62\n";
    }
    app.writeFile("データ.txt", diary);
    start();
    clickDate(QDate(2005, 2, 6));
    EXPECT_EQ(visibleFaces(), std::vector<QString>{"imgniko"});
    EXPECT_EQ(pointedClass(), sora::BpClass::HighNormal);

    auto* list = app.find<ui::Grid>("msgDayList");
    clickDate(QDate(2005, 2, 7));
    ASSERT_EQ(list->rowCount(), 21);
    EXPECT_GT(list->topRow(), 1);
    const QRect last = list->visualRect(list->model()->index(list->model()->rowCount() - 1, 0));
    EXPECT_TRUE(list->viewport()->rect().contains(last)) << "the last measurement is in view";
    EXPECT_EQ(pointedClass(), sora::BpClass::Optimal);

    clickDate(QDate(2005, 2, 8));
    EXPECT_EQ(list->rowCount(), 7);
    EXPECT_EQ(list->topRow(), 1);
}

TEST_F(MainScreenTest, MarkerCycleIsStoredAndAppliedToSeriesOneTwoAndFour) {
    frmMain& window = start();
    auto* chart = app.find<ui::Chart>("mcrMain");
    EXPECT_TRUE(chart->isHidden()) << "covered by the judgement chart, so not drawn";
    app.click("cmdSuiiGr");
    EXPECT_TRUE(app.find<QWidget>("fraWho")->isHidden());
    EXPECT_FALSE(chart->isHidden());

    const std::vector<std::pair<ui::Marker, std::string>> cycle = {
        {ui::Marker::Circles, "1\r\n"}, {ui::Marker::Balls, "2\r\n"}, {ui::Marker::None, "0\r\n"}};
    for (const auto& [marker, file] : cycle) {
        QTest::mouseClick(chart->plot(), Qt::LeftButton, {}, chart->plot()->rect().center());
        EXPECT_EQ(chart->marker(0), marker);
        EXPECT_EQ(chart->marker(1), marker);
        EXPECT_EQ(chart->marker(3), marker);
        EXPECT_EQ(chart->marker(2), ui::Marker::None) << "the pulse bars keep theirs";
        EXPECT_EQ(app.readFile("マーカー.TXT"), file);
    }
    EXPECT_EQ(window.state().markerMode, 0);

    app.click("cmdHanteiGr");
    EXPECT_FALSE(app.find<QWidget>("fraWho")->isHidden());
    EXPECT_TRUE(chart->isHidden());

    // A mode above 2 (a hand-edited file) shows balls; the next click starts again at 0.
    window.state().markerMode = 5;
    app.screen<MainScreen>()->applyMarkerMode();
    EXPECT_EQ(chart->marker(0), ui::Marker::Balls);
    app.click("cmdSuiiGr");
    QTest::mouseClick(chart->plot(), Qt::LeftButton, {}, chart->plot()->rect().center());
    EXPECT_EQ(chart->marker(0), ui::Marker::None);
    EXPECT_EQ(window.state().markerMode, 0);
    EXPECT_EQ(app.readFile("マーカー.TXT"), "0\r\n");
}

TEST_F(MainScreenTest, SeriesModesRescaleTheSecondaryAxisFromTheDay) {
    start();
    clickDate(QDate(2005, 2, 3));
    auto* chart = app.find<ui::Chart>("mcrMain");
    // Weight mixed from the start: weights 62.4 and 61.9 give 60 to 63 (the maximum rounds up).
    EXPECT_TRUE(app.find<QRadioButton>("optKon5")->isChecked());
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 60);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 63);
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Primary), 79);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Primary), 131);
    EXPECT_EQ(chart->rowCount(), 2);

    app.find<QRadioButton>("optShi")->click();
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 65);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 68);
    EXPECT_FALSE(chart->isSeriesVisible(0));
    EXPECT_TRUE(chart->isSeriesVisible(2));
    EXPECT_FALSE(chart->isAxisVisible(ui::Axis::Primary));
    // Redrawing the day keeps the mode and scales the secondary axis for pulse.
    clickDate(QDate(2005, 2, 1));
    EXPECT_EQ(chart->axisMinimum(ui::Axis::Secondary), 65);
    EXPECT_EQ(chart->axisMaximum(ui::Axis::Secondary), 70);
    EXPECT_FALSE(chart->isSeriesVisible(0));
}

TEST_F(MainScreenTest, JudgementChartPaintsItsMarksWhereTheFormulaPutsThem) {
    QImage image(1090, 852, QImage::Format_RGB32);
    const std::vector<sora::JudgementMark> marks = {sora::judgement_mark(120, 80, false),
                                                    sora::judgement_mark(160, 100, true)};
    QPainter painter(&image);
    JudgementChartView::paint(painter, image.rect(), marks);
    painter.end();
    auto at = [&](double x, double y) {
        return image.pixelColor(JudgementChartView::toTarget(image.rect(), {x, y}).toPoint());
    };
    auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 30;
    };
    // On the rim of each circle its colour; in the middle the zone shows through.
    EXPECT_TRUE(near(at(2000 + 60, 2500), QColor(255, 255, 255))) << at(2000 + 60, 2500).name().toStdString();
    EXPECT_TRUE(near(at(3000, 1500 - 70), QColor(0, 255, 255))) << at(3000, 1500 - 70).name().toStdString();
    EXPECT_NE(at(2000, 2500), QColor(255, 255, 255));
    // Far from any circle, systolic 180 / diastolic 110 lies in the severe zone, 110/70 in the optimal one.
    const QColor severe = at(3700, 700);
    const QColor optimal = at(1200, 2900);
    EXPECT_GT(severe.red(), severe.green());
    EXPECT_GT(optimal.green(), optimal.red());
}

TEST(JudgementChart, AReadingOffTheChartIsAnArrowheadPointingOut) {
    QImage image(1090, 852, QImage::Format_RGB32);
    // 70/40 goes out at the lower left corner, 230/100 at the top, 120/130 at the right (today's latest).
    const std::vector<sora::JudgementMark> marks = {sora::judgement_mark(70, 40, false),
                                                    sora::judgement_mark(230, 100, false),
                                                    sora::judgement_mark(120, 130, true)};
    QPainter painter(&image);
    JudgementChartView::paint(painter, image.rect(), marks);
    painter.end();
    auto at = [&](double x, double y) {
        return image.pixelColor(JudgementChartView::toTarget(image.rect(), {x, y}).toPoint());
    };
    auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
    };
    using namespace sora::judgement_chart;
    // Filled in the mark's colour just inside the border where the reading went out (a circle there would be
    // hollow and stand away from the border), the zone showing beside its base.
    const struct {
        QPointF inside;  // a point within the arrowhead, near its tip
        QPointF beside;  // a point of the plot beside the arrowhead's base
        QColor colour;
    } expected[] = {
        {{PlotLeft + 50, PlotBottom - 50}, {PlotLeft + 40, PlotBottom - 300}, QColor(255, 255, 255)},
        {{diastolicToX(100), PlotTop + 40}, {diastolicToX(100) + 200, PlotTop + 40}, QColor(255, 255, 255)},
        {{PlotRight - 40, systolicToY(120)}, {PlotRight - 40, systolicToY(120) + 220}, QColor(0, 255, 255)},
    };
    for (const auto& e : expected) {
        EXPECT_TRUE(near(at(e.inside.x(), e.inside.y()), e.colour))
            << at(e.inside.x(), e.inside.y()).name().toStdString();
        EXPECT_FALSE(near(at(e.beside.x(), e.beside.y()), e.colour))
            << at(e.beside.x(), e.beside.y()).name().toStdString();
    }
}

TEST_F(MainScreenTest, ChoosingASituationFillsOnlyEmptyBoxesAndEnablesAllSteppers) {
    frmMain& window = start();
    clickDate(QDate(2005, 2, 3));
    EXPECT_EQ(steppersEnabled(), std::vector<bool>(8, false));
    EXPECT_EQ(window.state().previous.systolic, 125);

    app.find<QLineEdit>("txtMinInp")->setText("90");
    chooseSituation("夕食後");
    EXPECT_EQ(box(0), "125");
    EXPECT_EQ(box(1), "90");
    EXPECT_EQ(box(2), "66");
    EXPECT_EQ(box(3), "61.9");
    EXPECT_EQ(steppersEnabled(), std::vector<bool>(8, true));
    EXPECT_EQ(QApplication::focusWidget(), app.find<QLineEdit>("txtMaxInp"));

    // Steps of 1 keep the decimals; the panel lets values go to 0 and below.
    app.click("cmdUp3");
    EXPECT_EQ(box(3), "62.9");
    app.click("cmdDn3");
    app.click("cmdDn3");
    EXPECT_EQ(box(3), "60.9");
    app.find<QLineEdit>("txtMyakuInp")->setText("1");
    app.click("cmdDn2");
    EXPECT_EQ(box(2), "0");
    app.click("cmdDn2");
    EXPECT_EQ(box(2), "-1");
    app.find<QLineEdit>("txtMaxInp")->clear();
    app.click("cmdUp");
    EXPECT_EQ(box(0), "1");

    // Another day empties the panel.
    clickDate(QDate(2005, 2, 1));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(box(i), "");
    }
}

TEST_F(MainScreenTest, FreeInputAndTimeButtonEnableSixSteppers) {
    start();
    const std::string listBefore = app.readFile("状況リスト.txt");
    app.dialogs().queueText(QString("散歩\"帰り\""));
    app.dialogs().queueAnswer(ui::Answer::No);
    app.find<QLineEdit>("txtMaxInp")->setText("140");
    app.find<QLineEdit>("txtTaiInp")->setText("70");
    app.click("cmdFree");

    ASSERT_EQ(app.dialogs().records().size(), 2u);
    const auto& input = app.dialogs().records()[0];
    EXPECT_EQ(input.kind, ui::ScriptedDialogs::Record::Kind::TextInput);
    EXPECT_EQ(input.title, "状況フリー入力");
    EXPECT_EQ(input.text,
              "状況リストに無い内容をフリーで入力できます。\n\n任意の言葉で内容を書き込んでください。\n\n"
              "体重は通常と同じように ↓↑ボタンで指定してください。\n");
    const auto& question = app.dialogs().records()[1];
    EXPECT_EQ(question.icon, ui::Icon::Question);
    EXPECT_EQ(question.title, "状況リスト登録の有無");
    EXPECT_EQ(question.text, "状況リストに追加しますか？");
    EXPECT_EQ(question.buttons, ui::Buttons::YesNo);
    // The previous measurement (the log's last record, today being empty) replaces the three pressures.
    EXPECT_EQ(box(0), "150");
    EXPECT_EQ(box(1), "85");
    EXPECT_EQ(box(2), "72");
    EXPECT_EQ(box(3), "70");
    EXPECT_EQ(steppersEnabled(), (std::vector<bool>{true, true, true, true, true, true, false, false}));
    EXPECT_EQ(app.find<QLineEdit>("txtMaxInp")->selectedText(), "150");
    EXPECT_EQ(app.readFile("状況リスト.txt"), listBefore);

    // Declined for the list, the situation is still used for the measurement; its quotes became ”.
    app.click("cmdTaiHozon");
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/03/01\",\"散歩”帰り”\",150,85,72,\"\",70\r\n"),
              std::string::npos);

    // Yes: appended to the file as a quoted line and to the end of the lists.
    app.dialogs().queueText(QString("ヨガの後"));
    app.dialogs().queueAnswer(ui::Answer::Yes);
    app.click("cmdFree");
    EXPECT_EQ(app.readFile("状況リスト.txt"), listBefore + "\"ヨガの後\"\r\n");
    EXPECT_EQ(app.find<QListWidget>("lstAct")->count(), 3);
    EXPECT_EQ(app.find<QListWidget>("lstAct")->item(2)->text(), "ヨガの後");

    // Cancelled or empty: nothing changes.
    clickDate(QDate(2005, 3, 1));
    app.dialogs().clear();
    app.dialogs().queueText(QString());
    app.click("cmdFree");
    app.click("cmdFree");  // empty queue: cancelled
    EXPECT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(box(0), "");

    // A text the files cannot hold is refused before anything is written or changed.
    app.dialogs().queueText(QString::fromUtf8("散歩😀"));
    app.click("cmdFree");
    EXPECT_EQ(lastDialog().icon, ui::Icon::Warning);
    EXPECT_EQ(lastDialog().title, "使用できない文字");
    EXPECT_EQ(box(0), "");
    EXPECT_EQ(app.readFile("状況リスト.txt"), listBefore + "\"ヨガの後\"\r\n");

    // The time button: the time of day is the situation, three pairs of steppers.
    app.click("cmdJikan");
    EXPECT_EQ(box(0), "150");
    EXPECT_EQ(box(3), "");
    EXPECT_EQ(steppersEnabled(), (std::vector<bool>{true, true, true, true, true, true, false, false}));
    EXPECT_EQ(QApplication::focusWidget(), app.find<QLineEdit>("txtMaxInp"));
    app.find<QLineEdit>("txtTaiInp")->setText("63");
    app.click("cmdTaiHozon");
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/03/01\",\"10:15:00\",150,85,72,\"\",63\r\n"), std::string::npos);
}

TEST_F(MainScreenTest, EnterMovesThroughTheBoxesAndFocusSelectsAll) {
    start();
    chooseSituation("起床後");
    auto* max = app.find<QLineEdit>("txtMaxInp");
    auto* min = app.find<QLineEdit>("txtMinInp");
    ASSERT_EQ(QApplication::focusWidget(), max);
    EXPECT_EQ(max->selectedText(), "150");

    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), app.find<QLineEdit>(kBoxes[i + 1]));
        EXPECT_EQ(app.find<QLineEdit>(kBoxes[i + 1])->selectedText(), box(i + 1));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), app.find<QPushButton>("cmdTaiHozon"));

    // An empty box keeps the focus.
    min->clear();
    min->setFocus();
    QTest::keyClick(min, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), min);

    // A click that gives the focus selects the whole text too.
    max->setText("128");
    QTest::mouseClick(max, Qt::LeftButton, {}, QPoint(max->width() - 5, max->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), max);
    EXPECT_EQ(max->selectedText(), "128");
    // A second click in the focused box places the cursor as usual.
    QTest::mouseClick(max, Qt::LeftButton, {}, QPoint(max->width() - 5, max->height() / 2));
    EXPECT_EQ(max->selectedText(), "");
}

TEST_F(MainScreenTest, EverySaveCheckShowsItsMessageAndWritesNothing) {
    start();
    const std::string before = app.readBytes("データ.txt");
    const QString NotNumber = "数値を入力してください";
    const QString NotPositive = "０以下が入力されています";
    const QString TooLarge = "９９９以上は入力できません";
    struct Case {
        bool chooseSituation;
        std::array<QString, 4> boxes;
        QString title;
        QString text;
    };
    std::vector<Case> cases = {
        {false, {"", "", "", ""}, "行動未入力", "行動が指定されていません"},
        {true, {"", "80", "70", "62"}, "最高血圧未入力", "最高血圧が入力されていません"},
        {true, {"120", "", "70", "62"}, "最低血圧未入力", "最低血圧が入力されていません"},
        {true, {"120", "80", "", "62"}, "脈拍未入力", "脈拍が入力されていません"},
        {true, {"120", "80", "70", ""}, "体重未入力", "体重が入力されていません"},
    };
    for (int i = 0; i < 4; ++i) {
        for (const auto& [text, title, message] : std::vector<std::tuple<QString, QString, QString>>{
                 {"12a", "数値以外入力", NotNumber}, {"0", "異常入力", NotPositive}, {"999", "入力制限", TooLarge}}) {
            std::array<QString, 4> boxes = {"120", "80", "70", "62"};
            boxes[i] = text;
            cases.push_back({true, boxes, title, message});
        }
    }
    for (const Case& c : cases) {
        clickDate(QDate(2005, 3, 1));
        if (c.chooseSituation) {
            chooseSituation("起床後");
        }
        setBoxes(c.boxes);
        app.dialogs().clear();
        app.click("cmdTaiHozon");
        ASSERT_EQ(app.dialogs().records().size(), 1u) << c.title.toStdString();
        EXPECT_EQ(lastDialog().icon, ui::Icon::Warning);
        EXPECT_EQ(lastDialog().buttons, ui::Buttons::Ok);
        EXPECT_EQ(lastDialog().title, c.title);
        EXPECT_EQ(lastDialog().text, c.text);
        EXPECT_EQ(app.readBytes("データ.txt"), before);
        // The panel keeps its content for the correction.
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(box(i), c.boxes[i]);
        }
    }
    EXPECT_EQ(cases.size(), 17u);  // with the sample-mode refusal below: all 18
}

TEST(MainScreenSample, SavingIsRefusedInSampleMode) {
    TestApp app;
    app.useSample();
    app.start();
    const std::string before = app.readBytes("データ.txt");
    auto* list = app.find<QListWidget>("lstAct");
    emit list->itemClicked(list->item(1));
    app.dialogs().clear();
    app.click("cmdTaiHozon");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "新規スタート促し");
    EXPECT_EQ(app.dialogs().records()[0].text,
              "ご自身のデータでスタートする時は編集ボタンで新規スタートしてください。");
    EXPECT_EQ(app.readBytes("データ.txt"), before);
}

TEST_F(MainScreenTest, EarlierDaySaveLandsBeforeTheNextLaterDay) {
    frmMain& window = start();
    clickDate(QDate(2005, 2, 2));
    EXPECT_EQ(label("lblMHyouka"), "本日未登録");
    chooseSituation("夕食後");
    setBoxes({"126.0", "80", "65", "62.50"});
    app.click("cmdTaiHozon");

    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/01\",\"はじめの一歩\",126,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"起床後\",125,79,66,\"\",62.6\r\n"
              "\"2005/02/02\",\"夕食後\",126,80,65,\"\",62.5\r\n"
              "\"2005/02/03\",\"起床後\",131,84,68,\"\",62.4\r\n"
              "\"2005/02/03\",\"夕食後\",125,79,66,\"\",61.9\r\n"
              "\"2005/02/05\",\"起床後\",150,85,72,\"\",63\r\n");
    EXPECT_FALSE(app.exists("データコピー.txt"));
    // The page shows the new measurement against the last one of 02/01, the panel is empty and locked.
    EXPECT_EQ(cell(1, 1), "夕食後");
    EXPECT_EQ(cell(1, 4), "1");
    EXPECT_EQ(cell(1, 12), "-0.1");
    EXPECT_EQ(label("lblMHyouka"), "正常血圧");
    EXPECT_EQ(box(0), "");
    EXPECT_EQ(steppersEnabled(), std::vector<bool>(8, false));
    EXPECT_EQ(window.state().recordCount, 6);
}

TEST_F(MainScreenTest, AutomaticTimeGoesIntoTheDiaryOfANewRecord) {
    app.writeFile("自動時間.TXT", "1\n");
    frmMain& window = start();
    app.clock().set({{2005, 3, 1}, 7, 5, 9});
    chooseSituation("起床後");
    app.click("cmdTaiHozon");
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/03/01\",\"起床後\",150,85,72,\"7:05:09\",63\r\n"),
              std::string::npos);
    EXPECT_EQ(cell(1, 1), "起床後");

    window.state().autoTime = false;
    chooseSituation("夕食後");
    app.click("cmdTaiHozon");
    const std::string log = app.readFile("データ.txt");
    EXPECT_TRUE(log.ends_with("\"2005/03/01\",\"夕食後\",150,85,72,\"\",63\r\n")) << log;
    EXPECT_EQ(app.find<ui::Grid>("msgDayList")->rowCount(), 3);
}

TEST_F(MainScreenTest, UnreadableLogIsReportedAndNeverWrittenTo) {
    app.writeFile("データ.txt", "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n\"2005/02/01\",\"起床後\",125\n");
    const std::string before = app.readBytes("データ.txt");
    start();
    ASSERT_FALSE(app.dialogs().records().empty());
    const auto& report = app.dialogs().records().front();
    EXPECT_EQ(report.icon, ui::Icon::Warning);
    EXPECT_TRUE(report.text.contains("データ.txt")) << report.text.toStdString();
    EXPECT_TRUE(report.text.contains("2")) << report.text.toStdString();
    EXPECT_EQ(app.find<ui::Grid>("msgDayList")->rowCount(), 1);
    EXPECT_EQ(label("lblMHyouka"), "本日未登録");

    app.dialogs().clear();
    chooseSituation("起床後");
    setBoxes({"120", "80", "70", "62"});
    app.click("cmdTaiHozon");
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_EQ(lastDialog().title, "保存できません");
    EXPECT_EQ(app.readBytes("データ.txt"), before);
}

TEST_F(MainScreenTest, NothingOverlapsOrIsClippedAtTheSmallestWindow) {
    frmMain& window = start();
    clickDate(QDate(2005, 2, 3));
    window.resize(window.minimumSize());
    QApplication::processEvents();
    auto* frame = app.find<QWidget>("fraMain");
    const char* const names[] = {"msgDayList", "fraStatistics", "lblMHyouka", "imgScale", "imgwara",     "fraWho",
                                 "mtvmain",    "lstAct",        "txtTaiInp",  "cmdUp3",   "cmdTaiHozon", "cmdFree",
                                 "cmdJikan",   "fraHanteiHyou", "optKon5",    "optTai",   "cmdHanteiGr", "cmdSuiiGr"};
    std::vector<std::pair<QString, QRect>> placed;
    for (const char* name : names) {
        auto* widget = app.find<QWidget>(name);
        ASSERT_NE(widget, nullptr);
        const QRect rect(widget->mapTo(frame, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(frame->rect().contains(rect)) << name;
        if (!qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_GE(widget->width(), widget->minimumSizeHint().width()) << name;
            EXPECT_GE(widget->height(), widget->minimumSizeHint().height()) << name;
        }
        for (const auto& [other, otherRect] : placed) {
            EXPECT_FALSE(rect.intersects(otherRect)) << name << " overlaps " << other.toStdString();
        }
        placed.emplace_back(name, rect);
    }
    // Buttons and captions show their whole text.
    for (auto* button : frame->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + icon + 8)
                << button->text().toStdString();
        }
    }
    for (auto* label : frame->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && label->objectName() != "lblYearMonth") {
            EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
        }
    }
    if (const QByteArray out = qgetenv("SORANOTE_MAIN_SHOT"); !out.isEmpty()) {
        window.grab().save(QString::fromLocal8Bit(out));
    }
}
