#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <vector>

#include "core/rules/morning_evening.h"

/// The situations and the occasion each counts as, for the table tblAsaBan: the situation, then 朝, 晩 or 対象外.
/// A view over thousands of situations stays quick where a box per situation did not.
class OccasionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// The captions of the choices in their order: 朝, 晩, 対象外 (the file keeps the word なし).
    static const QStringList& choices();

    void setRows(const QStringList& situations, const std::vector<sora::Occasion>& occasions);
    const QStringList& situations() const { return m_situations; }
    sora::Occasion occasion(int row) const { return m_occasions[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A caption of choices() set on the occasion column asks for that occasion; the row shows it only once the
    /// owner has written it (setOccasion).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void setOccasion(int row, sora::Occasion occasion);

signals:
    void occasionChosen(int row, sora::Occasion occasion);

private:
    QStringList m_situations;
    std::vector<sora::Occasion> m_occasions;
};

/// Edits the occasion column with a list of the three choices that opens with the editor. Only a choice made in
/// that list reaches the model: leaving the cell, Escape, closing the list or the window commit nothing.
class OccasionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private slots:
    void commitAndClose();
    void closeUnchosen();
};
