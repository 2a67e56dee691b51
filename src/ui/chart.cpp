#include "ui/chart.h"

#include <qcustomplot.h>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {
namespace {

constexpr double kNoPoint = std::numeric_limits<double>::quiet_NaN();
constexpr double kBarWidth = 0.6;        // in rows
constexpr int kMaxDrawnDivisions = 100;  // more ticks than this only blacken the axis
const QSize kFallbackPictureSize(890, 440);

struct SeriesState {
    SeriesKind kind = SeriesKind::Line;
    QColor colour;
    Axis axis = Axis::Primary;
    bool visible = true;
    Marker marker = Marker::None;
    // Floats: the diary's values are floats, and a long diary's series are the chart's largest part.
    QVector<float> values;
    QCPAbstractPlottable* plottable = nullptr;
    bool dirty = true;
    int syncedColumns = 0;  // pixel columns the bars were aggregated for (0: not aggregated)
};

struct AxisState {
    double minimum = 0;
    double maximum = 100;
    int divisions = 10;
    bool visible = true;
    QSharedPointer<QCPAxisTickerFixed> ticker{new QCPAxisTickerFixed};
};

QColor defaultColour(int series) {
    static const QColor colours[] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(230, 200, 0), QColor(0, 160, 0)};
    return series < 4 ? colours[series] : QColor::fromHsv((series * 67) % 360, 200, 200);
}

QPixmap ballPixmap(const QColor& colour) {
    // A shaded sphere: light from the upper left.
    const int size = 11;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(QPointF(size / 2.0, size / 2.0), size / 2.0, QPointF(size * 0.35, size * 0.35));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(0.35, colour.lighter(120));
    gradient.setColorAt(1, colour.darker(200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    return pixmap;
}

QCPScatterStyle scatterStyle(Marker marker, const QColor& colour) {
    switch (marker) {
        case Marker::Circles:
            return QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour, 1.5), QBrush(Qt::white), 7);
        case Marker::Balls:
            return QCPScatterStyle(ballPixmap(colour));
        case Marker::None:
            break;
    }
    return QCPScatterStyle(QCPScatterStyle::ssNone);
}

}  // namespace

struct Chart::Impl {
    QCustomPlot* plot = nullptr;
    std::vector<SeriesState> series;
    int rows = 0;
    AxisState axes[2];
    QSharedPointer<QCPAxisTickerFixed> rowTicker{new QCPAxisTickerFixed};
    bool replotWhenShown = false;

    QCPAxis* valueAxis(Axis axis) const { return axis == Axis::Primary ? plot->yAxis : plot->yAxis2; }
    AxisState& state(Axis axis) { return axes[axis == Axis::Primary ? 0 : 1]; }
    bool validSeries(int s) const { return s >= 0 && s < static_cast<int>(series.size()); }

    void createPlottable(int s);
    void applyStyle(int s);
    void sync(int s, int columns);
    void syncAll(int columns);
    // A line of more than two points a pixel column is drawn from one minimum and maximum per column; with
    // markers every point is drawn.
    static bool denseLine(const SeriesState& st, int columns) {
        return st.marker == Marker::None && columns > 0 && st.values.size() > 2 * columns;
    }
    void applyAxis(Axis axis);
    void applyRowAxis();
    // The plot's width rather than its axis rect's: the rect is only laid out at the next replot, and a few
    // bars more than columns draw the same picture.
    int pixelColumns() const { return plot->width(); }
    // A wide pen takes Qt's general stroker: seconds for a line of thousands of points, where the thin-line path
    // takes milliseconds. Once points are closer than two pixels the lines overlap anyway.
    double lineWidth(const SeriesState& st) const { return st.values.size() * 2 > pixelColumns() ? 1 : 2; }
};

void Chart::Impl::createPlottable(int s) {
    SeriesState& st = series[s];
    if (st.plottable) {
        plot->removePlottable(st.plottable);
        st.plottable = nullptr;
    }
    if (st.kind == SeriesKind::Bar) {
        auto* bars = new QCPBars(plot->xAxis, valueAxis(st.axis));
        bars->setLayer(QStringLiteral("bars"));
        bars->setWidth(kBarWidth);
        st.plottable = bars;
    } else {
        auto* graph = new QCPGraph(plot->xAxis, valueAxis(st.axis));
        graph->setLineStyle(QCPGraph::lsLine);
        st.plottable = graph;
    }
    st.dirty = true;
    applyStyle(s);
}

