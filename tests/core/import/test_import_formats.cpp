// The readers of each format: headings, dates and zones, empty fields, rows left out, and the kind from the content.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "core/files/text_codec.h"
#include "core/import/csv_table.h"
#include "core/import/import_fields.h"
#include "core/import/local_clock.h"
#include "import_test_support.h"

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

ImportFile read_text(std::string_view text) {
    return read_import_text(text, "test.csv");
}

TEST(ImportFormats, KindComesFromTheHeadingNotTheName) {
    const struct {
        std::string text;
        ImportKind kind;
    } cases[] = {
        {"\xEF\xBB\xBF日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n", ImportKind::OwnCsv},
        {"\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\"\n", ImportKind::Omron},
        {"Date,\"Heart rate\",Systolic,Diastolic,Comments\n", ImportKind::Withings},
        {"date;sys;dia\n2024-01-05;120;80\n", ImportKind::Generic},
        {"測定日\t最高\t最低\n2024/01/05\t120\t80\n", ImportKind::Generic},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_text(c.text).read.kind, c.kind) << c.text;
    }
}

TEST(ImportFormats, OwnCsvRowsKeepSituationTimeAndText) {
    const ImportFile file = read_text(
        "\xEF\xBB\xBF日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n"
        "2005-02-09,7:05:09,起床後,126,82,64,62.5,正常高値血圧,散歩した\r\n"
        "2005-02-09,,就寝前,118,,,,,\"カンマ, と \"\"引用\"\"\"\r\n"
        "2005-02-10,25:00:00,起床後,120,80,60,60,,\r\n"
        "2005-02-31,,起床後,120,80,60,60,,\r\n"
        "2005-02-11,,起床後,120,80\r\n");
    EXPECT_EQ(file.read.message, "");
    EXPECT_EQ(row_lines(file.read), (Lines{
                                        "2 2005/02/09 7:05:09 126/82/64/62.5 起床後|散歩した",
                                        "3 2005/02/09 - 118/0/0/0 就寝前|カンマ, と ”引用”",
                                        "4 ! 時刻「25:00:00」が読めません",
                                        "5 ! 日付「2005-02-31」が読めません",
                                        "6 ! 項目の数が 5 です（9 のはず）",
                                    }));
}

TEST(ImportFormats, OmronDatesZonesAndEmptyFields) {
    const ImportFile file = read_text(
        "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\",\"Irregular heartbeat "
        "detected\",\"Notes\"\n"
        "\"2024/01/05 07:12\",\"Asia/Tokyo\",\"128\",\"84\",\"66\",,\n"
        "\"2024/01/05 21:40\",\"Asia/Tokyo\",\"121\",\"79\",,,\"after bath\"\n"
        "\"2024/01/06 06:58\",\"Mars/Olympus\",\"131\",\"88\",\"70\",,\n"
        "\"2024/01/07 06:58\",\"+09:00\",\"131\",\"88\",\"70\",,\n"
        "\"01/08/2024 06:58\",\"Asia/Tokyo\",\"131\",\"88\",\"70\",,\n"
        "\"2024/01/09 06:58\",\"Asia/Tokyo\",\"131\",,\"70\",,\n"
        "\"2024/01/10 06:58\",\"Asia/Tokyo\",\"abc\",\"80\",\"70\",,\n");
    EXPECT_EQ(file.read.kind, ImportKind::Omron);
    EXPECT_EQ(row_lines(file.read), (Lines{
                                        "2 2024/01/05 7:12:00 128/84/66/0",
                                        "3 2024/01/05 21:40:00 121/79/0/0 |after bath",
                                        "4 2024/01/06 6:58:00 131/88/70/0",
                                        "5 2024/01/07 6:58:00 131/88/70/0",
                                        "6 ! 日付「01/08/2024 06:58」が読めません",
                                        "7 ! 最低血圧がありません",
                                        "8 ! 最高血圧「abc」が数値ではありません",
                                    }));
    // The unknown zone is said once for the file and on its row; the time is used as written.
    EXPECT_EQ(file.read.remarks, Lines{"タイムゾーン「Mars/Olympus」は不明です。記録の時刻をそのまま使います"});
    EXPECT_EQ(file.read.rows[2].remark, file.read.remarks[0]);
    EXPECT_EQ(file.read.rows[0].remark, "");
}

