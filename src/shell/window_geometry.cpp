#include "shell/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <QWindow>
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

bool usable(const QMargins& frame) {
    const auto fine = [](int side) { return side >= 0 && side < 1000; };
    return fine(frame.left()) && fine(frame.top()) && fine(frame.right()) && fine(frame.bottom());
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

/// The window with its frame (`outer`) shrunk to `screen` and moved onto it, centred when `centre`; returned without
/// the frame, or nothing when the frame alone is larger than the screen.
std::optional<QRect> fitOnto(const QRect& outer, const QRect& screen, bool centre, const QMargins& frame) {
    const QSize size = outer.size().boundedTo(screen.size());
    QRect placed(QPoint(), size);
    if (centre) {
        placed.moveCenter(screen.center());
    } else {
        placed.moveTopLeft(outer.topLeft());
    }
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - size.width() + 1));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() - size.height() + 1));
    const QRect inside = placed.marginsRemoved(frame);
    return inside.isValid() ? std::optional<QRect>(inside) : std::nullopt;
}

/// The frame the window manager put around a shown window; all zero while it reports none.
QMargins measuredFrame(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

}  // namespace

QMargins estimatedFrameMargins() {
    // A GNOME title bar is 37 pixels high, KDE's and Xfce's less; the side borders are thin or invisible.
    return {2, 40, 2, 2};
}

std::optional<QRect> placeOnScreens(const QRect& saved, const QList<QRect>& screens, const QMargins& frame) {
    if (!usable(saved) || !usable(frame)) {
        return std::nullopt;
    }
    const QRect outer = saved.marginsAdded(frame);
    const QRect* target = nullptr;
    qint64 bestOverlap = 0;
    for (const QRect& screen : screens) {
        if (!usable(screen)) {
            continue;
        }
        if (!target) {
            target = &screen;  // the primary screen, unless the window overlaps another
        }
        if (const qint64 overlap = overlapArea(outer, screen); overlap > bestOverlap) {
            bestOverlap = overlap;
            target = &screen;
        }
    }
    if (!target) {
        return std::nullopt;
    }
    // With no overlap the screen it was on is gone (a monitor unplugged or rearranged): the middle of the primary one.
    return fitOnto(outer, *target, bestOverlap == 0, frame);
}

std::optional<QRect> placeFirstTime(const QSize& size, const QList<QRect>& screens, const QMargins& frame) {
    const auto primary = std::find_if(screens.begin(), screens.end(), [](const QRect& s) { return usable(s); });
    if (!size.isValid() || !usable(frame) || primary == screens.end()) {
        return std::nullopt;
    }
    return fitOnto(QRect(QPoint(), size).marginsAdded(frame), *primary, true, frame);
}

WindowGeometry::WindowGeometry(QSettings& settings) : m_settings(settings) {}

void WindowGeometry::restore(QWidget& window) const {
    // A value that is no rectangle (a hand-edited file) reads as an invalid one: then as on a first start.
    const QRect saved = m_settings.value(kGeometryKey).toRect();
    const QList<QRect> screens = availableScreens();
    auto placed = placeOnScreens(saved, screens, estimatedFrameMargins());
    if (!placed) {
        placed = placeFirstTime(window.size(), screens, estimatedFrameMargins());
    }
    if (placed) {
        window.setGeometry(*placed);
    }
}

void WindowGeometry::restoreMaximised(QWidget& window) const {
    // The window manager frames a new window a moment after it is shown (X11 reports the frame asynchronously):
    // look at once, once the events so far are handled, and once more a little later.
    keepFrameOnScreen(window);
    for (const int delay : {0, 300}) {
        // The window is the timer's context: a window closed before then cancels it.
        QTimer::singleShot(delay, &window, [&window] { keepFrameOnScreen(window); });
    }
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

void fitFirstTime(QWidget& window) {
    if (const auto placed = placeFirstTime(window.size(), availableScreens(), estimatedFrameMargins())) {
        window.setGeometry(*placed);
    }
}

void keepFrameOnScreen(QWidget& window) {
    const QMargins frame = measuredFrame(window);
    if (frame.isNull() || window.isMaximized() || window.isFullScreen()) {
        return;
    }
    if (const auto placed = placeOnScreens(window.geometry(), availableScreens(), frame);
        placed && *placed != window.geometry()) {
        window.setGeometry(*placed);
    }
}
