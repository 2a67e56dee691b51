// Two PCs kept in step by Syncthing, played on one machine: two Syncthing instances on 127.0.0.1, each with its own
// copy of the data folder. Both save while apart → Syncthing keeps a conflict copy → 統合 brings both readings into one
// log on both PCs. Then one program runs while the other PC saves → the reading appears on its screen.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <chrono>
#include <thread>

#include "core/files/conflict_copies.h"
#include "core/files/leftover_temporaries.h"
#include "core/files/measurement_log.h"
#include "import/import_window.h"
#include "syncthing_pair.h"
#include "test_app.h"
#include "test_support.h"
#include "ui/grid.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> conflictCopies(const fs::path& folder) {
    std::vector<std::string> names;
    for (const sora::ConflictCopy& copy : sora::find_conflict_copies(sora::DataDir(folder))) {
        names.push_back(copy.name);
    }
    return names;
}

/// Saves one reading of 2026/12/07 into `folder` through the program's own save.
bool save(const fs::path& folder, const char* situation, float systolic, const char* time) {
    return sora::MeasurementLog(sora::DataDir(folder))
        .append(sora::MeasurementRecord{"2026/12/07", situation, systolic, 82, 66, time, 0})
        .ok;
}

TEST(SyncthingTwoPcs, ConflictCopyMergedOnBothAndAReadingAppearsWhileRunning) {
    if (std::string(SORANOTE_SYNCTHING).empty()) {
        GTEST_SKIP() << "syncthing is not installed (make test installs it from Debian's archive)";
    }
    TestApp app;  // PC A: the program runs on its data folder
    app.writeFile("データ.txt",
                  "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\n"
                  "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n就寝前\n");
    app.clock().set({{2026, 12, 7}, 22, 0, 0});
    sora::test::ScratchDir scratch;
    const fs::path pcA = app.dir(), pcB = scratch / "pc-b";
    fs::create_directories(pcB);
    const auto sameDiary = [&] { return sora::test::bytes_of(pcB / "データ.txt") == app.readBytes("データ.txt"); };

    SyncthingPair sync(SORANOTE_SYNCTHING, scratch.path(), {pcA, pcB});
    if (!sync.start()) {
        GTEST_SKIP() << "Syncthing cannot start here: " << sync.error;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return sync.connected(); }, 60000)) << "the two instances never connected";
    ASSERT_TRUE(sync.scan(0));
    ASSERT_TRUE(QTest::qWaitFor(sameDiary, 90000)) << "PC B never got the diary";

    // Apart, each PC saves one reading.
    ASSERT_TRUE(sync.setPaused(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sync.connected(); }, 30000));
    ASSERT_TRUE(save(pcA, "就寝前", 128, "21:30:00"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // the later save wins, the earlier one is the copy
    ASSERT_TRUE(save(pcB, "起床後", 126, "6:55:00"));
    ASSERT_TRUE(sync.scan(0) && sync.scan(1));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(sync.setPaused(false));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !conflictCopies(pcA).empty() && conflictCopies(pcA) == conflictCopies(pcB); }, 120000))
        << "no conflict copy reached both PCs";
    EXPECT_EQ(sora::conflict_copy_of(conflictCopies(pcA).front())->tool, sora::SyncTool::Syncthing);

    // PC A starts the program: it names the copy and its missing reading; 統合 goes through the preview.
    app.dialogs().queueAnswer(ui::Answer::Yes);
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    window.watchFolder();
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_TRUE(app.dialogs().records().back().text.contains("日記にない測定 1 件"))
        << app.dialogs().records().back().text.toStdString();
    ImportWindow* preview = nullptr;
    for (ImportWindow* each : window.findChildren<ImportWindow*>()) {
        preview = each->isVisible() ? each : preview;
    }
    ASSERT_NE(preview, nullptr);
    QTest::mouseClick(preview->findChild<QPushButton*>("cmdImportOk"), Qt::LeftButton);
    QTest::qWait(50);
    const std::string merged = app.readFile("データ.txt");
    EXPECT_NE(merged.find("\"就寝前\",128,82,66"), std::string::npos) << merged;
    EXPECT_NE(merged.find("\"起床後\",126,82,66"), std::string::npos) << merged;
    EXPECT_TRUE(conflictCopies(pcA).empty());
    ASSERT_TRUE(sync.scan(0));
    EXPECT_TRUE(QTest::qWaitFor(sameDiary, 90000)) << "PC B never got the merged diary";
    EXPECT_TRUE(QTest::qWaitFor([&] { return conflictCopies(pcB).empty(); }, 60000)) << "the copy stayed on PC B";

    // PC B saves while the program runs on PC A: the reading shows there within seconds.
    const auto rows = [&] { return app.find<ui::Grid>("msgDayList")->rowCount(); };
    const int rowsBefore = rows();
    ASSERT_TRUE(save(pcB, "就寝前", 118, "22:10:00"));
    ASSERT_TRUE(sync.scan(1));
    const auto saved = std::chrono::steady_clock::now();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == rowsBefore + 1; }, 60000))
        << "the other PC's reading never appeared";
    std::printf("[ syncthing ] the other PC's reading appeared after %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - saved).count());
    ASSERT_NE(window.findChild<QStatusBar*>(), nullptr);
    EXPECT_EQ(window.findChild<QStatusBar*>()->currentMessage(), frmMain::OutsideChangeNotice);

    // None of the program's temporary files ever travelled to the other PC.
    for (const auto& entry : fs::recursive_directory_iterator(pcB)) {
        EXPECT_EQ(sora::temporary_writer_pid(entry.path().filename().string()), 0) << entry.path();
    }
    app.closeDialogs();
}

}  // namespace
