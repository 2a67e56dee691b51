#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/export_file.h"
#include "core/views/measurement_csv.h"
#include "test_support.h"

using namespace sora;

TEST(MeasurementCsv, BytesOfTheListedRecords) {
    const std::vector<MeasurementRecord> records = {
        {"2005/02/09", "起床後", 146, 92, 71, "7:05:09", 62.1f},
        {"2005/02/09", "朝食後,散歩", 135.5f, 86, 73, "He said \"hi\"", 0},
        {"2005/02/10", "就寝前", 120, 80, 60, "22:48:25 よく眠れた", 62},
        {"2005/02/11", "起床後", 118, 76, 0, "", 61.5f},
    };
    const std::string csv = measurement_csv(records, {0, 1, 2});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n"
              "2005-02-09,7:05:09,起床後,146,92,71,62.1,軽症高血圧,\r\n"
              "2005-02-09,,\"朝食後,散歩\",135.5,86,73,,正常高値血圧,\"He said \"\"hi\"\"\"\r\n"
              "2005-02-10,22:48:25,就寝前,120,80,60,62,正常血圧,よく眠れた\r\n");
    // An empty selection still has its heading; a pulse of 0 stays empty.
    EXPECT_EQ(measurement_csv(records, {}), "\xEF\xBB\xBF日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n");
    EXPECT_EQ(measurement_csv(records, {3}).substr(csv.find("\r\n") + 2),
              "2005-02-11,,起床後,118,76,,61.5,至適血圧,\r\n");
}

TEST(MeasurementCsv, FieldQuoting) {
    EXPECT_EQ(csv_field("plain"), "plain");
    EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
    EXPECT_EQ(csv_field("say \"x\""), "\"say \"\"x\"\"\"");
    EXPECT_EQ(csv_field("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(csv_field(""), "");
}

TEST(MeasurementCsv, ExportReplacesAFileWhole) {
    test::ScratchDir scratch;
    const auto target = scratch / "血圧.csv";
    test::write_bytes(target, "old");
    ASSERT_TRUE(write_export_file(target, "new bytes").ok);
    EXPECT_EQ(test::bytes_of(target), "new bytes");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
    const WriteResult missingFolder = write_export_file(scratch / "nowhere" / "x.csv", "x");
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_FALSE(missingFolder.message.empty());
}
