#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/import/row_text.h"
#include "core/rules/dates.h"

namespace sora {

/// The kinds of file the import recognises from their content.
enum class ImportKind { OwnCsv, Omron, Withings, SamsungHealth, AppleHealth, Generic, NotAnExport, OwnLog };

/// What a kind is called in the preview: "ソラノート＋のCSV", "OMRON connect", ….
const char* import_kind_name(ImportKind kind);

/// One reading as a reader found it, before it meets the diary. Every format's reader yields these. A file of a
/// million rows holds a million of them, so the texts are the compact kinds that cost nothing while empty.
struct ImportRow {
    int line = 0;  ///< where it stands in the file (1-based line; for XML the line of its element)
    std::optional<Date> date;
    ClockText time;  ///< "h:mm:ss" as the automatic saving time writes it; empty when the file gives none
    float systolic = 0;
    float diastolic = 0;
    float pulse = 0;  ///< 0: not measured
    float weight = 0;
    RowText situation;  ///< only our own CSV names one; empty: the situation rules decide
    RowText note;       ///< the file's comment, which follows the time in the diary text
    RowText problem;    ///< set when the row cannot be read: why, in Japanese
    RowText remark;     ///< something the user should know although the row reads (an unknown time zone)
};

/// What a reader made of a whole file: its rows, or a message that says why the file is not one it reads.
struct ImportRead {
    ImportKind kind = ImportKind::NotAnExport;
    /// A deque, so that the preview can take the rows one by one and give their memory back as it goes.
    std::deque<ImportRow> rows;
    std::string message;               ///< non-empty: the file as a whole could not be read (nothing to preview)
    std::vector<std::string> remarks;  ///< about the whole file (an unknown time zone, say), each once
};

}  // namespace sora
