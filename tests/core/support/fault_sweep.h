#pragma once

// Fault sweeps: run a writer once per file call, failing that call, and judge the data directory after each run.
// Shared by the core and the GUI fault-injection tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "faulty_io.h"

namespace sora::test {

/// Every regular file of a directory: name (UTF-8) → bytes.
using Snapshot = std::map<std::string, std::string>;

inline Snapshot snapshot_of(const std::filesystem::path& dir) {
    Snapshot files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

/// Makes the directory hold exactly the snapshot's files.
inline void restore_snapshot(const std::filesystem::path& dir, const Snapshot& files) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::filesystem::remove_all(entry.path());
    }
    for (const auto& [name, bytes] : files) {
        std::ofstream out(dir / std::filesystem::u8path(name), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

/// What a writer reported.
struct Reported {
    bool ok = true;
    std::string message;
    std::string warning{};  // something beside the write failed without stopping it
};

/// One writer under test. `prepare` sets the files (and the program) up as before the write, `write` performs it.
struct Writer {
    std::string name;
    std::function<void()> prepare;
    std::function<Reported()> write;
    std::filesystem::path dir;
    /// Files that a failed run may leave besides the old and the new ones (a backup copy of the log, say).
    std::function<bool(const std::string&)> mayAppear = [](const std::string&) { return false; };
    /// Files that change all together or not at all.
    std::vector<std::vector<std::string>> together;
    /// Extra checks after a failed run; the argument is the failed call ("open", "write", …).
    std::function<void(const std::string&)> afterFault = [](const std::string&) {};
    /// After a failed run (given the failed call): should a fault-free retry from the state left behind succeed?
    std::function<bool(const std::string&)> retry = [](const std::string&) { return true; };
    /// The writer refuses to go on without its copy in "backup/" (a restore keeps the log it replaces there); any
    /// other writer goes on when the copy fails.
    bool needsItsBackup = false;
    /// Extra checks after a run whose copy in "backup/" failed and which went on all the same; the snapshot is the
    /// folder before the run.
    std::function<void(const Reported&, const Snapshot&)> afterBackupFault = [](const Reported&, const Snapshot&) {};
};

/// The state of one file in a snapshot; "<missing>" when absent.
inline std::string state_of(const Snapshot& files, const std::string& name) {
    const auto found = files.find(name);
    return found == files.end() ? std::string("<missing>") : found->second;
}

/// After a failed run: every file holds its old or its complete new bytes, none is lost, no temporary file is left,
/// and each group of files changed together.
inline void expect_old_or_new(const Snapshot& before, const Snapshot& after, const Snapshot& now,
                              const Writer& writer) {
    std::set<std::string> names;
    for (const Snapshot* s : {&before, &after, &now}) {
        for (const auto& [name, bytes] : *s) {
            names.insert(name);
        }
    }
    for (const std::string& name : names) {
        const bool known = before.count(name) != 0 || after.count(name) != 0;
        if (!known) {
            EXPECT_TRUE(writer.mayAppear(name)) << "left behind: " << name;
            continue;
        }
        const std::string current = state_of(now, name);
        const bool old = current == state_of(before, name);
        const bool complete = current == state_of(after, name);
        EXPECT_TRUE(old || complete) << name << " is neither the old nor the new file (" << current.size() << " bytes)";
    }
    for (const auto& group : writer.together) {
        int olds = 0;
        int news = 0;
        for (const std::string& name : group) {
            olds += state_of(now, name) == state_of(before, name) ? 1 : 0;
            news += state_of(now, name) == state_of(after, name) ? 1 : 0;
        }
        const auto size = static_cast<int>(group.size());
        EXPECT_TRUE(olds == size || news == size) << "the files of one operation disagree: " << group.front() << " …";
    }
}

/// Fault points tried, by failed call.
struct SweepCount {
    int total = 0;
    std::map<std::string, int> byCall;
};

/// Runs the writer once without faults (the reference), then once per file call with that call failing, with
/// whole writes and then with writes cut to `shortWrite` bytes (more write calls, so more fault points).
inline SweepCount sweep(const Writer& writer, std::size_t shortWrite = 0) {
    SweepCount count;
    writer.prepare();
    const Snapshot before = snapshot_of(writer.dir);
    std::vector<std::size_t> passes = {0};
    if (shortWrite != 0) {
        passes.push_back(shortWrite);
    }
    for (const std::size_t maxWrite : passes) {
        writer.prepare();
        FaultyIo reference(0, maxWrite);
        Reported ok;
        {
            FileIoOverride override(reference);
            ok = writer.write();
        }
        EXPECT_TRUE(ok.ok) << writer.name << ": the write without a fault failed: " << ok.message;
        const Snapshot after = snapshot_of(writer.dir);
        EXPECT_NE(after, before) << writer.name << ": the write changed nothing";
        const int calls = reference.calls();
        EXPECT_GT(calls, 0) << writer.name << ": no file call went through the seam";

        // N = calls + 1 is the run that needs no fault: it must give the same files.
        for (int failAt = 1; failAt <= calls + 1; ++failAt) {
            writer.prepare();
            FaultyIo io(failAt, maxWrite);
            Reported reported;
            {
                FileIoOverride override(io);
                reported = writer.write();
            }
            SCOPED_TRACE(writer.name + (maxWrite ? ", short writes" : "") + ", fault at call " +
                         std::to_string(failAt) + " (" + io.failedCall() + ")");
            const Snapshot now = snapshot_of(writer.dir);
            if (!io.failed()) {
                EXPECT_TRUE(reported.ok) << reported.message;
                EXPECT_EQ(now, after);
                break;
            }
            ++count.total;
            if (failed_in_backup_folder(io) && (reported.ok || !writer.needsItsBackup)) {
                // A copy that could not be made never stops the write it comes before.
                ++count.byCall["backup " + io.failedCall()];
                EXPECT_TRUE(reported.ok) << "a failed copy blocked the write: " << reported.message;
                EXPECT_EQ(now, after);
                writer.afterBackupFault(reported, before);
                continue;
            }
            ++count.byCall[io.failedCall()];
            EXPECT_FALSE(reported.ok) << "a failed " << io.failedCall() << " was reported as success";
            EXPECT_FALSE(reported.message.empty());
            expect_old_or_new(before, after, now, writer);
            writer.afterFault(io.failedCall());
            if (writer.retry(io.failedCall())) {
                const Reported again = writer.write();
                EXPECT_TRUE(again.ok) << "the retry failed: " << again.message;
            }
        }
    }
    return count;
}

}  // namespace sora::test
