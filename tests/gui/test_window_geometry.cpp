// The window's size, place and maximised state between starts, and where it goes when the screens changed.
#include <gtest/gtest.h>

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

class WindowGeometryTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QSettings m_settings{m_dir.filePath("soranote.conf"), QSettings::IniFormat};
};

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
