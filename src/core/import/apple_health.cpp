#include "core/import/apple_health.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "core/files/text_file.h"
#include "core/import/csv_formats.h"
#include "core/import/import_bounds.h"
#include "core/import/import_fields.h"

namespace sora {
namespace {

constexpr std::string_view BloodPressure = "HKCorrelationTypeIdentifierBloodPressure";
constexpr std::string_view Systolic = "HKQuantityTypeIdentifierBloodPressureSystolic";
constexpr std::string_view Diastolic = "HKQuantityTypeIdentifierBloodPressureDiastolic";
constexpr std::string_view HeartRate = "HKQuantityTypeIdentifierHeartRate";

/// The wall-clock time of a startDate in seconds, to match a heart rate to its reading.
std::optional<long long> time_key(const ImportDateTime& t) {
    if (!t.hasTime) {
        return std::nullopt;
    }
    return t.date.serial() * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

struct Reading {
    ImportRow row;
    long long key = 0;
};

struct HealthParser {
    XML_Parser parser = nullptr;
    bool rootSeen = false;
    bool notHealth = false;
    bool entityDeclared = false;  // a DOCTYPE that declares entities: refused before any is expanded
    XML_Index lastEvent = 0;      // where the parser last reported something: what lies beyond is one token

    bool inCorrelation = false;
    std::optional<Reading> current;
    std::vector<Reading> readings;
    std::vector<std::pair<long long, float>> heartRates;

    static const char* attribute(const XML_Char** atts, std::string_view name) {
        for (int i = 0; atts[i] != nullptr; i += 2) {
            if (name == atts[i]) {
                return atts[i + 1];
            }
        }
        return nullptr;
    }

    void progress() { lastEvent = XML_GetCurrentByteIndex(parser); }

    void start(std::string_view name, const XML_Char** atts) {
        progress();
        if (!rootSeen) {
            rootSeen = true;
            if (name != "HealthData") {
                notHealth = true;
                XML_StopParser(parser, XML_FALSE);
            }
            return;
        }
        const char* type = attribute(atts, "type");
        if (type == nullptr) {
            return;
        }
        if (name == "Correlation" && type == BloodPressure) {
            inCorrelation = true;
            current.emplace();
            current->row.line = static_cast<int>(XML_GetCurrentLineNumber(parser));
            const char* start = attribute(atts, "startDate");
            read_import_date_time(start != nullptr ? start : "", current->row);
            if (const auto parsed = parse_import_date_time(start != nullptr ? start : "")) {
                current->key = time_key(*parsed).value_or(0);
            }
            return;
        }
        if (name != "Record") {
            return;
        }
        const char* value = attribute(atts, "value");
        if (inCorrelation && current && (type == Systolic || type == Diastolic)) {
            const bool systolic = type == Systolic;
            read_import_value(value != nullptr ? value : "", systolic ? "最高血圧" : "最低血圧",
                              systolic ? current->row.systolic : current->row.diastolic, current->row);
        } else if (!inCorrelation && type == HeartRate && value != nullptr) {
            const char* start = attribute(atts, "startDate");
            const auto parsed = parse_import_date_time(start != nullptr ? start : "");
            ImportRow scratch;
            float pulse = 0;
            read_import_value(value, "脈拍", pulse, scratch);
            if (parsed && time_key(*parsed) && scratch.problem.empty()) {
                heartRates.emplace_back(*time_key(*parsed), pulse);
            }
        }
    }

    void end(std::string_view name) {
        progress();
        if (name == "Correlation" && inCorrelation) {
            inCorrelation = false;
            if (current) {
                readings.push_back(std::move(*current));
                current.reset();
            }
        }
    }
};

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** atts) {
    static_cast<HealthParser*>(data)->start(name, atts);
}

void XMLCALL on_end(void* data, const XML_Char* name) {
    static_cast<HealthParser*>(data)->end(name);
}

/// Text, comments, declarations: nothing to read, but each shows the parser is moving on.
void XMLCALL on_text(void* data, const XML_Char*, int) {
    static_cast<HealthParser*>(data)->progress();
}

/// A health export declares no entities; a DOCTYPE that does may expand to gigabytes (a "billion laughs").
void XMLCALL on_entity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                       const XML_Char*, const XML_Char*) {
    auto* health = static_cast<HealthParser*>(data);
    health->entityDeclared = true;
    XML_StopParser(health->parser, XML_FALSE);
}

ImportRead finish(HealthParser& health) {
    ImportRead read;
    read.kind = ImportKind::AppleHealth;
    std::sort(health.heartRates.begin(), health.heartRates.end());
    // Readings without a time are told apart by their day.
    std::set<std::tuple<long long, long long, float, float>> seen;
    for (Reading& reading : health.readings) {
        ImportRow& row = reading.row;
        require_values(row);
        const long long day = row.date ? row.date->serial() : 0;
        if (row.problem.empty() && !seen.insert({day, reading.key, row.systolic, row.diastolic}).second) {
            continue;  // the same reading from a second source, or exported twice
        }
        const auto heart = std::lower_bound(health.heartRates.begin(), health.heartRates.end(),
                                            std::pair<long long, float>(reading.key, 0.0f));
        if (heart != health.heartRates.end() && heart->first == reading.key) {
            row.pulse = heart->second;
        }
        read.rows.push_back(std::move(row));
    }
    return read;
}

std::string source_failure(const std::string& fileName, long long code) {
    if (code == SourceCancelled) {
        return "「" + fileName + "」の読み込みを取り消しました。";
    }
    if (code == SourceTooLarge) {
        return "「" + fileName +
               "」は展開すると大きくなりすぎます（ZIP の大きさに見合いません）。"
               "ヘルスケアの書き出しではないようです。";
    }
    return "「" + fileName + "」を読めませんでした。";
}

ImportRead failed(std::string message) {
    ImportRead read;
    read.kind = ImportKind::AppleHealth;
    read.message = std::move(message);
    return read;
}

}  // namespace

