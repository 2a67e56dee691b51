#include "main/judgement_chart_view.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "core/rules/classification.h"
#include "main/vertical_text.h"

namespace {

using sora::judgement_chart::diastolicToX;
using sora::judgement_chart::systolicToY;

// The picture in twips: the plot (diastolic 50 to 124 across, systolic 210 down to 80) with the axis texts to the
// left of and below it.
const QRectF Picture(-1150, 60, 5450, 4400);
const QRectF Plot(QPointF(sora::judgement_chart::PlotLeft, sora::judgement_chart::PlotTop),
                  QPointF(sora::judgement_chart::PlotRight, sora::judgement_chart::PlotBottom));
constexpr int SystolicLabels[] = {120, 130, 140, 160, 180};
constexpr int DiastolicLabels[] = {80, 85, 90, 100, 110};

QColor zoneColour(sora::BpClass cls) {
    const sora::Colour c = sora::class_info(cls).detailedColour;
    // The class colour, darkened so that the white and light-blue circles stand out on it.
    return QColor(c.r * 5 / 10, c.g * 5 / 10, c.b * 5 / 10);
}

QRectF zone(int diastolicBelow, int systolicBelow) {
    // Everything left of the diastolic bound and under the systolic bound, clipped to the plot.
    return QRectF(QPointF(Plot.left(), systolicToY(systolicBelow)),
                  QPointF(diastolicToX(diastolicBelow), Plot.bottom()))
        .intersected(Plot);
}

QTransform transformFor(const QRectF& target) {
    const double scale = std::min(target.width() / Picture.width(), target.height() / Picture.height());
    const double offsetX = target.left() + (target.width() - Picture.width() * scale) / 2;
    const double offsetY = target.top() + (target.height() - Picture.height() * scale) / 2;
    QTransform transform;
    transform.translate(offsetX, offsetY);
    transform.scale(scale, scale);
    transform.translate(-Picture.left(), -Picture.top());
    return transform;
}

void drawZones(QPainter& painter) {
    using sora::BpClass;
    // Worse classes first; each better class covers the part of the plot it owns.
    painter.setPen(Qt::NoPen);
    painter.fillRect(Plot, zoneColour(BpClass::Severe));
    painter.fillRect(zone(110, 180), zoneColour(BpClass::Moderate));
    painter.fillRect(zone(100, 160), zoneColour(BpClass::Mild));
    painter.fillRect(zone(90, 140), zoneColour(BpClass::HighNormal));
    painter.fillRect(zone(85, 130), zoneColour(BpClass::Normal));
    painter.fillRect(zone(80, 120), zoneColour(BpClass::Optimal));
    // Isolated systolic: systolic 140 and above with diastolic below 90.
    painter.fillRect(QRectF(QPointF(Plot.left(), Plot.top()), QPointF(diastolicToX(90), systolicToY(140))),
                     zoneColour(BpClass::IsolatedSystolic));
}

void drawScales(QPainter& painter) {
    QFont font = painter.font();
    font.setPixelSize(190);
    painter.setFont(font);
    const QPen grid(QColor(230, 230, 230, 150), 12, Qt::DashLine);
    for (const int s : SystolicLabels) {
        const double y = systolicToY(s);
        painter.setPen(grid);
        painter.drawLine(QPointF(Plot.left(), y), QPointF(Plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(Plot.left() - 560, y - 130, 500, 260), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(s));
    }
    // 80, 85 and 90 stand only 250 twips apart: in a small picture 85 moves down a line so the three stay apart.
    const double scale = painter.transform().m11();
    QFont deviceFont = font;
    deviceFont.setPixelSize(std::max(1, qRound(font.pixelSize() * scale)));
    const bool crowded =
        QFontMetricsF(deviceFont).horizontalAdvance("85") + 4 > (diastolicToX(85) - diastolicToX(80)) * scale;
    for (const int d : DiastolicLabels) {
        const double x = diastolicToX(d);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, Plot.top()), QPointF(x, Plot.bottom()));
        painter.setPen(Qt::black);
        const double top = Plot.bottom() + 30 + (crowded && d == 85 ? 200 : 0);
        painter.drawText(QRectF(x - 300, top, 600, 240), Qt::AlignHCenter | Qt::AlignTop, QString::number(d));
    }
    painter.setPen(QPen(QColor(60, 60, 60), 15));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(Plot);

    painter.setPen(Qt::black);
    drawVerticalText(painter, QRectF(Picture.left() + 20, Plot.top() + 600, 330, 1500), "最高血圧", 230);
    font.setPixelSize(210);
    painter.setFont(font);
    painter.drawText(QRectF(Plot.left(), Plot.bottom() + 420, Plot.width(), 280), Qt::AlignCenter, "最低血圧（mmHg）");
    font.setPixelSize(170);
    painter.setFont(font);
    painter.drawText(QRectF(Picture.left(), Plot.top() - 10, Plot.left() - Picture.left() - 40, 260),
                     Qt::AlignRight | Qt::AlignTop, "（mmHg）");
}

/// A reading beyond the plot: a filled arrowhead whose tip touches the border where the reading went out, pointing
/// away from the chart (diagonally out of a corner), so that it is not taken for a reading at the border.
void drawOutsideMark(QPainter& painter, const sora::JudgementMark& mark) {
    using namespace sora::judgement_chart;
    const QPointF tip(mark.outsideX < 0   ? PlotLeft
                      : mark.outsideX > 0 ? PlotRight
                                          : mark.x,
                      mark.outsideY < 0   ? PlotTop
                      : mark.outsideY > 0 ? PlotBottom
                                          : mark.y);
    const QPointF out = QPointF(mark.outsideX, mark.outsideY) / std::hypot(mark.outsideX, mark.outsideY);
    const QPointF across(-out.y(), out.x());
    const QPointF base = tip - out * (2.6 * mark.radius);
    const double half = 1.2 * mark.radius;
    painter.setPen(QPen(QColor(40, 40, 40), MarkLineWidth / 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(QColor(mark.colour.r, mark.colour.g, mark.colour.b));
    painter.drawPolygon(QPolygonF{tip, base + across * half, base - across * half});
}

void drawMarks(QPainter& painter, const std::vector<sora::JudgementMark>& marks) {
    for (const sora::JudgementMark& mark : marks) {
        if (mark.outside()) {
            drawOutsideMark(painter, mark);
            continue;
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(mark.colour.r, mark.colour.g, mark.colour.b), sora::judgement_chart::MarkLineWidth));
        painter.drawEllipse(QPointF(mark.x, mark.y), mark.radius, mark.radius);
    }
}

}  // namespace

JudgementChartView::JudgementChartView(QWidget* parent) : QWidget(parent) {
    setObjectName("picHantei");
    setToolTip("血圧判定表です。水色の丸が本日の最終");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void JudgementChartView::setMarks(std::vector<sora::JudgementMark> marks) {
    m_marks = std::move(marks);
    update();
}

void JudgementChartView::clearMarks() {
    setMarks({});
}

QPointF JudgementChartView::toTarget(const QRectF& target, const QPointF& twips) {
    return transformFor(target).map(twips);
}

void JudgementChartView::paint(QPainter& painter, const QRectF& target, const std::vector<sora::JudgementMark>& marks) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(target, Qt::white);
    painter.setTransform(transformFor(target), true);
    drawZones(painter);
    drawScales(painter);
    // The marks lie inside the plot (far-off values as arrowheads at its border), so they need no clipping.
    drawMarks(painter, marks);
    painter.restore();
}

void JudgementChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect(), m_marks);
}
