// The peak memory (resident set) of soranote-cli over a log of 100,000 records, per command, each run of the program
// a separate process: `day` (reads the log, prints one day) is the reference; `list`, `--json list` and
// `export --csv` print every record. Goal: a listing needs at most a few times the memory of reading the records,
// never a copy of the whole output (the JSON list once needed about 170 times the log).
#include <benchmark/benchmark.h>

#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "child_peak.h"

namespace {

constexpr int Records = 100000;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

std::map<std::string, double>& peaks() {
    static std::map<std::string, double> all;
    return all;
}

/// soranote-cli with `args` on the folder: its peak resident set in MiB, or -1 (also when it fails).
double peakOf(const std::vector<std::string>& args) {
    std::vector<std::string> all = {SORANOTE_CLI, "--data-dir", folder().path().toStdString()};
    all.insert(all.end(), args.begin(), args.end());
    int exitCode = 0;
    const double peak = bench::childPeakMiB(std::move(all), exitCode);
    return exitCode == 0 ? peak : -1;
}

void run(benchmark::State& state, const std::string& name, const std::vector<std::string>& args) {
    double peak = 0;
    for (auto _ : state) {
        peak = peakOf(args);
        if (peak < 0) {
            state.SkipWithError("soranote-cli failed");
            break;
        }
    }
    state.counters["peak_MiB"] = peak;
    peaks()[name] = peak;
}

void BM_Day(benchmark::State& state) {
    run(state, "day", {"day", "2005/01/01"});
}
void BM_List(benchmark::State& state) {
    run(state, "list", {"list"});
}
void BM_JsonList(benchmark::State& state) {
    run(state, "--json list", {"--json", "list"});
}
void BM_ExportCsv(benchmark::State& state) {
    run(state, "export --csv", {"export", "--csv"});
}

BENCHMARK(BM_Day)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_List)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JsonList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::vector<sora::MeasurementRecord> records = bench::randomRecords(
        Records, {QDate(1990, 1, 1), 11, 3, {"起床後", "朝食後", "夕食後", "就寝前"}, "よく眠れた。散歩 30分"});
    bench::writeLogOrExit(folder().path().toStdString(), records);
    const double logMiB =
        static_cast<double>(std::filesystem::file_size(folder().path().toStdString() + "/データ.txt")) / 1048576.0;
    benchmark::RunSpecifiedBenchmarks();
    std::printf("log: %d records, %.1f MiB\n", Records, logMiB);
    const double day = peaks()["day"];
    for (const auto& [name, peak] : peaks()) {
        std::printf("peak %-14s %7.1f MiB  %.1f x the log file, %.2f x the run that only reads it (day)\n",
                    name.c_str(), peak, peak / logMiB, day > 0 ? peak / day : 0.0);
    }
    benchmark::Shutdown();
    return 0;
}
