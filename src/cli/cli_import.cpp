#include "cli/cli_import.h"

#include <nlohmann/json.hpp>
#include <ostream>

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

std::string import_preview_to_text(const sora::ImportPreview& preview) {
    std::string out = "ファイル\t" + cell(preview.fileName) + "\n種類\t" + sora::import_kind_name(preview.kind) + "\n";
    const auto& c = preview.counts;
    out += "追加\t" + std::to_string(c.added) + "\n登録済み\t" + std::to_string(c.inDiary) + "\n要確認\t" +
           std::to_string(c.questionable) + "\n読めない\t" + std::to_string(c.unreadable) + "\n";
    for (const std::string& remark : preview.remarks) {
        out += "注意\t" + cell(remark) + "\n";
    }
    out += "\n行\t状態\t取り込む\t日付\t時刻\t状況\t最高血圧\t最低血圧\t脈拍\t体重\t一言日記\t理由\n";
    for (const sora::ImportPreviewRow& row : preview.rows) {
        const sora::MeasurementRecord& r = row.record;
        out += std::to_string(row.line) + "\t" + sora::import_status_name(row.status) + "\t" +
               (row.chosen ? "1" : "0") + "\t" + r.date + "\t" + row.time + "\t" + cell(r.situation) + "\t" +
               value_text(r.systolic) + "\t" + value_text(r.diastolic) + "\t" + value_text(r.pulse) + "\t" +
               value_text(r.weight) + "\t" + cell(r.diary) + "\t" + cell(row.reason) + "\n";
    }
    return out;
}

std::string import_preview_to_json(const sora::ImportPreview& preview) {
    nlohmann::ordered_json json;
    json["file"] = preview.fileName;
    json["kind"] = sora::import_kind_name(preview.kind);
    json["counts"] = {{"added", preview.counts.added},
                      {"inDiary", preview.counts.inDiary},
                      {"questionable", preview.counts.questionable},
                      {"unreadable", preview.counts.unreadable}};
    json["remarks"] = preview.remarks;
    auto rows = nlohmann::ordered_json::array();
    for (const sora::ImportPreviewRow& row : preview.rows) {
        const sora::MeasurementRecord& r = row.record;
        rows.push_back({{"line", row.line},
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
                        {"reason", row.reason}});
    }
    json["rows"] = std::move(rows);
    // Invalid UTF-8 from a file read as another encoding is replaced, never a thrown exception.
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int run_import(const std::vector<std::string>& args, const sora::DataDir& dir,
               const std::vector<sora::MeasurementRecord>& records, bool json, std::ostream& out, std::ostream& err) {
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
        return ExitUnreadable;
    }
    const auto situations = sora::read_situations(dir);
    std::string message;
    sora::ImportChoices choices;
    choices.rules = sora::import_rules_for(dir, situations.value, message);
    if (!message.empty()) {
        err << "soranote-cli: " << message << '\n';
    }
    const sora::ImportPreview preview = sora::build_import_preview(read.fileName, read.read, records, choices);
    out << (json ? import_preview_to_json(preview) : import_preview_to_text(preview));
    return ExitOk;
}

}  // namespace cli
