// libFuzzer target over the reader of "グラフ設定.txt".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(
        sora::files::GraphSettings, data, size, sora::read_graph_settings,
        [](const sora::GraphAxisSettings& value) { return value.autoScale == 0 || value.autoScale == 1; });
    return 0;
}
