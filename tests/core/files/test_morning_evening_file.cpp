#include <gtest/gtest.h>

#include <string>

#include "core/files/morning_evening_file.h"
#include "test_support.h"

using namespace sora;

namespace {

class MorningEveningFile : public test::DataDirTest {};

}  // namespace

TEST_F(MorningEveningFile, MissingFileGivesTheDefaults) {
    const auto read = read_morning_evening(dir());
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.missing);
    EXPECT_EQ(read.value, MorningEveningSettings{});
    EXPECT_EQ(read.value.occasion_of("起床後"), Occasion::Morning);
}

TEST_F(MorningEveningFile, RoundTripInCp932WithCrLf) {
    MorningEveningSettings settings;
    settings.target = {TargetSetting::Choice::Doctor, {130, 80}};
    settings.set("朝食後", Occasion::Neither);
    settings.set("夕食後", Occasion::Evening);
    settings.set("散歩,体操後", Occasion::Morning);
    ASSERT_TRUE(write_morning_evening(dir(), settings).ok);
    EXPECT_EQ(readFile(files::MorningEvening),
              "\"降圧目標\",\"主治医の指示\",130,80\r\n\"朝食後\",\"なし\"\r\n\"夕食後\",\"晩\"\r\n\"散歩,体操後\","
              "\"朝\"\r\n");
    const auto read = read_morning_evening(dir());
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.value, settings);
    EXPECT_EQ(fileNames(), std::vector<std::string>{"朝晩設定.txt"});  // no temporary file left
}

TEST_F(MorningEveningFile, MalformedLinesAreReportedWithFileAndLineAndGiveTheDefaults) {
    const struct {
        const char* content;
        const char* where;
    } cases[] = {
        {"\"年齢区分\",\"80歳\"\r\n", "朝晩設定.txt の 1 行目"},
        {"\"降圧目標\",\"主治医の指示\",130\r\n", "朝晩設定.txt の 1 行目"},
        {"\"降圧目標\",\"主治医の指示\",80,130\r\n", "朝晩設定.txt の 1 行目"},
        {"\"降圧目標\",\"主治医の指示\",300,80\r\n", "朝晩設定.txt の 1 行目"},
        {"\"降圧目標\",\"標準\",125,75\r\n", "朝晩設定.txt の 1 行目"},
        {"\"年齢区分\",\"75歳未満\"\r\n\"起床後\",\"昼\"\r\n", "朝晩設定.txt の 2 行目"},
        {"\"年齢区分\",\"75歳未満\"\r\n\"起床後\"\r\n", "朝晩設定.txt の 2 行目"},
        {"\"起床後\",\"朝\",1\r\n", "朝晩設定.txt の 1 行目"},
        {"\"\",\"朝\"\r\n", "朝晩設定.txt の 1 行目"},
    };
    for (const auto& c : cases) {
        writeFile(files::MorningEvening, c.content);
        const auto read = read_morning_evening(dir());
        EXPECT_FALSE(read.ok) << c.content;
        EXPECT_NE(read.message.find(c.where), std::string::npos) << read.message;
        EXPECT_EQ(read.value, MorningEveningSettings{}) << c.content;
    }
    test::write_bytes(path(files::MorningEvening), "\"\x81\",\"\x92\xa9\"\r\n");  // a lead byte without its trail
    const auto undecodable = read_morning_evening(dir());
    EXPECT_FALSE(undecodable.ok);
    EXPECT_NE(undecodable.message.find("1 行目"), std::string::npos) << undecodable.message;
}

TEST_F(MorningEveningFile, RenameWritesOnlyWhatChangesAndLeavesAnUnreadableFileAlone) {
    ASSERT_TRUE(rename_in_morning_evening(dir(), "昼食後", "夕食後").ok);
    EXPECT_FALSE(exists(files::MorningEvening));  // both neither: nothing to keep
    ASSERT_TRUE(rename_in_morning_evening(dir(), "起床後", "目覚め").ok);
    EXPECT_EQ(readFile(files::MorningEvening), "\"降圧目標\",\"標準\"\r\n\"目覚め\",\"朝\"\r\n");

    writeFile(files::MorningEvening, "\"起床後\",\"昼\"\r\n");
    EXPECT_TRUE(rename_in_morning_evening(dir(), "起床後", "目覚め").ok);
    EXPECT_EQ(readFile(files::MorningEvening), "\"起床後\",\"昼\"\r\n");
}

// 75歳以上 keeps its 135/85 and its name until the user chooses a target.
TEST_F(MorningEveningFile, TheAgeGroupOfEarlierVersionsReadsAsTheTargetThatUserHadAndIsWrittenAnew) {
    const struct {
        const char* ageLine;
        TargetSetting target;
        const char* written;
        const char* named;
    } cases[] = {
        {"\"年齢区分\",\"75歳未満\"", {}, "\"降圧目標\",\"標準\"", "125/75 mmHg 未満（標準、JSH2025）"},
        {"\"年齢区分\",\"75歳以上\"",
         {TargetSetting::Choice::Doctor, {135, 85}, true},
         "\"年齢区分\",\"75歳以上\"",
         "135/85 mmHg 未満（以前の設定 75歳以上）"},
    };
    for (const auto& c : cases) {
        writeFile(files::MorningEvening, std::string(c.ageLine) + "\r\n\"朝食後\",\"晩\"\r\n");
        auto read = read_morning_evening(dir());
        ASSERT_TRUE(read.ok) << read.message;
        EXPECT_EQ(read.value.target, c.target) << c.ageLine;
        EXPECT_EQ(target_text(read.value.target), c.named);
        read.value.set("昼食後", Occasion::Evening);
        ASSERT_TRUE(write_morning_evening(dir(), read.value).ok);
        EXPECT_EQ(readFile(files::MorningEvening),
                  std::string(c.written) + "\r\n\"朝食後\",\"晩\"\r\n\"昼食後\",\"晩\"\r\n");
    }
}
