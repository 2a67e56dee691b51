// The import against a log of 32,767 records, in one run: the preview of a 10,000-row OMRON connect CSV (reading
// and classifying it) against read_all of the log, and writing the chosen rows against one correction of a record
// (both are one locked rewrite of the log with its automatic copy); the preview of a 100,000-row CSV in the layout
// of an open-source Android blood-pressure app (Unix milliseconds, ';', null), and of a generated Apple Health
// export.xml of 400+ MB, read in a child process whose peak resident set is its memory.
//
// Run: bench_import [google-benchmark flags]. Without --benchmark_repetitions it runs 15 interleaved repetitions
// and prints the median of each benchmark and its ratio to read_all; the preview's goal is at most 3.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/edits/record_edit.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/import/import_file.h"
#include "core/import/import_preview.h"
#include "core/import/import_write.h"

namespace {

constexpr int RecordCount = 32767;
constexpr int RowCount = 10000;
constexpr int LargeRowCount = 100000;
constexpr std::uintmax_t AppleBytes = 420u << 20;

struct Fixture {
    std::filesystem::path dir;
    std::filesystem::path logPath;
    std::filesystem::path csvPath;
    std::string original;
    std::vector<sora::MeasurementRecord> records;
    sora::ImportChoices choices;

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
        records = bench::randomRecords(RecordCount, shape);
        bench::writeLogOrExit(dir, records);
        logPath = sora::DataDir(dir).find(sora::files::Log);
        sora::read_file(logPath, original);
        records = sora::MeasurementLog(sora::DataDir(dir)).read_all().records;
        // Two readings a day over the log's own years (so the lookup of readings already there has work), every
        // tenth one a reading the log holds already.
        csvPath = dir / "omron.csv";
        std::ofstream csv(csvPath, std::ios::binary);
        csv << "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\",\"Notes\"\n";
        QDate day(2005, 2, 1);
        for (int i = 0; i < RowCount; ++i) {
            if (i % 10 == 9) {
                const sora::MeasurementRecord& r = records[static_cast<std::size_t>(i) * 3];
                csv << "\"" << r.date << " 07:05\",\"Asia/Tokyo\",\"" << r.systolic << "\",\"" << r.diastolic << "\",\""
                    << r.pulse << "\",\n";
                continue;
            }
            csv << "\"" << day.toString("yyyy/MM/dd").toStdString() << (i % 2 == 0 ? " 06:4" : " 21:1") << i % 10
                << "\",\"Asia/Tokyo\",\"" << 110 + i % 50 << "\",\"" << 70 + i % 25 << "\",\"" << 58 + i % 30 << "\","
                << (i % 7 == 0 ? "\"after walk\"" : "") << "\n";
            day = i % 2 == 1 ? day.addDays(1) : day;
        }
        choices.rules = sora::SituationRules{660, "起床後", 1080, "就寝前", "昼食後"};
        std::printf("log: %d records, %zu bytes CP932; import: %d rows, %ju bytes\n", RecordCount, original.size(),
                    RowCount, static_cast<std::uintmax_t>(std::filesystem::file_size(csvPath)));
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    sora::ImportPreview preview() const {
        sora::ImportFile file = sora::read_import_file(csvPath);
        return sora::build_import_preview(file.fileName, std::move(file.read), records, choices);
    }
    sora::FileStamp stamp() const { return sora::stamp_of(sora::write_target(logPath)); }

    /// 100,000 readings, three a day from 2005 on, one in eight with a pulse of null and a note.
    std::filesystem::path largeCsv() const {
        const std::filesystem::path path = dir / "android.csv";
        if (!std::filesystem::exists(path)) {
            std::ofstream csv(path, std::ios::binary);
            csv << "\xEF\xBB\xBFtimestampUnixMs; systolic; diastolic; pulse; notes; color\n";
            const long long start = 1107212400000;  // 2005/02/01 8:00 in Japan
            for (int i = 0; i < LargeRowCount; ++i) {
                csv << start + static_cast<long long>(i) * 8 * 3600 * 1000 + (i % 60) * 60000 << "; " << 110 + i % 50
                    << "; " << 70 + i % 25 << "; " << (i % 8 == 0 ? std::string("null") : std::to_string(58 + i % 30))
                    << "; " << (i % 8 == 0 ? "after walk" : "null") << "; null\n";
            }
        }
        return path;
    }

    /// An export.xml of 420 MB: mostly step counts, with a blood-pressure correlation every thousand records.
    std::filesystem::path appleExport() {
        const std::filesystem::path path = dir / "export.xml";
        if (!std::filesystem::exists(path)) {
            appleReadings = bench::writeAppleExport(path, AppleBytes);
            std::printf("Apple Health export: %ju bytes, %zu readings\n",
                        static_cast<std::uintmax_t>(std::filesystem::file_size(path)), appleReadings);
        }
        return path;
    }
    std::size_t appleReadings = 0;
    double applePeak = 0;
    double parentResident = 0;
    void putBack() const { bench::putLogBack(logPath, original); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir, RecordCount);
}

/// What 取り込み shows after the file dialog: the file read and every row classified against the records the
/// screens already hold.
void BM_Preview(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        const sora::ImportPreview preview = f.preview();
        if (preview.rows.size() != RowCount || preview.counts.added == 0) {
            state.SkipWithError("the preview lost rows");
            break;
        }
        benchmark::DoNotOptimize(preview.rows.front());
    }
}

