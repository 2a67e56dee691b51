#include "cli/cli_import.h"

#include <charconv>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "core/files/side_files.h"
#include "core/import/column_choices.h"
#include "core/import/import_file.h"
#include "core/import/situation_rules.h"
#include "core/rules/numbers.h"

namespace cli {
namespace {

std::string value_text(float value) {
    return value == 0 ? std::string() : sora::format_number(value);
}

/// A value as the lists show it (63.4, not the float's 63.400001525878906).
double shown_value(float value) {
    const std::string text = sora::format_number(value);
    double shown = 0;
    std::from_chars(text.data(), text.data() + text.size(), shown);  // not std::stod: no locale's decimal comma
    return shown;
}

/// Tabs and line breaks inside a cell would break the columns.
std::string cell(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

void write_import_preview_text(const sora::ImportPreview& preview, std::ostream& out) {
    out << "ファイル\t" << cell(preview.fileName) << "\n種類\t" << sora::import_kind_name(preview.kind) << "\n";
    const auto& c = preview.counts;
    out << "追加\t" << c.added << "\n登録済み\t" << c.inDiary << "\n要確認\t" << c.questionable << "\n読めない\t"
        << c.unreadable << "\n";
    for (const std::string& remark : preview.remarks) {
        out << "注意\t" << cell(remark) << "\n";
    }
    out << "\n行\t状態\t取り込む\t日付\t時刻\t状況\t最高血圧\t最低血圧\t脈拍\t体重\t一言日記\t理由\n";
    // Row by row: a file of years is never held a second time as text.
    for (const sora::ImportPreviewRow& row : preview.rows) {
        const sora::MeasurementRecord r = preview.record(row);
        out << row.line << "\t" << sora::import_status_name(row.status) << "\t" << (row.chosen ? "1" : "0") << "\t"
            << r.date << "\t" << row.time << "\t" << cell(r.situation) << "\t" << value_text(r.systolic) << "\t"
            << value_text(r.diastolic) << "\t" << value_text(r.pulse) << "\t" << value_text(r.weight) << "\t"
            << cell(r.diary) << "\t" << cell(preview.reason(row)) << "\n";
    }
}

void write_import_preview_json(const sora::ImportPreview& preview, std::ostream& out) {
    // Invalid UTF-8 from a file read as another encoding is replaced, never a thrown exception.
    const auto text = [](const nlohmann::ordered_json& json, int indent) {
        return json.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    nlohmann::ordered_json head;
    head["file"] = preview.fileName;
    head["kind"] = sora::import_kind_name(preview.kind);
    head["counts"] = {{"added", preview.counts.added},
                      {"inDiary", preview.counts.inDiary},
                      {"questionable", preview.counts.questionable},
                      {"unreadable", preview.counts.unreadable}};
    head["remarks"] = preview.remarks;
    std::string opening = text(head, 2);
    opening.resize(opening.size() - 2);  // the line break and the closing brace: the rows follow
    out << opening << ",\n  \"rows\": [";
    // One row at a time, as `--json list` writes its rows: the document is never built whole in memory.
    bool first = true;
    for (const sora::ImportPreviewRow& row : preview.rows) {
        const sora::MeasurementRecord r = preview.record(row);
        const nlohmann::ordered_json json = {{"line", row.line},
                                             {"status", sora::import_status_name(row.status)},
                                             {"chosen", row.chosen},
                                             {"date", r.date},
                                             {"time", row.time.str()},
                                             {"situation", r.situation},
                                             {"systolic", shown_value(r.systolic)},
                                             {"diastolic", shown_value(r.diastolic)},
                                             {"pulse", shown_value(r.pulse)},
                                             {"weight", shown_value(r.weight)},
                                             {"diary", r.diary},
                                             {"reason", preview.reason(row)}};
        out << (first ? "\n    " : ",\n    ") << text(json, -1);
        first = false;
    }
    out << (first ? "]\n}\n" : "\n  ]\n}\n");
}

std::string import_preview_to_text(const sora::ImportPreview& preview) {
    std::ostringstream out;
    write_import_preview_text(preview, out);
    return out.str();
}

std::string import_preview_to_json(const sora::ImportPreview& preview) {
    std::ostringstream out;
    write_import_preview_json(preview, out);
    return out.str();
}

namespace {

/// What follows "import" on the command line.
struct ImportArgs {
    std::string file;
    std::string map;
    std::optional<std::string> encoding;
    sora::ImportOptions options;
    std::string problem;  ///< set: the words cannot be used
};

std::optional<sora::TextEncoding> encoding_from_word(const std::string& word, const std::string& file) {
    if (word == "utf-8") {
        return sora::TextEncoding::Utf8;
    }
    if (word == "cp932") {
        return sora::TextEncoding::Cp932;
    }
    if (word == "utf-16") {
        // Either byte order: the file's byte order mark or its zero bytes say which.
        std::ifstream in(file, std::ios::binary);
        char head[4096];
        in.read(head, sizeof head);
        const auto detected = sora::detect_encoding(std::string_view(head, static_cast<std::size_t>(in.gcount())));
        return detected == sora::TextEncoding::Utf16Be ? sora::TextEncoding::Utf16Be : sora::TextEncoding::Utf16Le;
    }
    return std::nullopt;
}

ImportArgs parse_import_args(const std::vector<std::string>& args) {
    ImportArgs parsed;
    bool check = false;
    for (std::size_t i = 0; i < args.size() && parsed.problem.empty(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--check") {
            check = true;
        } else if (arg == "--map" && hasValue) {
            parsed.map = args[++i];
        } else if (arg == "--separator" && hasValue) {
            const std::string& word = args[++i];
            if (word == "," || word == ";" || word == "tab") {
                parsed.options.separator = word == "tab" ? '\t' : word[0];
            } else {
                parsed.problem = "--separator は ',' ';' tab のどれかです";
            }
        } else if (arg == "--encoding" && hasValue) {
            parsed.encoding = args[++i];
        } else if (arg == "--date-order" && hasValue) {
            parsed.options.dateOrder = sora::date_order_from_word(args[++i]);
            if (!parsed.options.dateOrder) {
                parsed.problem = "--date-order は ymd dmy mdy のどれかです";
            }
        } else if (parsed.file.empty() && !arg.starts_with("--")) {
            parsed.file = arg;
        } else {
            parsed.problem = "「" + arg + "」は使えません";
        }
    }
    if (parsed.problem.empty() && (!check || parsed.file.empty())) {
        parsed.problem = "--check とファイルを指定してください";
    }
    if (parsed.problem.empty() && parsed.encoding) {
        parsed.options.encoding = encoding_from_word(*parsed.encoding, parsed.file);
        if (!parsed.options.encoding) {
            parsed.problem = "--encoding は utf-8 cp932 utf-16 のどれかです";
        }
    }
    return parsed;
}

}  // namespace

int run_import(const std::vector<std::string>& args, const sora::DataDir& dir,
               const std::vector<sora::MeasurementRecord>& records, const sora::Date& today, bool json,
               std::ostream& out, std::ostream& err) {
    ImportArgs parsed = parse_import_args(args);
    // The command line only reads: the import itself is the window's.
    if (!parsed.problem.empty()) {
        err << "soranote-cli: " << parsed.problem << "\n"
            << "usage: soranote-cli [--data-dir DIR] [--json] import --check FILE [--map ROLE=COLUMN,...] "
               "[--separator ','|';'|tab] [--encoding utf-8|cp932|utf-16] [--date-order ymd|dmy|mdy]\n";
        return ExitUsage;
    }
    sora::ImportFile read = sora::read_import_file(parsed.file, parsed.options);
    if (!parsed.map.empty()) {
        if (read.read.kind != sora::ImportKind::Generic || read.firstRecords.empty()) {
            err << "soranote-cli: --map は列の割り当てが要る CSV / TSV のためのものです（このファイルは "
                << sora::import_kind_name(read.read.kind) << "）\n";
            return ExitUsage;
        }
        sora::CsvMapping mapping = read.mapping;
        const std::string problem = sora::apply_column_choices(parsed.map, read.firstRecords.front().fields, mapping);
        if (!problem.empty()) {
            err << "soranote-cli: --map: " << problem << '\n';
            return ExitUsage;
        }
        parsed.options.mapping = mapping;
        read = {};  // the rows of the guess go before the file is read again
        read = sora::read_import_file(parsed.file, parsed.options);
    }
    if (!read.read.message.empty()) {
        err << "soranote-cli: " << read.read.message << '\n';
        // A CSV whose columns or date order are not known is data the options can describe: say so apart from a
        // file that cannot be read at all.
        if (read.read.kind == sora::ImportKind::Generic) {
            err << "soranote-cli: --map 役割=列,… や --date-order で読み方を指定してください\n";
            return ExitDataFormat;
        }
        return ExitNoInput;
    }
    const auto situations = sora::read_situations(dir);
    std::string message;
    sora::ImportChoices choices;
    choices.rules = sora::import_rules_for(dir, situations.value, message);
    choices.today = today;
    if (!message.empty()) {
        err << "soranote-cli: " << message << '\n';
    }
    const sora::ImportPreview preview =
        sora::build_import_preview(read.fileName, std::move(read.read), records, choices);
    if (json) {
        write_import_preview_json(preview, out);
    } else {
        write_import_preview_text(preview, out);
    }
    return ExitOk;
}

}  // namespace cli