void Chart::Impl::applyStyle(int s) {
    SeriesState& st = series[s];
    if (st.kind == SeriesKind::Bar) {
        st.plottable->setPen(QPen(st.colour.darker(140)));
        st.plottable->setBrush(st.colour);
    } else {
        st.plottable->setPen(QPen(st.colour, lineWidth(st)));
        st.plottable->setBrush(Qt::NoBrush);
        static_cast<QCPGraph*>(st.plottable)->setScatterStyle(scatterStyle(st.marker, st.colour));
    }
    st.plottable->setValueAxis(valueAxis(st.axis));
    st.plottable->setVisible(st.visible);
}

void Chart::Impl::sync(int s, int columns) {
    SeriesState& st = series[s];
    const int n = static_cast<int>(st.values.size());
    if (st.kind == SeriesKind::Line) {
        auto* graph = static_cast<QCPGraph*>(st.plottable);
        if (!denseLine(st, columns)) {
            // NaN leaves a gap.
            QVector<double> keys(n);
            for (int i = 0; i < n; ++i) {
                keys[i] = i + 1;
            }
            graph->setData(keys, QVector<double>(st.values.begin(), st.values.end()), true);
            graph->setAdaptiveSampling(true);
            st.syncedColumns = 0;
        } else {
            // Past two points a pixel column, the line is one vertical stroke per column from its smallest to its
            // largest value: one minimum and one maximum per column draw that picture (QCPGraph's own sampling
            // keeps up to four points a column, and every point is a stroke to draw). The pair alternates so that
            // the step to the next column stays short. A column of NaN only leaves a gap.
            const int bucket = (n + columns - 1) / columns;
            QVector<double> keys, values;
            keys.reserve(2 * (n / bucket + 1));
            values.reserve(2 * (n / bucket + 1));
            bool minimumFirst = true;
            for (int start = 0; start < n; start += bucket) {
                const int end = std::min(n, start + bucket);
                double low = kNoPoint, high = kNoPoint;
                for (int i = start; i < end; ++i) {
                    const double v = st.values[i];
                    if (!std::isnan(v)) {
                        low = std::isnan(low) ? v : std::min(low, v);
                        high = std::isnan(high) ? v : std::max(high, v);
                    }
                }
                // Both ends of the stroke on the column's middle row (keys are rows from 1).
                const double middle = (start + 1 + end) / 2.0;
                if (std::isnan(low)) {
                    keys.push_back(middle);
                    values.push_back(kNoPoint);
                    continue;
                }
                keys.push_back(middle);
                values.push_back(minimumFirst ? low : high);
                keys.push_back(middle);
                values.push_back(minimumFirst ? high : low);
                minimumFirst = !minimumFirst;
            }
            graph->setData(keys, values, true);
            graph->setAdaptiveSampling(false);  // sampled already; its own pass would add points again
            st.syncedColumns = columns;
        }
        st.plottable->setPen(QPen(st.colour, lineWidth(st)));
        // Past two points a pixel column the line is a run of vertical strokes on whole columns, which
        // antialiasing only blurs sideways at several times the cost.
        st.plottable->setAntialiased(n * 2 <= pixelColumns());
    } else {
        // More bars than pixel columns: one bar per column, as tall as the tallest bar it stands for.
        const int bucket = (columns > 0 && n > columns) ? (n + columns - 1) / columns : 1;
        QVector<double> keys, values;
        keys.reserve(n / bucket + 1);
        values.reserve(n / bucket + 1);
        for (int start = 0; start < n; start += bucket) {
            const int end = std::min(n, start + bucket);
            double top = kNoPoint;
            for (int i = start; i < end; ++i) {
                if (!std::isnan(st.values[i]) && (std::isnan(top) || st.values[i] > top)) {
                    top = st.values[i];
                }
            }
            if (!std::isnan(top)) {
                keys.push_back((start + 1 + end) / 2.0);
                values.push_back(top);
            }
        }
        auto* bars = static_cast<QCPBars*>(st.plottable);
        bars->setWidth(kBarWidth * bucket);
        bars->setData(keys, values, true);
        // Bars a pixel wide or less: antialiasing only blurs their edges, at several times the cost.
        bars->setAntialiased(bucket == 1);
        bars->setAntialiasedFill(bucket == 1);
        st.syncedColumns = bucket > 1 ? columns : 0;
    }
    st.dirty = false;
}

