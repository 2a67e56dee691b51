// Files an import must survive: paths that are no regular file, XML and ZIPs built to exhaust memory or time,
// texts with escape sequences or beyond the entry panel's limits, dates no diary can hold, and readings that differ
// only by what one side did not measure.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <functional>

#include "core/import/import_preview.h"
#include "import_preview_lines.h"
#include "import_test_support.h"
#include "test_support.h"

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

/// Peak memory in KB of `work` run in a child of its own (the exit code: 0 when `work` says it went as expected).
long child_peak_kb(const std::function<bool()>& work, int& exitCode) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return usage.ru_maxrss;
}

constexpr std::string_view HealthHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<HealthData locale=\"ja_JP\">\n";

std::string bp(std::string_view start, std::string_view sys, std::string_view dia) {
    const std::string s(start);
    return "<Correlation type=\"HKCorrelationTypeIdentifierBloodPressure\" startDate=\"" + s +
           "\"><Record type=\"HKQuantityTypeIdentifierBloodPressureSystolic\" startDate=\"" + s + "\" value=\"" +
           std::string(sys) + "\"/><Record type=\"HKQuantityTypeIdentifierBloodPressureDiastolic\" startDate=\"" + s +
           "\" value=\"" + std::string(dia) + "\"/></Correlation>\n";
}

void write_zip(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

TEST(HostileImportFiles, WhatIsNoRegularFileIsNamedAtOnce) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.csv").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.csv");
    std::filesystem::create_symlink("loop2.csv", dir / "loop1.csv");
    std::filesystem::create_symlink("loop1.csv", dir / "loop2.csv");
    std::filesystem::create_symlink("gone.csv", dir / "dangling.csv");
    const struct {
        std::filesystem::path path;
        std::string message;
    } cases[] = {
        {dir / "pipe.csv", "「pipe.csv」は普通のファイルではありません（FIFO（名前付きパイプ））。"},
        {"/dev/zero", "「zero」は普通のファイルではありません（デバイス）。"},
        {dir / "folder.csv", "「folder.csv」はフォルダです。取り込むファイルを選んでください。"},
        {dir / "loop1.csv", "「loop1.csv」はリンクが循環していて、ファイルにたどり着けません。"},
        {dir / "dangling.csv", "「dangling.csv」はリンクですが、リンク先のファイルがありません。"},
        {dir / "missing.csv", "「missing.csv」が見つかりません。"},
    };
    for (const auto& c : cases) {
        // A FIFO opened for reading would wait for a writer: the test would hang here.
        const auto start = std::chrono::steady_clock::now();
        const ImportFile file = read_import_file(c.path);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.path;
        EXPECT_TRUE(file.read.message.starts_with(c.message)) << file.read.message;
        EXPECT_TRUE(file.read.rows.empty());
    }
}

/// A billion laughs: ten levels of ten entities each.
std::string entity_bomb() {
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE HealthData [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i < 10; ++i) {
        xml += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            xml += "&l" + std::to_string(i - 1) + ";";
        }
        xml += "\">\n";
    }
    return xml + "]>\n<HealthData><Me note=\"&l9;\"/></HealthData>\n";
}

/// One attribute of 20 MB: each piece fed to the parser makes it scan the attribute again.
std::string long_attribute() {
    return std::string(HealthHead) + "<Record type=\"x\" value=\"" + std::string(20u << 20, 'a') +
           "\"/></HealthData>\n";
}

/// 64 MB of blanks around one reading, in a ZIP of a few hundred KB.
void write_zip_bomb(const std::filesystem::path& path) {
    write_zip(path, {{"apple_health_export/export.xml", std::string(HealthHead) + std::string(64u << 20, ' ') +
                                                            bp("2024-01-05 07:00:00 +0900", "120", "80") +
                                                            "</HealthData>\n"}});
}

TEST(HostileImportFiles, XmlAndZipsBuiltToExhaustMemoryOrTimeAreRefusedQuickly) {
    ScratchDir dir;
    write_bytes(dir / "laughs.xml", entity_bomb());
    write_bytes(dir / "attribute.xml", long_attribute());
    write_zip_bomb(dir / "bomb.zip");
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"laughs.xml", "「laughs.xml」は実体（ENTITY）を宣言しています。"},
        {"attribute.xml", "「attribute.xml」の 3 行目に長すぎるタグか属性があります（1 MB を超えています）。"},
        {"bomb.zip", "「bomb.zip」は展開すると大きくなりすぎます"},
        {"/dev/zero", "「zero」は普通のファイルではありません（デバイス）。"},  // endless: its peak counts too
    };
    for (const auto& c : cases) {
        // In a child of its own, so that its peak is the reading's alone.
        const auto start = std::chrono::steady_clock::now();
        int exitCode = -1;
        [[maybe_unused]] const long peak = child_peak_kb(
            [&] {
                const ImportFile file = read_import_file(dir / c.name);
                return file.read.message.starts_with(c.message) && file.read.rows.empty();
            },
            exitCode);
        EXPECT_EQ(exitCode, 0) << c.name << ": not refused with the expected message";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.name;
#ifndef __SANITIZE_ADDRESS__
        EXPECT_LT(peak, 48 * 1024) << c.name << ": KB at the peak";
#endif
    }
}

