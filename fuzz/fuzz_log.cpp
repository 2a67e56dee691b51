// libFuzzer target: the log reader must never crash, and whatever it accepts must survive a rewrite unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/measurement_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const sora::LogReadResult read = sora::parse_log(bytes);
    if (!read.ok) {
        if (!read.records.empty()) {
            std::abort();  // a failed read must never hand out a partial log
        }
        return 0;
    }
    const auto encoded = sora::encode_log(read.records);
    if (encoded) {
        const sora::LogReadResult again = sora::parse_log(*encoded);
        if (!again.ok || again.records.size() != read.records.size()) {
            std::abort();
        }
    }
    return 0;
}
