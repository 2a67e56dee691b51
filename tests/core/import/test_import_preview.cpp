// The one path every format takes: situations from the rules, the classification against the diary, and our own
// CSV read back into the same records.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/import/import_preview.h"
#include "core/import/situation_rules.h"
#include "core/rules/saving_time.h"
#include "core/views/measurement_csv.h"
#include "import_preview_lines.h"
#include "import_test_support.h"
#include "test_support.h"

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

MeasurementRecord record(std::string date, std::string situation, float sys, float dia, float pulse,
                         std::string diary = "", float weight = 0) {
    return MeasurementRecord{std::move(date), std::move(situation), sys, dia, pulse, std::move(diary), weight};
}

TEST(ImportPreview, ClassifiesAgainstTheDiaryAndTheFileItself) {
    const std::vector<MeasurementRecord> diary = {
        record("2024/01/05", "起床後", 128, 84, 66, "7:12:41 朝"),  // saved a minute after, same minute
        record("2024/01/05", "就寝前", 121, 79, 0, ""),             // typed without a time
        record("2024/01/06", "起床後", 130, 80, 60, "6:00:00"),
    };
    const ImportFile file = read_import_text(
        "日付と時刻,最高血圧,最低血圧,脈拍,メモ\n"
        "2024/01/05 07:12,128,84,66,\n"      // in the diary, same time to the minute
        "2024/01/05 21:40,121,79,,入浴後\n"  // the diary's has no time
        "2024/01/06 07:00,130,80,60,\n"      // same values, another time: typed by hand?
        "2024/01/06 12:30,300,80,60,\n"      // questionable: not ticked
        "2024/01/06 19:00,80,120,60,\n"      // questionable: swapped
        "2024/01/06 07:00,130,80,60,\n"      // the file's own row 4 again
        "2024/01/07 ??,130,80,60,\n",        // unreadable
        "bp.csv");
    ImportChoices choices;
    choices.rules = SituationRules{11 * 60, "起床後", 18 * 60, "就寝前", "取り込み"};
    const ImportPreview preview = build_import_preview(file.fileName, file.read, diary, choices);
    EXPECT_EQ(
        preview_lines(preview),
        (Lines{
            "2 登録済み 2024/01/05 起床後 128/84/66 [7:12:00] 同じ測定が日記の 2024/01/05 起床後 にあります",
            // Same pressures as a reading typed by hand (saved at another time, or without one): asked, not taken.
            "3 要確認 2024/01/05 就寝前 121/79/0 [21:40:00 入浴後] 同じ値の測定が日記の 2024/01/05 就寝前にあります",
            "4 要確認 2024/01/06 起床後 130/80/60 [7:00:00] 同じ値の測定が日記の 2024/01/06 起床後（6:00:00 "
            "保存）にあります",
            "5 要確認 2024/01/06 取り込み 300/80/60 [12:30:00] 最高血圧 300 は通常の範囲（60～260 mmHg）の外です。"
            "打ち間違いかもしれません。",
            "6 要確認 2024/01/06 就寝前 80/120/60 [19:00:00] 最高血圧 80 は最低血圧 120 より低い値です。",
            "7 登録済み 2024/01/06 起床後 130/80/60 [7:00:00] 同じ測定がファイルの 4 行目にあります",
            "8 読めない  取り込み 130/80/60 [] 日付「2024/01/07 ??」が読めません",
        }));
    EXPECT_EQ(preview.counts, (ImportCounts{0, 2, 4, 1}));
    EXPECT_EQ(preview.countsText(), "追加 0 件　登録済み 2 件　要確認 4 件　読めない 1 件");
    EXPECT_EQ(preview.chosenCount(), 0u);
    // One situation for the whole file overrides the rules.
    choices.wholeFile = "外出先";
    const ImportPreview whole = build_import_preview(file.fileName, file.read, diary, choices);
    for (const ImportPreviewRow& row : whole.rows) {
        EXPECT_EQ(whole.record(row).situation, "外出先");
    }
}

