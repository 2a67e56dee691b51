// libFuzzer target over the reader of "マーカー.TXT".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::Marker, data, size, sora::read_marker_mode,
                                [](const int& value) { return value >= 0 && value <= 2; });
    return 0;
}
