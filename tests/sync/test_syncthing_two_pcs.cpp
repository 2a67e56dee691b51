// Two PCs played on one machine by two Syncthing instances on 127.0.0.1: both save while apart, 統合 brings the
// conflict copy's reading into one log on both; then the other PC saves while the program runs and the reading appears.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QStatusBar>
#include <QTest>
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
using namespace std::chrono_literals;

namespace {

TEST(SyncthingTwoPcs, ConflictCopyMergedOnBothAndAReadingAppearsWhileRunning) {
    const auto copiesIn = [](const fs::path& pc) { return sora::find_conflict_copies(sora::DataDir(pc)); };
    // One reading of 2026/12/07 through the program's own save.
    const auto save = [](const fs::path& pc, const char* situation, float systolic, const char* time) {
        return sora::MeasurementLog(sora::DataDir(pc)).append({"2026/12/07", situation, systolic, 82, 66, time, 0}).ok;
    };
    TestApp app;  // PC A: the program runs on its data folder
    app.writeFile("データ.txt", "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n就寝前\n");
    app.clock().set({{2026, 12, 7}, 22, 0, 0});
    sora::test::ScratchDir scratch, b;
    const fs::path pcA = app.dir(), pcB = b.path();
    const auto sameDiary = [&] { return sora::test::bytes_of(pcB / "データ.txt") == app.readBytes("データ.txt"); };

    SyncthingPair sync(SORANOTE_SYNCTHING, scratch.path(), {pcA, pcB});
    if (std::string(SORANOTE_SYNCTHING).empty() || !sync.start()) {
        GTEST_SKIP() << "Syncthing is not installed (make test installs it) or cannot start here: " << sync.error;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return sync.connected(); }, 60000)) << "the two instances never connected";
    ASSERT_TRUE(sync.scan(0) && QTest::qWaitFor(sameDiary, 90000)) << "PC B never got the diary";

    // Apart, each PC saves one reading; the later save wins, the earlier one becomes the copy.
    ASSERT_TRUE(sync.setPaused(true) && QTest::qWaitFor([&] { return !sync.connected(); }, 30000));
    ASSERT_TRUE(save(pcA, "就寝前", 128, "21:30:00"));
    std::this_thread::sleep_for(1100ms);
    ASSERT_TRUE(save(pcB, "起床後", 126, "6:55:00") && sync.scan(0) && sync.scan(1));
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(sync.setPaused(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !copiesIn(pcA).empty() && copiesIn(pcA) == copiesIn(pcB); }, 120000))
        << "no conflict copy reached both PCs";

    // PC A starts the program: 統合 goes through the preview, and the merged diary replaces the copy on PC B too.
    app.dialogs().queueAnswer(ui::Answer::Yes);
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    window.watchFolder();
    auto* preview = window.findChild<ImportWindow*>();
    ASSERT_TRUE(preview != nullptr && preview->isVisible());
    QTest::mouseClick(preview->findChild<QPushButton*>("cmdImportOk"), Qt::LeftButton);
    QTest::qWait(50);
    const std::string merged = app.readFile("データ.txt");
    for (const char* reading : {"\"就寝前\",128,82,66", "\"起床後\",126,82,66"}) {
        EXPECT_NE(merged.find(reading), std::string::npos) << merged;
    }
    EXPECT_TRUE(sync.scan(0) && QTest::qWaitFor(sameDiary, 90000)) << "PC B never got the merged diary";
    EXPECT_TRUE(QTest::qWaitFor([&] { return copiesIn(pcB).empty(); }, 60000)) << "the copy stayed on PC B";

    // PC B saves while the program runs on PC A: the reading shows there by itself, with the notice.
    const auto rows = [&] { return app.find<ui::Grid>("msgDayList")->rowCount(); };
    const int rowsBefore = rows();
    ASSERT_TRUE(save(pcB, "就寝前", 118, "22:10:00") && sync.scan(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == rowsBefore + 1; }, 60000)) << "the reading never appeared";
    EXPECT_EQ(window.statusBar()->currentMessage(), frmMain::OutsideChangeNotice);

    // None of the program's temporary files ever travelled to the other PC.
    for (const auto& entry : fs::recursive_directory_iterator(pcB)) {
        EXPECT_EQ(sora::temporary_writer_pid(entry.path().filename().string()), 0) << entry.path();
    }
    app.closeDialogs();
}

}  // namespace
