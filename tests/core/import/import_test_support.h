#pragma once

// What the import tests share: reading a file's text through the import and printing its rows as lines, so that a
// table of expected lines is the test.

#include <string>
#include <string_view>
#include <vector>

#include "core/import/import_file.h"
#include "core/import/import_row.h"
#include "core/rules/numbers.h"

namespace sora::test {

/// One row as "line date time sys/dia/pulse/weight situation|note" or "line ! problem".
inline std::string row_line(const ImportRow& row) {
    if (!row.problem.empty()) {
        return std::to_string(row.line) + " ! " + row.problem;
    }
    std::string text = std::to_string(row.line) + " " + (row.date ? format_date(*row.date) : "-") + " " +
                       (row.time.empty() ? "-" : row.time) + " " + format_number(row.systolic) + "/" +
                       format_number(row.diastolic) + "/" + format_number(row.pulse) + "/" + format_number(row.weight);
    if (!row.situation.empty() || !row.note.empty()) {
        text += " " + row.situation + "|" + row.note;
    }
    return text;
}

inline std::vector<std::string> row_lines(const ImportRead& read) {
    std::vector<std::string> lines;
    for (const ImportRow& row : read.rows) {
        lines.push_back(row_line(row));
    }
    return lines;
}

}  // namespace sora::test
