#pragma once

#include <string>

#include "core/views/home_bp_report.h"

namespace cli {

/// The report's figures as tab-separated blocks: "summary", "notes", "weekly" and "daily", each a heading row and
/// its rows, after the period, the name and the age group.
std::string report_to_text(const sora::HomeBpReport& report, const std::string& userName);
/// The same figures as one JSON object.
std::string report_to_json(const sora::HomeBpReport& report, const std::string& userName);

}  // namespace cli