TEST(ImportFormats, WithingsSkipsRowsWithoutPressure) {
    const ImportFile file = read_text(
        "Date,\"Heart rate\",Systolic,Diastolic,Comments\n"
        "\"2024-03-02 21:05:33\",72,135,86,\"walked, tired\"\n"
        "\"2024-03-02 08:00:00\",61,,,\n"
        "\"2024-03-01 07:30:10\",,122,78,\n"
        "\"2024-03-01 07:00:00\",64,122,,\n");
    EXPECT_EQ(file.read.kind, ImportKind::Withings);
    EXPECT_EQ(row_lines(file.read), (Lines{
                                        "2 2024/03/02 21:05:33 135/86/72/0 |walked, tired",
                                        "3 2024/03/02 8:00:00 0/0/61/0",  // the preview leaves it out, counted
                                        "4 2024/03/01 7:30:10 122/78/0/0",
                                        "5 ! 最低血圧がありません",
                                    }));
}

TEST(ImportFormats, GenericCsvGuessesTheColumnsAndTheSeparator) {
    const struct {
        std::string text;
        std::vector<ColumnRole> roles;
        Lines rows;
    } cases[] = {
        {"日付;時刻;最高;最低;脈拍;メモ\n2024/01/05;7:30;130;85;70;朝食前\n2024年1月6日;;128;80;;\n",
         {ColumnRole::Date, ColumnRole::Time, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse,
          ColumnRole::Note},
         {"2 2024/01/05 7:30:00 130/85/70/0 |朝食前", "3 2024/01/06 - 128/80/0/0"}},
        {"when\tweight\tsys\tdia\n2024-01-05T07:30:00+09:00\t61.5\t130\t85\n",
         {ColumnRole::DateTime, ColumnRole::Weight, ColumnRole::Systolic, ColumnRole::Diastolic},
         {"2 2024/01/05 7:30:00 130/85/0/61.5"}},
        // Without headings: the date, then the numbers as systolic, diastolic and pulse.
        {"2024.01.05 07:30,130,85,70\n2024.01.06 07:31,131,86,71\n",
         {ColumnRole::DateTime, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse},
         {"1 2024/01/05 7:30:00 130/85/70/0", "2 2024/01/06 7:31:00 131/86/71/0"}},
    };
    for (const auto& c : cases) {
        const ImportFile file = read_text(c.text);
        EXPECT_EQ(file.read.kind, ImportKind::Generic);
        EXPECT_EQ(file.mapping.roles, c.roles) << c.text;
        EXPECT_EQ(row_lines(file.read), c.rows) << c.text;
    }
}

TEST(ImportFormats, GenericMappingChangedByTheUser) {
    const std::string text = "a,b,c\n2024/01/05,120,80\n";
    EXPECT_EQ(read_text(text).read.message,
              "列の割り当てを決めてください。最高血圧・最低血圧などの値の列を選んでください。");
    ImportOptions options;
    options.mapping = CsvMapping{true, {ColumnRole::Date, ColumnRole::Diastolic, ColumnRole::Systolic}};
    const ImportFile file = read_import_text(text, "x.csv", options);
    EXPECT_EQ(row_lines(file.read), Lines{"2 2024/01/05 - 80/120/0/0"});
    options.mapping = CsvMapping{false, {ColumnRole::Date, ColumnRole::Systolic, ColumnRole::Systolic}};
    EXPECT_EQ(read_import_text(text, "x.csv", options).read.message,
              "列の割り当てを決めてください。「最高血圧」の列が二つ以上あります。");
}

TEST(ImportFormats, EncodingsAreDetectedAndChangeable) {
    const std::string utf8 = "日付,最高血圧,最低血圧,メモ\r\n2024/01/05,120,80,朝①\r\n";
    const auto utf16 = [](const std::string& text, bool bigEndian, bool bom) {
        std::string out = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
        // The test text is in the basic plane: one UTF-16 unit per character.
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            char32_t code = c;
            std::size_t n = 1;
            if (c >= 0xE0) {
                code = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
                n = 3;
            } else if (c >= 0xC0) {
                code = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F);
                n = 2;
            }
            const char hi = static_cast<char>(code >> 8);
            const char lo = static_cast<char>(code & 0xFF);
            out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
            i += n;
        }
        return out;
    };
    const struct {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {utf8, TextEncoding::Utf8},
        {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8Bom},
        {utf8_to_cp932(utf8).value(), TextEncoding::Cp932},
        {utf16(utf8, false, true), TextEncoding::Utf16Le},
        {utf16(utf8, true, true), TextEncoding::Utf16Be},
        {utf16(utf8, false, false), TextEncoding::Utf16Le},
    };
    for (const auto& c : cases) {
        const ImportFile file = read_text(c.bytes);
        EXPECT_EQ(file.encoding, c.encoding) << encoding_name(c.encoding);
        EXPECT_EQ(row_lines(file.read), Lines{"2 2024/01/05 - 120/80/0/0 |朝①"}) << encoding_name(c.encoding);
    }
    // CP932 read as UTF-8 on the user's word does not decode: said, not guessed.
    ImportOptions options;
    options.encoding = TextEncoding::Utf8;
    const ImportFile wrong = read_import_text(utf8_to_cp932(utf8).value(), "x.csv", options);
    EXPECT_EQ(wrong.read.message, "「x.csv」は UTF-8 として読めません。文字コードを選び直してください。");
    EXPECT_EQ(wrong.read.kind, ImportKind::Generic);  // the mapping step, where the encoding is chosen
    // UTF-8 at the start and CP932 further on: not UTF-8 after all, said in the mapping step.
    const std::string mixed = utf8 + std::string(70000, 'a') + "\n" + utf8_to_cp932("2024/01/06,1,2,朝").value();
    const ImportFile mixedFile = read_text(mixed);
    EXPECT_EQ(mixedFile.read.message, "「test.csv」は UTF-8 として読めません。文字コードを選び直してください。");
    EXPECT_EQ(mixedFile.read.kind, ImportKind::Generic);
}

