#pragma once

class QPaintDevice;
class QWidget;

namespace ui {

/// Twips (1440 per inch) to pixels of a widget's screen (15 twips per pixel at 96 DPI).
int twipsToPixels(int twips, const QWidget* widget = nullptr);
int pixelsToTwips(int pixels, const QWidget* widget = nullptr);
/// Twips to device units of a printer or picture.
double twipsToDevice(double twips, const QPaintDevice& device);

}  // namespace ui
