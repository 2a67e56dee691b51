#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace ui {

class Dialogs;

/// What the main window offers its screens: frame switching, the help tour, the shared lists.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    /// Hides the eight screen frames.
    virtual void HIDE_FRAMES() = 0;
    /// Sets the help-tour text of the screen being opened.
    virtual void setHelpText(const QString& text) = 0;
    /// Shows the current help text when the help tour is on.
    virtual void DSP_HELP() = 0;
    virtual Dialogs& dialogs() = 0;

    /// Empties lstAct, lstAct2 and lstKoumoku and fills all three with the items.
    virtual void setSituationLists(const QStringList& items) = 0;
    /// Empties lstAct and lstAct2 and fills them with the items (the editor keeps its own list).
    virtual void refillEntryAndFilterLists(const QStringList& items) = 0;
    /// Adds one item at the end of all three lists.
    virtual void appendSituation(const QString& item) = 0;

    /// Sets the main calendar to the date, rebuilds the main screen and shows it.
    virtual void showMainScreenFor(const QDate& date) = 0;
    /// Rebuilds the main screen (DSP_MAIN) without switching frames.
    virtual void rebuildMainScreen() = 0;
    virtual void setTitle(const QString& title) = 0;
    /// Ends the program (after a new start).
    virtual void endProgram() = 0;
    /// Lets pending window events run (repaints).
    virtual void processEvents() = 0;

    /// The situation list as the screens show it.
    virtual QStringList situationItems() const = 0;
    /// Shows the diary as its files are now, after a correction, an undo or a restore: the main screen and the
    /// screen shown are built anew; `situationsToo` reads the situation list again as well.
    virtual void showChangedDiary(bool situationsToo) = 0;
};

}  // namespace ui
