#pragma once

// What the core tests share: scratch data folders, file bytes, CP932 texts, axis settings and extremes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/text_codec.h"
#include "core/graph_axis_settings.h"
#include "core/rules/axis_rules.h"

namespace sora {

/// Axis ranges read as "minimum–maximum /divisions" in failure messages.
inline void PrintTo(const AxisRange& range, std::ostream* out) {
    *out << range.minimum << "–" << range.maximum << " /" << range.divisions;
}

}  // namespace sora

namespace sora::test {

/// A fresh directory under the system temp dir, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "soranote-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / std::string(name); }

private:
    std::filesystem::path m_path;
};

inline void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The file's bytes, or "<missing>" when it does not exist.
inline std::string bytes_of(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The CP932 bytes of a UTF-8 text the tests know to be encodable.
inline std::string cp932(std::string_view utf8) {
    return utf8_to_cp932(utf8).value();
}

/// A fresh data folder per test; files are written and read as CP932.
class DataDirTest : public ::testing::Test {
protected:
    void writeFile(std::string_view name, const std::string& utf8) {
        const auto bytes = utf8_to_cp932(utf8);
        ASSERT_TRUE(bytes.has_value());
        write_bytes(path(name), *bytes);
    }
    /// A file decoded to UTF-8, "<missing>" or "<not CP932>".
    std::string readFile(std::string_view name) const {
        const std::string bytes = rawFile(name);
        return bytes == "<missing>" ? bytes : cp932_to_utf8(bytes).value_or("<not CP932>");
    }
    std::string rawFile(std::string_view name) const { return bytes_of(path(name)); }
    bool exists(std::string_view name) const { return std::filesystem::exists(path(name)); }
    /// Names of the files in the folder, sorted; the folder of the automatic copies of the log is left out.
    std::vector<std::string> fileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_scratch.path())) {
            if (entry.is_directory() && entry.path().filename() == "backup") {
                continue;
            }
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::filesystem::path path(std::string_view name) const { return m_scratch.path() / std::filesystem::u8path(name); }
    DataDir dir() const { return DataDir(m_scratch.path()); }

    ScratchDir m_scratch;
};

/// Axes scaled from the data.
/// The id of a process that has ended: a writer's temporary file named with it is a dead writer's.
inline long dead_pid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<long>(child);
}

inline GraphAxisSettings autoAxes() {
    GraphAxisSettings settings;
    settings.autoScale = 1;
    return settings;
}

/// Manual axes with ranges unlike the defaults: blood pressure 190–50 in 7, pulse 110–40 in 7, weight 80–50 in 6.
inline GraphAxisSettings manualAxes() {
    GraphAxisSettings settings;
    settings.autoScale = 0;
    settings.bpMax = 190;
    settings.bpMin = 50;
    settings.bpDivisions = 7;
    settings.pulseMax = 110;
    settings.pulseMin = 40;
    settings.pulseDivisions = 7;
    settings.weightMax = 80;
    settings.weightMin = 50;
    settings.weightDivisions = 6;
    return settings;
}

/// The extremes of (pulse, weight) pairs.
inline DataExtremes extremes_of(const std::vector<std::pair<float, float>>& pulseAndWeight) {
    DataExtremes extremes;
    for (const auto& [pulse, weight] : pulseAndWeight) {
        extremes.add(pulse, weight);
    }
    return extremes;
}

}  // namespace sora::test
