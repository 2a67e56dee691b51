// read_all of a long diary against glibc iconv decoding the same bytes alone.
//
// Run: bench_read_log [google-benchmark flags]. Without --benchmark_repetitions it runs 15 repetitions and prints
// the median of each benchmark (interleaved) and their ratio (read_all / iconv); the goal is a ratio of at most 1.0.

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/files/measurement_log.h"
#include "core/rules/dates.h"

namespace {

constexpr int RecordCount = 32767;

/// A diary as a user builds it over the years: 3–5 measurements a day with the usual situations, times of day
/// written automatically, now and then a sentence, weights with one decimal.
std::vector<sora::MeasurementRecord> realistic_records() {
    const std::vector<std::string> situations{"はじめの一歩", "起床後", "朝食後", "昼食後", "夕食後",
                                              "運動後",       "入浴後", "就寝前", "通院時", "散歩後"};
    const std::vector<std::string> sentences{"少し頭が重い",
                                             "散歩30分、気分爽快",
                                             "今日は晴れ,気分も良い",
                                             "減塩を心がけた一日だった",
                                             "薬を飲み忘れたので夕方に服用",
                                             "仕事が忙しくて睡眠不足ぎみ",
                                             "家族と外食、少し食べ過ぎた",
                                             "よく眠れた",
                                             "血圧が高めなので明日は病院へ行く予定",
                                             "ストレッチを15分",
                                             "朝から肩こりがひどい、湿布を貼った",
                                             "孫が遊びに来て楽しい一日",
                                             "寒さのせいか朝の血圧がいつもより高め",
                                             "病院で薬を変えてもらった、様子を見る"};
    std::mt19937 rng(20050201);
    std::normal_distribution<float> systolic(128, 9);
    std::normal_distribution<float> diastolic(80, 6);
    std::normal_distribution<float> pulse(68, 5);
    std::uniform_int_distribution<int> perDay(3, 5);
    std::uniform_int_distribution<int> pick(0, 99);

    std::vector<sora::MeasurementRecord> records;
    records.reserve(RecordCount);
    sora::Date day{2005, 2, 1};
    float weight = 63.4f;
    records.push_back({sora::format_date(day), "はじめの一歩", 126, 80, 70, "", weight});
    while (static_cast<int>(records.size()) < RecordCount) {
        day = day.add_days(1);
        const int count = perDay(rng);
        for (int i = 0; i < count && static_cast<int>(records.size()) < RecordCount; ++i) {
            const int roll = pick(rng);
            std::string diary;
            if (roll < 33) {
                diary = sora::format_time_of_day(6 + 4 * i + roll % 3, roll % 60, (roll * 7) % 60);
            } else if (roll < 92) {
                diary = sentences[static_cast<std::size_t>(roll) % sentences.size()];
            }
            weight = std::clamp(weight + static_cast<float>(pick(rng) % 5 - 2) / 10.0f, 58.0f, 68.0f);
            records.push_back({sora::format_date(day), situations[1 + static_cast<std::size_t>(pick(rng)) % 9],
                               std::round(systolic(rng)), std::round(diastolic(rng)), std::round(pulse(rng)), diary,
                               std::round(weight * 10) / 10});
        }
    }
    return records;
}

/// The generated log on disk, written once for every benchmark of the run.
struct LogFixture {
    std::filesystem::path dir;
    std::string bytes;

    LogFixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "soranote-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = pattern;
        bench::writeLogOrExit(dir, realistic_records());
        sora::read_file(dir / "データ.txt", bytes);
        std::printf("log: %d records, %zu bytes CP932\n", RecordCount, bytes.size());
    }
    ~LogFixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

LogFixture& fixture() {
    static LogFixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir, RecordCount);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fixture().bytes.size()));
}

void BM_IconvDecode(benchmark::State& state) {
    const std::string& in = fixture().bytes;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out(in.size() * 2, '\0');  // CP932 never grows by more than half in UTF-8
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            state.SkipWithError("iconv failed");
            break;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(in.size()));
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvDecode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    bench::runInterleaved(argc, argv, "15", reporter, [] { fixture(); });
    const auto read = reporter.median("BM_ReadAll");
    const auto iconv = reporter.median("BM_IconvDecode");
    if (read.wall > 0 && iconv.wall > 0) {
        std::printf("median read_all: %.3f ms (CPU %.3f ms), median iconv decode: %.3f ms (CPU %.3f ms)\n", read.wall,
                    read.cpu, iconv.wall, iconv.cpu);
        std::printf("ratio read_all/iconv: %.3f (CPU time %.3f)\n", read.wall / iconv.wall, read.cpu / iconv.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
