// The shared log: one read for every screen while the file stays the same, a new read as soon as anything changed it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/files/log_cache.h"
#include "core/files/measurement_log.h"
#include "test_support.h"

namespace {

using namespace sora;

class SharedLogCache : public test::DataDirTest {};

TEST_F(SharedLogCache, ScreensShareOneReadUntilTheFileChanges) {
    writeFile(files::Log, "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    LogCache cache(dir());
    const SharedLog first = cache.read();
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(cache.read().records, first.records) << "an unchanged file is not read again";

    // Every way the file changes gives a new read: an append in place, a replace, a rewrite of the same size.
    const std::string second = "\"2005/02/02\",\"起床後\",130,85,72,\"\",62\r\n";
    const std::function<void()> changes[] = {
        [&] {
            MeasurementLog(dir()).append({"2005/02/02", "起床後", 130, 85, 72, "", 62});
        },
        [&] { writeFile(files::Log, "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n" + second); },
        [&] {
            writeFile(files::Log, "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n" +
                                      std::string(second).replace(25, 3, "131"));
        },
    };
    std::shared_ptr<const std::vector<MeasurementRecord>> before = first.records;
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        // File times advance in ticks of a few milliseconds; a same-size rewrite within one tick looks unchanged.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        changes[i]();
        const SharedLog now = cache.read();
        ASSERT_TRUE(now.ok) << i << now.message;
        EXPECT_NE(now.records, before) << i;
        EXPECT_EQ(*now.records, MeasurementLog(dir()).read_all().records) << i;
        before = now.records;
    }

    // A log that cannot be read gives no records and is never kept: the next read tries again.
    writeFile(files::Log, "\"2005/02/01\",\"はじめの一歩\",126\r\n");
    const SharedLog broken = cache.read();
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(broken.records->empty());
    writeFile(files::Log, "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    EXPECT_EQ(cache.read().records->size(), 1u);
    std::filesystem::remove(path(files::Log));
    EXPECT_FALSE(cache.read().ok);
}

}  // namespace
