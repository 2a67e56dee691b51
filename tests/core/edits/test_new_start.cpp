#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/edits/new_start.h"
#include "core/files/side_files.h"
#include "faulty_io.h"
#include "test_support.h"

namespace {

using sora::test::DataDirTest;
using sora::test::FailRenameOnto;

const sora::Date Today{2005, 3, 1};
const sora::DateTime Now{Today, 10, 15, 0};

sora::NewStartInput filled() {
    return {"空野", "126", "80", "70", "62.5", "はじめの一歩"};
}

TEST(NewStartCheck, RefusalsInOrder) {
    struct Case {
        sora::NewStartInput input;
        const char* title;
        const char* text;
        bool warning;
        sora::NewStartBox box;
    };
    using B = sora::NewStartBox;
    const std::vector<Case> cases = {
        {{"", "", "", "", "", ""}, "最高血圧未入力", "最高血圧が入力されていません", false, B::Systolic},
        {{"", "abc", "", "70", "62", "x"}, "最低血圧未入力", "最低血圧が入力されていません", false, B::Diastolic},
        {{"", "126", "80", "", "62", "x"}, "脈拍未入力", "現在の脈拍が入力されていません", false, B::Pulse},
        {{"", "126", "80", "70", "", "x"}, "体重未入力", "現在の体重が入力されていません", false, B::Weight},
        {{"", "126", "80", "70", "62", ""},
         "初回状況（コメント）未入力",
         "初回の状況が入力されていません",
         false,
         B::Situation},
        // The value checks come after every box is filled.
        {{"", "12a", "80", "70", "62", ""},
         "初回状況（コメント）未入力",
         "初回の状況が入力されていません",
         false,
         B::Situation},
        {{"", "12a", "80", "70", "62", "x"}, "数値以外入力", "数値を入力してください", true, B::Systolic},
        {{"", "126", "0", "70", "62", "x"}, "異常入力", "０以下が入力されています", true, B::Diastolic},
        {{"", "126", "80", " ", "62", "x"}, "数値以外入力", "数値を入力してください", true, B::Pulse},
        {{"", "126", "80", "70", "999", "x"}, "入力制限", "９９９以上は入力できません", true, B::Weight},
        {{"", "126", "-5", "70", "62", "x"}, "異常入力", "０以下が入力されています", true, B::Diastolic},
        {{"名前😀", "126", "80", "70", "62", "x"},
         "使用できない文字",
         "名前に保存できない文字（絵文字など）が含まれています。",
         true,
         B::Name},
        {{"", "126", "80", "70", "62", "散歩😀"},
         "使用できない文字",
         "初期状況に保存できない文字（絵文字など）が含まれています。",
         true,
         B::Situation},
    };
    for (const Case& c : cases) {
        const sora::NewStartCheck check = sora::check_new_start(c.input, Today);
        EXPECT_FALSE(check.plan) << c.title;
        EXPECT_EQ(check.refusal.title, c.title);
        EXPECT_EQ(check.refusal.text, c.text);
        EXPECT_EQ(check.refusal.warning, c.warning) << c.title;
        EXPECT_EQ(check.refusal.box, c.box) << c.title;
    }
}

TEST(NewStartCheck, StartRecordFromTheBoxes) {
    sora::NewStartInput input{" \"そら\" ", " 126.0 ", "80", "70.5", "998.9", " はじめの\"一歩\""};
    const sora::NewStartCheck check = sora::check_new_start(input, Today);
    ASSERT_TRUE(check.plan) << check.refusal.text;
    EXPECT_EQ(check.plan->name, " ”そら” ");
    const sora::MeasurementRecord expected{"2005/03/01", " はじめの”一歩”", 126, 80, 70.5f, "", 998.9f};
    EXPECT_EQ(check.plan->record, expected);
    EXPECT_EQ(sora::check_new_start({"", "1", "1", "1", "0.1", "x"}, Today).plan->record.weight, 0.1f);
}

TEST(NewStartCheck, BackupNameAndClosingMessage) {
    EXPECT_EQ(sora::backup_log_name({{2005, 3, 1}, 9, 5, 7}), "データ_20050301_090507.txt");
    EXPECT_EQ(sora::backup_log_name({{2024, 12, 31}, 23, 59, 59}), "データ_20241231_235959.txt");
    const std::string closing =
        "登録が終了しました。\r\n\r\n一旦プログラムを終了させていただきます。次の起動からソラノート＋のスタートです！";
    EXPECT_EQ(sora::new_start_closing_message(""), closing);
    EXPECT_EQ(sora::new_start_closing_message("データ_20050301_101500.txt"),
              closing + "\r\nこれまでのデータは「データ_20050301_101500.txt」として残してあります。");
}

class NewStartFiles : public DataDirTest {
protected:
    void SetUp() override {
        DataDirTest::SetUp();
        writeFile("データ.txt", OldLog);
        writeFile("状況リスト.txt", "散歩\r\n就寝前\r\n");
        writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"ソラノート見本\"\r\n");
        writeFile("グラフ設定.txt", "\"自動設定\",0\r\n");
    }
    sora::NewStartPlan plan() const { return *sora::check_new_start(filled(), Today).plan; }
    sora::NewStartPlan leavingSample() const {
        sora::NewStartPlan leaving = plan();
        leaving.leavingSample = true;
        return leaving;
    }

