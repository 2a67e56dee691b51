#pragma once

#include <QWidget>

#include "core/rules/classification.h"

/// One of the four face marks of the main screen, drawn in code: laughing, smiling, sulky, or no face.
class FaceImage : public QWidget {
    Q_OBJECT
public:
    FaceImage(sora::Face face, QWidget* parent = nullptr);

    sora::Face face() const { return m_face; }
    QSize sizeHint() const override { return {72, 72}; }

    /// Draws the face into a square; used on screen and in tests.
    static void paint(QPainter& painter, const QRectF& square, sora::Face face);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    sora::Face m_face;
};
