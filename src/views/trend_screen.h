#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"

class QLabel;
namespace ui {
class Chart;
class SeriesModeOptions;
}  // namespace ui

/// The long-term graph in frame fraRenTai: every record since the first as one chart point.
class TrendScreen : public QObject {
    Q_OBJECT
public:
    TrendScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// Reads the log, fills mcrRentai, sets its axes and the shared extremes, writes lblNichis and lblKiro.
    void DSP_RENTAI();

private:
    void fill();
    /// The handler of the five option buttons: the secondary axis and the visibility of the mode.
    void applySeriesMode(int index);

    ScreenContext m_ctx;
    QWidget* m_frame;
    ui::Chart* mcrRentai;
    ui::SeriesModeOptions* m_modes;
    QLabel* lblNichis;
    QLabel* lblKiro;
    bool m_deferRedraw = false;
};
