#include "ui/grid_model.h"

#include <QBrush>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <string>

namespace ui {
namespace {

Qt::Alignment toQt(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case Alignment::Centre:
            return Qt::AlignCenter;
        case Alignment::Right:
            break;
    }
    return Qt::AlignRight | Qt::AlignVCenter;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

}  // namespace

double leadingNumber(const QString& text) {
    // Blanks are skipped anywhere, as BASIC's Val does; the number ends at the first other character that
    // cannot continue it.
    std::string digits;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (const QChar c : text) {
        if (isBlank(c)) {
            continue;
        }
        const char ch = c.toLatin1();
        if (ch >= '0' && ch <= '9') {
            seenDigit = true;
        } else if ((ch == '+' || ch == '-') &&
                   (digits.empty() || (seenExponent && (digits.back() == 'e' || digits.back() == 'E')))) {
        } else if (ch == '.' && !seenPoint && !seenExponent) {
            seenPoint = true;
        } else if ((ch == 'e' || ch == 'E') && seenDigit && !seenExponent) {
            seenExponent = true;
        } else {
            break;
        }
        digits.push_back(ch);
    }
    return seenDigit ? std::strtod(digits.c_str(), nullptr) : 0.0;
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataRowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= dataRowCount() || !validColumn(index.column())) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return text(index.row() + 1, index.column());
        case Qt::BackgroundRole: {
            const QColor colour = background(index.row() + 1, index.column());
            return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(toQt(m_align[index.column()]));
        case Qt::AccessibleTextRole: {
            const QString name = m_cellNames ? m_cellNames(index.row() + 1, index.column()) : QString();
            return name.isEmpty() ? text(index.row() + 1, index.column()) : name;
        }
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !validColumn(section)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return m_heading[section].text;
        case Qt::BackgroundRole:
            return m_heading[section].background.isValid() ? QVariant(QBrush(m_heading[section].background))
                                                           : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(toQt(m_headingAlign[section]));
        default:
            return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::setDataRowCount(int rows) {
    rows = std::max(0, rows);
    const int old = dataRowCount();
    if (m_source && rows == 0 && old > 0) {
        beginRemoveRows(QModelIndex(), 0, old - 1);
        m_source.reset();
        m_order.clear();
        m_edits.clear();
        endRemoveRows();
        return;
    }
    if (m_source && rows != old) {
        materialize();
    }
    if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        m_rows.resize(rows);
        endRemoveRows();
    } else if (rows > old) {
        beginInsertRows(QModelIndex(), old, rows - 1);
        m_rows.resize(rows, Row(m_columns));
        endInsertRows();
    }
}

void GridModel::setColumns(int columns) {
    columns = std::max(0, columns);
    if (columns == m_columns) {
        return;
    }
    beginResetModel();
    m_columns = columns;
    m_heading.resize(columns);
    m_align.resize(columns, Alignment::Left);
    m_headingAlign.resize(columns, Alignment::Left);
    for (Row& row : m_rows) {
        row.resize(columns);
    }
    // A source keeps its cells; columns past the grid's are not shown, columns past the source's are empty.
    endResetModel();
}

void GridModel::setAlignment(int column, Alignment alignment) {
    if (validColumn(column)) {
        m_align[column] = alignment;
        if (!m_rows.empty()) {
            emit dataChanged(index(0, column), index(dataRowCount() - 1, column), {Qt::TextAlignmentRole});
        }
    }
}

void GridModel::setHeadingAlignment(int column, Alignment alignment) {
    if (validColumn(column)) {
        m_headingAlign[column] = alignment;
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
}

Alignment GridModel::alignment(int column) const {
    return validColumn(column) ? m_align[column] : Alignment::Left;
}

void GridModel::setCell(int gridRow, int column, const QString* text, const QColor* background) {
    if (!validColumn(column) || gridRow < 0 || gridRow > dataRowCount()) {
        return;
    }
    if (gridRow > 0 && m_source) {
        const std::pair<int, int> key(sourceRow(gridRow - 1), column);
        if (m_edits.find(key) == m_edits.end()) {
            m_edits.emplace(key, dataCell(gridRow - 1, column));
        }
    }
    Grid::Cell& cell = gridRow == 0 ? m_heading[column]
                       : m_source   ? m_edits[{sourceRow(gridRow - 1), column}]
                                    : m_rows[gridRow - 1][column];
    if (text) {
        cell.text = *text;
    }
    if (background) {
        cell.background = *background;
    }
    if (gridRow == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
    } else {
        const QModelIndex at = index(gridRow - 1, column);
        emit dataChanged(at, at, {text ? Qt::DisplayRole : Qt::BackgroundRole});
    }
}

Grid::Cell GridModel::dataCell(int row, int column) const {
    if (!m_source) {
        return m_rows[row][column];
    }
    const int from = sourceRow(row);
    if (!m_edits.empty()) {
        const auto edited = m_edits.find({from, column});
        if (edited != m_edits.end()) {
            return edited->second;
        }
    }
    if (column >= m_source->columnCount()) {
        return {};
    }
    return {m_source->text(from, column), m_source->background(from, column)};
}

QString GridModel::text(int gridRow, int column) const {
    if (!validColumn(column) || gridRow < 0 || gridRow > dataRowCount()) {
        return {};
    }
    if (gridRow == 0) {
        return m_heading[column].text;
    }
    if (!m_source) {
        return m_rows[gridRow - 1][column].text;
    }
    const int from = sourceRow(gridRow - 1);
    if (!m_edits.empty()) {
        const auto edited = m_edits.find({from, column});
        if (edited != m_edits.end()) {
            return edited->second.text;
        }
    }
    return column < m_source->columnCount() ? m_source->text(from, column) : QString();
}

QColor GridModel::background(int gridRow, int column) const {
    if (!validColumn(column) || gridRow < 0 || gridRow > dataRowCount()) {
        return {};
    }
    if (gridRow == 0) {
        return m_heading[column].background;
    }
    if (!m_source) {
        return m_rows[gridRow - 1][column].background;
    }
    const int from = sourceRow(gridRow - 1);
    if (!m_edits.empty()) {
        const auto edited = m_edits.find({from, column});
        if (edited != m_edits.end()) {
            return edited->second.background;
        }
    }
    return column < m_source->columnCount() ? m_source->background(from, column) : QColor();
}

void GridModel::materialize() {
    if (!m_source) {
        return;
    }
    std::vector<Row> rows(static_cast<std::size_t>(m_source->rowCount()), Row(static_cast<std::size_t>(m_columns)));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < m_columns; ++c) {
            rows[r][c] = dataCell(r, c);
        }
    }
    m_source.reset();
    m_order.clear();
    m_edits.clear();
    m_rows = std::move(rows);
}

