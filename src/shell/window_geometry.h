#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <optional>

class QSettings;
class QWidget;

/// The title bar and borders a window manager is assumed to add before the window is shown and they can be measured:
/// generous, so that a guess too small never puts the title bar above the screen.
QMargins estimatedFrameMargins();

/// Where a window last shown at `saved` (its inside, without the frame) goes among the screens there are now (their
/// available areas, the primary screen first), counting `frame` around it: onto the screen its frame overlaps most,
/// or centred on the primary screen when it overlaps none, moved and if need be shrunk so that the window with its
/// frame lies whole on that screen. Nothing when `saved` is no usable rectangle or there is no screen.
std::optional<QRect> placeOnScreens(const QRect& saved, const QList<QRect>& screens, const QMargins& frame = {});

/// Where a window of `size` opens when nothing was kept: centred on the primary screen, shrunk to fit with its frame.
std::optional<QRect> placeFirstTime(const QSize& size, const QList<QRect>& screens, const QMargins& frame = {});

/// The main window's size, position and maximised state, kept in the per-machine preferences between starts.
class WindowGeometry {
public:
    explicit WindowGeometry(QSettings& settings);

    /// Before the window is shown: gives it its last normal size and place (or, the first time, its own size in the
    /// middle of the primary screen) on a screen that exists now, with room for an estimated frame.
    void restore(QWidget& window) const;
    /// Once the window is shown: moves it again where its measured frame leaves the screen, then maximises it again
    /// when it was maximised at the end of the last run.
    void restoreMaximised(QWidget& window) const;
    /// Keeps the window's normal geometry (also while maximised) and whether it is maximised.
    void save(const QWidget& window);

private:
    QSettings& m_settings;
};

/// Sizes and places a window not shown yet as on a first start (a screenshot run, which keeps nothing).
void fitFirstTime(QWidget& window);

/// Moves a shown window whose frame, as measured now, does not lie whole on its screen. A window manager that
/// reports no frame (none running, the offscreen platform) leaves it where it is.
void keepFrameOnScreen(QWidget& window);
