// A rename whose process dies at any file call (also while it is putting the old files back after a failed call):
// the start-up recovery finishes it or takes it back, so that the log and the situation list agree. And what the
// recovery refuses or leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/edits/rename_situation.h"
#include "core/edits/undo_history.h"
#include "core/files/file_io.h"
#include "fault_sweep.h"
#include "test_support.h"

namespace {

using sora::TogetherRecovery;
using sora::test::DataDirTest;
using sora::test::Snapshot;
using Outcome = sora::TogetherRecovery::Outcome;

struct Died {};

/// The real file calls, except that the call numbered `failAt` fails (as FaultyIo) and at the call numbered `dieAt`
/// the process dies: nothing after it runs, neither the rest of the operation nor its clean-up. `afterCall` lets
/// the fatal call itself go through first.
class DyingIo : public sora::FileIo {
public:
    DyingIo(int failAt, int dieAt, bool afterCall) : m_failAt(failAt), m_dieAt(dieAt), m_afterCall(afterCall) {}

    bool died() const { return m_died; }
    int calls() const { return m_calls; }
    /// Every call so far, as "rename データ.txt".
    const std::vector<std::string>& log() const { return m_log; }

    int open_for_write(const std::filesystem::path& path, bool append) override {
        return call("open", path, [&] { return io().open_for_write(path, append); });
    }
    long write(int fd, const char* data, std::size_t size) override {
        return call("write", {}, [&] { return io().write(fd, data, size); });
    }
    int fsync(int fd) override {
        return call("fsync", {}, [&] { return io().fsync(fd); });
    }
    int close(int fd) override {
        return call("close", {}, [&] { return io().close(fd); });
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return call("rename", to, [&] { return io().rename(from, to); });
    }
    int sync_directory(const std::filesystem::path& dir) override {
        return call("sync_directory", {}, [&] { return io().sync_directory(dir); });
    }

private:
    static sora::FileIo& io() { return sora::posix_file_io(); }

    template <typename Call>
    auto call(const char* what, const std::filesystem::path& path, Call real) -> decltype(real()) {
        m_log.push_back(std::string(what) + (path.empty() ? "" : " " + path.filename().string()));
        ++m_calls;
        if (m_calls == m_dieAt) {
            m_died = true;
            if (m_afterCall) {
                (void)real();
            }
            throw Died{};
        }
        if (m_calls == m_failAt) {
            errno = EIO;
            return -1;
        }
        return real();
    }

    int m_failAt;
    int m_dieAt;
    bool m_afterCall;
    int m_calls = 0;
    bool m_died = false;
    std::vector<std::string> m_log;
};

class RenameRecovery : public DataDirTest {
protected:
    void SetUp() override {
        DataDirTest::SetUp();
        writeFile("データ.txt",
                  "\"2005/02/01\",\"散歩\",120,80,70,,62.5\r\n"
                  "\"2005/02/01\",\"散歩後\",118.5,76,66,\"7:05:09\",62.4\r\n"
                  "\"2005/02/03\",\"散歩\",126,80,70,\"朝,散歩\",61.9\r\n");
        writeFile("状況リスト.txt", "散歩\r\n散歩後\r\n就寝前\r\n");
        // The walk counts as the evening: the choice follows the new name in the same change.
        writeFile("朝晩設定.txt", "\"年齢区分\",\"75歳未満\"\r\n\"散歩\",\"晩\"\r\n");
        m_before = files();
    }

    Snapshot files() const { return sora::test::snapshot_of(m_scratch.path()); }
    void reset() const { sora::test::restore_snapshot(m_scratch.path(), m_before); }

    /// Runs the rename with `io` in force; true when it ran to its end (with or without a failure).
    bool rename(DyingIo& io) const {
        try {
            sora::FileIoOverride override(io);
            (void)sora::rename_situation(dir(), "散歩", "ウォーキング");
        } catch (const Died&) {
            return false;
        }
        return true;
    }

