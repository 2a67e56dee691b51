// libFuzzer target over the reader of "マーカー.TXT". A hand-edited mode above 2 is kept (the chart treats it as 2);
// only a negative one would be no mode at all.
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::Marker, data, size, sora::read_marker_mode,
                                [](const int& value) { return value >= 0; });
    return 0;
}
