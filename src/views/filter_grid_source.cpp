#include "views/filter_grid_source.h"

#include "common/render.h"

FilterGridSource::FilterGridSource(std::shared_ptr<const std::vector<sora::MeasurementRecord>> records,
                                   sora::FilterSelection selection)
    : m_records(std::move(records)), m_selection(std::move(selection)) {}

const ui::Grid::Cell* FilterGridSource::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return nullptr;
    }
    if (row != m_cachedRow) {
        const sora::GridRow cells = sora::filter_grid_row(*m_records, m_selection, static_cast<std::size_t>(row));
        for (std::size_t c = 0; c < m_cached.size(); ++c) {
            const sora::GridCell& source = c < cells.size() ? cells[c] : sora::GridCell{};
            m_cached[c].text = qs(source.text);
            m_cached[c].background = source.background ? toQColor(*source.background) : QColor();
        }
        m_cachedRow = row;
    }
    return &m_cached[static_cast<std::size_t>(column)];
}

QString FilterGridSource::text(int row, int column) const {
    const ui::Grid::Cell* found = cell(row, column);
    return found ? found->text : QString();
}

QColor FilterGridSource::background(int row, int column) const {
    const ui::Grid::Cell* found = cell(row, column);
    return found ? found->background : QColor();
}
