#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/files/measurement_log.h"
#include "core/files/text_codec.h"
#include "core/rules/dates.h"
#include "test_support.h"

namespace {

using sora::MeasurementLog;
using sora::MeasurementRecord;
using sora::test::bytes_of;
using sora::test::cp932;
using sora::test::ScratchDir;
using sora::test::write_bytes;

// "2005/02/09","はじめの一歩",126,80,70,,62.5 and a second record of the same day, as the file holds them.
const std::string StartLineBytes =
    "\"2005/02/09\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",126,80,70,,62.5\r\n";
const std::string SecondLineBytes =
    "\"2005/02/09\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",125,79,66,\"\",62.6\r\n";

const MeasurementRecord Start{"2005/02/09", "はじめの一歩", 126, 80, 70, "", 62.5f};
const MeasurementRecord Second{"2005/02/09", "はじめの一歩", 125, 79, 66, "", 62.6f};

std::vector<std::string> dates_and_situations(const std::vector<MeasurementRecord>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) {
        out.push_back(r.date + " " + r.situation);
    }
    return out;
}

TEST(MeasurementLog, ReadsAndWritesTheFileByteForByte) {
    ScratchDir dir;
    write_bytes(dir / "データ.txt", StartLineBytes + SecondLineBytes);
    const MeasurementLog log{sora::DataDir(dir.path())};

    const auto read = log.read_all();
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.records, (std::vector<MeasurementRecord>{Start, Second}));

    // Start-record form keeps the empty sixth field empty; the plain form normalises it to "".
    ASSERT_TRUE(log.rewrite_all(read.records, true).ok);
    EXPECT_EQ(bytes_of(dir / "データ.txt"), StartLineBytes + SecondLineBytes);
    ASSERT_TRUE(log.rewrite_all(read.records, false).ok);
    EXPECT_EQ(bytes_of(dir / "データ.txt"),
              "\"2005/02/09\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",126,80,70,\"\",62.5\r\n" +
                  SecondLineBytes);
    EXPECT_FALSE(std::filesystem::exists(dir / "データコピー.txt"));

    EXPECT_EQ(log.read_first().records, std::vector<MeasurementRecord>{Start});
}

TEST(MeasurementLog, FormatsNumbersAndTextsAsTheFileWantsThem) {
    EXPECT_EQ(sora::format_record_line({"2005/03/01", "起床後", 168.5f, 99, 60, "7:05:09", 62.5f}),
              R"("2005/03/01","起床後",168.5,99,60,"7:05:09",62.5)");
    // The file cannot hold a double quote, so it becomes "”".
    EXPECT_EQ(sora::format_record_line({"2005/03/01", "a\"b", 120, 80, 60, "\"x\"", 63.1f}),
              R"("2005/03/01","a”b",120,80,60,"”x”",63.1)");
    EXPECT_EQ(sora::format_record_line({"2005/03/01", "s", 120, 80, 60, "", 63}, true),
              R"("2005/03/01","s",120,80,60,,63)");
    EXPECT_EQ(sora::format_record_line({"2005/03/01", "s", 120, 80, 60, "d", 63}, true),
              R"("2005/03/01","s",120,80,60,"d",63)");
}

TEST(MeasurementLog, TextsWithCommasQuotesAndOddSpacingReadBack) {
    ScratchDir dir;
    const MeasurementLog log{sora::DataDir(dir.path())};
    const std::vector<MeasurementRecord> records{
        {"2005/02/01", "はじめの一歩", 126, 80, 70, "", 62.5f},
        {"2005/02/02", "朝食後", 131.5f, 85.25f, 71, "今日は晴れ,気分も良い", 63.4f},
        {"2005/02/02", "昼食後, 外食", 120, 80, 60, " 前後に空白 ", 0.1f},
        {"2005/02/03", "就寝前", 998.9f, 1, 1, "①～③を確認", 150},
    };
    ASSERT_TRUE(log.rewrite_all(records, true).ok);
    EXPECT_EQ(log.read_all().records, records);
    // The comma stays inside the quotes in the file.
    EXPECT_NE(bytes_of(dir / "データ.txt").find("\x90\xB0\x82\xEA\x2C\x8B\x43"), std::string::npos);

    const auto withQuote = MeasurementRecord{"2005/02/04", "a\"b", 120, 80, 60, "\"", 60};
    ASSERT_TRUE(log.append(withQuote).ok);
    const auto back = log.read_all().records.back();
    EXPECT_EQ(back.situation, "a”b");
    EXPECT_EQ(back.diary, "”");
}

