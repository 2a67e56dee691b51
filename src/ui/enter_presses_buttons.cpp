#include "ui/enter_presses_buttons.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

#include "ui/key_repeat.h"

namespace ui {
namespace {

class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        auto* button = qobject_cast<QPushButton*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!button || !enter || (key->modifiers() & ~Qt::KeypadModifier) || !button->hasFocus()) {
            return QObject::eventFilter(watched, event);
        }
        // The rest of a held Enter (the one that moved the focus here, say) presses nothing.
        if (button->isEnabled() && !isKeyRepeat(*key)) {
            button->click();
        }
        return true;
    }
};

QPointer<EnterPressesButtons>& filter() {
    static QPointer<EnterPressesButtons> instance;
    return instance;
}

}  // namespace

void pressButtonsOnEnter() {
    if (!filter() && QCoreApplication::instance()) {
        watchKeyRepeats();
        filter() = new EnterPressesButtons(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter());
    }
}

}  // namespace ui
