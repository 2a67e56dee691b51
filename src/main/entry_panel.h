#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "common/screen_context.h"

/// The entry panel of the main screen: the situation list lstAct, the four value boxes with their steppers,
/// the free-text and time-of-day situations and the save button cmdTaiHozon.
class EntryPanel : public QWidget {
    Q_OBJECT
public:
    /// `refresh` rebuilds the day page (DSP_MAIN) after a save.
    EntryPanel(ScreenContext context, std::function<void()> refresh, QWidget* parent);

    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Empties the chosen situation and the four boxes (every refresh of the day page does this).
    void clear();
    void disableSteppers();
    /// A save needs the latest date of a log that was read completely.
    void setLogReadable(bool readable) { m_logReadable = readable; }

    QString chosenSituation() const { return m_chosen; }
    /// Puts the panel's controls after `previous` in the Tab order, in the order of an entry; returns the last.
    QWidget* chainTabOrder(QWidget* previous);
    QListWidget* situationList() const { return lstAct; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void chooseFromList(const QString& situation);
    void cmdFree_Click();
    void cmdJikan_Click();
    void cmdTaiHozon_Click();
    /// After a save: the keyboard on the situation list, the saved situation highlighted.
    void returnToSituations(const QString& saved);
    void step(int box, int delta);
    /// Puts the previous measurement into the first `count` boxes (only the empty ones when `onlyEmpty`) and
    /// enables their steppers.
    void offerPrevious(int count, bool onlyEmpty);
    void setSteppersEnabled(int box, bool enabled);
    void focusBox(int box);
    QString timeOfDay() const;

    ScreenContext m_ctx;
    std::function<void()> m_refresh;
    QString m_chosen;
    bool m_logReadable = true;
    int m_selectOnPress = -1;  // the box that got the focus from a mouse press still to come

    QListWidget* lstAct = nullptr;
    QLineEdit* txtMaxInp = nullptr;
    QLineEdit* txtMinInp = nullptr;
    QLineEdit* txtMyakuInp = nullptr;
    QLineEdit* txtTaiInp = nullptr;
    std::array<QLineEdit*, 4> m_boxes{};
    std::array<QPushButton*, 4> m_down{};
    std::array<QPushButton*, 4> m_up{};
    QPushButton* cmdFree = nullptr;
    QPushButton* cmdJikan = nullptr;
    QPushButton* cmdTaiHozon = nullptr;
};
