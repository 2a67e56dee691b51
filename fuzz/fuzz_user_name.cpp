// libFuzzer target over the reader of "ﾌﾟﾗｲﾍﾞｰﾄ.txt".
#include "side_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::Private, data, size, sora::read_user_name,
                                [](const std::string& name) { return name.find('\n') == std::string::npos; });
    return 0;
}