TEST(MeasurementLog, InsertsAfterItsDayAndBeforeTheNextLaterDay) {
    struct Case {
        const char* date;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases{
        {"2005/02/03", {"2005/02/01 s", "2005/02/03 a", "2005/02/03 b", "2005/02/03 new", "2005/02/05 c"}},
        {"2005/02/02", {"2005/02/01 s", "2005/02/02 new", "2005/02/03 a", "2005/02/03 b", "2005/02/05 c"}},
        {"2005/02/01", {"2005/02/01 s", "2005/02/01 new", "2005/02/03 a", "2005/02/03 b", "2005/02/05 c"}},
        {"2005/01/31", {"2005/01/31 new", "2005/02/01 s", "2005/02/03 a", "2005/02/03 b", "2005/02/05 c"}},
        {"2005/02/05", {"2005/02/01 s", "2005/02/03 a", "2005/02/03 b", "2005/02/05 c", "2005/02/05 new"}},
        {"2005/02/07", {"2005/02/01 s", "2005/02/03 a", "2005/02/03 b", "2005/02/05 c", "2005/02/07 new"}},
    };
    const std::string original = cp932(
        "\"2005/02/01\",\"s\",126,80,70,,62.5\r\n"
        "\"2005/02/03\",\"a\",120,80,60,\"\",62\r\n"
        "\"2005/02/03\",\"b\",120,80,60,\"7:05:09\",62\r\n"
        "\"2005/02/05\",\"c\",120,80,60,\"\",62\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        ScratchDir dir;
        write_bytes(dir / "データ.txt", original);
        const MeasurementLog log{sora::DataDir(dir.path())};
        ASSERT_TRUE(log.insert_in_order({c.date, "new", 121, 81, 61, "", 61.5f}).ok);
        const auto read = log.read_all();
        ASSERT_TRUE(read.ok) << read.message;
        EXPECT_EQ(dates_and_situations(read.records), c.expected);
        EXPECT_FALSE(std::filesystem::exists(dir / "データコピー.txt"));
        // A rewrite normalises the start record's empty diary; an append leaves the old lines alone.
        const bool rewritten = std::string(c.date) < "2005/02/05";
        EXPECT_EQ(bytes_of(dir / "データ.txt").find(",,") == std::string::npos, rewritten);
    }
}

TEST(MeasurementLog, UnreadableLinesNameFileAndLineAndGiveNoRecords) {
    const std::string good = "\"2005/02/01\",\"s\",126,80,70,,62.5\r\n\"2005/02/02\",\"t\",120,80,60,\"\",62\r\n";
    struct Case {
        std::string third;
        std::string message;
    };
    const std::vector<Case> cases{
        {"\"2005/02/03\",\"t\",120,80,60,62\r\n", "データ.txt の 3 行目が読めません（項目が7つではありません）。"},
        {"\"2005/02/03\",\"t\",120,80,60,\"\",62,1\r\n",
         "データ.txt の 3 行目が読めません（項目が7つではありません）。"},
        {"\r\n" + good, "データ.txt の 3 行目が読めません（項目が7つではありません）。"},
        {"\"2005/02/03\",\"t\",120,abc,60,\"\",62\r\n",
         "データ.txt の 3 行目が読めません（数値ではない項目があります）。"},
        {"\"2005/02/03\",\"t\",120,80,60,\"\",\r\n",
         "データ.txt の 3 行目が読めません（数値ではない項目があります）。"},
        {"\"2005/02/03\",\"t\",120,80,nan,\"\",62\r\n",
         "データ.txt の 3 行目が読めません（数値ではない項目があります）。"},
        {"\"2005/2/3\",\"t\",120,80,60,\"\",62\r\n", "データ.txt の 3 行目が読めません（日付が正しくありません）。"},
        {"\"2005/02/03\",\"t,120,80,60,\"\",62\r\n", "データ.txt の 3 行目が読めません（引用符が閉じていません）。"},
        {"\"2005/02/03\",\"t\",120,80,60,\"x,62\r\n", "データ.txt の 3 行目が読めません（引用符が閉じていません）。"},
        {"\"2005/02/03\",\"t\"x,120,80,60,\"\",62\r\n", "データ.txt の 3 行目が読めません（引用符が閉じていません）。"},
        {"\"2005/02/03\",\"t\",120,80,60,\"x\ny\",62\r\n",
         "データ.txt の 3 行目が読めません（引用符が閉じていません）。"},
        {"\"2005/02/03\",\"t\",12\x82,80,60,\"\",62\r\n",
         "データ.txt の 3 行目が読めません（文字コードが正しくありません）。"},
        {"\"2005/02/03\",\"\x82\",120,80,60,\"\",62\r\n" + good,
         "データ.txt の 3 行目が読めません（文字コードが正しくありません）。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.third);
        const auto result = sora::parse_log(good + c.third);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.errorLine, 3);
        EXPECT_TRUE(result.records.empty());
    }

    ScratchDir dir;
    const MeasurementLog log{sora::DataDir(dir.path())};
    const auto missing = log.read_all();
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.errorLine, 0);
    EXPECT_NE(missing.message.find("データ.txt"), std::string::npos);
    EXPECT_FALSE(log.read_first().ok);

    // An insertion never rewrites a log it could not read completely.
    write_bytes(dir / "データ.txt", good + "broken\r\n");
    const auto refused = log.insert_in_order({"2005/02/01", "x", 1, 1, 1, "", 1});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "データ.txt の 3 行目が読めません（項目が7つではありません）。");
    EXPECT_EQ(bytes_of(dir / "データ.txt"), good + "broken\r\n");
}

