#include "main/entry_panel.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

#include "ui/key_repeat.h"

// The entry panel's keys: Enter or Space chooses a situation, Enter walks the value boxes to 保存 and saves, a box
// that gets the focus has its text selected.
bool EntryPanel::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == lstAct || watched == cmdTaiHozon) && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        const bool confirm =
            key == Qt::Key_Return || key == Qt::Key_Enter || (watched == lstAct && key == Qt::Key_Space);
        if (confirm && ui::isKeyRepeat(*press)) {
            return true;  // a held Enter would walk on through the boxes and save the same reading again
        }
        if (confirm && watched == cmdTaiHozon) {
            cmdTaiHozon_Click();  // Enter saves as Space and a click do
            return true;
        }
        if (confirm && lstAct->currentItem() != nullptr) {
            lstAct->currentItem()->setSelected(true);
            chooseFromList(lstAct->currentItem()->text());  // Enter or Space chooses as a click does
            return true;
        }
    }
    const auto found = std::find(m_boxes.begin(), m_boxes.end(), watched);
    if (found == m_boxes.end()) {
        return QWidget::eventFilter(watched, event);
    }
    QLineEdit* box = *found;
    const int index = static_cast<int>(found - m_boxes.begin());
    switch (event->type()) {
        case QEvent::FocusIn: {
            // Qt tells screen readers of the focus only after this handler; a selection reported first makes Orca
            // take the box as focused already, and it never says the box's name. So the focus is told first.
            QAccessibleEvent focused(box, QAccessible::Focus);
            QAccessible::updateAccessibility(&focused);
            box->selectAll();
            // A click that gives the focus would put the cursor at the click and undo the selection.
            m_selectOnPress = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ? index : -1;
            break;
        }
        case QEvent::MouseButtonPress:
            if (m_selectOnPress == index) {
                m_selectOnPress = -1;
                box->selectAll();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            const auto* press = static_cast<QKeyEvent*>(event);
            if (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) {
                if (!box->text().isEmpty() && !ui::isKeyRepeat(*press)) {
                    if (index < 3) {
                        focusBox(index + 1);
                    } else {
                        cmdTaiHozon->setFocus(Qt::OtherFocusReason);
                    }
                }
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}
