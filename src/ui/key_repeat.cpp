#include "ui/key_repeat.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

namespace ui {
namespace {

class ReleaseWatch : public QObject {
public:
    using QObject::QObject;
    int key = 0;
    quint64 releasedAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            const auto* release = static_cast<QKeyEvent*>(event);
            key = release->key();
            releasedAt = release->timestamp();
        }
        return QObject::eventFilter(watched, event);
    }
};

QPointer<ReleaseWatch>& watch() {
    static QPointer<ReleaseWatch> instance;
    return instance;
}

}  // namespace

void watchKeyRepeats() {
    if (!watch() && QCoreApplication::instance()) {
        watch() = new ReleaseWatch(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch());
    }
}

bool isKeyRepeat(const QKeyEvent& press) {
    if (press.isAutoRepeat()) {
        return true;
    }
    // A release reaches the application filter once per widget it passes: the time is the same for all.
    const ReleaseWatch* seen = watch();
    return seen && press.timestamp() != 0 && press.key() == seen->key && press.timestamp() == seen->releasedAt;
}

}  // namespace ui
