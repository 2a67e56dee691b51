#include "views/sorted_list_screen.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "common/render.h"
#include "core/files/measurement_log.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

SortedListScreen::SortedListScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraBunseki");
    buildFrame();
}

void SortedListScreen::buildFrame() {
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    const auto& infos = sora::sort_buttons();
    for (std::size_t i = 0; i < infos.size(); ++i) {
        auto* button = new QPushButton(qs(std::string(infos[i].caption)), m_frame);
        button->setObjectName(qs(std::string(infos[i].objectName)));
        button->setMinimumHeight(30);
        button->setAccessibleName(button->text() + "で並び替え");  // a caption alone would repeat a screen button
        connect(button, &QPushButton::clicked, this, [this, i] { cmdSort_Click(static_cast<int>(i)); });
        buttons->addWidget(button);
        cmdSort[i] = button;
    }
    cmdSort[3]->setToolTip("リックするたびに昇順/降順を切り替えます");
    buttons->addStretch(1);

    msgIchiran = new ui::Grid(m_frame);
    msgIchiran->setObjectName("msgIchiran");
    msgIchiran->setAccessibleName("並び替えた一覧");
    renderGridHead(*msgIchiran, sora::sorted_list_columns());
    new RecordActions(msgIchiran, m_ctx.changes, m_listed, RecordActions::DoubleClick::Corrects);

    auto* layout = new QVBoxLayout(m_frame);
    layout->addLayout(buttons);
    layout->addWidget(msgIchiran, 1);
}

void SortedListScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_sort.reset();
    DSP_BUNSEKI_HEAD();
    DSP_BUNSEKI();
    m_frame->show();
    m_ctx.host.processEvents();
    // A grid that was hidden while it was scrolled may not know its height yet: scroll again now it is shown.
    if (m_pendingTopRow > 0) {
        msgIchiran->setTopRow(m_pendingTopRow);
    }
    m_ctx.host.setHelpText(qs(sora::sorted_list_help_text()));
    m_ctx.host.DSP_HELP();
}

void SortedListScreen::DSP_BUNSEKI_HEAD() {
    renderGridHead(*msgIchiran, sora::sorted_list_columns());
}

void SortedListScreen::DSP_BUNSEKI() {
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
    }
    m_listed = ListedRecords{{}, log.records->size(), log.stamp};
    // The rows are written out from the records as the grid draws them (and once each when a button sorts).
    const auto& records = log.records;
    const std::optional<int> topRow = sora::sorted_list_top_row(records->size());
    m_pendingTopRow = topRow.value_or(0);
    const auto columns = sora::sorted_list_columns();
    renderGrid(*msgIchiran, columns,
               std::make_unique<RecordRowsSource>(records, static_cast<int>(columns.size()),
                                                  [](std::size_t index, const sora::MeasurementRecord& record) {
                                                      return sora::sorted_list_row(index + 1, record);
                                                  }),
               topRow);
}

void SortedListScreen::cmdSort_Click(int index) {
    const sora::SortButtonInfo& info = sora::sort_buttons()[static_cast<std::size_t>(index)];
    msgIchiran->setCurrentColumn(info.column);
    const bool ascending = m_directions.click(index);
    m_sort = Sort{info.column, info.kind == sora::SortKeyKind::Numeric ? ui::SortKind::Numeric : ui::SortKind::Text,
                  ascending};
    msgIchiran->sortRows(m_sort->column, m_sort->kind, m_sort->ascending);
}

void SortedListScreen::refresh() {
    const int topRow = msgIchiran->topRow();
    const int currentRow = msgIchiran->currentRow();
    const int currentColumn = msgIchiran->currentColumnIndex();
    DSP_BUNSEKI();
    if (m_sort) {
        msgIchiran->sortRows(m_sort->column, m_sort->kind, m_sort->ascending);
    }
    msgIchiran->setTopRow(topRow);
    msgIchiran->setCurrentCell(currentRow, currentColumn);
}
