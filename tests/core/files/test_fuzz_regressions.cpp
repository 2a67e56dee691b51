// Every input kept in tests/fuzz_regressions/<reader>/ (what the fuzzers found, and hand-made nasty files) goes
// through its reader again and must give its documented result: either a read, or ok = false with a message that
// names the file and the line, and nothing but the fallback value.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "test_support.h"

namespace {

using sora::DataDir;
using sora::test::bytes_of;
using sora::test::ScratchDir;
using sora::test::write_bytes;

const std::filesystem::path InputDir = std::filesystem::path(SORANOTE_SOURCE_DIR) / "tests" / "fuzz_regressions";

/// What a reader made of a file: `summary` is "line N" for a failed read, else a short account of the value.
struct Outcome {
    bool ok = false;
    std::string message;
    std::string summary;
    bool fallbackValue = false;  // the value equals what a failed read must leave
    bool writable = true;        // every text read can be written back
};

std::string summary_of(int value) {
    return "value " + std::to_string(value);
}
std::string summary_of(bool value) {
    return value ? "on" : "off";
}
std::string summary_of(const sora::GraphAxisSettings& value) {
    return "auto " + std::to_string(value.autoScale) + ", bp " + std::to_string(value.bpMin) + "-" +
           std::to_string(value.bpMax);
}
std::string summary_of(const std::string& value) {
    return std::to_string(value.size()) + " bytes";
}
std::string summary_of(const std::vector<std::string>& value) {
    return std::to_string(value.size()) + " items";
}

bool writable(const std::string& text) {
    return sora::cp932_can_hold(text);
}
bool writable(const std::vector<std::string>& items) {
    return std::all_of(items.begin(), items.end(), [](const std::string& item) { return writable(item); });
}
template <typename T>
bool writable(const T&) {
    return true;
}

/// The bytes as the file `name` of a fresh data directory, read by `reader`.
template <typename Reader>
Outcome read_side_file(std::string_view name, const std::string& bytes, Reader reader) {
    ScratchDir dir;
    write_bytes(dir / name, bytes);
    const auto read = reader(DataDir(dir.path()));
    EXPECT_FALSE(read.missing);
    Outcome outcome{read.ok, read.message, summary_of(read.value), read.value == decltype(read.value){},
                    writable(read.value)};
    if (!read.ok) {
        outcome.summary.clear();
    }
    return outcome;
}

Outcome read_log(const std::string& bytes) {
    const sora::LogReadResult read = sora::parse_log(bytes);
    Outcome outcome{read.ok, read.message, std::to_string(read.records.size()) + " records", read.records.empty()};
    if (!read.ok) {
        outcome.summary = "line " + std::to_string(read.errorLine);
        return outcome;
    }
    // What the reader accepts must survive a rewrite: the same records come back.
    const auto encoded = sora::encode_log(read.records);
    outcome.writable = encoded.has_value() && sora::parse_log(*encoded).records.size() == read.records.size();
    return outcome;
}

/// The reader of each directory and the file name its bytes are written as.
struct Reader {
    std::string_view fileName;
    std::function<Outcome(const std::string&)> read;
};

const std::map<std::string, Reader>& readers() {
    static const std::map<std::string, Reader> all = {
        {"log", {sora::files::Log, read_log}},
        {"help_tour",
         {sora::files::HelpTour,
          [](const std::string& b) { return read_side_file(sora::files::HelpTour, b, sora::read_help_tour_setting); }}},
        {"graph_settings",
         {sora::files::GraphSettings,
          [](const std::string& b) {
              return read_side_file(sora::files::GraphSettings, b, sora::read_graph_settings);
          }}},
        {"auto_time",
         {sora::files::AutoTime,
          [](const std::string& b) { return read_side_file(sora::files::AutoTime, b, sora::read_auto_time); }}},
        {"situations",
         {sora::files::Situations,
          [](const std::string& b) { return read_side_file(sora::files::Situations, b, sora::read_situations); }}},
        {"memo",
         {sora::files::Memo,
          [](const std::string& b) { return read_side_file(sora::files::Memo, b, sora::read_memo); }}},
        {"user_name",
         {sora::files::Private,
          [](const std::string& b) { return read_side_file(sora::files::Private, b, sora::read_user_name); }}},
        {"marker",
         {sora::files::Marker,
          [](const std::string& b) { return read_side_file(sora::files::Marker, b, sora::read_marker_mode); }}},
    };
    return all;
}

/// The documented result of every kept input. A failed read is "line N"; a read names what it gave.
struct Case {
    std::string reader;
    std::string file;
    std::string expected;
};

const std::vector<Case> Cases = {
    // The log: each malformed line is reported with its number; a 1 MB diary text is a diary text.
    {"log", "lead-byte-at-end", "line 3"},
    {"log", "lead-byte-before-quote", "line 2"},
    {"log", "lone-quote", "line 2"},
    {"log", "commas-10000", "line 2"},
    {"log", "line-1mb", "2 records"},
    {"log", "nul-bytes", "line 2"},
    {"log", "cr-without-lf", "line 1"},  // a CR alone ends no line: two records run into one line

    {"help_tour", "lead-byte-at-end", "line 2"},
    {"help_tour", "lone-quote", "line 1"},
    {"help_tour", "nul-bytes", "line 1"},

    {"graph_settings", "commas-10000", "line 2"},
    {"graph_settings", "line-1mb", "line 2"},  // a value far beyond 16 bits
    {"graph_settings", "cr-without-lf", "line 1"},

    {"auto_time", "nul-bytes", "line 1"},
    {"auto_time", "cr-without-lf", "line 1"},
    {"auto_time", "lead-byte-at-end", "line 2"},

    // An unclosed quote runs to the end of its line; commas outside quotes separate items, empty ones too.
    {"situations", "lone-quote", "2 items"},
    {"situations", "lead-byte-at-end", "line 2"},
    {"situations", "commas-10000", "10002 items"},
    {"situations", "cr-without-lf", "1 items"},

    {"memo", "line-1mb", "1500003 bytes"},  // 166,667 × "気付き", 9 UTF-8 bytes each
    {"memo", "nul-bytes", "5 bytes"},
    {"memo", "lead-byte-at-end", "line 2"},

    {"user_name", "lone-quote", "10 bytes"},  // "空 太郎"
    {"user_name", "lead-byte-at-end", "line 2"},
    {"user_name", "commas-10000", "line 1"},

    {"marker", "nul-bytes", "line 1"},
    {"marker", "cr-without-lf", "line 1"},
    {"marker", "lead-byte-at-end", "line 2"},
    {"marker", "mode-above-two", "value 6"},  // found by the fuzzer: a hand-edited mode above 2 is kept
};

TEST(FuzzRegressions, EveryKeptInputGivesItsDocumentedResult) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.reader + "/" + c.file);
        const std::filesystem::path path = InputDir / c.reader / c.file;
        ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
        const Reader& reader = readers().at(c.reader);

        const Outcome outcome = reader.read(bytes_of(path));

        if (c.expected.starts_with("line ")) {
            EXPECT_FALSE(outcome.ok);
            EXPECT_NE(outcome.message.find(reader.fileName), std::string::npos) << outcome.message;
            EXPECT_NE(outcome.message.find(" " + c.expected.substr(5) + " 行目"), std::string::npos) << outcome.message;
            EXPECT_TRUE(outcome.fallbackValue) << "a failed read handed out a value";
            if (c.reader == "log") {
                EXPECT_EQ(outcome.summary, c.expected);
            }
        } else {
            EXPECT_TRUE(outcome.ok) << outcome.message;
            EXPECT_TRUE(outcome.message.empty());
            EXPECT_EQ(outcome.summary, c.expected);
            EXPECT_TRUE(outcome.writable) << "read a value that cannot be written back";
        }
    }
}

TEST(FuzzRegressions, EveryFileInTheInputDirectoriesHasADocumentedResult) {
    std::set<std::string> listed;
    for (const Case& c : Cases) {
        listed.insert(c.reader + "/" + c.file);
    }
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(InputDir)) {
        if (entry.is_regular_file()) {
            const std::string reader = entry.path().parent_path().filename().string();
            EXPECT_TRUE(readers().contains(reader)) << entry.path();
            found.insert(reader + "/" + entry.path().filename().string());
        }
    }
    EXPECT_EQ(found, listed);
}

}  // namespace
