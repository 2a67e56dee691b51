#pragma once

#include <QCalendarWidget>
#include <QString>

class QLabel;

namespace ui {

/// A month calendar in Japanese (weekday names, year-month header, Sunday in red).
class MonthCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget* parent = nullptr);

    /// "yyyy/mm/dd".
    QString selectedDateText() const;
    /// Accepts "yyyy/mm/d" and "yyyy/mm/dd"; false (and no change) for anything else.
    bool setSelectedDateText(const QString& text);
    /// The year-month header of the shown page, "2005年2月".
    QString headerText() const;

signals:
    /// A date was clicked by the user, or confirmed with Enter.
    void dateChosen(const QDate& date);
    /// The user moved the selection with the keyboard (arrows, Page Up/Down, Home/End); the focus stays here.
    void dateMoved(const QDate& date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateHeader(int year, int month);

    QLabel* m_header = nullptr;
    QWidget* m_days = nullptr;  // the widget's own table of days, which takes the keys
    bool m_keyPressed = false;  // a selection change now comes from a key, not from the program
};

}  // namespace ui
