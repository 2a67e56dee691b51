#include "core/import/import_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "core/files/text_file.h"
#include "core/import/apple_health.h"
#include "core/import/csv_formats.h"
#include "core/import/import_fields.h"
#include "core/import/import_source.h"
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

/// The records of a CSV text for the readers: the first few split once for the kind and the mapping, the rest read
/// as the readers ask, from the start again for a second reading. Lines with more fields than are kept are counted.
class CsvRecords {
public:
    CsvRecords(std::string_view text, char separator) : m_reader(text, separator) {
        CsvRecord record;
        while (m_sample.size() < MappingSampleRecords && m_reader.next(record)) {
            m_sample.push_back(record);
        }
    }

    const std::vector<CsvRecord>& sample() const { return m_sample; }

    /// A fresh pass over every record, for one reader.
    NextCsvRecord pass() {
        m_wideLines = 0;
        m_firstWide = 0;
        return [this, index = std::size_t(0), reader = m_reader](CsvRecordView& record) mutable {
            if (index < m_sample.size()) {
                record.assign(m_sample[index++]);
            } else if (!reader.next(record)) {
                return false;
            }
            if (record.dropped != 0 && m_wideLines++ == 0) {
                m_firstWide = record.line;
            }
            return true;
        };
    }

    /// What the user should know when lines of the last pass had more fields than are kept; empty when none had.
    std::string tooWideRemark() const {
        if (m_wideLines == 0) {
            return {};
        }
        return std::to_string(m_firstWide) + " 行目" +
               (m_wideLines > 1 ? "など " + std::to_string(m_wideLines) + " 行" : std::string()) +
               "は列が多すぎるため、最初の " + std::to_string(MaxCsvFields) + " 列だけを読みました。";
    }

private:
    CsvReader m_reader;  // where the records after the sample begin
    std::vector<CsvRecord> m_sample;
    std::size_t m_wideLines = 0;
    int m_firstWide = 0;
};

void add_remark(ImportRead& read, const std::string& remark) {
    if (!remark.empty()) {
        read.remarks.push_back(remark);
    }
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
        case ImportKind::SamsungHealth:
            return "Samsung Health の血圧 CSV";
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
    // UTF-8 is read where it lies: a file of 60 MB is not held twice.
    std::optional<std::string> decoded;
    std::optional<std::string_view> readable;
    if (file.encoding == TextEncoding::Utf8 || file.encoding == TextEncoding::Utf8Bom) {
        readable = utf8_text(bytes);
    } else if ((decoded = decode_text(bytes, file.encoding))) {
        readable = *decoded;
    }
    if (!readable) {
        // Shown in the mapping step, whose encoding box is where the user chooses another.
        file.read.kind = ImportKind::Generic;
        file.read.message = quoted_name(fileName) + "は " + encoding_name(file.encoding) +
                            " として読めません。文字コードを選び直してください。";
        return file;
    }
    const std::string_view text = *readable;
    if (content_start(text).empty()) {
        file.read.message = quoted_name(fileName) + "は空のファイルです。";
        return file;
    }
    file.separator = options.separator.value_or(detect_separator(text));
    CsvRecords records(text, file.separator);
    const std::vector<CsvRecord>& sample = records.sample();
    file.firstRecords = sample;
    const ImportKind kind = sample.empty() ? ImportKind::NotAnExport : csv_kind(sample.front().fields);
    if (kind != ImportKind::Generic) {
        file.read = read_known_csv(kind, records.pass());
        add_remark(file.read, records.tooWideRemark());
        return file;
    }
    file.mapping = options.mapping.value_or(guess_mapping(sample));
    if (sample.front().fields.size() < 2 && !options.separator) {
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
    if (options.dateOrder) {
        file.dateOrder = options.dateOrder;
        file.read = read_generic_csv(records.pass(), file.mapping, *file.dateOrder);
    } else {
        // Read year first while every date votes on the order; read again only when another order is needed.
        DateOrderVote vote;
        file.read = read_generic_csv(records.pass(), file.mapping, DateOrder::Ymd, &vote);
        file.dateOrder = vote.result();
        if (!file.dateOrder) {
            // Named by the first date that reads both ways, so the user sees why the order is asked for.
            file.read = ImportRead{};
            file.read.kind = ImportKind::Generic;
            file.read.message = "日付の順を選んでください（「" + import_excerpt(trimmed(vote.example()), 20) +
                                "」は日月年とも月日年とも読めます）。";
            return file;
        }
        if (*file.dateOrder != DateOrder::Ymd) {
            file.read = ImportRead{};
            file.read = read_generic_csv(records.pass(), file.mapping, *file.dateOrder);
        }
    }
    add_remark(file.read, records.tooWideRemark());
    return file;
}

ImportFile read_import_file(const std::filesystem::path& path, const ImportOptions& options,
                            const std::atomic<bool>* cancelled) {
    const std::string fileName = text_file::name_of(path);
    // Opened without waiting and refused at once when it is no regular file: a FIFO would hang the reading.
    ImportSource source = open_import_source(path);
    if (!source.message.empty()) {
        return failed_file(fileName, source.message);
    }
    const std::uintmax_t size = source.size;
    const auto& in = source.file;
    if (size == 0) {
        return failed_file(fileName, quoted_name(fileName) + "は空のファイルです。");
    }
    std::string head(std::min<std::uintmax_t>(size, 4096), '\0');
    head.resize(std::fread(head.data(), 1, head.size(), in.get()));
    if (head.starts_with("PK\x03\x04")) {
        ImportFile file;
        file.fileName = fileName;
        file.read = read_apple_health_zip(path, cancelled);
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
                if (cancelled != nullptr && cancelled->load()) {
                    return SourceCancelled;
                }
                const std::size_t got = std::fread(buffer, 1, bytes, in.get());
                return got == 0 && std::ferror(in.get()) ? SourceFailed : static_cast<long long>(got);
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
    // In pieces, so that a cancel is seen while a large file is read from a slow disk.
    constexpr std::size_t Piece = 4u << 20;
    std::size_t used = 0;
    while (used < bytes.size()) {
        if (cancelled != nullptr && cancelled->load()) {
            return failed_file(fileName, quoted_name(fileName) + "の読み込みを取り消しました。");
        }
        const std::size_t got = std::fread(bytes.data() + used, 1, std::min(Piece, bytes.size() - used), in.get());
        used += got;
        if (got == 0) {
            break;
        }
    }
    bytes.resize(used);
    if (std::ferror(in.get())) {
        return failed_file(fileName, quoted_name(fileName) + "を読めませんでした。");
    }
    return read_import_text(bytes, fileName, options);
}

}  // namespace sora
