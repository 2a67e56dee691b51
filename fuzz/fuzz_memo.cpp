// libFuzzer target over the reader of "気付きメモ.txt".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::Memo, data, size, sora::read_memo);
    return 0;
}
