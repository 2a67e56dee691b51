// The long-term graph opened on 32,767 and 100,000 records, against reading the log alone in the same run.
// Reports medians and the ratios: open / read_all (goal ≤ 3) and open(100,000) / open(32,767) (goal ≤ 3.5).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_host.h"
#include "bench_support.h"
#include "common/diary_changes.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/files/text_codec.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/screen_host.h"
#include "views/trend_screen.h"

namespace {

constexpr int kSizes[] = {32767, 100000};

/// A log of `count` records: three to four a day, varied values, some diary texts, now and then no weight.
std::filesystem::path makeLog(const QTemporaryDir& root, int count) {
    const std::filesystem::path dir = std::filesystem::path(root.path().toStdString()) / std::to_string(count);
    std::filesystem::create_directories(dir);
    bench::writeLogOrExit(
        dir,
        bench::randomRecords(
            count,
            {QDate(1990, 1, 1), 12345, 4, {"起床時", "朝食後", "昼食後", "就寝前", "運動後"}, "散歩した,よく眠れた"}));
    return dir;
}

struct Fixture {
    QTemporaryDir root;
    std::map<int, std::filesystem::path> dirs;
    Fixture() {
        for (const int n : kSizes) {
            dirs[n] = makeLog(root, n);
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    bench::readAll(state, fixture().dirs.at(count), static_cast<std::size_t>(count));
}

/// Opening the screen as its button does (read, build, fill the chart, mode), then drawing the chart offscreen.
void BM_OpenTrend(benchmark::State& state) {
    const sora::DataDir dir(fixture().dirs.at(static_cast<int>(state.range(0))));
    sora::AppState appState;
    sora::FixedClock clock(sora::DateTime{{2005, 3, 1}, 10, 15, 0});
    BenchHost host;
    host.paint = false;  // the opening is measured with the chart drawn to a picture, not with pending events
    QWidget area;
    area.resize(1100, 700);
    sora::LogCache logCache{dir};
    DiaryChanges changes(appState, dir, clock, logCache, host, &area);
    TrendScreen screen(ScreenContext{appState, dir, clock, logCache, host, changes}, &area);
    host.frames = {screen.frame()};
    auto* chart = screen.frame()->findChild<ui::Chart*>("mcrRentai");
    for (auto _ : state) {
        screen.frame()->hide();
        screen.open();
        const QImage picture = chart->picture();
        if (chart->rowCount() != state.range(0) || picture.isNull()) {
            state.SkipWithError("chart not filled");
            break;
        }
        benchmark::DoNotOptimize(picture.constBits());
    }
}

BENCHMARK(BM_ReadAll)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();
BENCHMARK(BM_OpenTrend)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto report = [&](const char* what, bool cpu) {
        const auto median = [&](const char* name, int n) {
            const auto m = reporter.median(std::string(name) + "/" + std::to_string(n));
            return cpu ? m.cpu : m.wall;
        };
        std::printf("\nmedians (%s ms) and ratios\n", what);
        for (const int n : kSizes) {
            const double read = median("BM_ReadAll", n), open = median("BM_OpenTrend", n);
            std::printf("%7d records: read_all %8.2f  open %8.2f  open/read_all %5.2f (goal <= 3)\n", n, read, open,
                        read > 0 ? open / read : 0.0);
        }
        const double small = median("BM_OpenTrend", kSizes[0]), large = median("BM_OpenTrend", kSizes[1]);
        std::printf("open(100000) / open(32767) %5.2f (goal <= 3.5)\n", small > 0 ? large / small : 0.0);
    };
    report("wall", false);
    report("CPU", true);
    benchmark::Shutdown();
    return 0;
}