TEST(ImportFormats, BadInputGivesAMessageOrAnUnreadableRow) {
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {"", "「test.csv」は空のファイルです。"},
        {"\xEF\xBB\xBF\r\n\r\n", "「test.csv」は空のファイルです。"},
        {std::string("\x7F"
                     "ELF\x02\x01\x01\x00\x00\x00\x00\x00",
                     12),
         "「test.csv」はテキストのファイルではありません。血圧計のアプリなどが書き出した CSV か XML "
         "を選んでください。"},
        {"Dear diary,\nI measured today.\n", "列の割り当てを決めてください。日付の列を選んでください。"},
        {"just one line of prose\n",
         "「test.csv」は取り込める形式ではありません（区切られた列がありません）。CSV か TSV を選んでください。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_text(c.bytes).read.message, c.message);
        EXPECT_TRUE(read_text(c.bytes).read.rows.empty());
    }
    // A line of 1 MB is a row with a reason, and the rows around it still read.
    const std::string longNote(1 << 20, 'x');
    const ImportFile file = read_text("日付,最高血圧,最低血圧,メモ\n2024/01/05,120,80," + longNote +
                                      "\n2024/01/06,121,81,ok\n\"2024/01/07,1");
    EXPECT_EQ(row_lines(file.read), (Lines{"2 ! 一言日記が長すぎます（1048576 文字）", "3 2024/01/06 - 121/81/0/0 |ok",
                                           "4 ! 日付「2024/01/07,1」が読めません"}));
}

TEST(ImportFormats, DatesTheImportPlaces) {
    const struct {
        std::string text;
        std::string expected;  // "yyyy/mm/dd h:mm:ss zone" or "-"
    } cases[] = {
        {"2024/01/05", "2024/01/05"},
        {"2024-1-5 7:05", "2024/01/05 7:05:00"},
        {"2024-01-05 07:12:00 +0900", "2024/01/05 7:12:00 +0900"},
        {"2024-01-05T23:59:59.250Z", "2024/01/05 23:59:59 Z"},
        {"2024年1月5日 07:05:09", "2024/01/05 7:05:09"},
        {"2024/02/30", "-"},
        {"05/01/2024", "-"},
        {"2024/01/05 24:00", "-"},
        {"2024/01/05 7:5", "-"},
        {"2024-01/05", "-"},
        {"2024-01-05 07:12:00 Tokyo", "-"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse_import_date_time(c.text);
        std::string got = "-";
        if (parsed) {
            got = format_date(parsed->date);
            if (parsed->hasTime) {
                got += " " + format_time_of_day(parsed->hour, parsed->minute, parsed->second);
            }
            if (!parsed->zone.empty()) {
                got += " " + parsed->zone;
            }
        }
        EXPECT_EQ(got, c.expected) << c.text;
    }
    EXPECT_TRUE(known_time_zone("Asia/Tokyo"));
    EXPECT_TRUE(known_time_zone("UTC+09:00"));
    EXPECT_FALSE(known_time_zone("Mars/Olympus"));
    EXPECT_FALSE(known_time_zone("../../etc/passwd"));
}

TEST(ImportFormats, RowTextsOutliveTheCopiesTheyWereTakenFrom) {
    // Copies share one block: under the sanitizers a wrong count shows as a use after free or a leak.
    SharedRowTexts shared;
    std::vector<RowText> rows;
    {
        RowText situation = shared("起床後");
        for (int i = 0; i < 3; ++i) {
            rows.push_back(i == 1 ? shared(std::string("起床") + "後") : situation);
        }
        RowText& self = situation;
        situation = self;
        RowText moved = std::move(situation);
        EXPECT_TRUE(situation.empty());  // NOLINT(bugprone-use-after-move): a moved-from text is empty
        situation = "夕食後";
        rows.push_back(moved);
    }
    rows.erase(rows.begin());
    for (const RowText& text : rows) {
        EXPECT_EQ(text, "起床後");
    }
}

TEST(ImportFormats, CsvSplittingKeepsQuotedLineBreaksAndLineNumbers) {
    // A narrower record after a wider one keeps none of its fields: the reader reuses one record's strings.
    const std::vector<CsvRecord> records =
        split_csv("a,\"b\r\nc\",d\r\n\r\ne,,\"\"\"q\"\"\"\nf\n g ,\"h\"i\n\"open,", ',');
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].line, 1);
    EXPECT_EQ(records[0].fields, (Lines{"a", "b\r\nc", "d"}));
    EXPECT_EQ(records[1].line, 4);
    EXPECT_EQ(records[1].fields, (Lines{"e", "", "\"q\""}));
    EXPECT_EQ(records[2].fields, (Lines{"f"}));
    EXPECT_EQ(records[3].line, 6);
    EXPECT_EQ(records[3].fields, (Lines{" g ", "hi"}));
    EXPECT_EQ(records[4].fields, (Lines{"open,"})) << "a quote never closed takes the rest";
    EXPECT_EQ(detect_separator("a;b;c\n1;2,5;3\n"), ';');
    EXPECT_EQ(detect_separator("a\tb\n1\t2\n"), '\t');
}

