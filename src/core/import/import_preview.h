#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/import/import_row.h"
#include "core/import/situation_rules.h"
#include "core/rules/dates.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// What the import does with a row.
enum class ImportStatus : std::uint8_t {
    New,           ///< to be added
    InDiary,       ///< the diary (or an earlier row of the file) has the reading already: skipped
    Questionable,  ///< outside the plausible ranges: added only when the user ticks it
    Unreadable     ///< cannot be read: why is in the reason
};

/// "追加", "登録済み", "要確認", "読めない".
const char* import_status_name(ImportStatus status);

/// How the rows get their situation.
struct ImportChoices {
    SituationRules rules;
    /// Set: every reading gets this situation, whatever its time (and whatever situation our own CSV names).
    std::optional<std::string> wholeFile;
    /// Set: readings dated after the day after it are questionable, as are readings before the diary's first record.
    std::optional<Date> today;
};

/// Why a row is not simply added. The sentence is made when the row is shown (ImportPreview::reason): a file of a
/// million rows imported a second time would otherwise hold a million sentences.
enum class ImportReason : std::uint8_t {
    None,
    Text,         ///< the row's own text: why it cannot be read, or the reading typed by hand it may be
    SameInDiary,  ///< the diary has it: reasonRef is the index in texts of that reading's "date situation"
    SameInFile,   ///< an earlier row has it: reasonRef is that row's line
    BeforeDiary,  ///< dated before the diary's first record
    AfterToday,   ///< dated after the day after today
    Doubt         ///< outside the plausible ranges
};

/// One row of the preview. A file of years has a row for every reading, so the row keeps the values and not the
/// record they make: ImportPreview::record builds that.
struct ImportPreviewRow {
    int line = 0;
    ImportStatus status = ImportStatus::New;
    bool chosen = false;  ///< will be written: new rows, and questionable ones the user ticked
    ImportReason why = ImportReason::None;
    std::uint32_t situation = 0;  ///< its situation, an index into ImportPreview::texts
    std::uint32_t reasonRef = 0;  ///< see ImportReason
    std::uint32_t remark = 0;  ///< what the reader said of the row (an unknown zone): 1 + its index in texts; 0: none
    std::optional<Date> date;  ///< nullopt when the row has none
    ClockText time;            ///< the measurement time, "h:mm:ss"; empty when the file gives none
    float systolic = 0;
    float diastolic = 0;
    float pulse = 0;
    float weight = 0;
    RowText note;  ///< the file's comment, which follows the time in the diary text
    RowText text;  ///< the reason's text for ImportReason::Text
};

/// The rows of each status.
struct ImportCounts {
    std::size_t added = 0;
    std::size_t inDiary = 0;
    std::size_t questionable = 0;
    std::size_t unreadable = 0;
    bool operator==(const ImportCounts&) const = default;
};

/// The preview of an import, as the window and the command line show it.
struct ImportPreview {
    std::string fileName;
    ImportKind kind = ImportKind::NotAnExport;
    std::string message;  ///< the file could not be read at all: the preview has no rows
    std::vector<std::string> remarks;
    /// A deque like the read's rows, so that the blocks those give back as they are taken hold these.
    std::deque<ImportPreviewRow> rows;
    std::vector<std::string> texts;  ///< each situation and shared part of a reason the rows have, once
    std::optional<Date> diaryStart;  ///< the day of the diary's first record, which earlier rows are dated before
    ImportCounts counts;

    /// The record a row would be written as (date empty when the row has none).
    MeasurementRecord record(const ImportPreviewRow& row) const;
    /// Why the row is not added, or what to look at; empty for a new row.
    std::string reason(const ImportPreviewRow& row) const;

    /// The rows that would be written now.
    std::size_t chosenCount() const;
    /// "追加 12 件　登録済み 3 件　要確認 1 件　読めない 2 件".
    std::string countsText() const;
};

/// Classifies every row against the diary's records: unreadable, already in the diary (same date and values, and
/// the same time to the minute unless one of them has no time), questionable (is_plausible says no), or new.
/// A reading that an earlier row of the file has already is in the diary too, so nothing is taken twice.
ImportPreview build_import_preview(const std::string& fileName, const ImportRead& read,
                                   const std::vector<MeasurementRecord>& diary, const ImportChoices& choices);

/// The same, taking the rows of `read` one by one: a file of a million rows is never held twice.
ImportPreview build_import_preview(const std::string& fileName, ImportRead&& read,
                                   const std::vector<MeasurementRecord>& diary, const ImportChoices& choices);

/// The records of the chosen rows, in file order.
std::vector<MeasurementRecord> chosen_records(const ImportPreview& preview);

/// The diary text of an imported reading: the time as the automatic saving time writes it, then the note.
std::string import_diary_text(std::string_view time, std::string_view note);

}  // namespace sora
