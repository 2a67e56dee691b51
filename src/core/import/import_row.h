#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/rules/dates.h"

namespace sora {

/// The kinds of file the import recognises from their content.
enum class ImportKind { OwnCsv, Omron, Withings, AppleHealth, Generic, NotAnExport, OwnLog };

/// What a kind is called in the preview: "ソラノート＋のCSV", "OMRON connect", ….
const char* import_kind_name(ImportKind kind);

/// One reading as a reader found it, before it meets the diary. Every format's reader yields these.
struct ImportRow {
    int line = 0;  ///< where it stands in the file (1-based line; for XML the line of its element)
    std::optional<Date> date;
    std::string time;  ///< "h:mm:ss" as the automatic saving time writes it; empty when the file gives none
    float systolic = 0;
    float diastolic = 0;
    float pulse = 0;  ///< 0: not measured
    float weight = 0;
    std::string situation;  ///< only our own CSV names one; empty: the situation rules decide
    std::string note;       ///< the file's comment, which follows the time in the diary text
    std::string problem;    ///< set when the row cannot be read: why, in Japanese
    std::string remark;     ///< something the user should know although the row reads (an unknown time zone)
};

/// What a reader made of a whole file: its rows, or a message that says why the file is not one it reads.
struct ImportRead {
    ImportKind kind = ImportKind::NotAnExport;
    std::vector<ImportRow> rows;
    std::string message;               ///< non-empty: the file as a whole could not be read (nothing to preview)
    std::vector<std::string> remarks;  ///< about the whole file (an unknown time zone, say), each once
};

}  // namespace sora
