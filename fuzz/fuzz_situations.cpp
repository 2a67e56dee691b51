// libFuzzer target over the reader of "状況リスト.txt".
#include <algorithm>

#include "side_file_fuzz.h"

namespace {

// A line break inside an item would turn it into two items when the list is written again.
bool one_line_each(const std::vector<std::string>& items) {
    return std::none_of(items.begin(), items.end(),
                        [](const std::string& item) { return item.find('\n') != std::string::npos; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sora::fuzz::run_side_reader(sora::files::Situations, data, size, sora::read_situations, one_line_each);
    return 0;
}
