#pragma once

#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "core/views/judgement_chart.h"

class QPainter;

/// The judgement chart (血圧判定表): class zones over diastolic (across) and systolic (down) pressure, with a
/// circle for every measurement of the day. Drawn in the twips of the marks, scaled to fit.
class JudgementChartView : public QWidget {
    Q_OBJECT
public:
    explicit JudgementChartView(QWidget* parent = nullptr);

    void setMarks(std::vector<sora::JudgementMark> marks);
    void clearMarks();
    const std::vector<sora::JudgementMark>& marks() const { return m_marks; }

    /// Draws the whole chart with its marks into `target`; the one routine for screen, screenshot and tests.
    static void paint(QPainter& painter, const QRectF& target, const std::vector<sora::JudgementMark>& marks);
    /// Where a point of the picture (twips) lands in `target`.
    static QPointF toTarget(const QRectF& target, const QPointF& twips);

    QSize sizeHint() const override { return {360, 290}; }
    QSize minimumSizeHint() const override { return {240, 195}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<sora::JudgementMark> m_marks;
};
