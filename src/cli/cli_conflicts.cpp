#include "cli/cli_conflicts.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/cli.h"
#include "core/edits/conflict_merge.h"
#include "core/files/conflict_copies.h"
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

struct CopyReport {
    sora::ConflictCopy copy;
    bool isLog = false;
    std::string message;          // the copy of the log does not read
    sora::ImportPreview missing;  // the comparison with only the readings the diary lacks
};

std::string to_text(const std::vector<CopyReport>& reports) {
    std::string out = "競合コピー\t元のファイル\t同期ツール\t日記にない測定\n";
    for (const CopyReport& r : reports) {
        out += cell(r.copy.name) + "\t" + r.copy.original + "\t" + sora::sync_tool_name(r.copy.tool) + "\t" +
               (r.isLog && r.message.empty() ? std::to_string(r.missing.rows.size()) : std::string()) + "\n";
    }
    for (const CopyReport& r : reports) {
        if (!r.isLog) {
            continue;
        }
        out += "\n" + cell(r.copy.name) + "\n";
        if (!r.message.empty()) {
            out += "読めない\t" + cell(r.message) + "\n";
            continue;
        }
        out += "行\t状態\t日付\t時刻\t状況\t最高血圧\t最低血圧\t脈拍\t体重\t一言日記\n";
        for (const sora::ImportPreviewRow& row : r.missing.rows) {
            const sora::MeasurementRecord m = r.missing.record(row);
            out += std::to_string(row.line) + "\t" + sora::import_status_name(row.status) + "\t" + m.date + "\t" +
                   row.time.str() + "\t" + cell(m.situation) + "\t" + value_text(m.systolic) + "\t" +
                   value_text(m.diastolic) + "\t" + value_text(m.pulse) + "\t" + value_text(m.weight) + "\t" +
                   cell(m.diary) + "\n";
        }
    }
    return out;
}

std::string to_json(const std::vector<CopyReport>& reports) {
    auto copies = nlohmann::ordered_json::array();
    for (const CopyReport& r : reports) {
        nlohmann::ordered_json one = {
            {"file", r.copy.name}, {"original", r.copy.original}, {"tool", sora::sync_tool_name(r.copy.tool)}};
        if (r.isLog) {
            if (!r.message.empty()) {
                one["message"] = r.message;
            }
            auto rows = nlohmann::ordered_json::array();
            for (const sora::ImportPreviewRow& row : r.missing.rows) {
                const sora::MeasurementRecord m = r.missing.record(row);
                rows.push_back({{"line", row.line},
                                {"status", sora::import_status_name(row.status)},
                                {"date", m.date},
                                {"time", row.time.str()},
                                {"situation", m.situation},
                                {"systolic", m.systolic},
                                {"diastolic", m.diastolic},
                                {"pulse", m.pulse},
                                {"weight", m.weight},
                                {"diary", m.diary}});
            }
            one["missing"] = std::move(rows);
        }
        copies.push_back(std::move(one));
    }
    nlohmann::ordered_json json;
    json["copies"] = std::move(copies);
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

int run_conflicts(const std::vector<std::string>& args, const sora::DataDir& dir,
                  const std::vector<sora::MeasurementRecord>& records, bool json, std::ostream& out,
                  std::ostream& err) {
    if (!args.empty()) {
        err << "usage: soranote-cli [--data-dir DIR] [--json] conflicts\n";
        return ExitUsage;
    }
    std::vector<CopyReport> reports;
    for (const sora::ConflictCopy& copy : sora::find_conflict_copies(dir)) {
        CopyReport report{copy, copy.original == sora::files::Log, {}, {}};
        if (report.isLog) {
            report.missing = sora::compare_log_copy(dir, copy.name, records);
            report.message = report.missing.message;
            const std::vector<sora::ImportPreviewRow> missing = sora::readings_missing(report.missing);
            report.missing.rows.assign(missing.begin(), missing.end());
        }
        reports.push_back(std::move(report));
    }
    out << (json ? to_json(reports) : to_text(reports));
    return ExitOk;
}

}  // namespace cli
