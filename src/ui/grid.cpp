#include "ui/grid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>

#include "ui/cell_delegate.h"
#include "ui/grid_model.h"
#include "ui/twips.h"

namespace ui {

Grid::Grid(QWidget* parent) : QTableView(parent), m_model(new GridModel(this)) {
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; the arrows move within it.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setSortingEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);
    // Colour columns are only 90 twips wide; the header's default minimum would widen them.
    horizontalHeader()->setMinimumSectionSize(4);
    // The column widths in twips were made for a 9-point grid font: at the window's larger font dates are clipped.
    setFontPointSize(9);

    // A reset model forgets its section sizes; the widths in twips are the lasting ones, and new rows are
    // measured anew.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_fitPixels.assign(m_fitPixels.size(), 0);
        applyColumnWidths();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, &Grid::fitColumnsToContent);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &Grid::fitColumnsToContent);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_applyingWidths && column >= 0 && column < static_cast<int>(m_widthTwips.size())) {
            m_widthTwips[column] = pixelsToTwips(size, this);
            m_userSized[column] = true;
        }
    });

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row() + 1, index.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit cellDoubleClicked(index.row() + 1, index.column()); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit cellClicked(0, column); });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { emit cellDoubleClicked(0, column); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid()) {
            m_currentColumn = current.column();
        }
    });
    // New rows, or the user moving the scroll bar, end a pending request for the top row.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_wantedTopRow = 0; });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { m_wantedTopRow = 0; });
}

Grid::~Grid() = default;

void Grid::setRowCount(int rows) {
    m_model->setDataRowCount(rows - 1);
}

int Grid::rowCount() const {
    return m_model->dataRowCount() + 1;
}

void Grid::setColumnCount(int columns) {
    m_widthTwips.resize(std::max(0, columns), -1);
    m_fitPixels.resize(m_widthTwips.size(), 0);
    m_userSized.resize(m_widthTwips.size(), false);
    m_model->setColumns(columns);
}

int Grid::columnCount() const {
    return m_model->columnCount();
}

void Grid::setColumnWidthTwips(int column, int twips) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_widthTwips[column] = std::max(0, twips);
    m_userSized[column] = false;
    m_applyingWidths = true;
    setColumnWidth(column, shownWidth(column));
    m_applyingWidths = false;
}

void Grid::applyColumnWidths() {
    m_widthTwips.resize(columnCount(), -1);
    m_fitPixels.resize(m_widthTwips.size(), 0);
    m_userSized.resize(m_widthTwips.size(), false);
    m_applyingWidths = true;
    for (int c = 0; c < columnCount(); ++c) {
        if (m_widthTwips[c] >= 0) {
            setColumnWidth(c, shownWidth(c));
        }
    }
    m_applyingWidths = false;
}

void Grid::setColumnAlignment(int column, Alignment alignment) {
    m_model->setAlignment(column, alignment);
}

void Grid::setHeadingAlignment(int column, Alignment alignment) {
    m_model->setHeadingAlignment(column, alignment);
}

Alignment Grid::columnAlignment(int column) const {
    return m_model->alignment(column);
}

void Grid::setText(int row, int column, const QString& text) {
    m_model->setCell(row, column, &text, nullptr);
}

QString Grid::text(int row, int column) const {
    return m_model->text(row, column);
}

void Grid::setBackground(int row, int column, const QColor& colour) {
    m_model->setCell(row, column, nullptr, &colour);
}

QColor Grid::background(int row, int column) const {
    return m_model->background(row, column);
}

void Grid::setDataRows(std::vector<std::vector<Cell>> rows) {
    m_model->replaceRows(std::move(rows));
    applyColumnWidths();
    fitColumnsToContent();
}

void Grid::setDataSource(std::unique_ptr<GridSource> source) {
    m_model->setSource(std::move(source));
    applyColumnWidths();
    fitColumnsToContent();
}

void Grid::setTopRow(int row) {
    m_wantedTopRow = std::max(1, row);
    applyTopRow();
}

