#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/rules/measurement_record.h"

namespace sora {

enum class DiarySaveStatus {
    Saved,
    SavedUnconfirmed,  // the new log is in place, but the disk did not confirm it: a warning for the user
    TextRefused,       // a character the file cannot hold, or a line break
    ChangedOnDisk,     // the log is no longer what the list shows: nothing written, the list must be rebuilt
    ReadFailed,        // the log could not be read again: nothing written
    WriteFailed,       // the rewrite failed: the old log is intact
};

/// Outcome of saving one diary text: the text as stored, or a title and message for the user.
struct DiarySaveResult {
    DiarySaveStatus status = DiarySaveStatus::Saved;
    std::string storedText;
    std::string title;
    std::string message;
    std::string warning{};  // the automatic copy of the log could not be made; the save went ahead
    bool saved() const { return status == DiarySaveStatus::Saved || status == DiarySaveStatus::SavedUnconfirmed; }
};

/// A text made ready for a file: the text as it will be stored, or the reason it cannot be.
struct PreparedText {
    bool ok = true;
    std::string text;
    std::string message;
};

/// The diary text as the log stores it: a double quote becomes "”"; a line break or a character that CP932
/// cannot hold is refused with a message naming it.
PreparedText prepare_diary_text(std::string_view text);

/// The first character of a UTF-8 text that CP932 cannot hold; empty when there is none.
std::string first_unstorable_character(std::string_view utf8);

/// The diary text that replaces `stored` when `typed` is saved. A diary that holds only the time of saving written
/// by the automatic time ("7:05:09") keeps it in front of a written text that does not start with it:
/// "7:05:09 散歩をした". An empty or blank text still empties the diary.
std::string keep_saving_time(std::string_view stored, std::string_view typed);

/// Replaces the diary of record `index` (from 0) of the log. `shown` is what the diary list was built from: when the
/// log on disk differs from it, nothing is written. Every other record is rewritten as the log module writes it
/// (the start record's empty diary becomes ""); a saving time is kept as keep_saving_time says. On success `shown` is
/// updated to the new log.
DiarySaveResult save_diary(const MeasurementLog& log, std::vector<MeasurementRecord>& shown, std::size_t index,
                           std::string_view text);

/// The memo box's text as "気付きメモ.txt" holds it: every line break (LF, CR or CR LF) as CR LF.
std::string memo_for_file(std::string_view boxText);

/// The memo as the box shows it: every line break as LF.
std::string memo_for_box(std::string_view memo);

/// Why the memo box's text cannot be saved (a character that CP932 cannot hold); empty when it can.
std::string memo_refusal(std::string_view boxText);

/// Saves the memo box's text into "気付きメモ.txt"; a character that CP932 cannot hold is refused before writing.
WriteResult save_memo(const DataDir& dir, std::string_view boxText);

}  // namespace sora
