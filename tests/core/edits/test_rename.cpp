#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/edits/rename_situation.h"
#include "core/files/data_dir.h"
#include "core/files/side_files.h"
#include "faulty_io.h"
#include "test_support.h"

namespace {

using sora::test::DataDirTest;
using sora::test::FailRenameOnto;

class RenameSituation : public DataDirTest {
protected:
    void SetUp() override {
        DataDirTest::SetUp();
        writeFile("データ.txt",
                  "\"2005/02/01\",\"散歩\",120,80,70,,62.5\r\n"
                  "\"2005/02/01\",\"散歩後\",118.5,76,66,\"7:05:09\",62.4\r\n"
                  "\"2005/02/02\",\" 散歩\",131,84,75,\"散歩\",62\r\n"
                  "\"2005/02/03\",\"散歩\",126,80,70,\"朝,散歩\",61.9\r\n");
        writeFile("状況リスト.txt", "散歩\r\n散歩後\r\n\"朝,食前\"\r\n就寝前\r\n");
    }
};

TEST_F(RenameSituation, OnlyExactMatchesChangeAndTheListIsQuoted) {
    const sora::RenameResult result = sora::rename_situation(dir(), "散歩", "ウォーキング");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.logRewritten);
    EXPECT_EQ(result.records, 2);
    EXPECT_EQ(result.entries, 1);
    // The start record's empty diary comes back as ""; diaries holding the old text stay as they were.
    EXPECT_EQ(readFile("データ.txt"),
              "\"2005/02/01\",\"ウォーキング\",120,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"散歩後\",118.5,76,66,\"7:05:09\",62.4\r\n"
              "\"2005/02/02\",\" 散歩\",131,84,75,\"散歩\",62\r\n"
              "\"2005/02/03\",\"ウォーキング\",126,80,70,\"朝,散歩\",61.9\r\n");
    EXPECT_EQ(readFile("状況リスト.txt"), "\"ウォーキング\"\r\n\"散歩後\"\r\n\"朝,食前\"\r\n\"就寝前\"\r\n");
    EXPECT_EQ(sora::read_situations(dir()).value,
              (std::vector<std::string>{"ウォーキング", "散歩後", "朝,食前", "就寝前"}));
    EXPECT_FALSE(exists("データＣＨＧ.txt"));
    EXPECT_FALSE(exists("状況リストＣＨＧ.txt"));
}

TEST_F(RenameSituation, ToAnExistingSituationMergesAndToItselfChangesNoText) {
    ASSERT_TRUE(sora::rename_situation(dir(), "散歩", "就寝前").ok);
    const std::string log = readFile("データ.txt");
    EXPECT_EQ(log,
              "\"2005/02/01\",\"就寝前\",120,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"散歩後\",118.5,76,66,\"7:05:09\",62.4\r\n"
              "\"2005/02/02\",\" 散歩\",131,84,75,\"散歩\",62\r\n"
              "\"2005/02/03\",\"就寝前\",126,80,70,\"朝,散歩\",61.9\r\n");
    EXPECT_EQ(sora::read_situations(dir()).value, (std::vector<std::string>{"就寝前", "散歩後", "朝,食前", "就寝前"}));

    const sora::RenameResult same = sora::rename_situation(dir(), "散歩後", "散歩後");
    ASSERT_TRUE(same.ok);
    EXPECT_EQ(same.records, 1);
    EXPECT_EQ(readFile("データ.txt"), log);
    EXPECT_EQ(readFile("状況リスト.txt"), "\"就寝前\"\r\n\"散歩後\"\r\n\"朝,食前\"\r\n\"就寝前\"\r\n");
}

TEST_F(RenameSituation, UnreadableLogWritesNothing) {
    writeFile("データ.txt", "\"2005/02/01\",\"散歩\",120,80\r\n");
    const std::string list = readFile("状況リスト.txt");
    const sora::RenameResult result = sora::rename_situation(dir(), "散歩", "ウォーキング");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.logRewritten);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(readFile("データ.txt"), "\"2005/02/01\",\"散歩\",120,80\r\n");
    EXPECT_EQ(readFile("状況リスト.txt"), list);
}

TEST_F(RenameSituation, FailuresAreReportedAndLeaveTheFileIntact) {
    const std::string log = readFile("データ.txt");
    const std::string list = readFile("状況リスト.txt");
    {
        FailRenameOnto failing("データ.txt");
        sora::FileIoOverride override(failing);
        const sora::RenameResult result = sora::rename_situation(dir(), "散歩", "ウォーキング");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.logRewritten);
        EXPECT_NE(result.message.find("データ"), std::string::npos) << result.message;
    }
    EXPECT_EQ(readFile("データ.txt"), log);
    EXPECT_EQ(readFile("状況リスト.txt"), list);
    {
        FailRenameOnto failing("状況リスト.txt");
        sora::FileIoOverride override(failing);
        const sora::RenameResult result = sora::rename_situation(dir(), "散歩", "ウォーキング");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.logRewritten);  // the log went first and was put back
        EXPECT_NE(result.message.find("状況リスト.txt"), std::string::npos) << result.message;
    }
    EXPECT_EQ(readFile("データ.txt"), log);
    EXPECT_EQ(readFile("状況リスト.txt"), list);
    EXPECT_FALSE(exists("データＣＨＧ.txt"));
    EXPECT_FALSE(exists("状況リストＣＨＧ.txt"));
}

}  // namespace
