#pragma once

#include <QCalendarWidget>
#include <QString>

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

signals:
    /// A date was clicked by the user.
    void dateChosen(const QDate& date);
};

}  // namespace ui
