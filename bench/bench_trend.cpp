// The long-term graph opened on 32,767 and 100,000 records, against reading the log alone in the same run.
// Reports medians and the ratios: open / read_all (goal ≤ 3) and open(100,000) / open(32,767) (goal ≤ 3.5).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_host.h"
#include "core/clock.h"
#include "core/data_dir.h"
#include "core/measurement_log.h"
#include "core/text_codec.h"
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
    static const char* situations[] = {"起床時", "朝食後", "昼食後", "就寝前", "運動後"};
    std::vector<sora::MeasurementRecord> records;
    records.reserve(static_cast<std::size_t>(count));
    QDate day(1990, 1, 1);
    unsigned seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    for (int i = 0; i < count; ++i) {
        if (i > 0 && next(4) == 0) {
            day = day.addDays(1);
        }
        sora::MeasurementRecord r;
        r.date = day.toString("yyyy/MM/dd").toStdString();
        r.situation = situations[next(5)];
        r.systolic = static_cast<float>(105 + next(60));
        r.diastolic = static_cast<float>(62 + next(35));
        r.pulse = static_cast<float>(55 + next(40));
        r.diary = next(3) == 0 ? "7:05:09" : (next(5) == 0 ? "散歩した,よく眠れた" : "");
        r.weight = next(50) == 0 ? 0.0f : static_cast<float>(600 + next(80)) / 10.0f;
        records.push_back(r);
    }
    const auto bytes = sora::encode_log(records, true);
    std::ofstream out(dir / std::filesystem::u8path(sora::files::Log), std::ios::binary);
    out << *bytes;
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
    const sora::MeasurementLog log{sora::DataDir(fixture().dirs.at(static_cast<int>(state.range(0))))};
    for (auto _ : state) {
        const sora::LogReadResult result = log.read_all();
        if (!result.ok || result.records.size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("read_all failed");
            break;
        }
        benchmark::DoNotOptimize(result.records.data());
    }
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
    TrendScreen screen(ScreenContext{appState, dir, clock, host}, &area);
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

/// Keeps the medians so that the ratios can be printed after the run.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;     // run name without the aggregate suffix → wall ms
    std::map<std::string, double> cpuMedians;  // the same in CPU ms (steadier on a shared machine)
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
                cpuMedians[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto report = [&](const char* what, const std::map<std::string, double>& medians) {
        const auto median = [&](const char* name, int n) {
            const auto it = medians.find(std::string(name) + "/" + std::to_string(n));
            return it == medians.end() ? 0.0 : it->second;
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
    report("wall", reporter.medians);
    report("CPU", reporter.cpuMedians);
    benchmark::Shutdown();
    return 0;
}
