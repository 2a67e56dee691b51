#pragma once

#include <QAbstractTableModel>

#include "core/import/import_preview.h"

/// The rows of the import preview for a QTableView: a tick in the first column for every row that can be written
/// (new and questionable ones), then line, status, date, time, situation, the values, the diary text and the reason.
class ImportRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Replaces the rows at once (thousands of rows: one reset, no per-row signals).
    void setPreview(sora::ImportPreview preview);
    /// The preview with the ticks as the user set them.
    const sora::ImportPreview& preview() const { return m_preview; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    /// A tick was set or taken away by the user.
    void ticksChanged();

private:
    sora::ImportPreview m_preview;
};
