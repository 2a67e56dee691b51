#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

class QComboBox;
class QWidget;

namespace ui {

/// A list of texts held as UTF-8: a period box lists thousands of dates, of which a user sees twenty at a time, so
/// they become QStrings only when shown.
class TextListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(std::vector<std::string> items);
    const std::vector<std::string>& items() const { return m_items; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string> m_items;
};

/// An editable date box listing `items`, wide enough for `characters` characters. It takes any typed text (the
/// listing checks it), inserts nothing into the list and completes nothing: completing would search all dates
/// every time the list is refilled.
QComboBox* makePeriodBox(QWidget* parent, const char* name, TextListModel* items, int characters);

}  // namespace ui