TEST(ImportPreview, DefaultRulesFollowTheMorningEveningSetting) {
    MorningEveningSettings settings;
    settings.set("散歩後", Occasion::Morning);
    const struct {
        std::vector<std::string> list;
        SituationRules expected;
    } cases[] = {
        {{"昼食後", "起床後", "朝食後", "就寝前"}, {660, "起床後", 1080, "就寝前", "取り込み"}},
        {{"散歩後", "起床後", "夜"}, {660, "散歩後", 1080, "夜", "取り込み"}},
        {{"昼食後"}, {660, "取り込み", 1080, "取り込み", "取り込み"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(default_situation_rules(c.list, settings), c.expected);
    }
    const SituationRules rules{660, "朝", 1080, "晩", "他"};
    const struct {
        std::string time;
        std::string situation;
    } times[] = {{"0:00:00", "晩"},  {"0:20:00", "晩"},  {"3:59:59", "晩"},  {"4:00:00", "朝"},  {"10:59:59", "朝"},
                 {"11:00:00", "他"}, {"17:59:00", "他"}, {"18:00:00", "晩"}, {"23:59:59", "晩"}, {"", "他"}};
    for (const auto& t : times) {
        EXPECT_EQ(situation_at(rules, t.time), t.situation) << t.time;
    }
}

class ImportRulesFile : public DataDirTest {};

TEST_F(ImportRulesFile, RoundTripFallbackAndMalformedLines) {
    const SituationRules fallback{660, "起床後", 1080, "就寝前", "取り込み"};
    const auto missing = read_situation_rules(dir(), fallback);
    EXPECT_TRUE(missing.ok && missing.missing);
    EXPECT_EQ(missing.value, fallback);

    const SituationRules mine{9 * 60 + 30, "朝食前", 20 * 60, "入浴後", "昼間"};
    ASSERT_TRUE(write_situation_rules(dir(), mine).ok);
    EXPECT_EQ(rawFile("取り込み設定.txt"),
              cp932("\"朝\",\"9:30\",\"朝食前\"\r\n\"晩\",\"20:00\",\"入浴後\"\r\n\"その他\",\"\",\"昼間\"\r\n"));
    const auto read = read_situation_rules(dir(), fallback);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.value, mine);

    const struct {
        std::string text;
        std::string message;
    } bad[] = {
        {"\"朝\",\"9:30\",\"朝食前\"\r\n\"昼\",\"12:00\",\"昼食\"\r\n",
         "取り込み設定.txt の 2 行目が読めません（朝・晩・その他 と時刻 h:mm の行ではありません）。"},
        {"\"朝\",\"9:3\",\"朝食前\"\r\n",
         "取り込み設定.txt の 1 行目が読めません（朝・晩・その他 と時刻 h:mm の行ではありません）。"},
        {"\"朝\",\"9:30\"\r\n", "取り込み設定.txt の 1 行目が読めません（項目が3つではありません）。"},
        {"\"朝\",\"20:00\",\"a\"\r\n\"晩\",\"18:00\",\"b\"\r\n",
         "取り込み設定.txt の 2 行目が読めません（朝の時刻（20:00 より前）が晩の時刻（18:00 から）より後です。）。"},
    };
    for (const auto& b : bad) {
        writeFile("取り込み設定.txt", b.text);
        const auto r = read_situation_rules(dir(), fallback);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, b.message);
        EXPECT_EQ(r.value, fallback);
    }
}

/// A diary as a user keeps it: typed values (whole or one decimal), situations with commas and quotes turned
/// storable, diary texts with and without the saving time.
std::vector<MeasurementRecord> random_diary(std::mt19937& random, int count) {
    const std::vector<std::string> situations = {"起床後", "就寝前", "昼食後, 散歩後", "取り込み", ""};
    const std::vector<std::string> texts = {"", "散歩した", "頭痛。薬を飲んだ", "”引用”, カンマ", "①②", " 先頭に空白"};
    std::uniform_int_distribution<int> pick(0, 1000);
    std::vector<MeasurementRecord> records;
    Date date{2003, 1, 1};
    for (int i = 0; i < count; ++i) {
        date = date.add_days(pick(random) % 3);
        MeasurementRecord r;
        r.date = format_date(date);
        r.situation = situations[static_cast<std::size_t>(pick(random)) % situations.size()];
        r.systolic = pick(random) % 7 == 0 ? 0.0f : static_cast<float>(90 + pick(random) % 90);
        r.diastolic = static_cast<float>(50 + pick(random) % 50);
        r.pulse = pick(random) % 5 == 0 ? 0.0f : static_cast<float>(45 + pick(random) % 60);
        r.weight = pick(random) % 3 == 0 ? 0.0f : static_cast<float>(400 + pick(random) % 500) / 10.0f;
        const std::string text = texts[static_cast<std::size_t>(pick(random)) % texts.size()];
        const std::string time =
            pick(random) % 2 == 0 ? format_time_of_day(pick(random) % 24, pick(random) % 60, pick(random) % 60) : "";
        r.diary = import_diary_text(time, text);
        records.push_back(std::move(r));
    }
    return records;
}

