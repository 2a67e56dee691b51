#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/csv_table.h"
#include "core/import/generic_csv.h"
#include "core/import/import_row.h"
#include "core/import/text_decoding.h"

namespace sora {

/// The user's choices for a CSV of unknown layout, each unset until the user changes what was detected.
struct ImportOptions {
    std::optional<TextEncoding> encoding;
    std::optional<char> separator;
    std::optional<CsvMapping> mapping;
    std::optional<DateOrder> dateOrder;
};

/// A file read for the import: the rows, and for a CSV how it was read.
struct ImportFile {
    std::string fileName;
    ImportRead read;
    bool isText = false;  ///< a CSV or TSV: encoding and separator apply
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ',';
    CsvMapping mapping;                   ///< for a CSV of unknown layout
    std::optional<DateOrder> dateOrder;   ///< of its numeric dates; nullopt: cannot be told, the user says it
    std::vector<CsvRecord> firstRecords;  ///< the first records as split, for the mapping step
};

/// Text files above this size are refused before they are read (a diary export of a lifetime is a few MB); XML
/// and ZIP files are streamed and have no limit.
inline constexpr std::uintmax_t MaxImportTextBytes = 64u << 20;

/// Reads a file for the import: the kind from its content (a ZIP or Apple Health XML, our own CSV, OMRON connect,
/// Withings, any other CSV or TSV), then its rows. A file that cannot be read gives read.message in Japanese.
/// Once `cancelled` is set the reading stops soon, with a message saying so.
ImportFile read_import_file(const std::filesystem::path& path, const ImportOptions& options = {},
                            const std::atomic<bool>* cancelled = nullptr);

/// The same for the bytes of a CSV or TSV file already in memory.
ImportFile read_import_text(std::string_view bytes, std::string_view fileName, const ImportOptions& options = {});

}  // namespace sora
