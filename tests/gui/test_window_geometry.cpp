// The window's size, place and maximised state between starts, and where it goes when the screens changed.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <optional>
#include <ostream>

#include "qt_app.h"
#include "shell/window_geometry.h"

void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height() << ")";
}

namespace {

// Two monitors side by side, the primary one with a panel of 32 pixels at the top.
const QRect kPrimary(0, 32, 1920, 1048);
const QRect kRight(1920, 0, 1280, 1024);
const QRect kLeft(-1280, 0, 1280, 1024);

struct Placement {
    const char* what;
    QRect saved;
    QList<QRect> screens;
    std::optional<QRect> expected;
};

const Placement kPlacements[] = {
    {"where it was", {100, 80, 1240, 760}, {kPrimary}, QRect(100, 80, 1240, 760)},
    {"on the second monitor", {2000, 50, 1000, 700}, {kPrimary, kRight}, QRect(2000, 50, 1000, 700)},
    {"second monitor unplugged: middle of the primary", {2000, 50, 1000, 700}, {kPrimary}, QRect(460, 206, 1000, 700)},
    {"off the right edge", {1500, 100, 1000, 700}, {kPrimary}, QRect(920, 100, 1000, 700)},
    {"under the panel", {100, -300, 1000, 700}, {kPrimary}, QRect(100, 32, 1000, 700)},
    {"below the bottom", {100, 900, 1000, 700}, {kPrimary}, QRect(100, 380, 1000, 700)},
    {"larger than the screen now", {0, 0, 3000, 2000}, {QRect(0, 0, 1366, 740)}, QRect(0, 0, 1366, 740)},
    {"monitor left of the primary", {-1200, 100, 1000, 700}, {kPrimary, kLeft}, QRect(-1200, 100, 1000, 700)},
    {"across two monitors: larger part", {1700, 100, 1000, 700}, {kPrimary, kRight}, QRect(1920, 100, 1000, 700)},
    {"primary not at the origin", {0, 0, 800, 600}, {QRect(1920, 0, 1920, 1080)}, QRect(2480, 240, 800, 600)},
    {"nothing saved", QRect(), {kPrimary}, std::nullopt},
    {"negative size", {0, 0, -5, 10}, {kPrimary}, std::nullopt},
    {"absurd numbers", {1 << 30, 0, 800, 600}, {kPrimary}, std::nullopt},
    {"no screen", {0, 0, 800, 600}, {}, std::nullopt},
};

TEST(WindowPlacement, LiesWholeOnAScreenThatExistsNow) {
    for (const Placement& row : kPlacements) {
        EXPECT_EQ(placeOnScreens(row.saved, row.screens), row.expected) << row.what;
    }
}

// Laptop screens with their desktop's panel, and a title bar of 37 pixels with thin borders (GNOME).
const QRect k1366x768TopPanel(0, 27, 1366, 741);
const QRect k1280x720BottomPanel(0, 0, 1280, 672);
const QRect k1280x800TopPanel(0, 32, 1280, 768);
const QMargins kTitleBar(1, 37, 1, 1);

struct FramedPlacement {
    const char* what;
    std::optional<QRect> saved;  // nothing: the first start, at the window's own size of 1240 x 760
    QList<QRect> screens;
    QMargins frame;
    std::optional<QRect> expected;  // the inside of the window; its frame is `frame` around it
};

const FramedPlacement kFramedPlacements[] = {
    // The first start: as tall as the screen allows with the title bar on it, in the middle.
    {"first start, 1366 x 768", std::nullopt, {k1366x768TopPanel}, kTitleBar, QRect(63, 64, 1240, 703)},
    {"first start, 1280 x 720", std::nullopt, {k1280x720BottomPanel}, kTitleBar, QRect(20, 37, 1240, 634)},
    {"first start, 1280 x 800", std::nullopt, {k1280x800TopPanel}, kTitleBar, QRect(20, 69, 1240, 730)},
    {"first start, large screen", std::nullopt, {kPrimary}, kTitleBar, QRect(340, 194, 1240, 760)},
    // Kept from the last run with the title bar above the screen: moved down under the panel.
    {"title bar above the top", QRect(63, 8, 1240, 703), {k1366x768TopPanel}, kTitleBar, QRect(63, 64, 1240, 703)},
    {"kept taller than the screen now",
     QRect(20, 40, 1240, 760),
     {k1280x720BottomPanel},
     kTitleBar,
     QRect(20, 37, 1240, 634)},
    {"border past the right edge",
     QRect(480, 300, 800, 300),
     {k1280x720BottomPanel},
     QMargins(4, 30, 4, 4),
     QRect(476, 300, 800, 300)},
    {"frame just fits", QRect(4, 30, 800, 400), {QRect(0, 0, 808, 434)}, QMargins(4, 30, 4, 4), QRect(4, 30, 800, 400)},
    {"on the second monitor, with its frame",
     QRect(1921, 37, 1000, 700),
     {kPrimary, kRight},
     kTitleBar,
     QRect(1921, 37, 1000, 700)},
    {"frame alone taller than the screen", QRect(0, 0, 800, 600), {QRect(0, 0, 800, 30)}, kTitleBar, std::nullopt},
    {"frame of nonsense", QRect(0, 0, 800, 600), {kPrimary}, QMargins(0, -40, 0, 0), std::nullopt},
    {"first start without a screen", std::nullopt, {}, kTitleBar, std::nullopt},
};

TEST(WindowPlacement, TitleBarAndBordersLieOnTheScreen) {
    for (const FramedPlacement& row : kFramedPlacements) {
        const std::optional<QRect> placed = row.saved ? placeOnScreens(*row.saved, row.screens, row.frame)
                                                      : placeFirstTime(QSize(1240, 760), row.screens, row.frame);
        EXPECT_EQ(placed, row.expected) << row.what;
    }
}

class WindowGeometryTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QSettings m_settings{m_dir.filePath("soranote.conf"), QSettings::IniFormat};
};

TEST_F(WindowGeometryTest, FirstStartShrinksTheWindowWithItsFrameOntoTheScreen) {
    // Nothing kept yet, and the offscreen platform's screen (800 x 800) is smaller than the window.
    QWidget window;
    window.resize(1240, 1760);
    WindowGeometry(m_settings).restore(window);
    const QRect outer = window.geometry().marginsAdded(estimatedFrameMargins());
    EXPECT_EQ(outer, QGuiApplication::primaryScreen()->availableGeometry());
}

TEST_F(WindowGeometryTest, NormalAndMaximisedWindowsComeBackAsTheyWere) {
    // The offscreen platform's screen is 800 x 600.
    const QRect normal(50, 40, 600, 400);
    for (const bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        {
            QWidget window;
            window.setGeometry(normal);
            window.show();
            if (maximised) {
                window.setWindowState(Qt::WindowMaximized);
                QTRY_VERIFY(window.geometry() != normal);
            }
            WindowGeometry(m_settings).save(window);
        }
        QWidget next;
        const WindowGeometry geometry(m_settings);
        geometry.restore(next);
        EXPECT_EQ(next.geometry(), normal);
        next.show();
        geometry.restoreMaximised(next);
        EXPECT_EQ(next.isMaximized(), maximised);
        next.showNormal();
        QTRY_COMPARE(next.geometry(), normal);
    }
}

}  // namespace
