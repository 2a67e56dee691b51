#pragma once

#include <QLabel>
#include <QRectF>
#include <QWidget>

#include "core/rules/classification.h"

/// The class scale of the main screen: the class names in their colours side by side, and the pointer Image1
/// standing above the class of the judgement. Positions come in twips, as the classification gives them.
class ClassScale : public QWidget {
    Q_OBJECT
public:
    explicit ClassScale(QWidget* parent = nullptr);

    /// Moves Image1 to a scale position (horizontal) and a top (vertical, 750 or 900), both in twips.
    void setPointer(int xTwips, int yTwips);
    QLabel* pointer() const { return m_pointer; }

    /// The cell of a class on the scale, in this widget's pixels (classes 5 and 7 share a column).
    QRectF cellRect(sora::BpClass cls) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int toX(int twips) const;
    int toY(int twips) const;

    QLabel* m_pointer;
};
