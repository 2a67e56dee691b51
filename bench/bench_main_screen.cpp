// DSP_MAIN on a log of 32,767 records against reading that log, in the same run.
// Run with QT_QPA_PLATFORM=offscreen. Goal: DSP_MAIN costs at most 1.5 times read_all.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <map>
#include <string>

#include "bench_host.h"
#include "common/screen_context.h"
#include "core/clock.h"
#include "core/data_dir.h"
#include "core/measurement_log.h"
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
        const sora::WriteResult written = sora::MeasurementLog(dir).rewrite_all(records, true);
        if (!written) {
            std::fprintf(stderr, "cannot write the log: %s\n", written.message.c_str());
            std::exit(1);
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    const sora::MeasurementLog log(fixture().dir);
    for (auto _ : state) {
        const sora::LogReadResult result = log.read_all();
        if (result.records.size() != static_cast<std::size_t>(kRecords)) {
            state.SkipWithError("log not read completely");
            break;
        }
        benchmark::DoNotOptimize(result.records.data());
    }
}

void BM_DspMain(benchmark::State& state) {
    sora::AppState appState;
    appState.selectedDate = fixture().lastDay;
    const sora::FixedClock clock(sora::DateTime{{2005, 3, 1}, 10, 15, 0});
    BenchHost host;
    QWidget window;
    window.resize(1100, 700);
    MainScreen screen(ScreenContext{appState, fixture().dir, clock, host}, &window);
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

/// Prints the usual table and, at the end, the ratio of the two medians.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
                m_cpuMedians[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto read = m_medians.find("BM_ReadAll");
        const auto page = m_medians.find("BM_DspMain");
        if (read != m_medians.end() && page != m_medians.end() && read->second > 0) {
            std::printf("median read_all %.2f ms, median DSP_MAIN %.2f ms, ratio %.2f (goal <= 1.5)\n", read->second,
                        page->second, page->second / read->second);
            const double readCpu = m_cpuMedians["BM_ReadAll"];
            const double pageCpu = m_cpuMedians["BM_DspMain"];
            if (readCpu > 0) {
                std::printf("CPU time: read_all %.2f ms, DSP_MAIN %.2f ms, ratio %.2f\n", readCpu, pageCpu,
                            pageCpu / readCpu);
            }
        }
    }

private:
    std::map<std::string, double> m_medians;
    std::map<std::string, double> m_cpuMedians;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
