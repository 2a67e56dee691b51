#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"

/// The screen in frame fraMain.
class MainScreen : public QObject {
    Q_OBJECT
public:
    MainScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// The situation list lstAct / lstAct2 / lstKoumoku of this screen.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Rebuilds the day page for the selected date.
    void DSP_MAIN();
    /// Sets the calendar mtvmain (and the selected date of the state).
    void setSelectedDate(const QDate& date);
    /// Disables the eight stepper buttons.
    void disableSteppers();
    /// Selects a series-mode option of mcrMain (0–4) as a click does.
    void selectSeriesMode(int index);
    /// Applies the marker mode held in the state to mcrMain.
    void applyMarkerMode();

private:
    ScreenContext m_ctx;
    QWidget* m_frame;
    QStringList m_situations;
};
