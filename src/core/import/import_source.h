#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace sora {

/// An import file opened for reading, or why it cannot be: the message says what the path is (missing, a folder,
/// a FIFO, a device, a loop of links, not permitted), never merely that it failed.
struct ImportSource {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, &std::fclose};
    unsigned long long size = 0;
    std::string message;  ///< empty when `file` is open
};

/// Opens `path` without ever waiting: a FIFO or a device is refused before anything is read from it.
ImportSource open_import_source(const std::filesystem::path& path);

}  // namespace sora
