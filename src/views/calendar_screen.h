#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <array>

#include "common/screen_context.h"
#include "core/views/class_calendar.h"

class QLabel;
class QPushButton;

namespace ui {
class Grid;
}  // namespace ui

/// The classification calendar in frame fraCale: msgList2 paints each day by the class of its first measurement;
/// the labels count the days per class and the face sums them up.
class CalendarScreen : public QObject {
    Q_OBJECT
public:
    CalendarScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of "カレンダー": opens in the detailed colouring (nothing when the screen is shown already).
    void open();

    /// Resets the grid to its heading row.
    void DSP_CALE_HEAD();
    /// Fills grid, count labels and face.
    void DSP_CALE();

    sora::CalendarMode mode() const { return m_mode; }

private:
    void buildFrame();
    QWidget* buildCountPanel();
    void setMode(sora::CalendarMode mode);
    void cmdSel1_Click(int index);
    void msgList2_DblClick(int row, int column);

    ScreenContext m_ctx;
    QWidget* m_frame;
    sora::CalendarMode m_mode = sora::CalendarMode::Detailed;

    ui::Grid* msgList2 = nullptr;
    std::array<QPushButton*, 2> cmdSel1{};  // cmdSel10 "詳細表示", cmdSel11 "簡易表示"
    std::array<QLabel*, 7> lblHan{};        // lblHan1 … lblHan7
    std::array<QLabel*, 7> m_swatches{};    // the colour of each class in the current mode
    QLabel* lblNon_c = nullptr;
    QLabel* lblGenT = nullptr;
    QLabel* lblZouT = nullptr;
    QLabel* lblHugou = nullptr;
    QLabel* imgWara2 = nullptr;
    QLabel* imgNiko2 = nullptr;
    QLabel* imgKana2 = nullptr;
};