    static constexpr const char* OldLog =
        "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\r\n\"2005/02/09\",\"散歩\",125,79,66,\"\",62.6\r\n";
    const sora::GraphAxisSettings m_held{0, 180, 60, 12, 110, 40, 7, 80, 50, 6};
};

TEST_F(NewStartFiles, WritesOneStartRecordTheNameTheSettingsAndABackup) {
    const sora::NewStartResult result = sora::perform_new_start(dir(), plan(), m_held, Now);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.backupName, "データ_20050301_101500.txt");
    EXPECT_EQ(readFile("データ.txt"), "\"2005/03/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    EXPECT_EQ(readFile("データ_20050301_101500.txt"), OldLog);
    EXPECT_EQ(readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"空野\"\r\n");
    EXPECT_EQ(readFile("グラフ設定.txt"),
              "\"自動設定\",1\r\n\"血圧最大値\",180\r\n\"血圧最小値\",60\r\n\"血圧刻み\",12\r\n"
              "\"脈拍最大値\",110\r\n\"脈拍最小値\",40\r\n\"脈拍刻み\",7\r\n"
              "\"体重最大値\",80\r\n\"体重最小値\",50\r\n\"体重刻み\",6\r\n");
    EXPECT_EQ(readFile("状況リスト.txt"), "散歩\r\n就寝前\r\n");
    EXPECT_FALSE(exists("データコピー.txt"));

    // A second new start in the same second keeps the first backup.
    const sora::NewStartResult again = sora::perform_new_start(dir(), plan(), m_held, Now);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.backupName, "データ_20050301_101500_2.txt");
    EXPECT_EQ(readFile("データ_20050301_101500.txt"), OldLog);
    EXPECT_EQ(readFile("データ_20050301_101500_2.txt"), "\"2005/03/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
}

TEST_F(NewStartFiles, WithoutALogThereIsNoBackup) {
    std::filesystem::remove(path("データ.txt"));
    const sora::NewStartResult result = sora::perform_new_start(dir(), plan(), m_held, Now);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.backupName.empty());
    EXPECT_EQ(readFile("データ.txt"), "\"2005/03/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
}

TEST_F(NewStartFiles, NoLogIsReplacedWithoutItsBackup) {
    {
        FailRenameOnto failing("データ_20050301_101500.txt");
        sora::FileIoOverride override(failing);
        const sora::NewStartResult result = sora::perform_new_start(dir(), plan(), m_held, Now);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.message.empty());
    }
    EXPECT_EQ(readFile("データ.txt"), OldLog);
    EXPECT_EQ(readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"ソラノート見本\"\r\n");
    EXPECT_EQ(readFile("グラフ設定.txt"), "\"自動設定\",0\r\n");
    EXPECT_FALSE(exists("データ_20050301_101500.txt"));
    {
        FailRenameOnto failing("データ.txt");
        sora::FileIoOverride override(failing);
        const sora::NewStartResult result = sora::perform_new_start(dir(), plan(), m_held, Now);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find("データ.txt"), std::string::npos) << result.message;
    }
    EXPECT_EQ(readFile("データ.txt"), OldLog);
    EXPECT_EQ(readFile("グラフ設定.txt"), "\"自動設定\",0\r\n");  // stopped before the settings
}

