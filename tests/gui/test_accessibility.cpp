// The window as a screen reader sees it: every control it can reach has a Japanese name of its own on its screen,
// and what the screens say in colour and drawing (the face, the charts, the calendar days) is said in words too.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QSet>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include <QComboBox>
#include <QFocusFrame>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>

#include "settings/settings_screen.h"
#include "shell/text_size_control.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/focus_frame.h"
#include "ui/grid.h"
#include "ui/text_scale.h"

namespace {

const char* const kScreens[][2] = {{"cmdMain", "fraMain"},       {"cmdTaijyu", "fraTaijyu"}, {"cmdAvgtai", "fraAvgTai"},
                                   {"cmdBunseki", "fraBunseki"}, {"cmdCale", "fraCale"},     {"cmdRentai", "fraRenTai"},
                                   {"cmdMemo", "fraMemo"},       {"cmdSettei", "fraSettei"}};

struct Reachable {
    QString name;
    QString where;  // objectName, or the class when there is none
};

bool hasJapanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F)) {
            return true;
        }
    }
    return false;
}

QString describe(QObject* object) {
    if (!object) {
        return "?";
    }
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

/// Every shown control that takes the keyboard, as the accessibility tree gives it. A table is one control: its
/// cells are checked apart.
void collect(QAccessibleInterface* node, std::vector<Reachable>& out, int depth = 0) {
    if (!node || depth > 60 || node->state().invisible) {
        return;
    }
    if (node->state().focusable) {
        // Qt on Linux gives a combo box's value as its name and its label as a relation; the name we set is the
        // widget's.
        auto* widget = qobject_cast<QWidget*>(node->object());
        const bool combo = node->role() == QAccessible::ComboBox && widget;
        out.push_back({combo ? widget->accessibleName() : node->text(QAccessible::Name), describe(node->object())});
    }
    if (node->role() == QAccessible::Table || node->role() == QAccessible::List ||
        node->role() == QAccessible::ComboBox) {
        return;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collect(node->child(i), out, depth + 1);
    }
}

std::vector<Reachable> reachable(QWidget& window) {
    std::vector<Reachable> found;
    collect(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

void expectNamed(const std::vector<Reachable>& controls, const std::string& screen) {
    std::map<QString, QString> seen;
    for (const Reachable& control : controls) {
        EXPECT_TRUE(hasJapanese(control.name)) << screen << ": " << control.where.toStdString()
                                               << " has no Japanese name (\"" << control.name.toStdString() << "\")";
        const auto [it, fresh] = seen.emplace(control.name, control.where);
        EXPECT_TRUE(fresh || control.name.isEmpty())
            << screen << ": \"" << control.name.toStdString() << "\" names both " << it->second.toStdString() << " and "
            << control.where.toStdString();
    }
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        m_app.useSample();
        m_app.start();
        m_app.window().resize(1366, 768);
        m_app.window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_app.window()));
    }
    void TearDown() override {
        m_app.window().textSize().choose(sora::TextSize::Standard);  // the scale is the whole process's
        m_app.closeDialogs();
    }
    TestApp m_app;
};

/// Every control of the shown screen (and the button row) that Tab may stop at.
std::vector<QWidget*> tabStops(QWidget& window) {
    std::vector<QWidget*> stops;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->isVisible() && widget->isEnabled() &&
            !widget->focusProxy() && widget->window() == &window) {
            stops.push_back(widget);
        }
    }
    return stops;
}

TEST_F(Accessibility, EveryReachableControlOnEveryScreenHasItsOwnJapaneseName) {
    for (const auto& [button, frame] : kScreens) {
        m_app.click(button);
        QTest::qWait(0);
        const std::vector<Reachable> controls = reachable(m_app.window());
        EXPECT_GT(controls.size(), 12u) << frame << ": the walk found too little to be the screen";
        expectNamed(controls, frame);
    }
    // The settings screen's forms that replace parts of it.
    m_app.click("cmdSettei");
    m_app.click("cmdNew1");
    QTest::qWait(0);
    expectNamed(reachable(m_app.window()), "fraNew");
}

