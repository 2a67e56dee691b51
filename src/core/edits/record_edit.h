#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/rules/entry_rules.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// The box of the correction dialog that a refusal points at.
enum class RecordBox { None, Date, Situation, Systolic, Diastolic, Pulse, Weight, Diary };

/// The correction dialog's boxes as typed.
struct RecordInput {
    std::string date;  // "yyyy/mm/dd" ("yyyy/m/d" is accepted)
    std::string situation;
    EntryBoxes values;  // systolic, diastolic, pulse, weight
    std::string diary;
    OptionalBoxes notMeasured{};  // values the record did not measure: their boxes may stay empty (stored as 0)
};

/// The corrected record, or the refusal (title and text of the warning) and the box to type again.
struct RecordCheck {
    std::optional<MeasurementRecord> record;
    EntryMessage refusal;
    RecordBox box = RecordBox::None;
};

/// Checks the boxes as the entry panel's save button does, with its messages, after the date: the sample diary,
/// a date of the calendar, the situation, the four values; then the situation and the diary must be storable
/// (a double quote becomes "”", a line break a blank). The record has the date as "yyyy/mm/dd".
RecordCheck check_record_input(bool sampleMode, const RecordInput& input);

/// Outcome of replacing a record.
struct RecordEditResult {
    WriteResult written;
    std::size_t index = 0;  // where the record stands in the log afterwards
    bool changed = true;    // false when the log already held the record so: nothing was written
};

/// Replaces record `index` (from 0) of the log by `record`, provided the log is still the file `readAs` describes
/// (else nothing is written and written.changedOnDisk is set). Only that line changes; the other lines keep their
/// bytes. A changed date moves the record to its place in date order, after the records already on that date;
/// the record that ends up first is written in the start-record form.
RecordEditResult replace_record(const MeasurementLog& log, std::size_t index, const MeasurementRecord& record,
                                const FileStamp& readAs);

/// Deletes record `index` (from 0) of the log, provided the log is still the file `readAs` describes; the other
/// lines keep their bytes. The only record of a log (the start record) cannot be deleted.
WriteResult remove_record(const MeasurementLog& log, std::size_t index, const FileStamp& readAs);

/// The record in full, as a question about it shows it: date and situation, the four values as the lists show
/// them, and the diary text when there is one; lines end with CR LF.
std::string record_description(const MeasurementRecord& record);

/// The refusal of deleting the only record.
std::string only_record_message();

}  // namespace sora
