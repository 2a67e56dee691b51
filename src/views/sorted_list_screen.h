#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"

/// The screen in frame fraBunseki.
class SortedListScreen : public QObject {
    Q_OBJECT
public:
    SortedListScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

private:
    ScreenContext m_ctx;
    QWidget* m_frame;
};
