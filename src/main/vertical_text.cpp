#include "main/vertical_text.h"

#include <QFontMetricsF>

namespace {

constexpr double LineStep = 0.92;  // CJK glyphs fill their line: stacked characters may sit a little closer

}  // namespace

void drawVerticalText(QPainter& painter, const QRectF& rect, const QString& text, int pixelSize) {
    if (text.isEmpty()) {
        return;
    }
    QFont font = painter.font();
    // The largest size up to `pixelSize` at which the column of characters fits the rectangle.
    for (int size = pixelSize; size >= 6; --size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        if (metrics.height() * LineStep * text.size() <= rect.height() - 2 &&
            metrics.horizontalAdvance(QChar(0x5727)) <= rect.width()) {
            break;
        }
    }
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double step = QFontMetricsF(font).height() * LineStep;
    double y = rect.top() + (rect.height() - step * text.size()) / 2;
    for (const QChar c : text) {
        painter.drawText(QRectF(rect.left(), y, rect.width(), step), Qt::AlignCenter, QString(c));
        y += step;
    }
    painter.restore();
}
