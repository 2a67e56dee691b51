// The layouts people's files have, each a small fixture in the layout of a public export with values of our own,
// read through the whole preview: every value, time, situation and diary text, what is left out and why, and
// readings typed by hand before the monitor's file came in.

#include <gtest/gtest.h>

#include "core/import/column_choices.h"
#include "core/import/import_fields.h"
#include "core/import/import_preview.h"
#include "import_preview_lines.h"
#include "import_test_support.h"

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

/// The rows as `preview_lines` prints them, after "!! message" if any, then the remarks as "! remark".
Lines preview_of(const ImportFile& file, const std::vector<MeasurementRecord>& diary = {}) {
    ImportChoices choices;
    choices.rules = SituationRules{11 * 60, "起床後", 18 * 60, "就寝前", "取り込み"};
    const ImportPreview preview = build_import_preview(file.fileName, file.read, diary, choices);
    Lines lines = preview_lines(preview);
    if (!preview.message.empty()) {
        lines.insert(lines.begin(), "!! " + preview.message);
    }
    for (const std::string& remark : preview.remarks) {
        lines.push_back("! " + remark);
    }
    return lines;
}

TEST(ImportLayouts, EachSourceReadsWithItsValuesTimesSituationsAndMarks) {
    const struct {
        const char* source;
        std::string text;
        ImportKind kind;
        Lines expected;
        std::vector<MeasurementRecord> diary = {};
    } cases[] = {
        {"OMRON connect, Japanese headings: zone used, marks into the diary text, an error row without pressures",
         "\"測定日\",\"タイムゾーン\",\"最高血圧(mmHg)\",\"最低血圧(mmHg)\",\"脈拍(bpm)\",\"不規則脈波検出\","
         "\"不規則脈波検出回数(回)\",\"体動検出\",\"カフぴったり巻き\",\"メモ\",\"機種\"\n"
         "\"2026/12/01 06:42\",\"Asia/Tokyo\",\"138\",\"88\",\"71\",\"○\",\"1\",\"\",\"○\",\"\",\"HEM-X\"\n"
         "\"2026/12/01 22:15\",\"Asia/Tokyo\",\"126\",\"80\",\"64\",\"\",\"0\",\"○\",\"○\",\"入浴後\",\"HEM-X\"\n"
         "\"2026/12/02 00:20\",\"Asia/Tokyo\",\"124\",\"79\",\"62\",\"\",\"2\",\"\",\"○\",\"\",\"HEM-X\"\n"
         "\"2026/12/02 07:05\",\"Asia/Tokyo\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"エラー E2\",\"HEM-X\"\n"
         "\"2026/12/02 13:30\",\"Mars/Olympus\",\"120\",\"78\",\"66\",\"\",\"\",\"\",\"\",\"\",\"HEM-X\"\n",
         ImportKind::Omron,
         {"2 追加+ 2026/12/01 起床後 138/88/71 [6:42:00 不規則脈波]",
          "3 追加+ 2026/12/01 就寝前 126/80/64 [22:15:00 体動 入浴後]",
          "4 追加+ 2026/12/02 就寝前 124/79/62 [0:20:00 不規則脈波]",
          "6 追加+ 2026/12/02 取り込み 120/78/66 [13:30:00] "
          "タイムゾーン「Mars/Olympus」は不明です。記録の時刻をそのまま使います",
          "! タイムゾーン「Mars/Olympus」は不明です。記録の時刻をそのまま使います",
          "! 血圧のない行 1 行は取り込みません"}},
        {"OMRON connect in English, its thirteen columns as a published reader of the app's files expects them",
         "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\",\"Irregular heartbeat "
         "detected\","
         "\"IHB detection counts(times)\",\"Body Movement\",\"Cuff wrap guide\",\"Positioning Indicator\","
         "\"room temperature(°C)\",\"Measurement Mode\",\"Device\"\n"
         "\"2026/12/01 "
         "06:42\",\"Asia/Tokyo\",\"138\",\"88\",\"71\",\"Detected\",\"1\",\"\",\"OK\",\"\",\"18\",\"\",\"HEM-X\"\n"
         "\"2026/12/01 "
         "22:15\",\"Asia/Tokyo\",\"126\",\"80\",\"64\",\"\",\"2\",\"Detected\",\"OK\",\"\",\"21\",\"\",\"HEM-X\"\n",
         ImportKind::Omron,
         {"2 追加+ 2026/12/01 起床後 138/88/71 [6:42:00 不規則脈波]",
          "3 追加+ 2026/12/01 就寝前 126/80/64 [22:15:00 不規則脈波 体動]"}},
        {"OMRON's US report: month names, a 12-hour clock, '-' for nothing",
         "Date,Time,Systolic (mmHg),Diastolic (mmHg),Pulse (bpm),Symptoms,Consumed,TruRead,Notes\n"
         "Jan 12 2025,7:42 AM,132,86,68,-,-,Off,-\n"
         "Jan 12 2025,9:05 PM,127,81,-,-,Alcohol,Off,after walk\n"
         "\"Jan 13, 2025\",12:20 AM,125,80,63,-,-,Off,-\n",
         ImportKind::Generic,
         {"2 追加+ 2025/01/12 起床後 132/86/68 [7:42:00]", "3 追加+ 2025/01/12 就寝前 127/81/0 [21:05:00 after walk]",
          "4 追加+ 2025/01/13 就寝前 125/80/63 [0:20:00]"}},
        {"the open-source Android blood-pressure app: Unix milliseconds (or seconds), ';', a BOM, blanks, null",
         "\xEF\xBB\xBFtimestampUnixMs; systolic; diastolic; pulse; notes; color\n"
         "1796161320000; 128; 82; 66; null; null\n"
         "1796205930; 119; 77; null; after dinner; 4278190080\n"
         "1796180400000; null; null; 70; ; null\n",
         ImportKind::Generic,
         {"2 追加+ 2026/12/02 起床後 128/82/66 [6:42:00]", "3 追加+ 2026/12/02 就寝前 119/77/0 [19:05:30 after dinner]",
          "! 日時は UNIX 時刻です。このコンピューターの時刻（JST）に直しました",
          "! 血圧のない行 1 行は取り込みません"}},
        {"a German monitor's software: day first, told by a day above 12; N/A for nothing",
         "Datum;Uhrzeit;Sys;MAP;Dia;Puls\n01.03.2026;07:10;131;99;83;64\n13.03.2026;21:30;127;96;81;N/A\n",
         ImportKind::Generic,
         {"2 追加+ 2026/03/01 起床後 131/83/64 [7:10:00]", "3 追加+ 2026/03/13 就寝前 127/81/0 [21:30:00]"}},
        {"Withings bp.csv: pulse-only lines are counted, not made readings",
         "Date,\"Heart rate\",Systolic,Diastolic,Comments\n\"2026-12-03 07:12:09\",61,124,79,\n"
         "\"2026-12-03 07:30:00\",60,,,\n\"2026-12-03 12:00:00\",64,,,\n",
         ImportKind::Withings,
         {"2 追加+ 2026/12/03 起床後 124/79/61 [7:12:09]", "! 血圧のない行 2 行は取り込みません"}},
        {"Samsung Health: a title line, prefixed headings, the moment in UTC with the clock's offset beside it",
         "com.samsung.shealth.blood_pressure,7006011,4\n"
         "com.samsung.health.blood_pressure.systolic,com.samsung.health.blood_pressure.diastolic,"
         "com.samsung.health.blood_pressure.pulse,com.samsung.health.blood_pressure.mean,"
         "com.samsung.health.blood_pressure.start_time,com.samsung.health.blood_pressure.time_offset,"
         "com.samsung.health.blood_pressure.datauuid,com.samsung.health.blood_pressure.comment,\n"
         "128,82,70,97,2026-11-30 21:42:00.000,UTC+0900,bp-1,,\n"  // the next morning in Japan
         "119,77,,91,2026-12-02 10:05:30.000,UTC+0900,bp-2,after dinner,\n"
         "125,80,66,95,2026-12-02 13:00:00.000,UTC+0100,bp-3,,\n"
         "130,85,70,99,2026-12-03 07:00:00.000,XYZ,bp-4,,\n",
         ImportKind::SamsungHealth,
         {"3 追加+ 2026/12/01 起床後 128/82/70 [6:42:00]", "4 追加+ 2026/12/02 就寝前 119/77/0 [19:05:30 after dinner]",
          "5 追加+ 2026/12/02 取り込み 125/80/66 [14:00:00]",
          "6 読めない  取り込み 130/85/70 [] 時差「XYZ」が読めません"}},
        {"Samsung Health saved without its title line",
         "com.samsung.health.blood_pressure.systolic,com.samsung.health.blood_pressure.diastolic,"
         "com.samsung.health.blood_pressure.start_time,com.samsung.health.blood_pressure.time_offset\n"
         "128,82,2026-11-30 21:42:00.000,UTC+0900\n",
         ImportKind::SamsungHealth,
         {"2 追加+ 2026/12/01 起床後 128/82/0 [6:42:00]"}},
        {"the date order asked for, shown by a date that reads whole both ways",
         "date,sys,dia\n03/04/2026 25:00,120,80\n05/06/2026,121,81\n",
         ImportKind::Generic,
         {"!! 日付の順を選んでください（「05/06/2026」は日月年とも月日年とも読めます）。"}},
        {"a file of pulses only says why its preview is empty",
         "date,pulse\n2026/12/03,61\n2026/12/04,62\n",
         ImportKind::Generic,
         {"! 血圧のない行 2 行は取り込みません"}},
        {"headings only",
         "Measurement Date,Timezone,SYS(mmHg),DIA(mmHg),Pulse(bpm)\n",
         ImportKind::Omron,
         {"! ファイルに測定の行がありません"}},
        {"the monitor's file after readings typed by hand the same evening (the diary keeps the time of saving)",
         "Date,\"Heart rate\",Systolic,Diastolic,Comments\n"
         "\"2026-12-03 06:58:00\",67,131,84,\n"   // typed at 8:07:54 with another pulse
         "\"2026-12-03 22:01:00\",70,125,80,\n"   // typed without a time
         "\"2026-12-04 06:40:00\",66,129,83,\n"   // the same reading to the minute
         "\"2026-12-04 21:00:00\",66,129,84,\n",  // other values
         ImportKind::Withings,
         {"2 要確認 2026/12/03 起床後 131/84/67 [6:58:00] 同じ値の測定が日記の 2026/12/03 起床後（8:07:54 "
          "保存）にあります",
          "3 要確認 2026/12/03 就寝前 125/80/70 [22:01:00] 同じ値の測定が日記の 2026/12/03 就寝前にあります",
          "4 登録済み 2026/12/04 起床後 129/83/66 [6:40:00] 同じ測定が日記の 2026/12/04 起床後 にあります",
          "5 追加+ 2026/12/04 就寝前 129/84/66 [21:00:00]"},
         {{"2026/12/03", "起床後", 131, 84, 68, "8:07:54", 0},
          {"2026/12/03", "就寝前", 125, 80, 0, "頭痛", 0},
          {"2026/12/04", "起床後", 129, 83, 66, "6:40:10", 0}}},
    };
    for (const auto& c : cases) {
        const ImportFile file = read_import_text(c.text, "export.csv");
        EXPECT_EQ(file.read.kind, c.kind) << c.source;
        EXPECT_EQ(preview_of(file, c.diary), c.expected) << c.source;
    }
}