void GridModel::replaceRows(std::vector<Row> rows) {
    beginResetModel();
    // A row wider than the grid widens it rather than losing cells.
    std::size_t widest = static_cast<std::size_t>(m_columns);
    for (const Row& row : rows) {
        widest = std::max(widest, row.size());
    }
    if (widest > static_cast<std::size_t>(m_columns)) {
        m_columns = static_cast<int>(widest);
        m_heading.resize(widest);
        m_align.resize(widest, Alignment::Left);
        m_headingAlign.resize(widest, Alignment::Left);
    }
    for (Row& row : rows) {
        row.resize(widest);
    }
    m_rows = std::move(rows);
    m_source.reset();
    m_order.clear();
    m_edits.clear();
    endResetModel();
}

void GridModel::setSource(std::unique_ptr<GridSource> source) {
    beginResetModel();
    // As with held rows, a source wider than the grid widens it.
    const int widest = source ? std::max(m_columns, source->columnCount()) : m_columns;
    if (widest > m_columns) {
        m_columns = widest;
        m_heading.resize(widest);
        m_align.resize(widest, Alignment::Left);
        m_headingAlign.resize(widest, Alignment::Left);
    }
    m_rows.clear();
    m_order.clear();
    m_edits.clear();
    m_source = std::move(source);
    endResetModel();
}

void GridModel::sortRows(int column, SortKind kind, bool ascending) {
    const int count = dataRowCount();
    if (!validColumn(column) || count < 2) {
        return;
    }
    // Sort an index by precomputed keys, then move whole rows once (or, over a source, reorder the index).
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    if (kind == SortKind::Numeric) {
        // An empty cell has no number (a value not measured): it goes after every number in either direction.
        constexpr double NoNumber = std::numeric_limits<double>::quiet_NaN();
        std::vector<double> keys(order.size());
        for (int i = 0; i < count; ++i) {
            const QString cell = text(i + 1, column);
            keys[i] = cell.trimmed().isEmpty() ? NoNumber : leadingNumber(cell);
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const double x = keys[a];
            const double y = keys[b];
            if (std::isnan(x) || std::isnan(y)) {
                return !std::isnan(x) && std::isnan(y);
            }
            return ascending ? x < y : y < x;
        });
    } else {
        std::vector<QString> keys(order.size());
        for (int i = 0; i < count; ++i) {
            keys[i] = text(i + 1, column);
        }
        const auto key = [&](int i) -> const QString& { return keys[i]; };
        if (ascending) {
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        } else {
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(b) < key(a); });
        }
    }
    if (m_source) {
        std::vector<int> sourceOrder(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            sourceOrder[i] = sourceRow(order[i]);
        }
        beginResetModel();
        m_order = std::move(sourceOrder);
        endResetModel();
        return;
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const int i : order) {
        sorted.push_back(std::move(m_rows[i]));
    }
    beginResetModel();
    m_rows = std::move(sorted);
    endResetModel();
}

}  // namespace ui
