#include "views/calendar_screen_faces.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Ink(70, 45, 20);

void drawEyes(QPainter& p, sora::CalendarFace face, double s) {
    const double y = s * 0.40;
    const double left = s * 0.35;
    const double right = s * 0.65;
    if (face == sora::CalendarFace::Laughing) {
        // Shut, upturned eyes: "^ ^".
        p.setPen(QPen(Ink, s * 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        for (double x : {left, right}) {
            QPainterPath eye;
            eye.moveTo(x - s * 0.08, y + s * 0.03);
            eye.quadTo(x, y - s * 0.09, x + s * 0.08, y + s * 0.03);
            p.drawPath(eye);
        }
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    for (double x : {left, right}) {
        p.drawEllipse(QPointF(x, y), s * 0.045, s * 0.065);
    }
    if (face == sora::CalendarFace::Sad) {
        // Eyebrows slanting down to the outside.
        p.setPen(QPen(Ink, s * 0.035, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(left - s * 0.09, y - s * 0.10), QPointF(left + s * 0.06, y - s * 0.16));
        p.drawLine(QPointF(right + s * 0.09, y - s * 0.10), QPointF(right - s * 0.06, y - s * 0.16));
    }
}

void drawMouth(QPainter& p, sora::CalendarFace face, double s) {
    p.setPen(QPen(Ink, s * 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath mouth;
    switch (face) {
        case sora::CalendarFace::Laughing:
            // Wide open mouth with a tongue.
            mouth.moveTo(s * 0.28, s * 0.58);
            mouth.quadTo(s * 0.50, s * 0.98, s * 0.72, s * 0.58);
            mouth.closeSubpath();
            p.setBrush(QColor(170, 40, 40));
            p.drawPath(mouth);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(240, 120, 120));
            p.drawEllipse(QPointF(s * 0.50, s * 0.72), s * 0.10, s * 0.05);
            break;
        case sora::CalendarFace::Smiling:
            p.setBrush(Qt::NoBrush);
            mouth.moveTo(s * 0.32, s * 0.62);
            mouth.quadTo(s * 0.50, s * 0.80, s * 0.68, s * 0.62);
            p.drawPath(mouth);
            break;
        case sora::CalendarFace::Sad:
            p.setBrush(Qt::NoBrush);
            mouth.moveTo(s * 0.33, s * 0.75);
            mouth.quadTo(s * 0.50, s * 0.60, s * 0.67, s * 0.75);
            p.drawPath(mouth);
            // A tear under the right eye.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 170, 240));
            QPainterPath tear;
            tear.moveTo(s * 0.68, s * 0.48);
            tear.quadTo(s * 0.63, s * 0.58, s * 0.68, s * 0.60);
            tear.quadTo(s * 0.73, s * 0.58, s * 0.68, s * 0.48);
            p.drawPath(tear);
            break;
    }
}

}  // namespace

QPixmap calendarFacePixmap(sora::CalendarFace face, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor skin = face == sora::CalendarFace::Sad ? QColor(200, 220, 250) : QColor(255, 222, 90);
    p.setPen(QPen(Ink, s * 0.035));
    p.setBrush(skin);
    p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
    if (face != sora::CalendarFace::Sad) {
        // Rosy cheeks.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 150, 130, 150));
        p.drawEllipse(QPointF(s * 0.22, s * 0.58), s * 0.08, s * 0.05);
        p.drawEllipse(QPointF(s * 0.78, s * 0.58), s * 0.08, s * 0.05);
    }
    drawEyes(p, face, s);
    drawMouth(p, face, s);
    p.end();
    return pixmap;
}