TEST(ImportPreview, OwnCsvReadsBackTheSameRecords) {
    std::mt19937 random(20240105);
    for (int round = 0; round < 40; ++round) {
        const std::vector<MeasurementRecord> diary = random_diary(random, 1 + round * 7);
        std::vector<std::size_t> all(diary.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i] = i;
        }
        const ImportFile file = read_import_text(measurement_csv(diary, all), "export.csv");
        ASSERT_EQ(file.read.kind, ImportKind::OwnCsv);
        ImportChoices choices;
        choices.rules = SituationRules{660, "x", 1080, "y", "z"};
        // Into an empty diary: every row is to be added, and the records are the ones exported.
        const ImportPreview preview = build_import_preview(file.fileName, file.read, {}, choices);
        std::vector<MeasurementRecord> back;
        for (const ImportPreviewRow& row : preview.rows) {
            EXPECT_NE(row.status, ImportStatus::Unreadable) << preview.reason(row);
            back.push_back(preview.record(row));
        }
        // An empty situation, which the entry panel never saves, is left to the rules.
        std::vector<MeasurementRecord> expected = diary;
        for (MeasurementRecord& r : expected) {
            if (r.situation.empty()) {
                r.situation = situation_at(choices.rules, split_saving_time(r.diary).time);
            }
        }
        ASSERT_EQ(back, expected) << "round " << round;
        // Read again into the diary it came from, nothing is new.
        const ImportPreview again = build_import_preview(file.fileName, file.read, diary, choices);
        EXPECT_EQ(again.counts.added + again.counts.questionable, 0u) << "round " << round;
    }
}

/// Rows in no order, many of them twice, among unreadable ones, against a diary holding some: each row finds the same
/// reading in the diary or the earliest earlier row that has it, wherever the search for the row before ended.
TEST(ImportPreview, RepeatedReadingsInAnyOrderNameTheFirstThatHasThem) {
    std::mt19937 random(20050301);
    std::uniform_int_distribution<int> pick(0, 1 << 20);
    struct Reading {
        Date date;
        int systolic;
        int diastolic;
        std::string time;
    };
    std::vector<Reading> pool;
    for (int i = 0; i < 400; ++i) {
        // One time per date and values, so that no reading is a reading typed by hand.
        pool.push_back({Date{2005, 3, 1}.add_days(i / 8), 110 + i % 8, 70 + pick(random) % 15,
                        format_time_of_day(6 + i % 8, pick(random) % 60, 0)});
    }
    std::vector<MeasurementRecord> diary;
    for (std::size_t i = 0; i < pool.size(); i += 7) {
        diary.push_back({format_date(pool[i].date), "起床後", static_cast<float>(pool[i].systolic),
                         static_cast<float>(pool[i].diastolic), 0, pool[i].time, 0});
    }
    const std::size_t unreadable = pool.size();  // a row whose date does not read
    std::vector<std::size_t> shuffled;
    for (int i = 0; i < 1500; ++i) {
        shuffled.push_back(pick(random) % 10 == 0 ? unreadable : static_cast<std::size_t>(pick(random)) % pool.size());
    }
    // In any order, and in date order with each day's readings mixed (as a monitor's file is, and the diary).
    std::vector<std::size_t> byDate = shuffled;
    std::stable_sort(byDate.begin(), byDate.end(), [&](std::size_t a, std::size_t b) {
        return (a == unreadable ? pool[0].date : pool[a].date) < (b == unreadable ? pool[0].date : pool[b].date);
    });
    for (const std::vector<std::size_t>& rows : {shuffled, byDate}) {
        std::string csv = "日付と時刻,最高血圧,最低血圧\n";
        for (const std::size_t row : rows) {
            const Reading& r = pool[row == unreadable ? 0 : row];
            csv += row == unreadable ? std::string("bad,120,80\n")
                                     : format_date(r.date) + " " + r.time + "," + std::to_string(r.systolic) + "," +
                                           std::to_string(r.diastolic) + "\n";
        }
        const ImportFile file = read_import_text(csv, "readings.csv");
        const ImportPreview preview = build_import_preview(file.fileName, file.read, diary, ImportChoices{});
        ASSERT_EQ(preview.rows.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == unreadable) {
                ASSERT_EQ(preview.reason(preview.rows[i]), "日付「bad」が読めません") << "row " << i;
                continue;
            }
            const Reading& r = pool[rows[i]];
            const auto inDiary = std::find_if(diary.begin(), diary.end(), [&](const MeasurementRecord& d) {
                return d.date == format_date(r.date) && d.systolic == r.systolic && d.diastolic == r.diastolic;
            });
            const std::size_t earlier =
                static_cast<std::size_t>(std::find(rows.begin(), rows.end(), rows[i]) - rows.begin());
            const std::string expected =
                inDiary != diary.end() ? "同じ測定が日記の " + inDiary->date + " 起床後 にあります"
                : earlier < i ? "同じ測定がファイルの " + std::to_string(earlier + 2) + " 行目にあります"
                              : "";
            ASSERT_EQ(preview.reason(preview.rows[i]), expected) << "row " << i;
        }
    }
}

}  // namespace
}  // namespace sora::test
