#pragma once

#include <QColor>
#include <QImage>
#include <QVector>
#include <QWidget>
#include <vector>

class QCustomPlot;
class QCPAbstractPlottable;

namespace ui {

enum class Axis { Primary, Secondary };
enum class SeriesKind { Line, Bar };
enum class Marker { None, Circles, Balls };

/// A chart of rows by series on a primary (left) and a secondary (right) value axis.
class Chart : public QWidget {
    Q_OBJECT
public:
    explicit Chart(int seriesCount, QWidget* parent = nullptr);
    ~Chart() override;

    int seriesCount() const;
    /// Number of data rows; new rows are empty (no point) until a value is set.
    void setRowCount(int rows);
    int rowCount() const;
    /// Row and series from 0. NaN means no point.
    void setValue(int row, int series, double value);
    double value(int row, int series) const;
    /// The whole series at once (the fast path); resizes the rows to the longest series.
    void setSeries(int series, const QVector<double>& values);

    void setSeriesStyle(int series, SeriesKind kind, const QColor& colour, Axis axis);
    void setSeriesAxis(int series, Axis axis);
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;
    void setMarker(int series, Marker marker);
    Marker marker(int series) const;

    /// A minimum above the maximum or fewer than 1 division is drawn sensibly, never a crash.
    void setAxisRange(Axis axis, double minimum, double maximum, int divisions);
    double axisMinimum(Axis axis) const;
    double axisMaximum(Axis axis) const;
    int axisDivisions(Axis axis) const;
    void setAxisVisible(Axis axis, bool visible);
    bool isAxisVisible(Axis axis) const;
    void setAxisTitle(Axis axis, const QString& title);

    /// The drawn chart as a picture.
    QImage picture() const;
    /// Puts the picture on the system clipboard.
    void copyToClipboard() const;

    /// Redraws after changes (the setters do not redraw on their own).
    void redraw();
    /// Draws at the pixel ratio of the chart's screen again (after the program's scale changed).
    void matchPixelRatio();

    QCustomPlot* plot() const;
    /// The graph (line) or bars drawing a series.
    QCPAbstractPlottable* plottable(int series) const;

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    /// Space does what a click does, so the keyboard reaches it too.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Impl;
    Impl* d;
};

}  // namespace ui
