// Two screens, the second with a device pixel ratio of 2 (CTest starts this program with an offscreen
// configuration of them): the charts draw at the ratio of the screen they are on, and no text is cut.
#include <gtest/gtest.h>

#include <algorithm>

#include <qcustomplot.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include "test_app.h"
#include "ui/chart.h"

namespace {

const char* const kScreenButtons[] = {"cmdMain", "cmdTaijyu", "cmdAvgtai", "cmdBunseki",
                                      "cmdCale", "cmdRentai", "cmdMemo",   "cmdSettei"};

/// The screen of that device pixel ratio.
QScreen* screenAt(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() == ratio) {
            return screen;
        }
    }
    return nullptr;
}

void showOn(frmMain& window, QScreen* screen) {
    window.show();
    window.windowHandle()->setScreen(screen);
    window.move(screen->geometry().topLeft() + QPoint(50, 50));
    QTRY_COMPARE(window.screen(), screen);
}

class HighDpi : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(screenAt(1.0) && screenAt(2.0)) << "started without the two-screen configuration";
        m_app.useSample();
        m_app.start();
        m_app.window().buildAllScreens();
    }
    TestApp m_app;
};

TEST_F(HighDpi, ChartsDrawAtTheRatioOfTheScreenTheWindowIsOn) {
    frmMain& window = m_app.window();
    const QList<ui::Chart*> charts = window.findChildren<ui::Chart*>();
    ASSERT_GE(charts.size(), 4);
    for (const qreal ratio : {1.0, 2.0, 1.0}) {
        showOn(window, screenAt(ratio));
        for (ui::Chart* chart : charts) {
            EXPECT_EQ(chart->plot()->bufferDevicePixelRatio(), ratio) << chart->objectName().toStdString();
        }
    }
}

TEST_F(HighDpi, NoLabelOrButtonCutsItsText) {
    frmMain& window = m_app.window();
    showOn(window, screenAt(2.0));
    for (const char* button : kScreenButtons) {
        m_app.click(button);
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->wordWrap() || label->text().isEmpty() ||
                label->textFormat() == Qt::RichText) {
                continue;
            }
            int widest = 0;  // a caption broken by hand is as wide as its widest line
            for (const QString& line : label->text().split('\n')) {
                widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
            }
            EXPECT_LE(widest, label->contentsRect().width())
                << button << ": " << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\"";
        }
        for (const QAbstractButton* control : window.findChildren<QAbstractButton*>()) {
            if (!control->isVisible() || control->text().isEmpty()) {
                continue;
            }
            // A push button's hint has a minimum width of the style's; its text needs the text, icon and margin.
            const auto* push = qobject_cast<const QPushButton*>(control);
            const int needed = push ? control->fontMetrics().horizontalAdvance(control->text()) +
                                          (control->icon().isNull() ? 0 : control->iconSize().width() + 4) +
                                          control->style()->pixelMetric(QStyle::PM_ButtonMargin)
                                    : control->sizeHint().width();
            EXPECT_LE(needed, control->width()) << button << ": " << control->objectName().toStdString() << " \""
                                                << control->text().toStdString() << "\"";
        }
    }
}

}  // namespace
