#include "ui/grid.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QtMath>

#include "ui/grid_model.h"
#include "ui/twips.h"

// Column widths: the width in twips is the least; a column is widened to the numbers of the rows in view.

namespace ui {

int Grid::shownWidth(int column) const {
    return std::max(twipsToPixels(m_widthTwips[column], this), m_fitPixels[column]);
}

int Grid::cellWidthFor(const QString& text) const {
    // As the cell delegate and the style lay out a cell's text: a margin each side, and the grid line.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return qCeil(QFontMetricsF(font()).horizontalAdvance(text)) + 2 * margin + (showGrid() ? 1 : 0);
}

namespace {

/// Numbers, dates and times: the texts that mean nothing when cut. Free texts (situations, diaries) keep the
/// column's width and are elided.
bool isNumberLike(const QString& text) {
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            digit = true;
        } else if (!QStringView(u"+-.,/: ").contains(c)) {
            return false;
        }
    }
    return digit;
}

}  // namespace

void Grid::fitColumnsToContent() {
    const int rows = m_model->dataRowCount();
    if (m_fitting || rows == 0 || m_fillDepth > 0) {
        return;
    }
    m_fitting = true;
    const int first = std::max(0, rowAt(0));
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int last = std::min(rows - 1, first + viewport()->height() / rowHeight + 1);
    for (int c = 0; c < columnCount() && c < static_cast<int>(m_fitPixels.size()); ++c) {
        if (m_userSized[c]) {
            continue;
        }
        for (int r = first; r <= last; ++r) {
            const QString text = m_model->text(r + 1, c);
            if (isNumberLike(text)) {
                m_fitPixels[c] = std::max(m_fitPixels[c], cellWidthFor(text));
            }
        }
        if (m_fitPixels[c] > columnWidth(c)) {
            m_applyingWidths = true;
            setColumnWidth(c, shownWidth(c));
            m_applyingWidths = false;
        }
    }
    m_fitting = false;
}

int Grid::columnWidthTwips(int column) const {
    if (column < 0 || column >= columnCount()) {
        return 0;
    }
    return m_widthTwips[column] >= 0 ? m_widthTwips[column] : pixelsToTwips(columnWidth(column), this);
}

}  // namespace ui
