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
    /// A date was clicked by the user.
    void dateChosen(const QDate& date);

private:
    void updateHeader(int year, int month);

    QLabel* m_header = nullptr;
};

}  // namespace ui
