// Correcting, deleting and undoing one record of a log of 32,767 records, against reading that log, in one run.
// Each correction reads the log under the lock, keeps a copy of it in backup/ and replaces it (both fsynced);
// replace_file alone, the durable replace every rewrite ends with, shows how much of that is the disk's syncs.
//
// Run: bench_record_edit [google-benchmark flags]. Without --benchmark_repetitions it runs 15 interleaved
// repetitions and prints the median of each benchmark and its ratio to read_all; the goal is at most 3.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/edits/record_edit.h"
#include "core/edits/undo_history.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"

namespace {

constexpr int RecordCount = 32767;
constexpr std::size_t Middle = RecordCount / 2;

struct Fixture {
    std::filesystem::path dir;
    std::filesystem::path logPath;
    std::string original;  // the log's bytes, put back where a benchmark shrinks it

    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "soranote-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = pattern;
        bench::RandomLog shape;
        shape.firstDay = QDate(2005, 2, 1);
        shape.seed = 20050301;
        shape.situations = {"起床後", "朝食後", "昼食後", "夕食後", "就寝前", "運動後"};
        shape.sentence = "散歩30分、気分爽快";
        bench::writeLogOrExit(dir, bench::randomRecords(RecordCount, shape));
        logPath = sora::DataDir(dir).find(sora::files::Log);
        sora::read_file(logPath, original);
        std::printf("log: %d records, %zu bytes CP932\n", RecordCount, original.size());
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    sora::MeasurementLog log() const { return sora::MeasurementLog(sora::DataDir(dir)); }
    /// What read_all would report as the file read: the screen holds it from its last reading.
    sora::FileStamp stamp() const { return sora::stamp_of(sora::write_target(logPath)); }
    void putBack() const { bench::putLogBack(logPath, original); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

/// The middle record as read, with its systolic value changed to the other of two values.
sora::MeasurementRecord toggled(const sora::MeasurementLog& log, std::size_t index) {
    sora::MeasurementRecord record = log.read_all().records.at(index);
    record.systolic = record.systolic == 120 ? 121 : 120;
    return record;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir, RecordCount);
}

/// The floor of every rewrite: the log's bytes written to a new file, fsynced, renamed over the log, the folder
/// synced; no reading, no copy.
void BM_ReplaceFileAlone(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const sora::WriteResult written = sora::replace_file(f.logPath, f.dir / "bench.tmp", f.original);
        if (!written) {
            state.SkipWithError(("replace failed: " + written.message).c_str());
            break;
        }
    }
}

void BM_EditValues(benchmark::State& state) {
    Fixture& f = fixture();
    const sora::MeasurementLog log = f.log();
    sora::MeasurementRecord first = toggled(log, Middle);
    sora::MeasurementRecord second = first;
    second.systolic = first.systolic == 120 ? 121 : 120;
    bool which = false;
    for (auto _ : state) {
        const sora::RecordEditResult result = sora::replace_record(log, Middle, which ? second : first, f.stamp());
        if (!result.written || !result.changed) {
            state.SkipWithError(("edit failed: " + result.written.message).c_str());
            break;
        }
        which = !which;
    }
}

void BM_EditMovingTheDate(benchmark::State& state) {
    Fixture& f = fixture();
    const sora::MeasurementLog log = f.log();
    const std::vector<sora::MeasurementRecord> records = log.read_all().records;
    // A record of the first days moves to the last day and back: nearly every line changes its place.
    std::size_t index = 10;
    sora::MeasurementRecord record = records[index];
    const std::string early = record.date;
    const std::string late = records.back().date;
    for (auto _ : state) {
        record.date = record.date == early ? late : early;
        const sora::RecordEditResult result = sora::replace_record(log, index, record, f.stamp());
        if (!result.written) {
            state.SkipWithError(("edit failed: " + result.written.message).c_str());
            break;
        }
        index = result.index;
    }
    f.putBack();
}

void BM_Delete(benchmark::State& state) {
    Fixture& f = fixture();
    const sora::MeasurementLog log = f.log();
    for (auto _ : state) {
        state.PauseTiming();
        f.putBack();
        const sora::FileStamp readAs = f.stamp();
        state.ResumeTiming();
        const sora::WriteResult removed = sora::remove_record(log, Middle, readAs);
        if (!removed) {
            state.SkipWithError(("delete failed: " + removed.message).c_str());
            break;
        }
    }
    f.putBack();
}

void BM_Undo(benchmark::State& state) {
    Fixture& f = fixture();
    const sora::MeasurementLog log = f.log();
    sora::UndoHistory history{sora::DataDir(f.dir)};
    for (auto _ : state) {
        state.PauseTiming();
        const sora::MeasurementRecord record = toggled(log, Middle);
        history.begin(sora::record_undo_label(record, "修正"), {sora::files::Log});
        if (!sora::replace_record(log, Middle, record, f.stamp()).written) {
            state.SkipWithError("the edit to undo failed");
            break;
        }
        history.commit();
        state.ResumeTiming();
        const sora::UndoResult undone = history.undo();
        if (!undone) {
            state.SkipWithError(("undo failed: " + undone.message).c_str());
            break;
        }
    }
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceFileAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditMovingTheDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    bench::runInterleaved(argc, argv, "15", reporter, [] { fixture(); });
    bench::printAgainstReadAll(
        reporter, {"BM_ReplaceFileAlone", "BM_EditValues", "BM_EditMovingTheDate", "BM_Delete", "BM_Undo"}, 3.0);
    benchmark::Shutdown();
    return 0;
}
