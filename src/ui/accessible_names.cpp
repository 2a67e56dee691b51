#include "ui/accessible_names.h"

#include <QWidget>

namespace ui {

int nameControls(QWidget& root, std::initializer_list<ControlName> names) {
    int missing = 0;
    for (const ControlName& entry : names) {
        const QString objectName = QString::fromLatin1(entry.objectName);
        QWidget* control = root.objectName() == objectName ? &root : root.findChild<QWidget*>(objectName);
        if (!control) {
            ++missing;
            continue;
        }
        control->setAccessibleName(QString::fromUtf8(entry.name));
        if (entry.description) {
            control->setAccessibleDescription(QString::fromUtf8(entry.description));
        }
    }
    return missing;
}

}  // namespace ui
