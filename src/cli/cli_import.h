#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/files/data_dir.h"
#include "core/import/import_preview.h"
#include "core/rules/measurement_record.h"

namespace cli {

/// `import --check FILE`: the preview the import window would show for FILE against the diary, as text or JSON.
/// Writes nothing. `args` are the words after "import"; readings after the day after `today` are questionable.
/// A file that cannot be read ends with ExitNoInput.
int run_import(const std::vector<std::string>& args, const sora::DataDir& dir,
               const std::vector<sora::MeasurementRecord>& records, const sora::Date& today, bool json,
               std::ostream& out, std::ostream& err);

/// The preview as tab-separated text: file, kind, counts and remarks, then a heading row and one row per line.
void write_import_preview_text(const sora::ImportPreview& preview, std::ostream& out);
std::string import_preview_to_text(const sora::ImportPreview& preview);
/// The same as one JSON object, written row by row.
void write_import_preview_json(const sora::ImportPreview& preview, std::ostream& out);
std::string import_preview_to_json(const sora::ImportPreview& preview);

}  // namespace cli
