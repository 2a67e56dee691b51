#include "ui/text_scale.h"

#include <private/qhighdpiscaling_p.h>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtGlobal>

namespace ui {
namespace {

double g_scale = 1.0;

/// The factor the user set for every Qt program (QT_SCALE_FACTOR); the text size multiplies it.
double desktopFactor() {
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1.0;
}

}  // namespace

void setTextScale(double factor) {
    if (factor <= 0 || qFuzzyCompare(factor, g_scale)) {
        return;
    }
    g_scale = factor;
    // Qt's own high-DPI scaling multiplies every logical pixel, font point and twips length by one factor; the
    // public QT_SCALE_FACTOR is the same setting, but is read only at start. Open windows are told as if moved to
    // a screen of another pixel ratio, which Qt supports (the warning about open windows is about that move).
    QHighDpiScaling::setGlobalFactor(desktopFactor() * factor);
}

double textScale() {
    return g_scale;
}

void fitIntoScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen || window.isMaximized() || window.isFullScreen()) {
        return;
    }
    const QRect free = screen->availableGeometry();
    const QSize margins = window.frameGeometry().size() - window.size();
    const QSize size = window.size().boundedTo(free.size() - margins);
    if (size != window.size()) {
        window.resize(size);
    }
    const QRect frame = window.frameGeometry();
    if (!free.contains(frame)) {
        window.move(std::clamp(frame.left(), free.left(), std::max(free.left(), free.right() - frame.width() + 1)),
                    std::clamp(frame.top(), free.top(), std::max(free.top(), free.bottom() - frame.height() + 1)));
    }
}

}  // namespace ui
