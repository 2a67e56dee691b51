#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/measurement_record.h"

namespace sora {

/// One CSV field (RFC 4180): in double quotes, with quotes doubled, when it holds a comma, a quote or a line break.
std::string csv_field(std::string_view text);

/// The listed records as CSV for a spreadsheet: UTF-8 with a byte order mark, CR LF, the heading row
/// 日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記, ISO dates, numbers as the lists show them, the time of
/// saving apart from the diary text, and a value of 0 (not measured) as an empty field.
std::string measurement_csv(const std::vector<MeasurementRecord>& records, const std::vector<std::size_t>& listed);

}  // namespace sora