TEST(ImportLayouts, DateOrdersAreReadOnlyWhenToldOrWhenOnlyOneFits) {
    const struct {
        std::string text;
        DateOrder order;
        std::string expected;  // "yyyy/mm/dd h:mm:ss" or "-"
    } cases[] = {
        {"01.03.2026", DateOrder::Dmy, "2026/03/01"},
        {"01.03.2026", DateOrder::Mdy, "2026/01/03"},
        {"01.03.2026", DateOrder::Ymd, "-"},
        {"3/1/2026 9:05 PM", DateOrder::Mdy, "2026/03/01 21:05:00"},
        {"31/12/2026 12:00 AM", DateOrder::Dmy, "2026/12/31 0:00:00"},
        {"31/12/2026", DateOrder::Mdy, "-"},
        {"2026-03-01", DateOrder::Dmy, "2026/03/01"},  // year first reads in any order
        {"Jan 12 2025", DateOrder::Ymd, "2025/01/12"},
        {"12 January 2025 07:05", DateOrder::Dmy, "2025/01/12 7:05:00"},
        {"12-Sep-2025", DateOrder::Ymd, "2025/09/12"},
        {"Feb 30 2025", DateOrder::Ymd, "-"},
        {"Jun 12 25", DateOrder::Ymd, "-"},
        {"7:05 PM", DateOrder::Ymd, "-"},
        {"2026/03/01 13:05 PM", DateOrder::Ymd, "-"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse_import_date_time(c.text, c.order);
        std::string got = "-";
        if (parsed) {
            got = format_date(parsed->date) +
                  (parsed->hasTime ? " " + format_time_of_day(parsed->hour, parsed->minute, parsed->second) : "");
        }
        EXPECT_EQ(got, c.expected) << c.text << " " << date_order_name(c.order);
    }
    using Dates = std::vector<std::string_view>;
    EXPECT_EQ(needed_date_order(Dates{"2026/03/01", "Jan 3 2026"}), DateOrder::Ymd);
    EXPECT_EQ(needed_date_order(Dates{"03/01/2026", "03/13/2026", "garbage"}), DateOrder::Mdy);
    EXPECT_EQ(unix_seconds("1796161320.5"), 1796161320);
    EXPECT_EQ(unix_seconds("179616132"), std::nullopt);
    EXPECT_EQ(unix_seconds("17961613200x"), std::nullopt);
}

TEST(ImportLayouts, HeadingsGuessedInEnglishGermanAndJapanese) {
    const struct {
        std::string heading;
        std::vector<ColumnRole> roles;
    } cases[] = {
        {"Date,Upper,Lower,Heart Rate,Weight,Comment",
         {ColumnRole::Date, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse, ColumnRole::Weight,
          ColumnRole::Note}},
        {"Datum,Zeit,Systole,Diastole,Puls,Gewicht,Bemerkung",
         {ColumnRole::Date, ColumnRole::Time, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse,
          ColumnRole::Weight, ColumnRole::Note}},
        {"日付,上,下,脈拍,体重,コメント",
         {ColumnRole::Date, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse, ColumnRole::Weight,
          ColumnRole::Note}},
        // A zone is no time, an irregular-heartbeat mark no pulse, the mean arterial pressure no pressure to keep.
        {"Date,Time Zone,Sys,MAP,Dia,Irregular heartbeat,Pulse",
         {ColumnRole::Date, ColumnRole::Ignore, ColumnRole::Systolic, ColumnRole::Ignore, ColumnRole::Diastolic,
          ColumnRole::Ignore, ColumnRole::Pulse}},
    };
    for (const auto& c : cases) {
        const std::vector<CsvRecord> records = split_csv(c.heading + "\n2026/12/03,1,2,3,4,5,6\n", ',');
        EXPECT_EQ(guess_mapping(records).roles, c.roles) << c.heading;
    }
}

TEST(ImportLayouts, ColumnChoicesAsTypedOnTheCommandLine) {
    const std::vector<std::string> heading = {"when", "a", "b", "Memo"};
    const CsvMapping guessed{true, {ColumnRole::Ignore, ColumnRole::Ignore, ColumnRole::Systolic, ColumnRole::Note}};
    const struct {
        std::string text;
        std::vector<ColumnRole> roles;  // empty: refused with `problem`
        std::string problem;
    } cases[] = {
        {"日付と時刻=1,最高血圧=a,最低血圧=3",
         {ColumnRole::DateTime, ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Note},
         ""},
        {"日付=WHEN,メモ=2", {ColumnRole::Date, ColumnRole::Note, ColumnRole::Systolic, ColumnRole::Ignore}, ""},
        {"使わない=4", {ColumnRole::Ignore, ColumnRole::Ignore, ColumnRole::Systolic, ColumnRole::Ignore}, ""},
        {"血圧=1",
         {},
         "役割「血圧」はありません（日付、時刻、日付と時刻、最高血圧、最低血圧、脈拍、体重、一言日記、使わない）。"},
        {"日付=5", {}, "列「5」はファイルにありません（番号 1 ～ 4 か見出し）。"},
        {"日付", {}, "「日付」は 役割=列 ではありません。"},
    };
    for (const auto& c : cases) {
        CsvMapping mapping = guessed;
        EXPECT_EQ(apply_column_choices(c.text, heading, mapping), c.problem) << c.text;
        if (c.problem.empty()) {
            EXPECT_EQ(mapping.roles, c.roles) << c.text;
        }
    }
}

}  // namespace
}  // namespace sora::test