void Grid::applyTopRow() {
    if (m_applyingTopRow) {
        return;
    }
    m_applyingTopRow = true;
    // Scroll ranges are computed lazily; bring them up to date so that the row is not clamped to a stale range.
    executeDelayedItemsLayout();
    const int row = std::min(m_wantedTopRow, m_model->dataRowCount());
    if (row <= 1) {
        verticalScrollBar()->setValue(0);
    } else {
        // Per-item scrolling: the value is the top row, limited to where the rows below it still fill the view.
        verticalScrollBar()->setValue(row - 1);
    }
    alignTopRow();
    m_applyingTopRow = false;
}

void Grid::alignTopRow() {
    // At the end of its range Qt lines the last row up with the bottom edge, which leaves the top row half hidden
    // under the heading row. Every position starts at a whole row instead; the scroll range already leaves room
    // for the last row below.
    QHeaderView* rows = verticalHeader();
    if (verticalScrollMode() != QAbstractItemView::ScrollPerItem || rows->count() == 0) {
        return;
    }
    const int value = verticalScrollBar()->value();
    if (rows->offset() != rows->sectionPosition(value)) {
        rows->setOffsetToSectionPosition(value);
        viewport()->update();
    }
}

void Grid::updateGeometries() {
    QTableView::updateGeometries();
    fitColumnsToContent();
    if (m_wantedTopRow > 0) {
        // The view changed size: the requested row (or the end of the list) comes into view again.
        applyTopRow();
    } else {
        alignTopRow();
    }
}

void Grid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    alignTopRow();
    if (dy != 0) {
        fitColumnsToContent();
    }
}

void Grid::keyPressEvent(QKeyEvent* event) {
    m_wantedTopRow = 0;
    QTableView::keyPressEvent(event);
}

void Grid::keyboardSearch(const QString& search) {
    if (m_keyboardSearch) {
        QTableView::keyboardSearch(search);
    }
}

void Grid::mousePressEvent(QMouseEvent* event) {
    m_wantedTopRow = 0;
    QTableView::mousePressEvent(event);
}

void Grid::wheelEvent(QWheelEvent* event) {
    m_wantedTopRow = 0;
    QTableView::wheelEvent(event);
}

int Grid::topRow() const {
    const int row = rowAt(0);
    return row < 0 ? 1 : row + 1;
}

int Grid::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void Grid::setCurrentCell(int row, int column) {
    if (row >= 1 && row < rowCount() && column >= 0 && column < columnCount()) {
        setCurrentIndex(m_model->index(row - 1, column));
    }
}

int Grid::sourceRow(int row) const {
    if (row < 1 || row >= rowCount()) {
        return -1;
    }
    return m_model->sourceRow(row - 1);
}

void Grid::sortRows(int column, SortKind kind, bool ascending) {
    m_model->sortRows(column, kind, ascending);
}

void Grid::beginFill() {
    if (m_fillDepth++ == 0) {
        setUpdatesEnabled(false);
    }
}

void Grid::endFill() {
    if (m_fillDepth > 0 && --m_fillDepth == 0) {
        fitColumnsToContent();
        setUpdatesEnabled(true);
        viewport()->update();
    }
}

void Grid::setCurrentColumn(int column) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_currentColumn = column;
    const QModelIndex current = currentIndex();
    if (m_model->dataRowCount() > 0) {
        setCurrentIndex(m_model->index(current.isValid() ? current.row() : 0, column));
    }
}

int Grid::currentColumnIndex() const {
    return m_currentColumn;
}

void Grid::setCellNames(std::function<QString(int row, int column)> names) {
    m_model->setCellNames(std::move(names));
}

void Grid::setFontPointSize(int points) {
    if (points <= 0) {
        return;
    }
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
    horizontalHeader()->setFont(f);
    updateRowHeight();
    // Measured in the old font: measured again.
    m_fitPixels.assign(m_fitPixels.size(), 0);
    applyColumnWidths();
    fitColumnsToContent();
}

void Grid::updateRowHeight() {
    const int height = QFontMetrics(font()).height() + 6;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(height);
}

}  // namespace ui