void Chart::Impl::syncAll(int columns) {
    for (int s = 0; s < static_cast<int>(series.size()); ++s) {
        const SeriesState& st = series[s];
        const bool grouped = st.kind == SeriesKind::Bar ? st.values.size() > columns : denseLine(st, columns);
        const bool regroup = (st.syncedColumns != 0 || grouped) && st.syncedColumns != columns;
        if (st.dirty || regroup) {
            sync(s, columns);
        }
    }
    // Segment by segment only helps wide pens (see the constructor); thin lines go to the raster engine's
    // cosmetic stroker in one call per run, several times faster than thousands of separate segments.
    const bool wideLine = std::any_of(series.begin(), series.end(), [this](const SeriesState& st) {
        return st.kind == SeriesKind::Line && st.visible && lineWidth(st) > 1;
    });
    plot->setPlottingHint(QCP::phFastPolylines, wideLine);
    applyRowAxis();
}

void Chart::Impl::applyAxis(Axis axis) {
    const AxisState& st = state(axis);
    double low = st.minimum, high = st.maximum;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    if (low > high) {
        std::swap(low, high);
    }
    if (low == high) {
        low -= 1;
        high += 1;
    }
    const int divisions = std::clamp(st.divisions, 1, kMaxDrawnDivisions);
    st.ticker->setTickStep((high - low) / divisions);
    st.ticker->setTickOrigin(low);
    // A hair of slack keeps the top tick from falling outside the range by rounding.
    const double slack = (high - low) * 1e-9;
    valueAxis(axis)->setRange(low - slack, high + slack);
    valueAxis(axis)->setVisible(st.visible);
}

void Chart::Impl::applyRowAxis() {
    plot->xAxis->setRange(0.5, std::max(rows, 1) + 0.5);
}

Chart::Chart(int seriesCount, QWidget* parent) : QWidget(parent), d(new Impl) {
    d->plot = new QCustomPlot(this);
    // Tab reaches the chart, so that a screen reader reads what it shows (its description).
    setFocusPolicy(Qt::StrongFocus);
    d->plot->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->plot);

    // Lines as separate segments: the same picture on screen, but a wide pen no longer makes the raster engine
    // fill one outline polygon of the whole series (milliseconds per hundred points). Printing (vectorised) still
    // draws polylines.
    d->plot->setPlottingHint(QCP::phFastPolylines, true);
    // The queued replot only marks the widget dirty: by default it repaints at once, which paints the whole
    // window a second time when the chart's screen has just been shown.
    d->plot->setPlottingHint(QCP::phImmediateRefresh, false);
    // Bars stay behind the lines whatever order the series were styled in.
    d->plot->addLayer(QStringLiteral("bars"), d->plot->layer(QStringLiteral("main")), QCustomPlot::limBelow);
    // Nothing is drawn on the overlay layer (no selection by dragging): with its own buffer it would hold a second
    // window-sized picture per chart for nothing.
    d->plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);

    d->rowTicker->setTickStep(1);
    d->rowTicker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    d->plot->xAxis->setTicker(d->rowTicker);
    for (const Axis axis : {Axis::Primary, Axis::Secondary}) {
        d->state(axis).ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        d->valueAxis(axis)->setTicker(d->state(axis).ticker);
        d->valueAxis(axis)->setTickLabels(true);
        d->applyAxis(axis);
    }

    d->series.resize(std::max(0, seriesCount));
    for (int s = 0; s < static_cast<int>(d->series.size()); ++s) {
        d->series[s].colour = defaultColour(s);
        d->createPlottable(s);
    }
    d->applyRowAxis();

    connect(d->plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) {
        if (event->button() == Qt::LeftButton) {
            emit clicked();
        }
    });
}

Chart::~Chart() {
    delete d;
}

int Chart::seriesCount() const {
    return static_cast<int>(d->series.size());
}

void Chart::setRowCount(int rows) {
    d->rows = std::max(0, rows);
    for (SeriesState& st : d->series) {
        st.values.resize(d->rows, kNoPoint);
        st.dirty = true;
    }
}

int Chart::rowCount() const {
    return d->rows;
}

void Chart::setValue(int row, int series, double value) {
    if (d->validSeries(series) && row >= 0 && row < d->rows) {
        d->series[series].values[row] = static_cast<float>(value);
        d->series[series].dirty = true;
    }
}

double Chart::value(int row, int series) const {
    if (d->validSeries(series) && row >= 0 && row < d->rows) {
        return d->series[series].values[row];
    }
    return kNoPoint;
}

