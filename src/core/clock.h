#pragma once

#include <ctime>

#include "core/rules/dates.h"

namespace sora {

/// Date and time of day.
struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

/// The date and time of the C library's broken-down local time.
DateTime date_time_of(const std::tm& local);

/// "Today" and "now"; tests fix them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
    Date today() const { return now().date; }
};

/// The local time of the computer.
class SystemClock : public Clock {
public:
    DateTime now() const override;
};

/// A clock that stands still at a set time.
class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime at) : m_at(at) {}
    DateTime now() const override { return m_at; }
    void set(DateTime at) { m_at = at; }

private:
    DateTime m_at;
};

}  // namespace sora
