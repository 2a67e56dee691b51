#include "main/class_scale.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <array>

#include "main/vertical_text.h"
#include "ui/twips.h"

namespace {

constexpr int PointerWidth = 16;
constexpr int PointerHeight = 14;
constexpr int LeftMargin = 2;
constexpr int OriginTwipsY = 700;  // the top of the widget: the raised pointer (750) sits just below it
constexpr int ScaleTop = 30;       // pixels; below the lower pointer's tip
constexpr int ScaleHeight = 96;
constexpr int HalfCell = 13;

// Scale positions of the six columns, left to right; class 7 shares the column of class 5.
constexpr std::array<int, 6> ColumnPositions = {105, 500, 850, 1240, 1625, 2000};

QPixmap pointerPixmap() {
    QPixmap pixmap(PointerWidth, PointerHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 0, 0), 1));
    painter.setBrush(QColor(230, 30, 30));
    painter.drawPolygon(
        QPolygonF({QPointF(1, 1), QPointF(PointerWidth - 1, 1), QPointF(PointerWidth / 2.0, PointerHeight - 1)}));
    return pixmap;
}

}  // namespace

ClassScale::ClassScale(QWidget* parent) : QWidget(parent), m_pointer(new QLabel(this)) {
    setObjectName("imgScale");
    m_pointer->setObjectName("Image1");
    m_pointer->setPixmap(pointerPixmap());
    m_pointer->setFixedSize(PointerWidth, PointerHeight);
    setPointer(105, 900);
}

int ClassScale::toX(int twips) const {
    return LeftMargin + ui::twipsToPixels(twips, this);
}
int ClassScale::toY(int twips) const {
    return ui::twipsToPixels(twips - OriginTwipsY, this);
}

void ClassScale::setPointer(int xTwips, int yTwips) {
    m_pointer->move(toX(xTwips), toY(yTwips));
}

QSize ClassScale::sizeHint() const {
    return {toX(ColumnPositions.back()) + PointerWidth / 2 + HalfCell + 2, ScaleTop + ScaleHeight + 2};
}

QRectF ClassScale::cellRect(sora::BpClass cls) const {
    const bool isolated = cls == sora::BpClass::IsolatedSystolic;
    const int position = sora::class_info(isolated ? sora::BpClass::Moderate : cls).scalePosition;
    std::size_t column = 0;
    while (column + 1 < ColumnPositions.size() && ColumnPositions[column] != position) {
        ++column;
    }
    auto centre = [this](std::size_t i) { return toX(ColumnPositions[i]) + PointerWidth / 2.0; };
    const double left = column == 0 ? centre(0) - HalfCell : (centre(column - 1) + centre(column)) / 2;
    const double right =
        column + 1 == ColumnPositions.size() ? centre(column) + HalfCell : (centre(column) + centre(column + 1)) / 2;
    QRectF cell(left, ScaleTop, right - left, ScaleHeight);
    if (cls == sora::BpClass::Moderate || isolated) {
        // The shared column: moderate on the left half, isolated systolic on the right.
        const double half = cell.width() / 2;
        return isolated ? cell.adjusted(half, 0, 0, 0) : cell.adjusted(0, 0, -half, 0);
    }
    return cell;
}

void ClassScale::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const sora::BpClassInfo& info : sora::class_table()) {
        const QRectF cell = cellRect(info.cls);
        const sora::Colour c = info.detailedColour;
        painter.setPen(QPen(QColor(110, 110, 110), 1));
        painter.setBrush(QColor(c.r, c.g, c.b));
        painter.drawRect(cell);
        const bool narrow = cell.width() < 18;
        drawVerticalText(painter, cell, QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size())),
                         narrow ? 12 : 13);
    }
}