/// The same with the log read first, as when no screen holds it.
void BM_PreviewWithReadAll(benchmark::State& state) {
    const Fixture& f = fixture();
    const sora::MeasurementLog log{sora::DataDir(f.dir)};
    for (auto _ : state) {
        const sora::LogReadResult read = log.read_all();
        sora::ImportFile file = sora::read_import_file(f.csvPath);
        const sora::ImportPreview preview =
            sora::build_import_preview(file.fileName, std::move(file.read), read.records, f.choices);
        benchmark::DoNotOptimize(preview.rows.front());
    }
}

/// The preview of 100,000 rows of a CSV of unknown layout: the columns guessed from the headings, each timestamp
/// turned into this computer's time.
void BM_Preview100k(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::filesystem::path csv = f.largeCsv();
    for (auto _ : state) {
        sora::ImportFile file = sora::read_import_file(csv);
        const sora::ImportPreview preview =
            sora::build_import_preview(file.fileName, std::move(file.read), f.records, f.choices);
        if (preview.rows.size() != LargeRowCount || preview.counts.added == 0) {
            state.SkipWithError(("the preview lost rows: " + preview.message).c_str());
            break;
        }
        benchmark::DoNotOptimize(preview.rows.front());
    }
}

/// The preview of the Apple Health export in a child process; its peak resident set is the counter peak_MiB.
void BM_PreviewAppleExport(benchmark::State& state) {
    Fixture& f = fixture();
    const std::filesystem::path xml = f.appleExport();
    double peak = 0;
    // The child starts with the parent's resident pages (the log, the records): that part is not the reading's.
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    f.parentResident = static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
    for (auto _ : state) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            sora::ImportFile file = sora::read_import_file(xml);
            const sora::ImportPreview preview =
                sora::build_import_preview(file.fileName, std::move(file.read), f.records, f.choices);
            ::_exit(preview.rows.size() == f.appleReadings && preview.message.empty() ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the preview of the export failed");
            break;
        }
        peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_MiB"] = peak;
    f.applePeak = peak;
}

/// One correction of a value, the cost the import's write is held against.
void BM_OneCorrection(benchmark::State& state) {
    const Fixture& f = fixture();
    const sora::MeasurementLog log{sora::DataDir(f.dir)};
    sora::MeasurementRecord record = f.records[RecordCount / 2];
    for (auto _ : state) {
        record.systolic = record.systolic == 120 ? 121 : 120;
        const sora::RecordEditResult result = sora::replace_record(log, RecordCount / 2, record, f.stamp());
        if (!result.written) {
            state.SkipWithError(("edit failed: " + result.written.message).c_str());
            break;
        }
    }
    f.putBack();
}

/// 取り込む: the chosen rows of the preview (about 9,000) written into the log in date order, copy first.
void BM_ImportWrite(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::vector<sora::MeasurementRecord> chosen = sora::chosen_records(f.preview());
    const std::vector<std::string> situations = {"起床後", "就寝前", "昼食後"};
    for (auto _ : state) {
        state.PauseTiming();
        f.putBack();
        const sora::FileStamp readAs = f.stamp();
        state.ResumeTiming();
        const sora::ImportWriteResult result =
            sora::write_import(sora::DataDir(f.dir), f.records, readAs, chosen, situations);
        if (!result.written) {
            state.SkipWithError(("import failed: " + result.written.message).c_str());
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(chosen.size());
    f.putBack();
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewWithReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview100k)->Unit(benchmark::kMillisecond);
// Seconds each: a few repetitions give the median.
BENCHMARK(BM_PreviewAppleExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_OneCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportWrite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    bench::runInterleaved(argc, argv, "15", reporter, [] { fixture(); });
    bench::printAgainstReadAll(reporter, {"BM_Preview", "BM_PreviewWithReadAll", "BM_OneCorrection", "BM_ImportWrite"},
                               3.0);
    // Per row: a file of 100,000 rows against a log of 32,767 records.
    const auto read = reporter.median("BM_ReadAll");
    const auto large = reporter.median("BM_Preview100k");
    if (read.wall > 0 && large.wall > 0) {
        std::printf(
            "median preview of 100,000 rows: %.1f ms (CPU %.1f ms), per row %.2f x read_all per record (CPU %.2f)\n",
            large.wall, large.cpu, (large.wall / LargeRowCount) / (read.wall / RecordCount),
            (large.cpu / LargeRowCount) / (read.cpu / RecordCount));
    }
    const auto apple = reporter.median("BM_PreviewAppleExport");
    if (apple.wall > 0) {
        std::printf(
            "median preview of the Apple Health export: %.0f ms, peak %.1f MiB (the process had %.1f MiB "
            "before it began)\n",
            apple.wall, fixture().applePeak, fixture().parentResident);
    }
    const auto correction = reporter.median("BM_OneCorrection");
    const auto write = reporter.median("BM_ImportWrite");
    if (correction.wall > 0 && write.wall > 0) {
        std::printf("median import write / one correction: %.2f (CPU %.2f)\n", write.wall / correction.wall,
                    write.cpu / correction.cpu);
    }
    benchmark::Shutdown();
    return 0;
}
