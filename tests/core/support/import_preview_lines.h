#pragma once

// A preview's rows as lines, so that a table of expected lines is the test.

#include <string>
#include <vector>

#include "core/import/import_preview.h"
#include "core/rules/numbers.h"

namespace sora::test {

/// Each row as "line status[+ if ticked] date situation sys/dia/pulse [diary] reason".
inline std::vector<std::string> preview_lines(const ImportPreview& preview) {
    std::vector<std::string> lines;
    for (const ImportPreviewRow& row : preview.rows) {
        const MeasurementRecord r = preview.record(row);
        const std::string reason = preview.reason(row);
        lines.push_back(std::to_string(row.line) + " " + import_status_name(row.status) + (row.chosen ? "+" : "") +
                        " " + r.date + " " + r.situation + " " + format_number(r.systolic) + "/" +
                        format_number(r.diastolic) + "/" + format_number(r.pulse) + " [" + r.diary + "]" +
                        (reason.empty() ? "" : " " + reason));
    }
    return lines;
}

}  // namespace sora::test
