#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <array>

#include "common/screen_context.h"
#include "core/views/sorted_list.h"

class QPushButton;

namespace ui {
class Grid;
}  // namespace ui

/// Every record in frame fraBunseki, in msgIchiran, sortable by the nine buttons cmdSort1 … cmdSort9.
class SortedListScreen : public QObject {
    Q_OBJECT
public:
    SortedListScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of "並び替え": lists every record in file order (nothing when the screen is shown already).
    void open();

    /// Resets the list to its heading row.
    void DSP_BUNSEKI_HEAD();
    /// One row per record of the log.
    void DSP_BUNSEKI();

private:
    void buildFrame();
    void cmdSort_Click(int index);

    ScreenContext m_ctx;
    QWidget* m_frame;
    // Live as long as this screen, which lives as long as the main window: reopening keeps them.
    sora::SortDirections m_directions;
    int m_pendingTopRow = 0;

    ui::Grid* msgIchiran = nullptr;
    std::array<QPushButton*, 9> cmdSort{};
};
