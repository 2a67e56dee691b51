#include "ui/button_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int Size = 64;  // drawn large, shown smaller: sharp on high-DPI screens

// A calendar sheet with a right arrow: show the chosen period.
void drawPeriod(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6, 10, 40, 44), 4, 4);
    p.setBrush(QColor(220, 60, 60));
    p.drawRect(QRectF(6, 10, 40, 11));
    p.setPen(QPen(QColor(90, 90, 90), 2));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            p.drawPoint(QPointF(13 + col * 9, 29 + row * 8));
        }
    }
    QPainterPath arrow;
    arrow.moveTo(34, 38);
    arrow.lineTo(48, 38);
    arrow.lineTo(48, 30);
    arrow.lineTo(60, 44);
    arrow.lineTo(48, 58);
    arrow.lineTo(48, 50);
    arrow.lineTo(34, 50);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 90, 20), 2));
    p.setBrush(QColor(60, 170, 60));
    p.drawPath(arrow);
}

// A floppy disk: save.
void drawSave(QPainter& p) {
    p.setPen(QPen(QColor(30, 40, 90), 3));
    p.setBrush(QColor(60, 90, 190));
    QPainterPath body;
    body.moveTo(8, 8);
    body.lineTo(48, 8);
    body.lineTo(56, 16);
    body.lineTo(56, 56);
    body.lineTo(8, 56);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(220, 220, 230));
    p.drawRect(QRectF(18, 8, 26, 16));
    p.setBrush(QColor(60, 90, 190));
    p.drawRect(QRectF(34, 11, 6, 10));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 32, 36, 24));
    p.setPen(QPen(QColor(150, 150, 160), 2));
    for (int y = 39; y <= 51; y += 6) {
        p.drawLine(QPointF(19, y), QPointF(45, y));
    }
}

// A printer with a sheet: print.
void drawPrint(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 6, 28, 20));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(6, 24, 52, 24), 5, 5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 40, 32, 18));
    p.setPen(QPen(QColor(120, 120, 120), 2));
    p.drawLine(QPointF(21, 47), QPointF(43, 47));
    p.drawLine(QPointF(21, 53), QPointF(38, 53));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 60));
    p.drawEllipse(QPointF(50, 31), 3, 3);
}

}  // namespace

namespace ui {

QIcon buttonIcon(ButtonIcon which) {
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
        case ButtonIcon::Period:
            drawPeriod(p);
            break;
        case ButtonIcon::Save:
            drawSave(p);
            break;
        case ButtonIcon::Print:
            drawPrint(p);
            break;
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace ui
