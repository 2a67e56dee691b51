#pragma once

#include <QList>
#include <QRect>
#include <optional>

class QSettings;
class QWidget;

/// Where a window last shown at `saved` goes among the screens there are now (their available areas, the primary
/// screen first): onto the screen it overlaps most, or centred on the primary screen when it overlaps none, moved
/// and if need be shrunk so that it lies whole on that screen. Nothing when `saved` is no usable rectangle or there
/// is no screen.
std::optional<QRect> placeOnScreens(const QRect& saved, const QList<QRect>& screens);

/// The main window's size, position and maximised state, kept in the per-machine preferences between starts.
class WindowGeometry {
public:
    explicit WindowGeometry(QSettings& settings);

    /// Before the window is shown: gives it its last normal size and place, on a screen that exists now.
    void restore(QWidget& window) const;
    /// Once the window is shown: maximises it again when it was maximised at the end of the last run.
    void restoreMaximised(QWidget& window) const;
    /// Keeps the window's normal geometry (also while maximised) and whether it is maximised.
    void save(const QWidget& window);

private:
    QSettings& m_settings;
};
