#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"

/// The screen in frame fraTaijyu.
class FilterScreen : public QObject {
    Q_OBJECT
public:
    FilterScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// The situation list lstAct / lstAct2 / lstKoumoku of this screen.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

private:
    ScreenContext m_ctx;
    QWidget* m_frame;
    QStringList m_situations;
};
