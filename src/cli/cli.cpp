#include "cli/cli.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_conflicts.h"
#include "cli/cli_import.h"
#include "cli/cli_report.h"
#include "cli/fd_output.h"
#include "cli/safe_output.h"
#include "core/files/data_dir.h"
#include "core/files/export_file.h"
#include "core/files/measurement_log.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "core/views/filter_listing.h"
#include "core/views/measurement_csv.h"

namespace cli {
namespace {

struct UsageError {};

/// The options after the command: --name VALUE pairs and bare flags.
class Options {
public:
    Options(const std::vector<std::string>& args, std::size_t from, const std::vector<std::string>& withValue,
            const std::vector<std::string>& flags) {
        for (std::size_t i = from; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
                m_values[arg] = "";
            } else if (std::find(withValue.begin(), withValue.end(), arg) != withValue.end() && i + 1 < args.size()) {
                m_values[arg] = args[++i];
            } else {
                m_positional.push_back(arg);
            }
        }
    }
    bool has(const std::string& name) const { return m_values.count(name) != 0; }
    std::string value(const std::string& name) const {
        const auto it = m_values.find(name);
        return it == m_values.end() ? std::string() : it->second;
    }
    const std::vector<std::string>& positional() const { return m_positional; }

private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
};

int parse_int(const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw UsageError{};
    }
    return value;
}

std::optional<CliView> run_command(const std::string& command, const Options& options, const CommandInput& input,
                                   std::string& message) {
    const auto& positional = options.positional();
    if (command == "day") {
        if (positional.size() != 1 || !sora::parse_date(positional[0])) {
            throw UsageError{};
        }
        return day_view(input, sora::format_date(*sora::parse_date(positional[0])));
    }
    if (!positional.empty()) {
        throw UsageError{};
    }
    if (command == "filter") {
        if (!options.has("--from") || !options.has("--to")) {
            throw UsageError{};
        }
        const int weekday = options.has("--weekday") ? parse_int(options.value("--weekday"), 0, 6) : 99;
        return filter_view(input, options.value("--from"), options.value("--to"), weekday, options.value("--keyword"));
    }
    if (command == "averages") {
        if (options.has("--from") != options.has("--to")) {
            throw UsageError{};
        }
        return averages_view(input, options.value("--from"), options.value("--to"), message);
    }
    if (command == "list") {
        if (options.has("--descending") && !options.has("--sort")) {
            throw UsageError{};
        }
        std::optional<int> column;
        if (options.has("--sort")) {
            column = parse_int(options.value("--sort"), 0, 10);
        }
        return list_view(input, column, options.has("--descending"));
    }
    if (command == "calendar") {
        return calendar_view(input, options.has("--simple"));
    }
    if (command == "trend") {
        return trend_view(input);
    }
    if (command == "diary") {
        return diary_view(input);
    }
    throw UsageError{};
}

/// The home blood-pressure report of a period (28 days to today when neither end is given).
int run_report(const Options& options, const sora::DataDir& dir, const CommandInput& input, bool json,
               std::ostream& out, std::ostream& err) {
    if (!options.positional().empty()) {
        throw UsageError{};
    }
    std::string message;
    const auto period = sora::report_period(options.value("--from"), options.value("--to"), input.today, message);
    if (!period) {
        err << "soranote-cli: " << message << '\n';
        return ExitUsage;
    }
    const auto settings = sora::read_morning_evening(dir);
    const auto name = sora::read_user_name(dir);
    for (const std::string* failed : {&settings.message, &name.message}) {
        if (!failed->empty()) {
            err << "soranote-cli: " << *failed << '\n';
            return ExitUnreadable;
        }
    }
    const auto report = sora::build_home_bp_report(input.records, period->from, period->to, settings.value);
    out << (json ? report_to_json(report, name.value) : report_to_text(report, name.value));
    return ExitOk;
}

/// The filtered records as CSV, to standard output or to a new file (an existing one only with --overwrite).
int run_export(const Options& options, const CommandInput& input, std::ostream& out, std::ostream& err) {
    if (!options.has("--csv") || !options.positional().empty() || options.has("--from") != options.has("--to")) {
        throw UsageError{};
    }
    const int weekday = options.has("--weekday") ? parse_int(options.value("--weekday"), 0, 6) : sora::NoWeekday;
    sora::FilterCriteria criteria{options.value("--from"), options.value("--to"), options.value("--keyword"), weekday};
    const bool filtered = options.has("--from") || options.has("--keyword") || options.has("--weekday");
    if (!options.has("--from")) {
        // No period: every date, so that a weekday or keyword alone still filters. Dates compare as text.
        criteria.periodStart.clear();
        criteria.periodEnd = "\xff";
    }
    // With no filter at all the export is the view as it opens: every record.
    const sora::FilterListing listing =
        filtered ? sora::select_listing(criteria.keyword, weekday) : sora::FilterListing::All;
    const auto selection =
        sora::select_filter_records(input.records, listing, criteria, input.axes, sora::SecondaryQuantity::Weight);
    const std::string csv = sora::measurement_csv(input.records, selection.listed);
    if (!options.has("--output")) {
        out << csv;
        return ExitOk;
    }
    const std::filesystem::path target = options.value("--output");
    // A folder, a device or a missing folder is named with the reason before anything else is said.
    if (const std::optional<std::string> problem = sora::export_target_problem(target)) {
        err << "soranote-cli: " << *problem << '\n';
        return ExitCannotWrite;
    }
    std::error_code ec;
    if (std::filesystem::exists(target, ec) && !options.has("--overwrite")) {
        err << "soranote-cli: " << target.string() << " はすでにあります（上書きするには --overwrite）。\n";
        return ExitCannotWrite;
    }
    const sora::WriteResult written = sora::write_export_file(target, csv);
    if (!written) {
        err << "soranote-cli: " << written.message << '\n';
        return ExitCannotWrite;
    }
    return ExitOk;
}

}  // namespace

