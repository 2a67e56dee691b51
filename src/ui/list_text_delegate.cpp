#include "ui/list_text_delegate.h"

namespace ui {

void ListTextDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > ShownLength) {
        // Never between the two halves of a character outside the basic plane.
        const qsizetype length = option->text.at(ShownLength - 1).isHighSurrogate() ? ShownLength - 1 : ShownLength;
        option->text.truncate(length);
        option->text.append(QChar(0x2026));  // "…": the list shows that the text goes on
    }
}

}  // namespace ui