TEST(HostileImportFiles, TwoExportsInAZipAreSaidAndReadingsWithoutATimeStayApartByDay) {
    ScratchDir dir;
    const std::string xml = std::string(HealthHead) + bp("2024-01-05", "120", "80") + bp("2024-01-06", "120", "80") +
                            bp("2024-01-06", "120", "80") + "</HealthData>\n";
    write_zip(dir / "two.zip", {{"a/export.xml", xml}, {"b/export.xml", xml}});
    const ImportFile two = read_import_file(dir / "two.zip");
    EXPECT_EQ(row_lines(two.read), (Lines{"3 2024/01/05 - 120/80/0/0", "4 2024/01/06 - 120/80/0/0"}));
    EXPECT_EQ(two.read.remarks,
              Lines{"「two.zip」には export.xml が 2 個あります。最初の「a/export.xml」だけを読みました。"});
}

TEST(HostileImportFiles, ALineOfSeparatorsKeepsAtMostItsFieldsCap) {
    const ImportFile file = read_import_text(
        "日付と時刻,最高血圧,最低血圧\n" + std::string(50000, ',') + "\n2005-02-10 07:00,120,80\n", "commas.csv");
    EXPECT_EQ(file.read.remarks, Lines{"2 行目は列が多すぎるため、最初の 1024 列だけを読みました。"});
    EXPECT_EQ(row_lines(file.read), (Lines{"2 ! 日付がありません", "3 2005/02/10 7:00:00 120/80/0/0"}));
}

TEST(HostileImportRows, DatesOutsideTheDiaryAreQuestionedAndAMissingPulseMakesNoNewReading) {
    const std::vector<MeasurementRecord> diary = {{"2005/02/09", "はじめの一歩", 126, 80, 70, "", 62.5f},
                                                  {"2005/02/10", "起床後", 130, 85, 72, "7:05:00", 62}};
    const ImportFile file = read_import_text(
        "日付と時刻,最高血圧,最低血圧,脈拍\n0001-01-01 07:00,120,80,\n2005-02-08 07:00,120,80,\n"
        "2005-02-09 07:00,121,80,\n2005-03-02 23:00,120,80,\n2005-03-03 07:00,120,80,\n9999-12-31 07:00,120,80,\n"
        // The diary's reading without a pulse is the same reading, with another pulse another one.
        "2005-02-10 07:05,130,85,\n2005-02-10 07:05,130,85,90\n",
        "dates.csv");
    const std::string early = " 120/80/0 [7:00:00] 日記の始まり（2005/02/09）より前の日付です";
    const std::string late = " 120/80/0 [7:00:00] 今日より後の日付です";
    // The day after today is still a day somewhere on earth.
    const Lines expected = {"2 要確認 0001/01/01 朝" + early,
                            "3 要確認 2005/02/08 朝" + early,
                            "4 追加+ 2005/02/09 朝 121/80/0 [7:00:00]",
                            "5 追加+ 2005/03/02 朝 120/80/0 [23:00:00]",
                            "6 要確認 2005/03/03 朝" + late,
                            "7 要確認 9999/12/31 朝" + late,
                            "8 登録済み 2005/02/10 朝 130/85/0 [7:05:00] 同じ測定が日記の 2005/02/10 起床後 にあります",
                            "9 追加+ 2005/02/10 朝 130/85/90 [7:05:00]"};
    ImportChoices choices;
    choices.wholeFile = "朝";
    choices.today = Date{2005, 3, 1};
    const ImportPreview preview = build_import_preview(file.fileName, file.read, diary, choices);
    EXPECT_EQ(preview_lines(preview), expected);
    EXPECT_EQ(preview.counts, (ImportCounts{3, 1, 4, 0})) << "the questioned dates are counted";
}

TEST(HostileImportRows, ControlCharactersBecomeBlanksAndTextsKeepTheEntryPanelsLimits) {
    const std::string heading = "\xEF\xBB\xBF日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n";
    const char raw[] =
        "A\0B\x1B[2J\x1B]0;PWNED\a\x1A\x7F\xC2\x9B"
        "C";
    const std::string escapes(raw, sizeof raw - 1);
    const std::string csv = heading + "2005-02-10,7:00:00,\"起\t床後\",130,85,72,,,\"" + escapes + "\"\r\n" +
                            "2005-02-11,7:00:00,,131,85,72,,,\r\n" +  // no situation
                            "2005-02-12,7:00:00,起床後,132,85,72,,,\"" + std::string(32768, 'x') +
                            "\"\r\n" +  // too long
                            "2005-02-13,7:00:00," + std::string(101, 's') + ",133,85,72,,,\r\n";
    const ImportFile file = read_import_text(csv, "own.csv");
    ASSERT_EQ(file.read.kind, ImportKind::OwnCsv) << file.read.message;
    ImportChoices choices;
    choices.rules = SituationRules{11 * 60, "起床後", 18 * 60, "就寝前", "取り込み"};
    const ImportPreview preview = build_import_preview(file.fileName, file.read, {}, choices);
    ASSERT_EQ(preview.rows.size(), 4u);
    EXPECT_EQ(preview.record(preview.rows[0]).situation, "起 床後");
    EXPECT_EQ(preview.record(preview.rows[0]).diary, "7:00:00 A B [2J ]0;PWNED    C");
    EXPECT_EQ(preview.record(preview.rows[1]).situation, "起床後") << "an empty situation is left to the rules";
    EXPECT_EQ(preview.rows[2].status, ImportStatus::Unreadable);
    EXPECT_EQ(preview.reason(preview.rows[2]), "一言日記が長すぎます（32768 文字。32767 文字まで）");
    EXPECT_EQ(preview.rows[3].status, ImportStatus::Unreadable);
    EXPECT_EQ(preview.reason(preview.rows[3]), "状況が長すぎます（101 文字。100 文字まで）");
}

}  // namespace
}  // namespace sora::test
