// A rename killed at a random moment, again and again: after the start-up recovery the log, the situation list and
// the 朝/晩 choice agree (all renamed or none), all still read, and no temporary file is left.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/edits/rename_situation.h"
#include "core/files/measurement_log.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "test_support.h"

extern char** environ;

namespace {

using sora::test::ScratchDir;

const std::string Old = "散歩";
const std::string New = "ウォーキング";
constexpr int Records = 3000;  // years of a diary: the rewrite takes long enough to be killed in the middle
constexpr int Renamed = Records / 3;

/// Every third record is a walk; the list holds the walk between two others.
void write_diary(const ScratchDir& dir) {
    std::string log;
    for (int i = 0; i < Records; ++i) {
        const std::string situation = i % 3 == 0 ? Old : (i % 3 == 1 ? "起床後" : "散歩後");
        log += "\"2005/" + std::string(i / 250 + 1 < 10 ? "0" : "") + std::to_string(i / 250 + 1) + "/" +
               std::to_string(10 + i % 250 / 25) + "\",\"" + situation + "\",120,80,70,\"\",62.5\r\n";
    }
    sora::test::write_bytes(dir / "データ.txt", sora::test::cp932(log));
    sora::test::write_bytes(dir / "状況リスト.txt", sora::test::cp932("起床後\r\n散歩\r\n散歩後\r\n"));
    // The walk counts as the evening; the choice must follow every rename.
    sora::test::write_bytes(dir / "朝晩設定.txt",
                            sora::test::cp932("\"年齢区分\",\"75歳未満\"\r\n\"散歩\",\"晩\"\r\n"));
}

/// What the two files say about the renamed situation.
struct PairState {
    bool readable = false;
    int records = 0;
    int recordsOld = 0;
    int recordsNew = 0;
    bool listOld = false;
    bool listNew = false;
    bool eveningOld = false;  // 朝晩設定.txt names the old name as an evening
    bool eveningNew = false;

    bool agrees() const {
        if (!readable || records != Records || listOld == listNew || eveningOld != listOld || eveningNew != listNew) {
            return false;
        }
        return listOld ? recordsOld == Renamed && recordsNew == 0 : recordsNew == Renamed && recordsOld == 0;
    }
    std::string describe() const {
        return "readable " + std::to_string(readable) + ", records " + std::to_string(records) + " (old " +
               std::to_string(recordsOld) + ", new " + std::to_string(recordsNew) + "), list old " +
               std::to_string(listOld) + " new " + std::to_string(listNew) + ", evening old " +
               std::to_string(eveningOld) + " new " + std::to_string(eveningNew);
    }
};

PairState pair_state(const sora::DataDir& dir) {
    PairState state;
    const sora::LogReadResult log = sora::MeasurementLog(dir).read_all();
    const auto list = sora::read_situations(dir);
    const auto occasions = sora::read_morning_evening(dir);
    state.readable = log.ok && list.ok && !list.missing && occasions.ok && !occasions.missing;
    for (const auto& [situation, occasion] : occasions.value.entries()) {
        state.eveningOld = state.eveningOld || (situation == Old && occasion == sora::Occasion::Evening);
        state.eveningNew = state.eveningNew || (situation == New && occasion == sora::Occasion::Evening);
    }
    state.records = static_cast<int>(log.records.size());
    for (const sora::MeasurementRecord& record : log.records) {
        state.recordsOld += record.situation == Old ? 1 : 0;
        state.recordsNew += record.situation == New ? 1 : 0;
    }
    for (const std::string& item : list.value) {
        state.listOld = state.listOld || item == Old;
        state.listNew = state.listNew || item == New;
    }
    return state;
}

/// Names in the folder besides the log, the list and the folder of the automatic copies.
std::vector<std::string> others_in(const ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (name != "データ.txt" && name != "状況リスト.txt" && name != "朝晩設定.txt" &&
            !(name == "backup" && entry.is_directory())) {
            names.push_back(name);
        }
    }
    return names;
}

pid_t start_rename_loop(const ScratchDir& dir) {
    std::vector<std::string> args = {SORANOTE_RENAME_LOOP, dir.path().string(), Old, New};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

TEST(RenameKilled, RecoveryLeavesTheLogAndTheListAgreeing) {
    ScratchDir dir;
    write_diary(dir);
    const sora::DataDir data(dir.path());
    ASSERT_TRUE(pair_state(data).agrees()) << pair_state(data).describe();

    std::mt19937 random(20050301);
    // Kills within the first 30 ms of the loop, longer while no rename has got through yet (a slow machine or a
    // sanitizer build), so that the kills keep landing in the middle of renames.
    int maxDelayUs = 30000;
    int kills = 0;
    int forward = 0;
    int rolledBack = 0;
    int nothing = 0;
    int leftBefore = 0;
    int disagreeingBefore = 0;
    int disagreeingAfter = 0;
    int flips = 0;
    bool renamed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (kills < 100 && std::chrono::steady_clock::now() < deadline) {
        const pid_t pid = start_rename_loop(dir);
        ASSERT_GT(pid, 0) << "cannot start " << SORANOTE_RENAME_LOOP;
        if (kills > 0 && kills % 10 == 0 && flips == 0 && maxDelayUs < 2000000) {
            maxDelayUs *= 2;
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, maxDelayUs)(random)));
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        // A loop that ended by itself failed a rename: it prints why on its error output.
        ASSERT_TRUE(WIFSIGNALED(status)) << "the rename loop ended with " << WEXITSTATUS(status);
        ++kills;

        const PairState before = pair_state(data);
        disagreeingBefore += before.agrees() ? 0 : 1;
        leftBefore += others_in(dir).empty() ? 0 : 1;

        const sora::TogetherRecovery recovery = sora::recover_interrupted_rename(data);
        ASSERT_NE(recovery.outcome, sora::TogetherRecovery::Outcome::Failed) << recovery.message;
        forward += recovery.outcome == sora::TogetherRecovery::Outcome::Completed ? 1 : 0;
        rolledBack += recovery.outcome == sora::TogetherRecovery::Outcome::RolledBack ? 1 : 0;
        nothing += recovery.outcome == sora::TogetherRecovery::Outcome::Nothing ? 1 : 0;

        const PairState after = pair_state(data);
        if (!after.agrees()) {
            ADD_FAILURE_AT(__FILE__, __LINE__) << "kill " << kills << ": " << after.describe();
            ++disagreeingAfter;
        }
        EXPECT_EQ(others_in(dir), std::vector<std::string>{}) << "kill " << kills;
        flips += after.listNew != renamed ? 1 : 0;
        renamed = after.listNew;
    }
    std::printf(
        "[ kill loop] kills %d: completed forward %d, rolled back %d, nothing to do %d; before the recovery %d "
        "disagreeing and %d with files left over; after it %d disagreeing\n",
        kills, forward, rolledBack, nothing, disagreeingBefore, leftBefore, disagreeingAfter);
    RecordProperty("kills", kills);
    RecordProperty("completed_forward", forward);
    RecordProperty("rolled_back", rolledBack);
    RecordProperty("disagreeing_before_recovery", disagreeingBefore);
    RecordProperty("disagreeing_after_recovery", disagreeingAfter);

    EXPECT_EQ(disagreeingAfter, 0);
    EXPECT_GE(kills, 20) << "too few kills in the time allowed to say anything";
    // Unless some kills landed in the middle of a rename and renames went through, nothing was tried.
    EXPECT_GT(forward + rolledBack, 0);
    EXPECT_GT(flips, 0);
}

}  // namespace
