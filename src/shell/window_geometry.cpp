#include "shell/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace {

const char* const kGeometryKey = "MainWindow/geometry";
const char* const kMaximisedKey = "MainWindow/maximised";

// Far beyond any desktop; a hand-edited file with larger numbers is ignored rather than overflowing QRect.
constexpr int kCoordinateLimit = 1 << 20;

qint64 overlapArea(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

bool usable(const QRect& rect) {
    return rect.isValid() && std::abs(rect.x()) < kCoordinateLimit && std::abs(rect.y()) < kCoordinateLimit &&
           rect.width() < kCoordinateLimit && rect.height() < kCoordinateLimit;
}

QList<QRect> availableScreens() {
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        areas.append(primary->availableGeometry());
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            areas.append(screen->availableGeometry());
        }
    }
    return areas;
}

}  // namespace

std::optional<QRect> placeOnScreens(const QRect& saved, const QList<QRect>& screens) {
    if (!usable(saved)) {
        return std::nullopt;
    }
    const QRect* target = nullptr;
    qint64 bestOverlap = 0;
    for (const QRect& screen : screens) {
        if (!usable(screen)) {
            continue;
        }
        if (!target) {
            target = &screen;  // the primary screen, unless the window overlaps another
        }
        if (const qint64 overlap = overlapArea(saved, screen); overlap > bestOverlap) {
            bestOverlap = overlap;
            target = &screen;
        }
    }
    if (!target) {
        return std::nullopt;
    }
    const QSize size = saved.size().boundedTo(target->size());
    QRect placed(QPoint(), size);
    if (bestOverlap == 0) {
        // The screen it was on is gone (a monitor unplugged or rearranged): start in the middle of the primary one.
        placed.moveCenter(target->center());
    } else {
        placed.moveTopLeft(saved.topLeft());
    }
    placed.moveLeft(std::clamp(placed.left(), target->left(), target->right() - size.width() + 1));
    placed.moveTop(std::clamp(placed.top(), target->top(), target->bottom() - size.height() + 1));
    return placed;
}

WindowGeometry::WindowGeometry(QSettings& settings) : m_settings(settings) {}

void WindowGeometry::restore(QWidget& window) const {
    // A value that is no rectangle (a hand-edited file) reads as an invalid one and changes nothing.
    if (const auto placed = placeOnScreens(m_settings.value(kGeometryKey).toRect(), availableScreens())) {
        window.setGeometry(*placed);
    }
}

void WindowGeometry::restoreMaximised(QWidget& window) const {
    if (m_settings.value(kMaximisedKey, false).toBool()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

void WindowGeometry::save(const QWidget& window) {
    // While maximised, geometry() is the whole screen; the normal geometry is where un-maximising goes back to.
    m_settings.setValue(kGeometryKey, window.normalGeometry());
    m_settings.setValue(kMaximisedKey, window.isMaximized());
    m_settings.sync();
}
