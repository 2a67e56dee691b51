#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

namespace ui {

/// One line of a day chart: a value per day, NaN where the day has none (the line breaks there).
struct DayChartLine {
    QString name;
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
    std::vector<double> values;
};

/// A horizontal line across the chart at a value, labelled at its right end; a rule with a legend text also has an
/// entry at the left of the legend row (rules of one legend text share it).
struct DayChartRule {
    double value = 0;
    QString label;
    QColor colour;
    QString legend;
};

/// A chart of values per day for printed documents: days on the x axis (labels thinned out to fit), a value axis
/// from `minimum` to `maximum` with a grid every `step`, lines with point marks, rules and a legend. Sizes are in
/// millimetres, converted with `unitsPerMm` (device units of the painter per millimetre).
struct DayChart {
    QStringList dayLabels;
    std::vector<DayChartLine> lines;
    std::vector<DayChartRule> rules;
    double minimum = 60;
    double maximum = 160;
    double step = 10;
    QString unit;

    void paint(QPainter& painter, const QRectF& area, double unitsPerMm) const;
};

}  // namespace ui
