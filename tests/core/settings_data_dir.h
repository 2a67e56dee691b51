#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_dir.h"
#include "core/file_io.h"
#include "core/text_codec.h"

namespace settings_test {

namespace fs = std::filesystem;

/// A fresh data directory per test, removed afterwards; files are written and read as CP932.
class DataDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        m_path = fs::temp_directory_path() /
                 ("soranote_settings_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    void TearDown() override { fs::remove_all(m_path); }

    void writeFile(std::string_view name, const std::string& utf8) {
        const auto bytes = sora::utf8_to_cp932(utf8);
        ASSERT_TRUE(bytes.has_value());
        std::ofstream out(m_path / fs::u8path(name), std::ios::binary);
        out << *bytes;
    }
    std::string readFile(std::string_view name) const {
        std::string bytes;
        if (!sora::read_file(m_path / fs::u8path(name), bytes)) {
            return "<missing>";
        }
        return sora::cp932_to_utf8(bytes).value_or("<not CP932>");
    }
    bool exists(std::string_view name) const { return fs::exists(m_path / fs::u8path(name)); }
    /// Names of the files in the directory.
    std::vector<std::string> fileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    sora::DataDir dir() const { return sora::DataDir(m_path); }

    fs::path m_path;
};

/// Fails every rename onto a file of the given name and passes everything else to the real calls.
class FailRenameOnto : public sora::FileIo {
public:
    explicit FailRenameOnto(std::string name) : m_name(std::move(name)) {}
    int open_for_write(const fs::path& path, bool append) override {
        return sora::posix_file_io().open_for_write(path, append);
    }
    long write(int fd, const char* data, std::size_t size) override {
        return sora::posix_file_io().write(fd, data, size);
    }
    int fsync(int fd) override { return sora::posix_file_io().fsync(fd); }
    int close(int fd) override { return sora::posix_file_io().close(fd); }
    int rename(const fs::path& from, const fs::path& to) override {
        return to.filename() == fs::u8path(m_name) ? -1 : sora::posix_file_io().rename(from, to);
    }
    int sync_directory(const fs::path& dir) override { return sora::posix_file_io().sync_directory(dir); }

private:
    std::string m_name;
};

}  // namespace settings_test
