#include "views/sorted_list_screen.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/render.h"
#include "core/measurement_log.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

namespace {

/// The rows as grid cells. Dates, situations, values and class names repeat thousands of times, and a copied
/// QString shares its data: each column keeps its recent texts in a small direct-mapped table and converts a text
/// only when it is not there. The running number (column 0) never repeats and is converted as it comes.
std::vector<std::vector<ui::Grid::Cell>> gridCells(const std::vector<sora::GridRow>& rows, std::size_t columns) {
    struct Slot {
        std::string key;
        QString text;
    };
    constexpr std::size_t SlotsPerColumn = 256;
    std::vector<Slot> table(columns * SlotsPerColumn);
    std::vector<std::vector<ui::Grid::Cell>> cells(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const sora::GridRow& source = rows[r];
        std::vector<ui::Grid::Cell>& row = cells[r];
        row.resize(source.size());
        for (std::size_t c = 0; c < source.size(); ++c) {
            const sora::GridCell& cell = source[c];
            if (cell.background) {
                row[c].background = toQColor(*cell.background);
            }
            const std::string& text = cell.text;
            if (text.empty()) {
                continue;
            }
            if (c == 0 || c >= columns) {
                row[c].text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
                continue;
            }
            std::uint32_t hash = 2166136261u;  // FNV-1a
            for (const char ch : text) {
                hash = (hash ^ static_cast<unsigned char>(ch)) * 16777619u;
            }
            Slot& slot = table[c * SlotsPerColumn + hash % SlotsPerColumn];
            if (slot.text.isNull() || slot.key != text) {
                slot.key = text;
                slot.text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            }
            row[c].text = slot.text;
        }
    }
    return cells;
}

}  // namespace

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
        connect(button, &QPushButton::clicked, this, [this, i] { cmdSort_Click(static_cast<int>(i)); });
        buttons->addWidget(button);
        cmdSort[i] = button;
    }
    cmdSort[3]->setToolTip("リックするたびに昇順/降順を切り替えます");
    buttons->addStretch(1);

    msgIchiran = new ui::Grid(m_frame);
    msgIchiran->setObjectName("msgIchiran");
    renderGridHead(*msgIchiran, sora::sorted_list_columns());

    auto* layout = new QVBoxLayout(m_frame);
    layout->addLayout(buttons);
    layout->addWidget(msgIchiran, 1);
}

void SortedListScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
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
    const sora::LogReadResult log = sora::MeasurementLog(m_ctx.dir).read_all();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
    }
    const sora::GridView view = sora::build_sorted_list(log.ok ? log.records : std::vector<sora::MeasurementRecord>{});
    m_pendingTopRow = view.topRow.value_or(0);
    msgIchiran->beginFill();
    renderGridHead(*msgIchiran, view.columns);
    msgIchiran->setDataRows(gridCells(view.rows, view.columns.size()));
    if (view.topRow) {
        msgIchiran->setTopRow(*view.topRow);
    }
    msgIchiran->endFill();
}

void SortedListScreen::cmdSort_Click(int index) {
    const sora::SortButtonInfo& info = sora::sort_buttons()[static_cast<std::size_t>(index)];
    msgIchiran->setCurrentColumn(info.column);
    const bool ascending = m_directions.click(index);
    msgIchiran->sortRows(
        info.column, info.kind == sora::SortKeyKind::Numeric ? ui::SortKind::Numeric : ui::SortKind::Text, ascending);
}
