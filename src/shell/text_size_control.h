#pragma once

#include <QObject>

#include "core/text_size.h"

class QWidget;

/// 文字の大きさ for the whole window: Ctrl+plus, Ctrl+minus and Ctrl+0 on the window, the choice on the settings
/// screen, and the per-machine preference that keeps it across starts.
class TextSizeControl : public QObject {
    Q_OBJECT
public:
    /// The keys act on `window` and everything in it.
    explicit TextSizeControl(QWidget& window);

    /// The size kept in this machine's preferences (the standard size when none is kept).
    static sora::TextSize stored();
    /// Scales the program before its first window is built (no window needs redrawing then).
    static void applyAtStart(sora::TextSize size);

    sora::TextSize current() const;
    /// Scales the open window, keeps the choice for the next start and tells the settings screen.
    void choose(sora::TextSize size);
    void step(int steps);

signals:
    void changed(sora::TextSize size);

private:
    QWidget& m_window;
};