TEST(MeasurementLog, ImpossibleDatesAreUnreadableLines) {
    const std::string first = "\"2005/02/01\",\"s\",126,80,70,,62.5\r\n";
    // The writers' exact form and a hand-edited one (blanks, start-record diary) take different paths in the reader.
    const auto lines = [](const std::string& date) {
        return std::vector<std::string>{"\"" + date + "\",\"t\",120,80,60,\"\",62\r\n",
                                        " \"" + date + "\" ,\"t\", 120,80,60,,62\r\n"};
    };
    for (const char* date : {"2005/02/30", "0000/02/28", "2005/13/01", "2005/00/10", "2005/02/00", "2005/04/31",
                             "2001/02/29", "1900/02/29", "2005/02/32", "2005/99/99"}) {
        for (const std::string& line : lines(date)) {
            SCOPED_TRACE(line);
            const auto result = sora::parse_log(first + line + first);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.message, "データ.txt の 2 行目が読めません（日付が正しくありません）。");
            EXPECT_EQ(result.errorLine, 2);
            EXPECT_TRUE(result.records.empty());
        }
    }
    // Every field combination around the month and year ends: accepted exactly when the calendar has the day,
    // which the serial day number tells independently (an impossible date comes back as another one).
    for (const int year : {0, 1, 1900, 2000, 2004, 2005, 9999}) {
        for (int month = 0; month <= 13; ++month) {
            for (int day = 0; day <= 32; ++day) {
                const sora::Date date{year, month, day};
                const bool real = year >= 1 && sora::Date::from_serial(date.serial()) == date;
                char text[16];
                std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
                for (const std::string& line : lines(text)) {
                    const auto result = sora::parse_log(first + line);
                    EXPECT_EQ(result.ok, real) << line;
                    EXPECT_EQ(result.records.size(), real ? 2u : 0u) << line;
                }
            }
        }
    }
}

TEST(MeasurementLog, NumbersReadAsTheNearestFloat) {
    // The reader's own decimal conversion must agree with from_chars everywhere, halfway cases included.
    std::vector<std::string> texts{"126",      "62.5",     "168.5",    "0.1",       "999.9",
                                   "16777217", "16777219", "0.000001", "3.4028235", "123456789012345",
                                   "5.",       ".5",       "007",      "-12.5",     "1e2"};
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(rng() % 9);
        std::string text = std::to_string(rng() % 1000000000).substr(0, static_cast<std::size_t>(digits));
        const std::size_t dot = rng() % (text.size() + 1);
        if (dot < text.size()) {
            text.insert(dot, ".");
        }
        texts.push_back(text);
    }
    std::string log;
    for (const auto& text : texts) {
        log += "\"2005/02/01\",\"s\"," + text + "," + text + "," + text + ",\"\"," + text + "\r\n";
    }
    const auto result = sora::parse_log(log);
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(result.records.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        float expected = 0;
        std::from_chars(texts[i].data(), texts[i].data() + texts[i].size(), expected);
        EXPECT_EQ(result.records[i].systolic, expected) << texts[i];
        EXPECT_EQ(result.records[i].weight, expected) << texts[i];
    }
}

TEST(MeasurementLog, ToleratesHarmlessLineEndings) {
    const std::string records = "\"2005/02/01\",\"s\",126,80,70,,62.5\r\n\"2005/02/02\",\"t\", 120 ,80,60,\"\",62";
    for (const std::string& text :
         std::vector<std::string>{records, records + "\r\n", records + "\r\n\r\n", records + "\n",
                                  "\"2005/02/01\",\"s\",126,80,70,,62.5\n\"2005/02/02\",\"t\",120,80,60,\"\",62\n",
                                  // Blanks or tabs on a last line, and a DOS end-of-file byte, are no record either.
                                  records + "\r\n   \r\n", records + "\r\n\t", records + "\r\n \t \r\n\r\n",
                                  records + "\r\n\x1a", records + "\x1a", records + "\r\n\r\n\x1a"}) {
        const auto result = sora::parse_log(text);
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(result.records.size(), 2u);
    }
    EXPECT_TRUE(sora::parse_log("").ok);
    EXPECT_TRUE(sora::parse_log("").records.empty());
}