TEST_F(Accessibility, TabReachesEveryControlOfEveryScreenTheMainScreenInReadingOrder) {
    ASSERT_TRUE(m_app.showActive());
    for (const auto& [button, frame] : kScreens) {
        m_app.click(button);
        QTest::qWait(0);
        const std::vector<QWidget*> stops = tabStops(m_app.window());
        std::vector<QString> order;
        QSet<QWidget*> visited;
        stops.front()->setFocus(Qt::TabFocusReason);
        for (std::size_t press = 0; press < 3 * stops.size() && QApplication::focusWidget(); ++press) {
            QWidget* now = QApplication::focusWidget();
            if (!visited.contains(now)) {
                // The calendar's days are a view inside it.
                const bool inCalendar = m_app.find<QWidget>("mtvmain")->isAncestorOf(now);
                const QString name = inCalendar ? QString("mtvmain") : now->objectName();
                if (order.empty() || order.back() != name) {
                    order.push_back(name);
                }
            }
            visited.insert(now);
            QTest::keyClick(now, Qt::Key_Tab);
        }
        for (QWidget* stop : stops) {
            // A group of option buttons is one stop: the arrow keys choose within it.
            const bool optionOfVisitedGroup =
                qobject_cast<QRadioButton*>(stop) && std::any_of(visited.begin(), visited.end(), [stop](QWidget* seen) {
                    return qobject_cast<QRadioButton*>(seen) && seen->parentWidget() == stop->parentWidget();
                });
            EXPECT_TRUE(visited.contains(stop) || optionOfVisitedGroup)
                << frame << ": Tab never reaches " << describe(stop).toStdString();
        }
        if (std::string(frame) == "fraMain") {
            std::vector<QString> entry;
            for (const QString& name : order) {
                if (QStringList{"mtvmain", "lstAct", "txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp",
                                "cmdTaiHozon", "msgDayList"}
                        .contains(name)) {
                    entry.push_back(name);
                }
            }
            const std::vector<QString> reading = {"mtvmain",     "lstAct",    "txtMaxInp",   "txtMinInp",
                                                  "txtMyakuInp", "txtTaiInp", "cmdTaiHozon", "msgDayList"};
            // The walk starts wherever the first stop is: compare from the calendar on, around the circle.
            const auto start = std::find(entry.begin(), entry.end(), QString("mtvmain"));
            ASSERT_NE(start, entry.end());
            std::rotate(entry.begin(), start, entry.end());
            EXPECT_EQ(entry, reading);
        }
    }
}

TEST_F(Accessibility, TheFocusFrameFollowsTheKeyboardAtEverySize) {
    // The grids take their cell margins from the style's focus metrics: the frame must leave them as they were.
    auto* grid = m_app.find<QWidget>("msgDayList");
    const int cellMargin = QApplication::style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid);
    ui::useVisibleFocus(ensureApplication());
    EXPECT_EQ(QApplication::style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid), cellMargin);
    ASSERT_TRUE(m_app.showActive());
    for (const sora::TextSize size : {sora::TextSize::Standard, sora::TextSize::Largest}) {
        m_app.window().textSize().choose(size);
        for (const char* name : {"txtMaxInp", "msgDayList", "cmdTaiHozon"}) {
            auto* control = m_app.find<QWidget>(name);
            control->setFocus(Qt::TabFocusReason);
            // As Tab does: a control below a scrolled screen comes into view (the frame is drawn where it shows).
            m_app.find<QScrollArea>("frameScroll")->ensureWidgetVisible(control);
            QTest::qWait(0);
            auto* frame = m_app.window().findChild<QFocusFrame*>("visibleFocusFrame");
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->widget(), control) << name;
            EXPECT_TRUE(frame->isVisible()) << name;
            // The frame lies around the control and is drawn in its colour (a dark blue no class colour has).
            EXPECT_TRUE(frame->geometry().contains(control->geometry())) << name;
            const QImage picture = frame->grab().toImage();
            const QColor edge = picture.pixelColor(picture.width() / 2, 1);
            EXPECT_LT(edge.red(), 60) << name;
            EXPECT_GT(edge.blue(), 150) << name;
        }
    }
}

