#include "core/import/import_file.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "core/files/text_file.h"
#include "core/import/apple_health.h"
#include "core/import/csv_formats.h"
#include "core/import/own_log.h"

namespace sora {
namespace {

constexpr std::size_t MappingSampleRecords = 6;

ImportFile failed_file(std::string_view fileName, std::string message) {
    ImportFile file;
    file.fileName = std::string(fileName);
    file.read.message = std::move(message);
    return file;
}

std::string quoted_name(std::string_view fileName) {
    return "「" + std::string(fileName) + "」";
}

/// The first non-blank text of a head of bytes, past a byte order mark.
std::string_view content_start(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    }
    const std::size_t first = head.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view() : head.substr(first);
}

}  // namespace

const char* import_kind_name(ImportKind kind) {
    switch (kind) {
        case ImportKind::OwnCsv:
            return "ソラノート＋のCSV";
        case ImportKind::Omron:
            return "OMRON connect のCSV";
        case ImportKind::Withings:
            return "Withings Health Mate の bp.csv";
        case ImportKind::AppleHealth:
            return "Apple ヘルスケアの書き出し";
        case ImportKind::Generic:
            return "CSV / TSV";
        case ImportKind::NotAnExport:
            return "取り込めないファイル";
        case ImportKind::OwnLog:
            return "ソラノート＋の記録（データ.txt の形式）";
    }
    return "";
}

ImportFile read_import_text(std::string_view bytes, std::string_view fileName, const ImportOptions& options) {
    if (bytes.empty()) {
        return failed_file(fileName, quoted_name(fileName) + "は空のファイルです。");
    }
    if (!options.encoding && !options.separator && !options.mapping && is_own_log(bytes)) {
        ImportFile file;
        file.fileName = std::string(fileName);
        file.read = read_own_log(bytes, fileName);
        return file;
    }
    const std::optional<TextEncoding> detected = detect_encoding(bytes);
    if (!detected && !options.encoding) {
        return failed_file(fileName, quoted_name(fileName) +
                                         "はテキストのファイルではありません。血圧計のアプリなどが書き出した CSV か "
                                         "XML を選んでください。");
    }
    ImportFile file;
    file.fileName = std::string(fileName);
    file.isText = true;
    file.encoding = options.encoding.value_or(detected.value_or(TextEncoding::Utf8));
    std::optional<std::string> text = decode_text(bytes, file.encoding);
    if (!text) {
        // Shown in the mapping step, whose encoding box is where the user chooses another.
        file.read.kind = ImportKind::Generic;
        file.read.message = quoted_name(fileName) + "は " + encoding_name(file.encoding) +
                            " として読めません。文字コードを選び直してください。";
        return file;
    }
    if (content_start(*text).empty()) {
        file.read.message = quoted_name(fileName) + "は空のファイルです。";
        return file;
    }
    file.separator = options.separator.value_or(detect_separator(*text));
    std::vector<CsvRecord> records = split_csv(*text, file.separator);
    text->clear();
    text->shrink_to_fit();
    const std::size_t sample = std::min(records.size(), MappingSampleRecords);
    file.firstRecords.assign(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(sample));
    const ImportKind kind = records.empty() ? ImportKind::NotAnExport : csv_kind(records.front().fields);
    if (kind != ImportKind::Generic) {
        file.read = read_known_csv(kind, records);
        return file;
    }
    file.mapping = options.mapping.value_or(guess_mapping(records));
    if (records.front().fields.size() < 2 && !options.separator) {
        file.read.kind = ImportKind::NotAnExport;
        file.read.message = quoted_name(fileName) +
                            "は取り込める形式ではありません（区切られた列がありません）。CSV か TSV を選んでください。";
        return file;
    }
    if (const std::string problem = mapping_problem(file.mapping); !problem.empty()) {
        file.read.kind = ImportKind::Generic;
        file.read.message = "列の割り当てを決めてください。" + problem;
        return file;
    }
    file.read = read_generic_csv(records, file.mapping);
    return file;
}

ImportFile read_import_file(const std::filesystem::path& path, const ImportOptions& options) {
    const std::string fileName = text_file::name_of(path);
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (ec || !in || std::filesystem::is_directory(path, ec)) {
        return failed_file(fileName, quoted_name(fileName) + "を開けませんでした。");
    }
    if (size == 0) {
        return failed_file(fileName, quoted_name(fileName) + "は空のファイルです。");
    }
    std::string head(std::min<std::uintmax_t>(size, 4096), '\0');
    head.resize(std::fread(head.data(), 1, head.size(), in.get()));
    if (head.starts_with("PK\x03\x04")) {
        ImportFile file;
        file.fileName = fileName;
        file.read = read_apple_health_zip(path);
        return file;
    }
    const std::string_view start = content_start(head);
    if (start.starts_with("<")) {
        // XML is streamed whatever its size: an Apple Health export reaches hundreds of MB.
        std::rewind(in.get());
        ImportFile file;
        file.fileName = fileName;
        file.read = read_apple_health_xml(
            [&](char* buffer, std::size_t bytes) -> long long {
                const std::size_t got = std::fread(buffer, 1, bytes, in.get());
                return got == 0 && std::ferror(in.get()) ? -1 : static_cast<long long>(got);
            },
            fileName);
        return file;
    }
    if (size > MaxImportTextBytes) {
        return failed_file(fileName, quoted_name(fileName) + "は大きすぎます（" + std::to_string(size >> 20) +
                                         " MB）。取り込めるのは 64 MB までのファイルです。");
    }
    std::string bytes(size, '\0');
    std::rewind(in.get());
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in.get()));
    if (std::ferror(in.get())) {
        return failed_file(fileName, quoted_name(fileName) + "を読めませんでした。");
    }
    return read_import_text(bytes, fileName, options);
}

}  // namespace sora
