#include "ui/twips.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QWidget>

namespace ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

double screenDpi(const QWidget* widget) {
    double dpi = 0;
    if (widget) {
        dpi = widget->logicalDpiX();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dpi = screen->logicalDotsPerInchX();
    }
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

int twipsToPixels(int twips, const QWidget* widget) {
    return qRound(twips * screenDpi(widget) / kTwipsPerInch);
}

int pixelsToTwips(int pixels, const QWidget* widget) {
    return qRound(pixels * kTwipsPerInch / screenDpi(widget));
}

double twipsToDevice(double twips, const QPaintDevice& device) {
    const int dpi = device.logicalDpiX();
    return twips * (dpi > 0 ? dpi : 96) / kTwipsPerInch;
}

double twipsToDeviceY(double twips, const QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    return twips * (dpi > 0 ? dpi : 96) / kTwipsPerInch;
}

double deviceToTwips(double units, const QPaintDevice& device) {
    const int dpi = device.logicalDpiX();
    return units * kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

double deviceToTwipsY(double units, const QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    return units * kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

}  // namespace ui
