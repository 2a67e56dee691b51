#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "core/rules/measurement_record.h"
#include "core/views/filter_listing.h"
#include "ui/grid.h"
#include "ui/grid_source.h"

/// The listed rows of the filtered view as the grid reads them: each row is written out from its record when
/// the grid draws or asks for it, so a listing of the whole log costs no more to show than the rows on screen.
class FilterGridSource : public ui::GridSource {
public:
    /// The records are shared with the other screens that show the log.
    FilterGridSource(std::shared_ptr<const std::vector<sora::MeasurementRecord>> records,
                     sora::FilterSelection selection);

    int rowCount() const override { return static_cast<int>(m_selection.listed.size()); }
    int columnCount() const override { return sora::filter_col::Count; }
    QString text(int row, int column) const override;
    QColor background(int row, int column) const override;

private:
    const ui::Grid::Cell* cell(int row, int column) const;

    std::shared_ptr<const std::vector<sora::MeasurementRecord>> m_records;
    sora::FilterSelection m_selection;
    // The grid draws and reads row by row: the row last written out is kept.
    mutable int m_cachedRow = -1;
    mutable std::array<ui::Grid::Cell, sora::filter_col::Count> m_cached;
};
