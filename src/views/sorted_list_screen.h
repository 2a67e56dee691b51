#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

#include "common/record_actions.h"
#include "common/screen_context.h"
#include "core/views/sorted_list.h"

class QPushButton;

#include "ui/grid.h"

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
    /// Lists the log as it is now, in the order last chosen, the scroll position kept.
    void refresh();

private:
    void buildFrame();
    void cmdSort_Click(int index);

    ScreenContext m_ctx;
    QWidget* m_frame;
    // Live as long as this screen, which lives as long as the main window: reopening keeps them.
    sora::SortDirections m_directions;
    int m_pendingTopRow = 0;
    struct Sort {
        int column;
        ui::SortKind kind;
        bool ascending;
    };
    std::optional<Sort> m_sort;  // of the shown list; none: file order
    ListedRecords m_listed;      // the records msgIchiran shows, in file order before sorting

    ui::Grid* msgIchiran = nullptr;
    std::array<QPushButton*, 9> cmdSort{};
};
