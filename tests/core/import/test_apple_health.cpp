// Apple Health's export: blood-pressure correlations from export.xml or the export.zip that holds it, streamed.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>

#include "core/rules/dates.h"
#include "import_test_support.h"
#include "test_support.h"

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

std::string record(std::string_view type, std::string_view start, std::string_view value) {
    return "  <Record type=\"" + std::string(type) + "\" sourceName=\"Monitor\" unit=\"mmHg\" creationDate=\"" +
           std::string(start) + "\" startDate=\"" + std::string(start) + "\" endDate=\"" + std::string(start) +
           "\" value=\"" + std::string(value) + "\"/>\n";
}

std::string correlation(std::string_view start, std::string_view sys, std::string_view dia) {
    return " <Correlation type=\"HKCorrelationTypeIdentifierBloodPressure\" sourceName=\"Monitor\" creationDate=\"" +
           std::string(start) + "\" startDate=\"" + std::string(start) + "\" endDate=\"" + std::string(start) +
           "\">\n  <MetadataEntry key=\"HKWasUserEntered\" value=\"0\"/>\n" +
           record("HKQuantityTypeIdentifierBloodPressureDiastolic", start, dia) +
           record("HKQuantityTypeIdentifierBloodPressureSystolic", start, sys) + " </Correlation>\n";
}

constexpr std::string_view Head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE HealthData [\n<!ELEMENT HealthData (ExportDate,Me,(Record|Correlation)*)>\n]>\n"
    "<HealthData locale=\"ja_JP\">\n <ExportDate value=\"2024-03-01 10:00:00 +0900\"/>\n"
    " <Me HKCharacteristicTypeIdentifierBiologicalSex=\"HKBiologicalSexNotSet\"/>\n";

std::string export_xml() {
    return std::string(Head) + record("HKQuantityTypeIdentifierHeartRate", "2024-01-05 07:12:00 +0900", "66") +
           // The samples of a correlation are listed on their own as well: they must not count again.
           record("HKQuantityTypeIdentifierBloodPressureSystolic", "2024-01-05 07:12:00 +0900", "128") +
           record("HKQuantityTypeIdentifierHeartRate", "2024-01-05 20:00:00 -0500", "71") +
           correlation("2024-01-05 07:12:00 +0900", "128", "84") +
           correlation("2024-01-05 07:12:00 +0900", "128", "84") +  // the same reading from a second source
           correlation("2024-01-05 20:00:00 -0500", "119", "77") + correlation("2024-01-06 07:00:00 +0900", "", "80") +
           correlation("2024-02-30 07:00:00 +0900", "120", "80") + "</HealthData>\n";
}

const Lines ExpectedRows = {
    "11 2024/01/05 7:12:00 128/84/66/0",
    "21 2024/01/05 20:00:00 119/77/71/0",
    "26 ! 最高血圧がありません",
    "31 ! 日付「2024-02-30 07:00:00 +0900」が読めません",
};

void write_zip(const std::filesystem::path& path, const std::string& entry, const std::string& content) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    ASSERT_GE(zip_file_add(archive, entry.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    ASSERT_EQ(zip_close(archive), 0);
}

TEST(AppleHealth, CorrelationsFromTheXmlAndFromTheZip) {
    ScratchDir dir;
    write_bytes(dir / "export.xml", export_xml());
    const ImportFile xml = read_import_file(dir / "export.xml");
    EXPECT_EQ(xml.read.kind, ImportKind::AppleHealth);
    EXPECT_EQ(xml.read.message, "");
    EXPECT_EQ(row_lines(xml.read), ExpectedRows);

    write_zip(dir / "export.zip", "apple_health_export/export.xml", export_xml());
    const ImportFile zip = read_import_file(dir / "export.zip");
    EXPECT_EQ(zip.read.kind, ImportKind::AppleHealth);
    EXPECT_EQ(row_lines(zip.read), ExpectedRows);
}

TEST(AppleHealth, FilesThatAreNoExportSaySo) {
    ScratchDir dir;
    const struct {
        std::string name;
        std::string content;
        bool zip;
        std::string message;
    } cases[] = {
        {"other.zip", export_xml(), true,
         "「other.zip」の中に export.xml がありません。ヘルスケアの「すべてのヘルスケアデータを書き出す」で作った ZIP "
         "を選んでください。"},
        {"feed.xml", "<?xml version=\"1.0\"?><rss><channel/></rss>", false,
         "「feed.xml」はヘルスケアの書き出し（export.xml）ではありません。取り込める形式ではありません。"},
        {"cut.xml", export_xml().substr(0, 900), false,
         "「cut.xml」の 10 行目が XML として読めません（unclosed "
         "token）。書き出しが途中で切れていないか確かめてください。"},
        {"broken.zip", "PK\x03\x04 not really a zip", false, "「broken.zip」は ZIP として読めません。"},
    };
    for (const auto& c : cases) {
        if (c.zip) {
            write_zip(dir / c.name, "apple_health_export/export_cda.xml", c.content);
        } else {
            write_bytes(dir / c.name, c.content);
        }
        const ImportFile file = read_import_file(dir / c.name);
        EXPECT_EQ(file.read.message, c.message) << c.name;
        EXPECT_TRUE(file.read.rows.empty()) << c.name;
    }
}

TEST(AppleHealth, A200MBExportIsStreamedInBoundedMemory) {
    ScratchDir dir;
    const std::filesystem::path path = dir / "export.xml";
    std::size_t readings = 0;
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs(std::string(Head).c_str(), out);
        const std::string steps = record("HKQuantityTypeIdentifierStepCount", "2024-01-05 07:12:00 +0900", "12");
        std::string block;
        for (int i = 0; i < 1000; ++i) {
            block += steps;
        }
        std::size_t written = 0;
        for (int i = 0; written < (200u << 20); ++i) {
            std::fputs(block.c_str(), out);
            written += block.size();
            if (i % 10 == 0) {
                const std::string time = format_time_of_day(6 + readings / 60, readings % 60, 0);
                std::fputs(correlation("2024-01-05 0" + time + " +0900", "120", "80").c_str(), out);
                ++readings;
            }
        }
        std::fputs("</HealthData>\n", out);
        ASSERT_EQ(std::fclose(out), 0);
    }
    // In a child of its own, so that its peak memory is the reading's alone.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const ImportFile file = read_import_file(path);
        ::_exit(file.read.message.empty() && file.read.rows.size() == readings ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(pid, &status, 0, &usage), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer's own bookkeeping is no measure of the reader: there only the rows are checked.
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KB at the peak, for a file of 200 MB";
#endif
}

}  // namespace
}  // namespace sora::test
