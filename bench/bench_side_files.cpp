// Side files of 10,000, 50,000 and 100,000 lines: reading 朝晩設定.txt (and the home report over a year of records
// with those settings, as `soranote-cli report` does), 状況リスト.txt, 気付きメモ.txt and the backup list. Goal: every
// file of 100,000 lines within one second, and time growing in proportion to the lines (the printed ratios of 100k
// to 10k stay near 10; a quadratic reader shows about 100).
#include <benchmark/benchmark.h>

#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench_support.h"
#include "core/files/data_dir.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/views/home_bp_report.h"

namespace {

constexpr int Sizes[] = {10000, 50000, 100000};

/// One folder per size, with each side file of that many lines and a log of a year of records.
std::map<int, std::unique_ptr<QTemporaryDir>>& folders() {
    static std::map<int, std::unique_ptr<QTemporaryDir>> all;
    return all;
}

void writeOrExit(const std::filesystem::path& path, const std::string& utf8) {
    const std::optional<std::string> bytes = sora::utf8_to_cp932(utf8);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!bytes || !(out << *bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::vector<sora::MeasurementRecord> yearOfRecords() {
    return bench::randomRecords(1000, {QDate(2005, 1, 1), 7, 3, {"起床後", "就寝前", "散歩後", "状況1"}, nullptr});
}

void prepare() {
    for (const int lines : Sizes) {
        auto temp = std::make_unique<QTemporaryDir>();
        const std::filesystem::path dir = temp->path().toStdString();
        std::string occasions = "\"年齢区分\",\"75歳未満\"\r\n";
        std::string situations;
        std::string memo;
        for (int i = 0; i < lines; ++i) {
            const std::string name = "状況" + std::to_string(i);
            occasions += "\"" + name + "\",\"" + (i % 3 == 0 ? "朝" : i % 3 == 1 ? "晩" : "なし") + "\"\r\n";
            situations += name + "\r\n";
            memo += "血圧は朝に測る。" + std::to_string(i) + "\r\n";
        }
        writeOrExit(dir / "朝晩設定.txt", occasions);
        writeOrExit(dir / std::string(sora::files::Situations), situations);
        writeOrExit(dir / std::string(sora::files::Memo), memo);
        bench::writeLogOrExit(dir, yearOfRecords());
        folders()[lines] = std::move(temp);
    }
}

sora::DataDir folder(const benchmark::State& state) {
    return sora::DataDir(folders().at(static_cast<int>(state.range(0)))->path().toStdString());
}

void BM_MorningEvening(benchmark::State& state) {
    const sora::DataDir dir = folder(state);
    for (auto _ : state) {
        const auto read = sora::read_morning_evening(dir);
        if (!read.ok || read.value.entries().size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("read_morning_evening failed");
            break;
        }
        benchmark::DoNotOptimize(read.value.entries().data());
    }
}

void BM_ReportWithMorningEvening(benchmark::State& state) {
    const sora::DataDir dir = folder(state);
    const std::vector<sora::MeasurementRecord> records = yearOfRecords();
    for (auto _ : state) {
        const auto read = sora::read_morning_evening(dir);
        const sora::HomeBpReport report =
            sora::build_home_bp_report(records, sora::Date{2005, 1, 1}, sora::Date{2005, 12, 31}, read.value);
        benchmark::DoNotOptimize(&report);
    }
}

void BM_Situations(benchmark::State& state) {
    const sora::DataDir dir = folder(state);
    for (auto _ : state) {
        const auto read = sora::read_situations(dir);
        if (!read.ok || read.value.size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("read_situations failed");
            break;
        }
        benchmark::DoNotOptimize(read.value.data());
    }
}

void BM_Memo(benchmark::State& state) {
    const sora::DataDir dir = folder(state);
    for (auto _ : state) {
        const auto read = sora::read_memo(dir);
        if (!read.ok) {
            state.SkipWithError("read_memo failed");
            break;
        }
        benchmark::DoNotOptimize(read.value.data());
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    for (const int lines : Sizes) {
        b->Arg(lines);
    }
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_MorningEvening)->Apply(sizes);
BENCHMARK(BM_ReportWithMorningEvening)->Apply(sizes);
BENCHMARK(BM_Situations)->Apply(sizes);
BENCHMARK(BM_Memo)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    bench::runInterleaved(argc, argv, "5", reporter, prepare);
    for (const char* name : {"BM_MorningEvening", "BM_ReportWithMorningEvening", "BM_Situations", "BM_Memo"}) {
        const double small = reporter.median(std::string(name) + "/10000").wall;
        const double large = reporter.median(std::string(name) + "/100000").wall;
        if (small > 0 && large > 0) {
            std::printf("median %-28s 10k %8.2f ms  100k %8.2f ms  ratio %.1f%s\n", name, small, large, large / small,
                        large > 1000 ? "  over one second" : "");
        }
    }
    benchmark::Shutdown();
    return 0;
}
