#include "ui/month_calendar.h"

#include <QBoxLayout>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <QToolButton>

namespace ui {

MonthCalendar::MonthCalendar(QWidget* parent) : QCalendarWidget(parent) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    setLocale(japanese);
    setFirstDayOfWeek(Qt::Sunday);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setGridVisible(false);

    // Sunday red; Saturday is an ordinary day here (the widget's default paints both weekend days red).
    QTextCharFormat sunday;
    sunday.setForeground(QColor(255, 0, 0));
    setWeekdayTextFormat(Qt::Sunday, sunday);
    QTextCharFormat saturday;
    saturday.setForeground(palette().brush(QPalette::Text));
    setWeekdayTextFormat(Qt::Saturday, saturday);

    // The built-in navigation bar puts the month before the year; a Japanese header reads "2005年2月".
    setNavigationBarVisible(false);
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("calendarHeader"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(2, 2, 2, 2);
    auto* previous = new QToolButton(header);
    previous->setObjectName(QStringLiteral("cmdPrevMonth"));
    previous->setArrowType(Qt::LeftArrow);
    previous->setAutoRaise(true);
    auto* next = new QToolButton(header);
    next->setObjectName(QStringLiteral("cmdNextMonth"));
    next->setArrowType(Qt::RightArrow);
    next->setAutoRaise(true);
    previous->setAccessibleName(QStringLiteral("前の月"));
    next->setAccessibleName(QStringLiteral("次の月"));
    m_header = new QLabel(header);
    m_header->setObjectName(QStringLiteral("lblYearMonth"));
    m_header->setAlignment(Qt::AlignCenter);
    row->addWidget(previous);
    row->addWidget(m_header, 1);
    row->addWidget(next);
    if (auto* box = qobject_cast<QBoxLayout*>(layout())) {
        box->insertWidget(0, header);
    }
    connect(previous, &QToolButton::clicked, this, &QCalendarWidget::showPreviousMonth);
    connect(next, &QToolButton::clicked, this, &QCalendarWidget::showNextMonth);
    connect(this, &QCalendarWidget::currentPageChanged, this, &MonthCalendar::updateHeader);
    updateHeader(yearShown(), monthShown());

    connect(this, &QCalendarWidget::clicked, this, &MonthCalendar::dateChosen);
    connect(this, &QCalendarWidget::activated, this, &MonthCalendar::dateChosen);
    // The keys go to the table of days inside; a selection it changes while a key is down is the user's move.
    m_days = findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
    if (m_days != nullptr) {
        m_days->installEventFilter(this);
    }
    connect(this, &QCalendarWidget::selectionChanged, this, [this] {
        if (m_keyPressed) {
            emit dateMoved(selectedDate());
        }
    });
}

bool MonthCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_days && event->type() == QEvent::KeyPress) {
        // Handled here, inside the flag, so that only the selection changes this key makes count as the user's.
        m_keyPressed = true;
        const bool handled = static_cast<QObject*>(m_days)->event(event);
        m_keyPressed = false;
        return handled;
    }
    return QCalendarWidget::eventFilter(watched, event);
}

QString MonthCalendar::headerText() const {
    return m_header->text();
}

void MonthCalendar::updateHeader(int year, int month) {
    m_header->setText(locale().toString(QDate(year, month, 1), QStringLiteral("yyyy年M月")));
}

QString MonthCalendar::selectedDateText() const {
    return selectedDate().toString(QStringLiteral("yyyy/MM/dd"));
}

bool MonthCalendar::setSelectedDateText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})/(\\d{2})/(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return false;
    }
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid() || date < minimumDate() || date > maximumDate()) {
        return false;
    }
    setSelectedDate(date);
    return true;
}

}  // namespace ui
