#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/rules/dates.h"

namespace cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitUnreadable = 2;    // the log or a side file cannot be read
inline constexpr int ExitUsage = 64;        // unknown command or bad arguments
inline constexpr int ExitDataFormat = 65;   // an imported CSV needs its columns or date order named
inline constexpr int ExitNoInput = 66;      // the file to import cannot be read
inline constexpr int ExitCannotWrite = 73;  // an export file cannot be written (or exists already)
inline constexpr int ExitIoError = 74;      // the output could not be written (a full disk, a closed pipe)

/// Runs `soranote-cli` with its arguments (without the program name). Reads the data directory, never writes.
/// `systemToday` is "today" unless --today is given. `out` is flushed and checked at the end: when any of the output
/// could not be written, the result is ExitIoError with the reason on `err`, whatever the command returned.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const sora::Date& systemToday);

/// The reason of a failed write of the output, for the user (empty when errno said nothing).
std::string output_failure_reason(int error);

/// The usage line.
std::string usage();
/// The whole help of --help: the usage line, the options, the commands and the exit codes.
std::string help();

}  // namespace cli