ImportRead read_apple_health_xml(const ByteSource& source, const std::string& fileName) {
    HealthParser health;
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), &XML_ParserFree);
    if (!parser) {
        return failed("「" + fileName + "」を読むためのメモリが足りません。");
    }
    health.parser = parser.get();
    XML_SetUserData(parser.get(), &health);
    XML_SetElementHandler(parser.get(), on_start, on_end);
    XML_SetCharacterDataHandler(parser.get(), on_text);
    XML_SetDefaultHandler(parser.get(), on_text);
    XML_SetEntityDeclHandler(parser.get(), on_entity);
    std::array<char, 64 * 1024> buffer;
    XML_Index fed = 0;
    for (;;) {
        const long long got = source(buffer.data(), buffer.size());
        if (got < 0) {
            return failed(source_failure(fileName, got));
        }
        const bool last = got == 0;
        fed += got;
        const XML_Status status =
            XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last ? XML_TRUE : XML_FALSE);
        if (health.entityDeclared) {
            return failed("「" + fileName +
                          "」は実体（ENTITY）を宣言しています。ヘルスケアの書き出しにはないもので、展開すると"
                          "メモリを使い尽くすおそれがあるため読みません。");
        }
        if (status != XML_STATUS_ERROR && fed - health.lastEvent > MaxXmlTokenBytes) {
            return failed("「" + fileName + "」の " + std::to_string(XML_GetCurrentLineNumber(parser.get())) +
                          " 行目に長すぎるタグか属性があります（" + std::to_string(MaxXmlTokenBytes >> 20) +
                          " MB を超えています）。ヘルスケアの書き出しではないようです。");
        }
        if (status == XML_STATUS_ERROR) {
            if (health.notHealth) {
                ImportRead read =
                    failed("「" + fileName +
                           "」はヘルスケアの書き出し（export.xml）ではありません。取り込める形式ではありません。");
                read.kind = ImportKind::NotAnExport;
                return read;
            }
            return failed("「" + fileName + "」の " + std::to_string(XML_GetCurrentLineNumber(parser.get())) +
                          " 行目が XML として読めません（" + XML_ErrorString(XML_GetErrorCode(parser.get())) +
                          "）。書き出しが途中で切れていないか確かめてください。");
        }
        if (last) {
            break;
        }
    }
    if (!health.rootSeen) {
        return failed("「" + fileName + "」に記録がありません。");
    }
    return finish(health);
}

ImportRead read_apple_health_zip(const std::filesystem::path& path, const std::atomic<bool>* cancelled) {
    const std::string fileName = text_file::name_of(path);
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(zip_open(path.c_str(), ZIP_RDONLY, &error), &zip_discard);
    if (!archive) {
        return failed("「" + fileName + "」は ZIP として読めません。");
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<std::string> exports;
    zip_int64_t found = -1;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        const std::string_view entry = name != nullptr ? name : "";
        if (entry == "export.xml" || entry.ends_with("/export.xml")) {
            found = found < 0 ? i : found;
            exports.emplace_back(entry);
        }
    }
    if (found < 0) {
        ImportRead read =
            failed("「" + fileName +
                   "」の中に export.xml がありません。ヘルスケアの「すべてのヘルスケアデータを書き出す」で"
                   "作った ZIP を選んでください。");
        read.kind = ImportKind::NotAnExport;
        return read;
    }
    // What the entry says it expands to is checked first; what it really gives is counted while it is read.
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(found), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_COMP_SIZE) == 0) {
        return failed("「" + fileName + "」の export.xml を開けません（壊れています）。");
    }
    const std::uint64_t allowed = zip_expansion_allowed(stat.comp_size);
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > allowed) {
        return failed(source_failure(fileName, SourceTooLarge));
    }
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> entry(
        zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(found), 0), &zip_fclose);
    if (!entry) {
        return failed("「" + fileName + "」の export.xml を開けません（暗号化されているか、壊れています）。");
    }
    std::uint64_t expanded = 0;
    ImportRead read = read_apple_health_xml(
        [&](char* buffer, std::size_t size) -> long long {
            if (cancelled != nullptr && cancelled->load()) {
                return SourceCancelled;
            }
            const zip_int64_t got = zip_fread(entry.get(), buffer, size);
            if (got < 0) {
                return SourceFailed;
            }
            expanded += static_cast<std::uint64_t>(got);
            return expanded > allowed ? SourceTooLarge : got;
        },
        fileName + " の export.xml");
    if (exports.size() > 1 && read.message.empty()) {
        read.remarks.push_back("「" + fileName + "」には export.xml が " + std::to_string(exports.size()) +
                               " 個あります。最初の「" + exports.front() + "」だけを読みました。");
    }
    return read;
}

}  // namespace sora
