#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

/// Writes a text top to bottom, one character under the other, centred in a rectangle (Japanese vertical
/// writing), at a pixel size that fits the rectangle's height.
void drawVerticalText(QPainter& painter, const QRectF& rect, const QString& text, int pixelSize);
