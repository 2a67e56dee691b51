#include "cli/cli_report.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "core/rules/home_bp_guideline.h"

namespace cli {
namespace {

/// A cell on one line of its own column: a tab, CR or LF in a diary text becomes a blank.
std::string one_line(std::string cell) {
    for (char& c : cell) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return cell;
}

void write_cells(std::ostringstream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out << (i ? "\t" : "") << one_line(cells[i]);
    }
    out << '\n';
}

void write_table(std::ostringstream& out, const char* name, const sora::ReportTable& table) {
    out << name << '\n';
    write_cells(out, table.headings);
    for (const auto& row : table.rows) {
        write_cells(out, row);
    }
}

nlohmann::json table_json(const sora::ReportTable& table) {
    return {{"headings", table.headings}, {"rows", table.rows}};
}

nlohmann::json target_json(const sora::TargetSetting& setting) {
    const sora::HomeTarget target = sora::home_target(setting);
    const bool doctor = setting.choice == sora::TargetSetting::Choice::Doctor;
    return {{"choice", doctor ? "主治医の指示" : "標準"},
            {"systolic", target.systolic},
            {"diastolic", target.diastolic},
            {"guideline", sora::home_bp_guideline().shortName}};
}

}  // namespace

std::string report_to_text(const sora::HomeBpReport& report, const std::string& userName) {
    std::ostringstream out;
    out << "period\t" << sora::report_period_text(report) << '\n';
    out << "name\t" << userName << '\n';
    out << "target\t" << sora::target_text(report.target) << '\n';
    write_table(out, "summary", sora::report_summary_table(report));
    out << "notes\n";
    for (const std::string& note : sora::report_summary_notes(report)) {
        out << one_line(note) << '\n';
    }
    write_table(out, "weekly", sora::report_weekly_table(report));
    write_table(out, "daily", sora::report_daily_table(report));
    return out.str();
}

std::string report_to_json(const sora::HomeBpReport& report, const std::string& userName) {
    const nlohmann::json whole = {
        {"command", "report"},
        {"period", {{"from", sora::format_date(report.from)}, {"to", sora::format_date(report.to)}}},
        {"name", userName},
        {"target", target_json(report.target)},
        {"summary", table_json(sora::report_summary_table(report))},
        {"notes", sora::report_summary_notes(report)},
        {"weekly", table_json(sora::report_weekly_table(report))},
        {"daily", table_json(sora::report_daily_table(report))},
    };
    return whole.dump(2) + "\n";
}

}  // namespace cli
