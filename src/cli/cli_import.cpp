#include "cli/cli_import.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "core/files/side_files.h"
#include "core/import/import_file.h"
#include "core/import/situation_rules.h"
#include "core/rules/numbers.h"

namespace cli {
namespace {

std::string value_text(float value) {
    return value == 0 ? std::string() : sora::format_number(value);
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
        const sora::MeasurementRecord& r = row.record;
        out << row.line << "\t" << sora::import_status_name(row.status) << "\t" << (row.chosen ? "1" : "0") << "\t"
            << r.date << "\t" << row.time << "\t" << cell(r.situation) << "\t" << value_text(r.systolic) << "\t"
            << value_text(r.diastolic) << "\t" << value_text(r.pulse) << "\t" << value_text(r.weight) << "\t"
            << cell(r.diary) << "\t" << cell(row.reason) << "\n";
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
        const sora::MeasurementRecord& r = row.record;
        const nlohmann::ordered_json json = {{"line", row.line},
                                             {"status", sora::import_status_name(row.status)},
                                             {"chosen", row.chosen},
                                             {"date", r.date},
                                             {"time", row.time},
                                             {"situation", r.situation},
                                             {"systolic", r.systolic},
                                             {"diastolic", r.diastolic},
                                             {"pulse", r.pulse},
                                             {"weight", r.weight},
                                             {"diary", r.diary},
                                             {"reason", row.reason}};
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

int run_import(const std::vector<std::string>& args, const sora::DataDir& dir,
               const std::vector<sora::MeasurementRecord>& records, const sora::Date& today, bool json,
               std::ostream& out, std::ostream& err) {
    std::string file;
    bool check = false;
    for (const std::string& arg : args) {
        if (arg == "--check") {
            check = true;
        } else if (file.empty() && !arg.starts_with("--")) {
            file = arg;
        } else {
            file.clear();
            break;
        }
    }
    // The command line only reads: the import itself is the window's.
    if (!check || file.empty()) {
        err << "usage: soranote-cli [--data-dir DIR] [--json] import --check FILE\n";
        return ExitUsage;
    }
    const sora::ImportFile read = sora::read_import_file(file);
    if (!read.read.message.empty()) {
        err << "soranote-cli: " << read.read.message << '\n';
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
    const sora::ImportPreview preview = sora::build_import_preview(read.fileName, read.read, records, choices);
    if (json) {
        write_import_preview_json(preview, out);
    } else {
        write_import_preview_text(preview, out);
    }
    return ExitOk;
}

}  // namespace cli