TEST(MeasurementLog, ASaveAfterABlankOrEndOfFileTailKeepsTheLogReadable) {
    // Each tail once made every save fail; now the record lands last and the log reads whole.
    for (const std::string tail : {"   \r\n", "\t", "\r\n", "\x1a", " \r\n\x1a"}) {
        SCOPED_TRACE(::testing::PrintToString(tail));
        ScratchDir dir;
        write_bytes(dir / "データ.txt", StartLineBytes + tail);
        const MeasurementLog log{sora::DataDir(dir.path())};
        const sora::WriteResult saved = log.append(Second);
        ASSERT_TRUE(saved.ok) << saved.message;
        const auto read = log.read_all();
        ASSERT_TRUE(read.ok) << read.message;
        ASSERT_EQ(read.records.size(), 2u);
        EXPECT_EQ(read.records.back().date, Second.date);
    }
    // Between records a blank line stays an error: it is no record, and nothing may be written back from it.
    EXPECT_FALSE(sora::parse_log(StartLineBytes + " \t\r\n" + SecondLineBytes).ok);
}

TEST(MeasurementLog, RefusesTextsTheFileCannotHoldWithoutWriting) {
    ScratchDir dir;
    write_bytes(dir / "データ.txt", StartLineBytes);
    const MeasurementLog log{sora::DataDir(dir.path())};
    const MeasurementRecord emoji{"2005/02/10", "起床後", 120, 80, 60, "元気😀", 62};
    const MeasurementRecord earlier{"2005/02/08", "😀", 120, 80, 60, "", 62};
    for (const auto& result : {log.append(emoji), log.insert_in_order(earlier), log.rewrite_all({Start, emoji})}) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message,
                  "保存できない文字（絵文字など）が含まれているため、「データ.txt」に書き込みませんでした。");
    }
    EXPECT_EQ(bytes_of(dir / "データ.txt"), StartLineBytes);
    EXPECT_FALSE(sora::encode_log({emoji}).has_value());
}

TEST(MeasurementLog, AppendStartsANewLineAfterAnUnfinishedOne) {
    ScratchDir dir;
    write_bytes(dir / "データ.txt", StartLineBytes.substr(0, StartLineBytes.size() - 2));
    const MeasurementLog log{sora::DataDir(dir.path())};
    ASSERT_TRUE(log.append(Second).ok);
    EXPECT_EQ(bytes_of(dir / "データ.txt"), StartLineBytes + SecondLineBytes);
}

TEST(MeasurementLog, FindsTheLogWhateverTheCaseOfItsName) {
    ScratchDir dir;
    write_bytes(dir / "データ.TXT", StartLineBytes);
    const MeasurementLog log{sora::DataDir(dir.path())};
    ASSERT_TRUE(log.read_all().ok);
    ASSERT_TRUE(log.append(Second).ok);
    ASSERT_TRUE(log.insert_in_order({"2005/02/01", "x", 120, 80, 60, "", 60}).ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "データ.txt"));
    EXPECT_EQ(log.read_all().records.size(), 3u);
}

TEST(MeasurementLog, HandlesMoreRecordsThanA16BitCounter) {
    ScratchDir dir;
    const MeasurementLog log{sora::DataDir(dir.path())};
    std::vector<MeasurementRecord> records(100001, Second);
    records[0] = Start;
    records[70000].diary = "70001行目";
    ASSERT_TRUE(log.rewrite_all(records, true).ok);
    const auto read = log.read_all();
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(read.records.size(), 100001u);
    EXPECT_EQ(read.records[70000].diary, "70001行目");
    EXPECT_EQ(log.read_first().records, std::vector<MeasurementRecord>{Start});

    std::string bytes = bytes_of(dir / "データ.txt");
    bytes += "broken\r\n";
    const auto bad = sora::parse_log(bytes);
    EXPECT_EQ(bad.errorLine, 100002);
    EXPECT_EQ(bad.message, "データ.txt の 100002 行目が読めません（項目が7つではありません）。");
}

TEST(MeasurementLog, ReadFirstLooksOnlyAtTheFirstLine) {
    ScratchDir dir;
    write_bytes(dir / "データ.txt", StartLineBytes + "not a record\r\n\x82\r\n");
    const MeasurementLog log{sora::DataDir(dir.path())};
    const auto first = log.read_first();
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.records, std::vector<MeasurementRecord>{Start});
    EXPECT_FALSE(log.read_all().ok);

    write_bytes(dir / "データ.txt", "");
    EXPECT_FALSE(log.read_first().ok);
}

}  // namespace
