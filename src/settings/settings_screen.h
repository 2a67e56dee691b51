#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"

/// The screen in frame fraSettei.
class SettingsScreen : public QObject {
    Q_OBJECT
public:
    SettingsScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// The situation list lstAct / lstAct2 / lstKoumoku of this screen.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Ticks chkJikan without writing the file (start-up).
    void setAutoTimeChecked(bool on);
    /// Shows the graph settings held in the state in the option buttons and nine boxes.
    void showGraphSettings();

private:
    ScreenContext m_ctx;
    QWidget* m_frame;
    QStringList m_situations;
};
