// The main window on laptop screens: every screen whole, or the screen area scrolls; nothing squeezed or cut.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "test_app.h"

namespace {

const char* const kScreens[][2] = {{"cmdMain", "fraMain"},       {"cmdTaijyu", "fraTaijyu"}, {"cmdAvgtai", "fraAvgTai"},
                                   {"cmdBunseki", "fraBunseki"}, {"cmdCale", "fraCale"},     {"cmdRentai", "fraRenTai"},
                                   {"cmdMemo", "fraMemo"},       {"cmdSettei", "fraSettei"}};

// The inside of the window as the placement rule opens it with a 37-pixel title bar (see test_window_geometry).
struct Screen {
    const char* what;
    QSize inside;
};
const Screen kSizes[] = {{"800 x 600", QSize(800, 563)},
                         {"1280 x 720", QSize(1240, 634)},
                         {"1366 x 768", QSize(1240, 703)},
                         {"1280 x 800", QSize(1240, 730)},
                         {"smallest window", QSize(1, 1)}};

TEST(SmallScreens, EveryScreenIsWholeOrTheAreaScrolls) {
    TestApp app;
    app.useSample();
    frmMain& window = app.start();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* scroll = app.find<QScrollArea>("frameScroll");
    auto* area = app.find<QWidget>("frameArea");
    ASSERT_TRUE(scroll && area);
    for (const Screen& screen : kSizes) {
        window.resize(screen.inside);
        for (const auto& [button, frameName] : kScreens) {
            app.click(button);
            QTest::qWait(0);
            const std::string where = std::string(frameName) + " at " + screen.what;
            if (screen.inside.width() > 1) {
                EXPECT_EQ(window.size(), screen.inside) << where << ": the window allows this size";
            }
            // The row of screen buttons stays whole and inside the window: it wraps rather than widen the window.
            for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
                if (!area->isAncestorOf(button) && button->window() == &window && button->isVisible()) {
                    EXPECT_GE(button->width(), button->minimumSizeHint().width())
                        << where << ": " << button->text().toStdString();
                    if (screen.inside.width() > 1) {
                        EXPECT_TRUE(window.rect().contains(QRect(button->mapTo(&window, QPoint()), button->size())))
                            << where << ": " << button->text().toStdString();
                    }
                }
            }
            // The area never gets smaller than its frames need: what does not fit scrolls into view.
            const QSize need = area->minimumSizeHint();
            EXPECT_GE(area->width(), need.width()) << where;
            EXPECT_GE(area->height(), need.height()) << where;
            const QSize view = scroll->viewport()->size();
            EXPECT_EQ(scroll->verticalScrollBar()->maximum() > 0, need.height() > view.height()) << where;
            EXPECT_EQ(scroll->horizontalScrollBar()->maximum() > 0, need.width() > view.width()) << where;

            // Every control of the frame inside the frame, and every caption whole.
            auto* frame = app.find<QWidget>(frameName);
            ASSERT_NE(frame, nullptr);
            for (QWidget* child : frame->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(frame) || child->isWindow()) {
                    continue;
                }
                const QRect rect(child->mapTo(frame, QPoint(0, 0)), child->size());
                EXPECT_TRUE(frame->rect().contains(rect)) << where << ": " << child->objectName().toStdString();
            }
            for (QLabel* label : frame->findChildren<QLabel*>()) {
                if (label->isVisibleTo(frame) && !label->wordWrap() && !label->text().isEmpty()) {
                    EXPECT_GE(label->width(), label->minimumSizeHint().width())
                        << where << ": " << label->text().toStdString();
                }
            }
        }
    }
}

}  // namespace
