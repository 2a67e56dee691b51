#include "ui/period_box.h"

#include <QComboBox>

namespace ui {

void TextListModel::setItems(std::vector<std::string> items) {
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int TextListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant TextListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_items.size()) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const std::string& item = m_items[static_cast<std::size_t>(index.row())];
    return QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
}

QComboBox* makePeriodBox(QWidget* parent, const char* name, TextListModel* items, int characters) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setCompleter(nullptr);
    box->setModel(items);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    // Sized by characters, not by measuring thousands of dates each time the frame is shown.
    box->setMinimumContentsLength(characters);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

}  // namespace ui
