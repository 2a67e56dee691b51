// libFuzzer target: every side-file reader on arbitrary bytes. The first byte picks the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/data_dir.h"
#include "core/side_files.h"

namespace {

const std::filesystem::path& scratchDir() {
    static const std::filesystem::path dir = [] {
        auto path = std::filesystem::temp_directory_path() / ("soranote-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const std::string_view names[] = {sora::files::HelpTour,   sora::files::GraphSettings, sora::files::AutoTime,
                                             sora::files::Situations, sora::files::Memo,          sora::files::Private,
                                             sora::files::Marker};
    const std::string_view name = names[data[0] % std::size(names)];
    const sora::DataDir dir(scratchDir());
    {
        std::ofstream out(scratchDir() / std::string(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    switch (data[0] % std::size(names)) {
        case 0:
            (void)sora::read_help_tour_setting(dir);
            break;
        case 1:
            (void)sora::read_graph_settings(dir);
            break;
        case 2:
            (void)sora::read_auto_time(dir);
            break;
        case 3:
            (void)sora::read_situations(dir);
            break;
        case 4:
            (void)sora::read_memo(dir);
            break;
        case 5:
            (void)sora::read_user_name(dir);
            break;
        default:
            (void)sora::read_marker_mode(dir);
            break;
    }
    return 0;
}
