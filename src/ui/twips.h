#pragma once

class QPaintDevice;
class QWidget;

namespace ui {

/// Twips (1440 per inch) to pixels of a widget's screen (15 twips per pixel at 96 DPI).
int twipsToPixels(int twips, const QWidget* widget = nullptr);
int pixelsToTwips(int pixels, const QWidget* widget = nullptr);
/// Twips to device units of a printer or picture.
double twipsToDevice(double twips, const QPaintDevice& device);
/// The same for vertical positions (a device may have different horizontal and vertical resolutions).
double twipsToDeviceY(double twips, const QPaintDevice& device);
/// Device units of a printer or picture back to twips.
double deviceToTwips(double units, const QPaintDevice& device);
double deviceToTwipsY(double units, const QPaintDevice& device);

}  // namespace ui
