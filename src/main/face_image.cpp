#include "main/face_image.h"

#include <QPainter>
#include <QPainterPath>

FaceImage::FaceImage(sora::Face face, QWidget* parent) : QWidget(parent), m_face(face) {
    setFixedSize(sizeHint());
}

void FaceImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal side = std::min(width(), height());
    paint(painter, QRectF((width() - side) / 2, (height() - side) / 2, side, side), m_face);
}

void FaceImage::paint(QPainter& painter, const QRectF& square, sora::Face face) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 100 × 100 grid scaled into the square.
    painter.translate(square.topLeft());
    painter.scale(square.width() / 100.0, square.height() / 100.0);

    if (face == sora::Face::None) {
        // The place of the face stays marked, so the layout does not jump when no face is shown.
        painter.setPen(QPen(QColor(200, 200, 200), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(6, 6, 88, 88));
        painter.restore();
        return;
    }

    const QColor skin = face == sora::Face::Sulky ? QColor(255, 214, 170) : QColor(255, 226, 120);
    painter.setPen(QPen(QColor(120, 80, 20), 3));
    painter.setBrush(skin);
    painter.drawEllipse(QRectF(6, 6, 88, 88));

    const QPen feature(QColor(60, 40, 20), 4, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(feature);
    painter.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    switch (face) {
        case sora::Face::Laughing:
            // Closed, smiling eyes and a wide open mouth.
            painter.drawArc(QRectF(26, 34, 16, 12), 0 * 16, 180 * 16);
            painter.drawArc(QRectF(58, 34, 16, 12), 0 * 16, 180 * 16);
            mouth.moveTo(28, 58);
            mouth.quadTo(50, 60, 72, 58);
            mouth.quadTo(50, 92, 28, 58);
            painter.setBrush(QColor(200, 60, 60));
            painter.drawPath(mouth);
            break;
        case sora::Face::Smiling:
            painter.setBrush(QColor(60, 40, 20));
            painter.drawEllipse(QRectF(31, 34, 8, 10));
            painter.drawEllipse(QRectF(61, 34, 8, 10));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(30, 46, 40, 26), 200 * 16, 140 * 16);
            break;
        case sora::Face::Sulky:
            // Lowered brows, flat eyes and a pouting mouth.
            painter.drawLine(QPointF(26, 30), QPointF(42, 35));
            painter.drawLine(QPointF(74, 30), QPointF(58, 35));
            painter.drawLine(QPointF(29, 44), QPointF(40, 44));
            painter.drawLine(QPointF(60, 44), QPointF(71, 44));
            painter.drawArc(QRectF(36, 64, 28, 16), 20 * 16, 140 * 16);
            break;
        case sora::Face::None:
            break;
    }
    // Rosy cheeks on the two friendly faces.
    if (face != sora::Face::Sulky) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 150, 150, 150));
        painter.drawEllipse(QRectF(16, 50, 14, 9));
        painter.drawEllipse(QRectF(70, 50, 14, 9));
    }
    painter.restore();
}
