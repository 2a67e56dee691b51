// DSP_MAIN on a log of 32,767 records against reading that log, in the same run.
// Run with QT_QPA_PLATFORM=offscreen. Goal: DSP_MAIN costs at most 1.5 times read_all.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <string>

#include "bench_host.h"
#include "bench_support.h"
#include "common/diary_changes.h"
#include "common/screen_context.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "main/main_screen.h"
#include "ui/dialogs.h"
#include "ui/screen_host.h"

namespace {

constexpr int kRecords = 32767;

struct Fixture {
    QTemporaryDir temp;
    sora::DataDir dir{temp.path().toStdString()};
    std::string lastDay;

    Fixture() {
        // Four measurements a day, as a diary kept for over 22 years would hold.
        std::vector<sora::MeasurementRecord> records;
        records.reserve(kRecords);
        QDate day(2000, 1, 1);
        static const char* const situations[4] = {"起床後", "朝食後", "夕食後", "就寝前"};
        for (int i = 0; i < kRecords; ++i) {
            if (i > 0 && i % 4 == 0) {
                day = day.addDays(1);
            }
            sora::MeasurementRecord r;
            r.date = day.toString("yyyy/MM/dd").toStdString();
            r.situation = situations[i % 4];
            r.systolic = static_cast<float>(110 + i % 40);
            r.diastolic = static_cast<float>(70 + i % 25);
            r.pulse = static_cast<float>(60 + i % 20);
            r.diary = i % 3 == 0 ? "7:05:09" : "";
            r.weight = 60.0f + static_cast<float>(i % 50) / 10.0f;
            records.push_back(r);
        }
        lastDay = records.back().date;
        bench::writeLogOrExit(dir.path(), records);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir.path(), kRecords);
}

void BM_DspMain(benchmark::State& state) {
    sora::AppState appState;
    appState.selectedDate = fixture().lastDay;
    const sora::FixedClock clock(sora::DateTime{{2005, 3, 1}, 10, 15, 0});
    BenchHost host;
    QWidget window;
    window.resize(1100, 700);
    sora::LogCache logCache{fixture().dir};
    DiaryChanges changes(appState, fixture().dir, clock, logCache, host, &window);
    MainScreen screen(ScreenContext{appState, fixture().dir, clock, logCache, host, changes}, &window);
    screen.frame()->resize(1100, 700);
    screen.frame()->show();
    window.show();
    screen.selectSeriesMode(4);
    QApplication::processEvents();
    for (auto _ : state) {
        screen.DSP_MAIN();
        if (appState.recordCount != kRecords) {
            state.SkipWithError("log not read completely");
            break;
        }
    }
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_DspMain)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto read = reporter.median("BM_ReadAll");
    const auto page = reporter.median("BM_DspMain");
    if (read.wall > 0 && page.wall > 0) {
        std::printf("median read_all %.2f ms, median DSP_MAIN %.2f ms, ratio %.2f (goal <= 1.5)\n", read.wall,
                    page.wall, page.wall / read.wall);
        std::printf("CPU time: read_all %.2f ms, DSP_MAIN %.2f ms, ratio %.2f\n", read.cpu, page.cpu,
                    page.cpu / read.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
