// The peak memory (resident set) of the import's preview, `soranote-cli import --check FILE` as text and as JSON,
// each run a separate process, for the files an attack on the import used: a 60 MB CSV of readings (and one of our
// own export, which names a situation on every row), a heading and 60 MiB of commas on one line, a ZIP of a few MB
// that expands to 1 GB, and an Apple Health export.xml of 442 MB. Aim: at most 3 times the file's size for a CSV
// that is accepted; the streamed XML and a refused file cost a few MB. The medians of the runs are printed at the end.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "child_peak.h"

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

std::filesystem::path file(const char* name) {
    return std::filesystem::path(folder().path().toStdString()) / name;
}

/// Every peak measured, by benchmark, in MiB.
std::map<std::string, std::vector<double>>& peaks() {
    static std::map<std::string, std::vector<double>> all;
    return all;
}

std::map<std::string, double>& fileSizes() {
    static std::map<std::string, double> all;
    return all;
}

/// soranote-cli with `args` on the scratch folder: its peak resident set in MiB, or -1 when it did not run or its
/// exit status was not the one expected (0 for a file that is accepted).
double peakOf(std::vector<std::string> args, bool accepted) {
    args.insert(args.begin(), {SORANOTE_CLI, "--data-dir", (file("data")).string()});
    int exitCode = 0;
    const double peak = bench::childPeakMiB(std::move(args), exitCode);
    return (exitCode == 0) == accepted ? peak : -1;
}

void run(benchmark::State& state, const std::string& name, const char* input, bool json, bool accepted = true) {
    std::vector<std::string> args = {"import", "--check", file(input).string()};
    if (json) {
        args.insert(args.begin(), "--json");
    }
    for (auto _ : state) {
        const double peak = peakOf(args, accepted);
        if (peak < 0) {
            state.SkipWithError(accepted ? "soranote-cli did not read the file" : "soranote-cli did not refuse it");
            break;
        }
        peaks()[name].push_back(peak);
        state.counters["peak_MiB"] = peak;
    }
    fileSizes()[name] = static_cast<double>(std::filesystem::file_size(file(input))) / 1048576.0;
}

void BM_Csv60MB(benchmark::State& state) {
    run(state, "60 MB CSV", "readings.csv", false);
}
void BM_Csv60MBJson(benchmark::State& state) {
    run(state, "60 MB CSV --json", "readings.csv", true);
}
void BM_OwnCsv60MB(benchmark::State& state) {
    run(state, "60 MB own CSV", "own.csv", false);
}
void BM_Commas(benchmark::State& state) {
    run(state, "60 MiB of commas", "commas.csv", false);
}
void BM_AppleExport(benchmark::State& state) {
    run(state, "442 MB Apple export", "export.xml", false);
}
void BM_ZipToOneGB(benchmark::State& state) {
    run(state, "ZIP to 1 GB", "export.zip", false, false);
}

BENCHMARK(BM_Csv60MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Csv60MBJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OwnCsv60MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Commas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppleExport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ZipToOneGB)->Unit(benchmark::kMillisecond)->Iterations(3);

/// The inputs: a diary to preview against, and the three files.
void writeInputs() {
    std::filesystem::create_directories(file("data"));
    bench::writeLogOrExit(file("data"),
                          bench::randomRecords(1000, {QDate(2005, 1, 1), 11, 3, {"起床後", "就寝前"}, "散歩"}));
    {
        std::ofstream csv(file("readings.csv"), std::ios::binary);
        csv << "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\",\"Notes\"\n";
        QDate day(2005, 1, 1);
        for (long i = 0; csv.tellp() < 60L * 1000 * 1000; ++i) {
            csv << "\"" << day.toString("yyyy/MM/dd").toStdString() << (i % 2 == 0 ? " 06:4" : " 21:1") << i % 10
                << "\",\"Asia/Tokyo\",\"" << 110 + i % 50 << "\",\"" << 70 + i % 25 << "\",\"" << 58 + i % 30 << "\","
                << (i % 7 == 0 ? "\"after walk\"" : "") << "\n";
            day = i % 24 == 23 ? day.addDays(1) : day;
        }
    }
    {
        // Our own export names a situation on every row.
        std::ofstream csv(file("own.csv"), std::ios::binary);
        csv << "日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n";
        const char* const situations[] = {"起床後", "就寝前", "朝食後"};
        QDate day(2005, 1, 1);
        for (long i = 0; csv.tellp() < 60L * 1000 * 1000; ++i) {
            csv << day.toString("yyyy/MM/dd").toStdString() << "," << 6 + i % 12 << ":" << i % 50 + 10 << ":00,"
                << situations[i % 3] << "," << 110 + i % 50 << "," << 70 + i % 25 << "," << 58 + i % 30 << ",,正常血圧,"
                << (i % 7 == 0 ? "散歩" : "") << "\r\n";
            day = i % 24 == 23 ? day.addDays(1) : day;
        }
    }
    {
        std::ofstream commas(file("commas.csv"), std::ios::binary);
        commas << "日付と時刻,最高血圧,最低血圧\n" << std::string(60u << 20, ',') << "\n";
    }
    bench::writeAppleExport(file("export.xml"), 420u << 20);
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<HealthData>\n" + std::string(1000u << 20, ' ') + "</HealthData>\n";
    int error = 0;
    zip_t* archive = zip_open(file("export.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t* source = zip_source_buffer(archive, xml.data(), xml.size(), 0);
    if (archive == nullptr || zip_file_add(archive, "apple_health_export/export.xml", source, 0) < 0 ||
        zip_close(archive) != 0) {
        std::fprintf(stderr, "cannot write the ZIP\n");
        std::exit(1);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // In a child: the program started by the benchmark inherits this process's peak (its high-water mark passes
    // through the exec), which must not include the gigabyte the ZIP is made from.
    folder();  // made here, so that the child writes into the folder this process reads
    const pid_t writer = ::fork();
    if (writer == 0) {
        writeInputs();
        ::_exit(0);
    }
    int status = 0;
    if (writer < 0 || ::waitpid(writer, &status, 0) != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    for (const auto& [name, values] : peaks()) {
        const double peak = median(values);
        std::printf("peak %-18s median %7.1f MiB of %zu runs, file %6.1f MiB: %.2f x the file\n", name.c_str(), peak,
                    values.size(), fileSizes()[name], peak / fileSizes()[name]);
    }
    benchmark::Shutdown();
    return 0;
}