// The sample's memo leaves with the sample's log; the new diary starts without it.
TEST_F(NewStartFiles, TheOldMemoMovesBesideTheKeptLog) {
    const std::string memo = "サンプルの気付き\r\n二行目\r\n";
    writeFile("気付きメモ.txt", memo);
    const sora::NewStartResult result = sora::perform_new_start(dir(), leavingSample(), m_held, Now);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.memoName, "気付きメモ_20050301_101500.txt");
    EXPECT_FALSE(exists("気付きメモ.txt"));
    EXPECT_EQ(readFile("気付きメモ_20050301_101500.txt"), memo);
    EXPECT_EQ(sora::read_memo(dir()).value, "");
    EXPECT_NE(sora::new_start_closing_message(result.backupName, result.memoName)
                  .find("\r\nこれまでの気付きメモは「気付きメモ_20050301_101500.txt」として残してあります。"),
              std::string::npos);

    // Again in the same second: the memo written since goes under the second copy's number; no memo, no name.
    writeFile("気付きメモ.txt", "新しいメモ\r\n");
    const sora::NewStartResult again = sora::perform_new_start(dir(), leavingSample(), m_held, Now);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.memoName, "気付きメモ_20050301_101500_2.txt");
    EXPECT_EQ(readFile("気付きメモ_20050301_101500.txt"), memo);
    EXPECT_EQ(readFile("気付きメモ_20050301_101500_2.txt"), "新しいメモ\r\n");
    const sora::NewStartResult third = sora::perform_new_start(dir(), leavingSample(), m_held, Now);
    ASSERT_TRUE(third.ok) << third.message;
    EXPECT_EQ(third.memoName, "");
    EXPECT_EQ(sora::new_start_closing_message(third.backupName, third.memoName),
              sora::new_start_closing_message(third.backupName));
}

// The user's own memo is theirs across diaries: it stays byte for byte and the closing message says nothing of it.
TEST_F(NewStartFiles, TheUsersOwnMemoStaysWhereItIs) {
    writeFile("気付きメモ.txt", "自分の気付き\r\n");
    const std::string bytes = rawFile("気付きメモ.txt");
    const sora::NewStartResult result = sora::perform_new_start(dir(), plan(), m_held, Now);
    EXPECT_TRUE(result.ok && result.memoName.empty()) << result.message;
    EXPECT_EQ(rawFile("気付きメモ.txt"), bytes);
}

class FailRenameFrom : public sora::test::PassThroughIo {
public:
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (from.filename() == std::filesystem::u8path("気付きメモ.txt")) {
            errno = EIO;
            return -1;
        }
        return sora::posix_file_io().rename(from, to);
    }
};

TEST_F(NewStartFiles, AMemoThatCannotMoveTakesTheWholeNewStartBack) {
    writeFile("気付きメモ.txt", "メモ\r\n");
    FailRenameFrom failing;
    {
        sora::FileIoOverride override(failing);
        const sora::NewStartResult result = sora::perform_new_start(dir(), leavingSample(), m_held, Now);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find("気付きメモ.txt"), std::string::npos) << result.message;
    }
    EXPECT_EQ(readFile("気付きメモ.txt"), "メモ\r\n");
    EXPECT_FALSE(exists("気付きメモ_20050301_101500.txt"));
    EXPECT_EQ(readFile("データ.txt"), OldLog);
    EXPECT_EQ(readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"ソラノート見本\"\r\n");
    EXPECT_EQ(readFile("グラフ設定.txt"), "\"自動設定\",0\r\n");
}

}  // namespace
