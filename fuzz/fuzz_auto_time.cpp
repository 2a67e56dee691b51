// libFuzzer target over the reader of "自動時間.TXT".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::AutoTime, data, size, sora::read_auto_time);
    return 0;
}
