#pragma once

#include <QStyledItemDelegate>

namespace ui {

/// Draws and measures list items as the style does, from no more than the first ShownLength characters of their
/// text. The style lays an item's whole text out to measure and to elide it, so one item of a megabyte held a
/// list up for seconds on every layout; no list is wide enough to show more than the start. The items keep their
/// whole text.
class ListTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qsizetype ShownLength = 512;

    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace ui
