// libFuzzer target over the reader of "設定.txt".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::HelpTour, data, size, sora::read_help_tour_setting,
                                [](const int& value) { return value == 0 || value == 1; });
    return 0;
}
