#include "ui/day_chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr double kAxisWidthMm = 10;
constexpr double kLegendHeightMm = 6;
constexpr double kLabelHeightMm = 5;
constexpr double kMarkMm = 0.7;

}  // namespace

void DayChart::paint(QPainter& painter, const QRectF& area, double unitsPerMm) const {
    const auto mm = [unitsPerMm](double value) { return value * unitsPerMm; };
    painter.save();
    const QFontMetricsF metrics(painter.font(), painter.device());

    const QRectF plot(area.left() + mm(kAxisWidthMm), area.top() + mm(kLegendHeightMm),
                      area.width() - mm(kAxisWidthMm) - mm(12), area.height() - mm(kLegendHeightMm + kLabelHeightMm));
    const double range = maximum > minimum ? maximum - minimum : 1;
    const auto yOf = [&](double value) { return plot.bottom() - (value - minimum) / range * plot.height(); };
    const int days = std::max<int>(1, static_cast<int>(dayLabels.size()));
    const double dayWidth = plot.width() / days;
    const auto xOf = [&](int day) { return plot.left() + (day + 0.5) * dayWidth; };

    // Grid and value labels.
    painter.setPen(QPen(QColor(210, 210, 210), mm(0.2)));
    for (double value = minimum; value <= maximum + 1e-9 && step > 0; value += step) {
        painter.drawLine(QPointF(plot.left(), yOf(value)), QPointF(plot.right(), yOf(value)));
        painter.setPen(Qt::black);
        const QRectF label(area.left(), yOf(value) - metrics.height() / 2, mm(kAxisWidthMm - 1), metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
        painter.setPen(QPen(QColor(210, 210, 210), mm(0.2)));
    }
    painter.setPen(QPen(Qt::black, mm(0.25)));
    painter.drawRect(plot);
    if (!unit.isEmpty()) {
        painter.drawText(QRectF(area.left(), area.top(), mm(30), mm(kLegendHeightMm)), Qt::AlignLeft | Qt::AlignVCenter,
                         unit);
    }

    // Day labels, thinned out so that they never overlap.
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00/00")) * 1.3;
    const int every = std::max(1, static_cast<int>(std::ceil(labelWidth / dayWidth)));
    for (int day = 0; day < static_cast<int>(dayLabels.size()); day += every) {
        painter.drawLine(QPointF(xOf(day), plot.bottom()), QPointF(xOf(day), plot.bottom() + mm(1)));
        const QRectF label(xOf(day) - labelWidth / 2, plot.bottom() + mm(1), labelWidth, mm(kLabelHeightMm - 1));
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, dayLabels[day]);
    }

    painter.setClipRect(plot.adjusted(-mm(kMarkMm), -mm(kMarkMm), mm(kMarkMm), mm(kMarkMm)));
    for (const DayChartRule& rule : rules) {
        painter.setPen(QPen(rule.colour, mm(0.35), Qt::DashDotLine));
        painter.drawLine(QPointF(plot.left(), yOf(rule.value)), QPointF(plot.right(), yOf(rule.value)));
    }
    for (const DayChartLine& line : lines) {
        QPainterPath path;
        bool drawing = false;
        painter.setPen(QPen(line.colour, mm(0.4), line.style));
        painter.setBrush(line.colour);
        for (int day = 0; day < static_cast<int>(line.values.size()); ++day) {
            const double value = line.values[day];
            if (std::isnan(value)) {
                drawing = false;  // a day without a value breaks the line
                continue;
            }
            const QPointF point(xOf(day), yOf(value));
            if (drawing) {
                path.lineTo(point);
            } else {
                path.moveTo(point);
                drawing = true;
            }
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setPen(QPen(line.colour, mm(0.2)));
        painter.setBrush(line.colour);
        for (int day = 0; day < static_cast<int>(line.values.size()); ++day) {
            if (!std::isnan(line.values[day])) {
                painter.drawEllipse(QPointF(xOf(day), yOf(line.values[day])), mm(kMarkMm), mm(kMarkMm));
            }
        }
    }
    painter.setClipping(false);
    for (const DayChartRule& rule : rules) {
        if (rule.value >= minimum && rule.value <= maximum) {
            painter.setPen(rule.colour);
            painter.drawText(
                QRectF(plot.right() + mm(1), yOf(rule.value) - metrics.height() / 2, mm(11), metrics.height()),
                Qt::AlignLeft | Qt::AlignVCenter, rule.label);
        }
    }

    // Legend along the top, right-aligned.
    double x = plot.right();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const double textWidth = metrics.horizontalAdvance(it->name);
        x -= textWidth + mm(9);
        const double y = area.top() + mm(kLegendHeightMm) / 2;
        painter.setPen(QPen(it->colour, mm(0.4), it->style));
        painter.drawLine(QPointF(x, y), QPointF(x + mm(6), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + mm(7), area.top(), textWidth + mm(1), mm(kLegendHeightMm)),
                         Qt::AlignLeft | Qt::AlignVCenter, it->name);
    }
    // Rules with a legend, from the left.
    QStringList shown;
    x = plot.left();
    for (const DayChartRule& rule : rules) {
        if (rule.legend.isEmpty() || shown.contains(rule.legend)) {
            continue;
        }
        shown << rule.legend;
        const double textWidth = metrics.horizontalAdvance(rule.legend);
        const double y = area.top() + mm(kLegendHeightMm) / 2;
        painter.setPen(QPen(rule.colour, mm(0.35), Qt::DashDotLine));
        painter.drawLine(QPointF(x, y), QPointF(x + mm(6), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + mm(7), area.top(), textWidth + mm(1), mm(kLegendHeightMm)),
                         Qt::AlignLeft | Qt::AlignVCenter, rule.legend);
        x += textWidth + mm(9);
    }
    painter.restore();
}

}  // namespace ui
