// The body every side-file fuzz target shares: the input becomes the file in a scratch data directory, its reader
// runs, and the outcome must keep the readers' promises.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"

namespace sora::fuzz {

/// The data directory of this process, in memory where possible: a disk-backed /tmp cuts the runs a hundredfold.
inline const std::filesystem::path& scratch_dir() {
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
        // libFuzzer ends a run without the exit handlers, so each run clears what ended runs left behind.
        const std::string prefix = "soranote-fuzz-";
        for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with(prefix) && ::kill(std::atoi(name.c_str() + prefix.size()), 0) != 0 && errno == ESRCH) {
                std::filesystem::remove_all(it->path(), ec);
            }
        }
        auto path = base / (prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

/// Whatever a reader accepts as text must be writable again, or the next save of that setting would fail.
inline bool writable(const std::string& text) {
    return cp932_can_hold(text);
}
inline bool writable(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        if (!cp932_can_hold(item)) {
            return false;
        }
    }
    return true;
}
template <typename T>
bool writable(const T&) {
    return true;
}

/// Writes the input as `name`, reads it with `reader` and checks the outcome: the file was there, a failure names
/// the file and leaves the fallback value, a success holds only values its setting can take (`valid`).
template <typename Reader, typename Valid>
void run_side_reader(std::string_view name, const std::uint8_t* data, std::size_t size, Reader reader, Valid valid) {
    const std::filesystem::path path = scratch_dir() / std::filesystem::path(std::string(name));
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        check(static_cast<bool>(out));
    }
    const auto result = reader(DataDir(scratch_dir()));
    check(!result.missing);
    using Value = decltype(result.value);
    if (!result.ok) {
        check(result.value == Value{});
        check(result.message.find(name) != std::string::npos);
        return;
    }
    check(result.message.empty());
    check(writable(result.value));
    check(valid(result.value));
}

template <typename Reader>
void run_side_reader(std::string_view name, const std::uint8_t* data, std::size_t size, Reader reader) {
    run_side_reader(name, data, size, reader, [](const auto&) { return true; });
}

}  // namespace sora::fuzz
