#include "import/import_rows_model.h"

#include <QBrush>
#include <QColor>

#include "common/render.h"
#include "core/rules/numbers.h"

namespace {

enum Column { Tick, Line, Status, Date, Time, Situation, Systolic, Diastolic, Pulse, Weight, Diary, Reason, Count };

const char* const Headings[Count] = {"",     "行",   "状態", "日付", "時刻",     "状況",
                                     "最高", "最低", "脈拍", "体重", "一言日記", "理由"};

bool tickable(const sora::ImportPreviewRow& row) {
    return row.status == sora::ImportStatus::New || row.status == sora::ImportStatus::Questionable;
}

QString value_text(float value) {
    return value == 0 ? QString() : qs(sora::format_number(value));
}

QColor status_colour(sora::ImportStatus status) {
    switch (status) {
        case sora::ImportStatus::New:
            return QColor(0xE6, 0xF4, 0xEA);
        case sora::ImportStatus::InDiary:
            return QColor(0xEE, 0xEE, 0xEE);
        case sora::ImportStatus::Questionable:
            return QColor(0xFF, 0xF4, 0xCC);
        case sora::ImportStatus::Unreadable:
            return QColor(0xFD, 0xE2, 0xE1);
    }
    return {};
}

}  // namespace

void ImportRowsModel::setPreview(sora::ImportPreview preview) {
    beginResetModel();
    m_preview = std::move(preview);
    endResetModel();
}

int ImportRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_preview.rows.size());
}

int ImportRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant ImportRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const sora::ImportPreviewRow& row = m_preview.rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == Tick && tickable(row)) {
        return row.chosen ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::BackgroundRole && index.column() == Status) {
        return QBrush(status_colour(row.status));
    }
    if (role == Qt::TextAlignmentRole && index.column() >= Systolic && index.column() <= Weight) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    const sora::MeasurementRecord r = m_preview.record(row);
    switch (index.column()) {
        case Line:
            return row.line;
        case Status:
            return QString(sora::import_status_name(row.status));
        case Date:
            return qs(r.date);
        case Time:
            return qs(row.time.str());
        case Situation:
            return qs(r.situation);
        case Systolic:
            return value_text(r.systolic);
        case Diastolic:
            return value_text(r.diastolic);
        case Pulse:
            return value_text(r.pulse);
        case Weight:
            return value_text(r.weight);
        case Diary:
            return qs(r.diary);
        case Reason:
            return qs(m_preview.reason(row));
        default:
            return {};
    }
}

QVariant ImportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Count) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString(Headings[section]);
}

Qt::ItemFlags ImportRowsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Tick && tickable(m_preview.rows[static_cast<std::size_t>(index.row())])) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool ImportRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != Tick) {
        return false;
    }
    sora::ImportPreviewRow& row = m_preview.rows[static_cast<std::size_t>(index.row())];
    if (!tickable(row)) {
        return false;
    }
    row.chosen = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit ticksChanged();
    return true;
}