std::string usage() {
    return "usage: soranote-cli [--data-dir DIR] [--today YYYY/MM/DD] [--json] "
           "{day YYYY/MM/DD | filter --from TEXT --to TEXT [--weekday 0-6] [--keyword TEXT] | "
           "averages [--from YY/MM/DD --to YY/MM/DD] | list [--sort COLUMN [--descending]] | calendar [--simple] | "
           "trend | diary | report [--from YYYY/MM/DD --to YYYY/MM/DD] | "
           "export --csv [--from TEXT --to TEXT] [--weekday 0-6] [--keyword TEXT] [--output FILE [--overwrite]] | "
           "import --check FILE [--map ROLE=COLUMN,...] [--separator ','|';'|tab] [--encoding utf-8|cp932|utf-16] "
           "[--date-order ymd|dmy|mdy] | conflicts}";
}

namespace {

/// The command itself; run() then makes sure that what it printed reached its destination.
int run_command_line(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const sora::Date& systemToday) {
    try {
        std::filesystem::path dataDir = sora::default_data_dir();
        sora::Date today = systemToday;
        bool json = false;
        std::size_t i = 0;
        for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
            if (args[i] == "--help" || args[i] == "-h") {
                out << help();
                return ExitOk;
            }
            if (args[i] == "--json") {
                json = true;
            } else if (args[i] == "--data-dir" && i + 1 < args.size()) {
                dataDir = args[++i];
            } else if (args[i] == "--today" && i + 1 < args.size()) {
                const auto parsed = sora::parse_date(args[++i]);
                if (!parsed) {
                    throw UsageError{};
                }
                today = *parsed;
            } else {
                throw UsageError{};
            }
        }
        if (i == args.size()) {
            throw UsageError{};
        }
        const std::string command = args[i];
        const Options options(args, i + 1, {"--from", "--to", "--weekday", "--keyword", "--sort", "--output"},
                              {"--descending", "--simple", "--csv", "--overwrite"});

        const sora::DataDir dir(dataDir);
        sora::LogReadResult log = sora::MeasurementLog(dir).read_all();
        if (!log.ok) {
            err << "soranote-cli: " << log.message << '\n';
            return ExitUnreadable;
        }
        const auto axes = sora::read_graph_settings(dir);
        if (!axes.ok) {
            err << "soranote-cli: " << axes.message << '\n';
            return ExitUnreadable;
        }
        // Moved, not copied: the records are the largest part of the memory of a long log.
        const CommandInput input{std::move(log.records), axes.value, today};
        if (command == "report") {
            return run_report(options, dir, input, json, out, err);
        }
        if (command == "export") {
            return run_export(options, input, out, err);
        }
        if (command == "conflicts") {
            return run_conflicts({args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end()}, dir, input.records,
                                 json, out, err);
        }
        if (command == "import") {
            return run_import({args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end()}, dir, input.records,
                              input.today, json, out, err);
        }
        std::string message;
        const std::optional<CliView> view = run_command(command, options, input, message);
        if (!view) {
            err << "soranote-cli: " << message << '\n';
            return ExitUsage;
        }
        if (!message.empty()) {
            err << "soranote-cli: " << message << '\n';
        }
        if (json) {
            write_json(*view, out);
        } else {
            write_text(*view, out);
        }
        return ExitOk;
    } catch (const UsageError&) {
        err << usage() << '\n';
        return ExitUsage;
    }
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const sora::Date& systemToday) {
    // A reader that went away (`| head`) is an output that cannot be written, reported with its code, not a
    // signal that ends the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    // Nothing from the files reaches the terminal raw: an escape sequence in a memo would act on it.
    SafeTextOutput safeOut(*out.rdbuf());
    SafeTextOutput safeErr(*err.rdbuf());
    std::ostream text(&safeOut);
    std::ostream messages(&safeErr);
    const int status = run_command_line(args, text, messages, systemToday);
    // A full disk or a closed pipe shows only when the last bytes are flushed: a failure there is no success.
    text.flush();
    if (!safeOut.finish()) {
        out.setstate(std::ios::badbit);
    }
    messages.flush();
    safeErr.finish();
    if (!text || !out) {
        const auto* buffer = dynamic_cast<const FdOutput*>(out.rdbuf());
        const int error = buffer != nullptr ? buffer->error() : 0;
        err << "soranote-cli: 出力を書き込めませんでした。" << output_failure_reason(error) << '\n';
        return ExitIoError;
    }
    return status;
}

std::string output_failure_reason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が足りません。";
        case EPIPE:
            return "出力先が閉じられました。";
        case 0:
            return {};
        default:
            return std::string("（") + std::strerror(error) + "）";
    }
}

}  // namespace cli
