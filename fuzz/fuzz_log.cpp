// libFuzzer target over the log reader. It must never crash; a failed read names the file and line and hands out
// no records; whatever it accepts must be writable, and a rewrite must read back as the same diary.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/files/measurement_log.h"
#include "core/files/text_codec.h"

namespace {

// The writer keeps 7 significant digits of a 32-bit float, so a value may move in its last digit.
bool same_number(float a, float b) {
    const float scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) <= scale * 1e-6f || std::fabs(a - b) < 1e-30f;
}

// The writer replaces a double quote, which the format cannot hold inside quotes, by "”".
bool same_record(const sora::MeasurementRecord& read, const sora::MeasurementRecord& again) {
    return read.date == again.date && sora::replace_double_quotes(read.situation) == again.situation &&
           sora::replace_double_quotes(read.diary) == again.diary && same_number(read.systolic, again.systolic) &&
           same_number(read.diastolic, again.diastolic) && same_number(read.pulse, again.pulse) &&
           same_number(read.weight, again.weight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const sora::LogReadResult read = sora::parse_log(bytes);
    if (!read.ok) {
        const std::string line = " " + std::to_string(read.errorLine) + " 行目";
        if (!read.records.empty() || read.errorLine < 1 || read.message.find("データ.txt") == std::string::npos ||
            read.message.find(line) == std::string::npos) {
            std::abort();
        }
        return 0;
    }
    const auto encoded = sora::encode_log(read.records);
    if (!encoded) {
        std::abort();  // a log that reads but cannot be rewritten would make every later save fail
    }
    const sora::LogReadResult again = sora::parse_log(*encoded);
    if (!again.ok || again.records.size() != read.records.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < read.records.size(); ++i) {
        if (!same_record(read.records[i], again.records[i])) {
            std::abort();
        }
    }
    // Once rewritten, the log is stable: a second rewrite writes the same bytes.
    if (sora::encode_log(again.records) != encoded) {
        std::abort();
    }
    return 0;
}