TEST_F(Accessibility, TextSizeStepsByKeysAndChoiceScalesTheOpenWindowAndIsKept) {
    ASSERT_TRUE(m_app.showActive());
    frmMain& window = m_app.window();
    window.resize(1240, 700);
    const auto ratio = [&] { return window.grab().devicePixelRatioF(); };
    const auto kept = [] { return QSettings().value("display/textSizePercent").toInt(); };
    struct Step {
        QKeyCombination key;
        double ratio;
    };
    const Step steps[] = {{Qt::CTRL | Qt::Key_Plus, 1.25}, {Qt::CTRL | Qt::Key_Plus, 1.5},
                          {Qt::CTRL | Qt::Key_Plus, 1.5},  {Qt::CTRL | Qt::Key_Minus, 1.25},
                          {Qt::CTRL | Qt::Key_0, 1.0},     {Qt::CTRL | Qt::Key_Equal, 1.25}};
    for (const Step& step : steps) {
        QTest::keyClick(&window, step.key.key(), step.key.keyboardModifiers());
        EXPECT_DOUBLE_EQ(ratio(), step.ratio) << QKeySequence(step.key).toString().toStdString();
        EXPECT_EQ(kept(), qRound(step.ratio * 100));
    }
    // The settings screen shows the size and chooses one.
    m_app.click("cmdSettei");
    auto* box = m_app.find<QComboBox>("cboMojiSize");
    EXPECT_EQ(box->currentText(), "大きめ");
    box->setCurrentIndex(2);
    emit box->activated(2);
    EXPECT_DOUBLE_EQ(ratio(), 1.5);
    EXPECT_EQ(TextSizeControl::stored(), sora::TextSize::Largest);
    // 特大 on a small screen: the window stays inside it and what no longer fits scrolls.
    // (Narrower than the button row it cannot get.)
    const QRect free = window.screen()->availableGeometry();
    EXPECT_LE(window.frameGeometry().height(), std::max(free.height(), window.minimumSizeHint().height()));
    EXPECT_GE(window.frameGeometry().top(), free.top());
    EXPECT_GE(window.frameGeometry().left(), free.left());
    m_app.click("cmdMain");
    QTest::qWait(0);
    auto* scroll = m_app.find<QScrollArea>("frameScroll");
    auto* area = m_app.find<QWidget>("frameArea");
    EXPECT_GE(area->width(), area->minimumSizeHint().width());
    EXPECT_GE(area->height(), area->minimumSizeHint().height());
    EXPECT_TRUE(scroll->verticalScrollBar()->maximum() > 0 || scroll->horizontalScrollBar()->maximum() > 0);
}

TEST_F(Accessibility, PicturesAndColoursAreSaidInWords) {
    m_app.click("cmdMain");  // the sample's day 2005/02/09
    QTest::qWait(0);
    bool faceNamed = false;
    for (const char* face : {"imgwara", "imgniko", "imgkana", "imgNashi"}) {
        auto* image = m_app.find<QWidget>(face);
        if (image->isVisible()) {
            faceNamed = image->accessibleName().startsWith("判定の顔: ") && image->accessibleName().size() > 7;
        }
    }
    EXPECT_TRUE(faceNamed);
    const char* const charts[][2] = {
        {"cmdMain", "mcrMain"}, {"cmdRentai", "mcrRentai"}, {"cmdAvgtai", "mcrAvgtai"}, {"cmdTaijyu", "mcrBunseki"}};
    for (const auto& [button, name] : charts) {
        m_app.click(button);
        const QString said = m_app.find<ui::Chart>(name)->accessibleDescription();
        EXPECT_TRUE(said.startsWith("最高血圧 ") && said.contains("分")) << name << ": " << said.toStdString();
    }
    // A calendar day reads its date, class and count; the heading of its column is the day.
    m_app.click("cmdCale");
    auto* calendar = m_app.find<ui::Grid>("msgList2");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(calendar);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    QStringList days;
    for (int row = 0; row < table->tableInterface()->rowCount(); ++row) {
        if (QAccessibleInterface* cell = table->tableInterface()->cellAt(row, 9)) {
            days << cell->text(QAccessible::Name);
        }
    }
    EXPECT_TRUE(days.contains("2月9日 軽症高血圧 5回")) << days.join("|").toStdString();
    EXPECT_EQ(table->tableInterface()->columnDescription(9), "9");
}

TEST(AccessibilityOfImport, TheImportWindowNamesItsControls) {
    TestApp app;  // a diary of one's own: the sample diary takes no imports
    app.writeFile("データ.txt", "\"2005/02/02\",\"起床後\",130,85,72,\"7:05:00\",62\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n就寝前\n");
    app.start();
    ASSERT_TRUE(app.showActive());
    const std::filesystem::path file = app.dir().parent_path() / "a11y_import.csv";
    std::ofstream(file, std::ios::binary)
        << "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\"\n"
           "\"2005/02/10 06:50\",\"Asia/Tokyo\",\"131\",\"84\",\"66\"\n";
    app.click("cmdSettei");
    app.dialogs().queueOpenFileName(QString::fromStdString(file.string()));
    app.click("cmdImport");
    QWidget* shown = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        shown = top->objectName() == "frmImport" && top->isVisible() ? top : shown;
    }
    ASSERT_NE(shown, nullptr) << "the import window did not open";
    expectNamed(reachable(*shown), "frmImport");
    std::filesystem::remove(file);
    app.closeDialogs();
}

}  // namespace