void Chart::setSeries(int series, const QVector<double>& values) {
    if (!d->validSeries(series)) {
        return;
    }
    if (values.size() > d->rows) {
        setRowCount(static_cast<int>(values.size()));
    }
    SeriesState& st = d->series[series];
    st.values = QVector<float>(values.begin(), values.end());
    st.values.resize(d->rows, kNoPoint);
    d->sync(series, d->pixelColumns());
}

void Chart::setSeriesStyle(int series, SeriesKind kind, const QColor& colour, Axis axis) {
    if (!d->validSeries(series)) {
        return;
    }
    SeriesState& st = d->series[series];
    const bool newKind = st.kind != kind;
    st.kind = kind;
    st.colour = colour;
    st.axis = axis;
    if (newKind) {
        d->createPlottable(series);
    } else {
        d->applyStyle(series);
    }
}

void Chart::setSeriesAxis(int series, Axis axis) {
    if (d->validSeries(series)) {
        d->series[series].axis = axis;
        d->applyStyle(series);
    }
}

void Chart::setSeriesVisible(int series, bool visible) {
    if (d->validSeries(series)) {
        d->series[series].visible = visible;
        d->series[series].plottable->setVisible(visible);
    }
}

bool Chart::isSeriesVisible(int series) const {
    return d->validSeries(series) && d->series[series].visible;
}

void Chart::setMarker(int series, Marker marker) {
    if (d->validSeries(series)) {
        d->series[series].marker = marker;
        d->series[series].dirty = true;  // markers show every point of a line
        d->applyStyle(series);
    }
}

Marker Chart::marker(int series) const {
    return d->validSeries(series) ? d->series[series].marker : Marker::None;
}

void Chart::setAxisRange(Axis axis, double minimum, double maximum, int divisions) {
    AxisState& st = d->state(axis);
    st.minimum = minimum;
    st.maximum = maximum;
    st.divisions = divisions;
    d->applyAxis(axis);
}

double Chart::axisMinimum(Axis axis) const {
    return d->state(axis).minimum;
}
double Chart::axisMaximum(Axis axis) const {
    return d->state(axis).maximum;
}
int Chart::axisDivisions(Axis axis) const {
    return d->state(axis).divisions;
}

void Chart::setAxisVisible(Axis axis, bool visible) {
    d->state(axis).visible = visible;
    d->valueAxis(axis)->setVisible(visible);
}

bool Chart::isAxisVisible(Axis axis) const {
    return d->state(axis).visible;
}

void Chart::setAxisTitle(Axis axis, const QString& title) {
    d->valueAxis(axis)->setLabel(title);
}

QImage Chart::picture() const {
    QSize size = d->plot->size();
    if (!testAttribute(Qt::WA_Resized) || size.width() < 10 || size.height() < 10) {
        size = kFallbackPictureSize;  // never laid out: the size the chart has on a screen
    }
    d->syncAll(size.width());
    return d->plot->toPixmap(size.width(), size.height()).toImage();
}

void Chart::copyToClipboard() const {
    QGuiApplication::clipboard()->setImage(picture());
}

void Chart::redraw() {
    d->syncAll(d->pixelColumns());
    if (!isVisible()) {
        // Drawn when shown: a hidden chart (another screen's, one under another) costs nothing.
        d->replotWhenShown = true;
        return;
    }
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

QCustomPlot* Chart::plot() const {
    return d->plot;
}

QCPAbstractPlottable* Chart::plottable(int series) const {
    return d->validSeries(series) ? d->series[series].plottable : nullptr;
}

bool Chart::event(QEvent* event) {
    // The plot draws into buffers at the pixel ratio it was built with; on a screen of another scale (a window
    // moved to a high-DPI monitor) it would be stretched and blurred, so the buffers follow the screen.
    const bool screenChanged = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    const bool ratioChanged = screenChanged || event->type() == QEvent::DevicePixelRatioChange;
#else
    const bool ratioChanged = screenChanged;
#endif
    if (ratioChanged) {
        matchPixelRatio();
    }
    return QWidget::event(event);
}

void Chart::matchPixelRatio() {
    if (d->plot && d->plot->bufferDevicePixelRatio() != devicePixelRatioF()) {
        d->plot->setBufferDevicePixelRatio(devicePixelRatioF());
        redraw();
    }
}

void Chart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Chart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (d->replotWhenShown) {
        d->replotWhenShown = false;
        redraw();
    }
}

void Chart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->syncAll(d->pixelColumns());
}

}  // namespace ui