TEST(ImportFormats, LocalClockAgreesWithTheCLibraryInEveryZone) {
    // Zones without summer time, with it, with half-hour summer time, a skipped day, leap seconds, a rule without
    // a file, UTC without a file; the clock must give what localtime_r gives, moving on and jumping back.
    const auto c_library = [](long long t) {
        const std::time_t seconds = static_cast<std::time_t>(t);
        std::tm local{};
        localtime_r(&seconds, &local);
        return date_time_of(local);
    };
    const char* before = std::getenv("TZ");
    const std::string kept = before != nullptr ? before : "";
    for (const char* zone : {"Asia/Tokyo", ":Asia/Tokyo", "Europe/Berlin", "America/Sao_Paulo", "Australia/Lord_Howe",
                             "Pacific/Apia", "UTC", "right/Asia/Tokyo", "JST-9", "CET-1CEST,M3.5.0,M10.5.0/3", ""}) {
        const std::string name = zone[0] == ':' ? zone + 1 : zone;
        if (name.find('/') != std::string::npos && !std::filesystem::exists("/usr/share/zoneinfo/" + name)) {
            continue;  // not every machine has every zone; Asia/Tokyo is always there for these tests
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
        LocalClock clock;
        std::mt19937_64 random(20050301);
        // First each side of Berlin's changes of 2026 (the last second before one, then its first, and back).
        const long long edges[] = {1774745999, 1774746000, 1774746001, 1792890000, 1792889999, 1792890001};
        long long t = 0;
        for (int step = 0; step < 150000 && t < 9999999999LL; ++step) {
            t = step < std::ssize(edges) ? edges[step]
                : step % 50 == 49        ? std::max(0LL, t - static_cast<long long>(random() % (20 * 86400)))
                                         : t + 1 + static_cast<long long>(random() % (48 * 3600));
            ASSERT_EQ(clock.at(t), c_library(t)) << zone << " at " << t;
        }
    }
    // New York loaded, then TZDIR pointed at a folder whose New York is Tokyo's file: the C library keeps its zone,
    // so the clock must not take Tokyo's single span for New York's summer and winter.
    if (std::filesystem::exists("/usr/share/zoneinfo/America/New_York") && std::getenv("TZDIR") == nullptr) {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / "soranote-zones";
        std::filesystem::create_directories(dir / "America");
        std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", dir / "America/New_York",
                                   std::filesystem::copy_options::overwrite_existing);
        ::setenv("TZ", "America/New_York", 1);
        ::tzset();
        ::setenv("TZDIR", dir.c_str(), 1);
        LocalClock clock;
        for (const long long t : {1720000000LL, 1735689600LL}) {  // July, then the last evening of 2024
            EXPECT_EQ(clock.at(t), c_library(t)) << "New York at " << t;
        }
        ::unsetenv("TZDIR");
        std::filesystem::remove_all(dir);
    }
    before != nullptr ? ::setenv("TZ", kept.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
}  // namespace sora::test
