#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/import/import_dates.h"
#include "core/import/import_row.h"
#include "core/import/local_clock.h"
#include "core/rules/dates.h"

namespace sora {

/// A date with an optional time of day and zone, as exported files write them.
struct ImportDateTime {
    Date date;
    bool hasTime = false;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::string zone;  ///< an offset or zone written after the time ("+0900", "Z"); empty when none
};

/// Reads a date as read_date_part does (year first, month names, and day or month first in that `order` only),
/// optionally followed by a blank or "T" and "H:MM" or "H:MM:SS" (fractions of a second dropped, "AM"/"PM"
/// understood) and a zone ("Z", "+09:00", "+0900", " +0900"). nullopt for anything else, an impossible date or
/// time among them: day-first and month-first dates cannot be told apart, so they are read only in the order given.
std::optional<ImportDateTime> parse_import_date_time(std::string_view text, DateOrder order = DateOrder::Ymd);

/// A time of day alone ("7:05", "07:05:09", "7:05 PM"); sets the fields of `into`. False for anything else.
bool parse_import_time(std::string_view text, ImportDateTime& into);

/// The date and time of a Unix timestamp on this computer's clock (its local time zone).
ImportDateTime local_date_time(long long unixSeconds);

/// True for a cell that holds no value: blank, "null", "-", "N/A" (as exports write nothing).
bool empty_cell(std::string_view field);

/// Reads a value field into `value`: empty is 0 (not measured); otherwise a number (full-width digits allowed)
/// above 0 and below 999, as the entry panel takes. Else sets row.problem naming the value and the text.
void read_import_value(std::string_view field, const char* name, float& value, ImportRow& row);

/// How read_import_date_time found the date of a row.
enum class DateSource { None, Written, Timestamp };

/// Puts a date and time into the row (the time as "h:mm:ss"), or the problem when the text does not read. A Unix
/// timestamp is read as this computer's local time, through `clock` when a reader of many rows gives one.
DateSource read_import_date_time(std::string_view text, ImportRow& row, DateOrder order = DateOrder::Ymd,
                                 LocalClock* clock = nullptr);

/// Takes the note of a row, made storable (quotes and line breaks as the entry panel stores them); a note the files
/// cannot hold or longer than the import takes marks the row unreadable.
void read_import_note(std::string_view text, ImportRow& row);

/// "h:mm:ss" as format_time_of_day writes it, without printf: a file of years has a time on every row.
ClockText import_time_text(int hour, int minute, int second);

/// At most `bytes` of a text for a message, cut before a character and not inside one, with "…" when cut.
std::string import_excerpt(std::string_view text, std::size_t bytes);

/// The minutes a written offset puts a clock ahead of UTC ("+09:00", "UTC+0100", "GMT-5", "UTC" alone: 0);
/// nullopt for anything else.
std::optional<int> utc_offset_minutes(std::string_view zone);

/// True for a zone the computer knows: an IANA name in its zone database or a written offset ("+09:00", "UTC").
bool known_time_zone(std::string_view zone);

}  // namespace sora