    Snapshot m_before;
};

TEST_F(RenameRecovery, DeathAtAnyCallEndsWithEveryFileOldOrEveryFileNew) {
    ASSERT_TRUE(sora::rename_situation(dir(), "散歩", "ウォーキング").ok);
    const Snapshot after = files();
    ASSERT_NE(after, m_before);
    ASSERT_NE(after.at("朝晩設定.txt"), m_before.at("朝晩設定.txt")) << "the 朝/晩 choice is part of the rename";

    int deaths = 0;
    int forward = 0;
    int back = 0;
    // failAt 0: a rename that would have worked. Else the failed call sends it down its way back, where it dies.
    for (int failAt = 0;; ++failAt) {
        reset();
        DyingIo plain(failAt, 0, false);
        ASSERT_TRUE(rename(plain));
        if (failAt > plain.calls()) {
            break;
        }
        for (const bool afterCall : {false, true}) {
            for (int dieAt = failAt + 1; dieAt <= plain.calls(); ++dieAt) {
                reset();
                DyingIo io(failAt, dieAt, afterCall);
                ASSERT_FALSE(rename(io));
                SCOPED_TRACE("failed call " + std::to_string(failAt) + ", died at " + io.log().back() +
                             (afterCall ? " (after it)" : " (before it)") + ", call " + std::to_string(dieAt));
                ++deaths;
                const Snapshot left = files();
                const TogetherRecovery recovery = sora::recover_interrupted_rename(dir());
                const Snapshot now = files();
                ASSERT_TRUE(now == m_before || now == after)
                    << "the log and the list disagree or something is left: " << now.size() << " files";
                if (now == after) {
                    ++forward;
                    EXPECT_EQ(recovery.outcome, Outcome::Completed) << recovery.message;
                } else if (left != m_before) {
                    ++back;
                    EXPECT_EQ(recovery.outcome, Outcome::RolledBack) << recovery.message;
                } else {
                    EXPECT_EQ(recovery.outcome, Outcome::Nothing);
                }
                EXPECT_EQ(recovery.message.empty(), recovery.outcome == Outcome::Nothing);
                // A second start finds nothing more to do.
                EXPECT_EQ(sora::recover_interrupted_rename(dir()).outcome, Outcome::Nothing);
            }
        }
    }
    std::printf("[ deaths   ] rename: %d deaths, %d finished forward, %d taken back\n", deaths, forward, back);
    EXPECT_GT(forward, 0);
    EXPECT_GT(back, 0);
}

TEST_F(RenameRecovery, AnUndoOfARenameDyingAtAnyCallEndsWithEveryFileOldOrEveryFileNew) {
    const std::vector<std::string_view> names = {sora::files::Log, sora::files::Situations, "朝晩設定.txt"};
    std::optional<sora::UndoHistory> history;
    // The folder just after the rename, with the undo step that takes it back.
    const auto renamed = [&] {
        reset();
        history.emplace(dir());
        EXPECT_TRUE(history->begin("状況名の変更", names));
        EXPECT_TRUE(sora::rename_situation(dir(), "散歩", "ウォーキング").ok);
        history->commit();
        return files();
    };
    const Snapshot after = renamed();
    ASSERT_TRUE(history->undo().ok);
    ASSERT_EQ(files(), m_before);

    const auto undo = [&](DyingIo& io) {
        try {
            sora::FileIoOverride override(io);
            (void)history->undo();
        } catch (const Died&) {
            return false;
        }
        return true;
    };
    int deaths = 0;
    int forward = 0;
    int back = 0;
    // Every death on the plain way; on the way back after a failed call, every third failed call (the way back is
    // the same journaled put-back whichever call failed, and each run rewrites three files several times).
    for (int failAt = 0;; failAt += failAt == 0 ? 1 : 3) {
        renamed();
        DyingIo plain(failAt, 0, false);
        ASSERT_TRUE(undo(plain));
        if (failAt > plain.calls()) {
            break;
        }
        for (const bool afterCall : {false, true}) {
            for (int dieAt = failAt + 1; dieAt <= plain.calls(); ++dieAt) {
                renamed();
                DyingIo io(failAt, dieAt, afterCall);
                ASSERT_FALSE(undo(io));
                SCOPED_TRACE("failed call " + std::to_string(failAt) + ", died at " + io.log().back() +
                             (afterCall ? " (after it)" : " (before it)") + ", call " + std::to_string(dieAt));
                ++deaths;
                const TogetherRecovery recovery = sora::recover_interrupted_rename(dir());
                ASSERT_NE(recovery.outcome, Outcome::Failed) << recovery.message;
                const Snapshot now = files();
                // Undone means the state before the rename: every file old; else every file still renamed.
                ASSERT_TRUE(now == m_before || now == after)
                    << "the log, the list and 朝晩設定.txt disagree or something is left: " << now.size() << " files";
                (now == m_before ? back : forward) += 1;
            }
        }
    }
    std::printf("[ deaths   ] undo of a rename: %d deaths, %d undone, %d still renamed\n", deaths, back, forward);
    EXPECT_GT(back, 0);
    EXPECT_GT(forward, 0);
}

TEST_F(RenameRecovery, AJournalThatDoesNotReadOrDoesNotMatchIsReportedAndNothingIsTouched) {
    // Die just before the new log takes the old one's place: the journal and both new files are complete.
    DyingIo reference(0, 0, false);
    ASSERT_TRUE(rename(reference));
    const auto& calls = reference.log();
    const auto onto = std::find(calls.begin(), calls.end(), "rename データ.txt");
    ASSERT_NE(onto, calls.end());
    reset();
    DyingIo io(0, static_cast<int>(onto - calls.begin()) + 1, false);
    ASSERT_FALSE(rename(io));
    const Snapshot interrupted = files();
    ASSERT_EQ(interrupted.count("状況名変更中.txt"), 1u);

    // A new file that is not what the journal says (changed by hand, or not ours) is never put in place.
    std::string changedName;
    for (const auto& [name, bytes] : interrupted) {
        if (name.rfind("データＣＨＧ.", 0) == 0) {
            changedName = name;
        }
    }
    ASSERT_FALSE(changedName.empty());
    sora::test::write_bytes(path(changedName), interrupted.at(changedName) + "\r\n");
    const Snapshot altered = files();
    TogetherRecovery recovery = sora::recover_interrupted_rename(dir());
    EXPECT_EQ(recovery.outcome, Outcome::Failed);
    EXPECT_NE(recovery.message.find(changedName), std::string::npos) << recovery.message;
    EXPECT_EQ(files(), altered);

    // A journal that does not read names its line.
    sora::test::write_bytes(path("状況名変更中.txt"), "\"forward\"\r\n\"データ.txt\",x\r\n");
    const Snapshot unreadable = files();
    recovery = sora::recover_interrupted_rename(dir());
    EXPECT_EQ(recovery.outcome, Outcome::Failed);
    EXPECT_NE(recovery.message.find("状況名変更中.txt の 2 行目"), std::string::npos) << recovery.message;
    EXPECT_EQ(files(), unreadable);
}

TEST_F(RenameRecovery, OnlyTheRenamesOwnLeftoversAreRemoved) {
    // A killed save's copy of the log goes too, once its writer is gone.
    const std::string dead = std::to_string(sora::test::dead_pid());
    const std::vector<std::string> leftovers = {"データＣＨＧ.4711-1.txt", "状況リストＣＨＧ.4711-2.txt",
                                                "状況名変更中.4711-3.txt", "データコピー." + dead + "-1.txt"};
    const std::vector<std::string> others = {"データＣＨＧ.txt", "データＣＨＧ.控え.txt", "データＣＨＧ.4711-.txt",
                                             "状況リストＣＨＧ.12-3.csv"};
    for (const std::string& name : leftovers) {
        writeFile(name, "途中\r\n");
    }
    for (const std::string& name : others) {
        writeFile(name, "利用者のファイル\r\n");
    }
    const TogetherRecovery recovery = sora::recover_interrupted_rename(dir());
    EXPECT_EQ(recovery.outcome, Outcome::RolledBack);
    EXPECT_EQ(recovery.temporariesRemoved, 4);
    for (const std::string& name : leftovers) {
        EXPECT_FALSE(exists(name)) << name;
    }
    for (const std::string& name : others) {
        EXPECT_TRUE(exists(name)) << name;
    }
    EXPECT_EQ(rawFile("データ.txt"), m_before.at("データ.txt"));
    EXPECT_EQ(rawFile("状況リスト.txt"), m_before.at("状況リスト.txt"));
}

}  // namespace
