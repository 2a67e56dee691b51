#pragma once

// What the benchmark programs share: reading the log as the reference, generated logs, keeping the medians.

#include <benchmark/benchmark.h>

#include <QDate>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"

namespace bench {

/// Puts the log's original bytes back between timed rewrites; a benchmark cannot go on without them.
inline void putLogBack(const std::filesystem::path& logPath, const std::string& original) {
    const sora::WriteResult written = sora::replace_file(logPath, logPath.parent_path() / "bench.tmp", original);
    if (!written) {
        std::fprintf(stderr, "cannot put the log back: %s\n", written.message.c_str());
        std::exit(1);
    }
}

/// The reference of every ratio: read_all of the log in `dir`, which must give `expected` records.
inline void readAll(benchmark::State& state, const std::filesystem::path& dir, std::size_t expected) {
    const sora::MeasurementLog log{sora::DataDir(dir)};
    for (auto _ : state) {
        const sora::LogReadResult result = log.read_all();
        if (!result.ok || result.records.size() != expected) {
            state.SkipWithError("read_all failed");
            break;
        }
        benchmark::DoNotOptimize(result.records.data());
    }
}

/// Writes the log of `records` (start-record form) into `dir`; a benchmark without its log cannot run.
inline void writeLogOrExit(const std::filesystem::path& dir, const std::vector<sora::MeasurementRecord>& records) {
    const sora::WriteResult written = sora::MeasurementLog(sora::DataDir(dir)).rewrite_all(records, true);
    if (!written) {
        std::fprintf(stderr, "cannot write the log: %s\n", written.message.c_str());
        std::exit(1);
    }
}

/// The shape of a pseudo-random log: a new day now and then, varied values and situations, a diary text that is
/// the time of saving every third record or else, when given, a sentence every fifth, now and then no weight.
struct RandomLog {
    QDate firstDay;
    unsigned seed = 1;
    int newDayOneIn = 3;  // a new day before about one record in this many
    std::vector<const char*> situations;
    const char* sentence = nullptr;
};

inline std::vector<sora::MeasurementRecord> randomRecords(int count, const RandomLog& shape) {
    std::vector<sora::MeasurementRecord> records;
    records.reserve(static_cast<std::size_t>(count));
    QDate day = shape.firstDay;
    unsigned seed = shape.seed;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    const int situationCount = static_cast<int>(shape.situations.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && next(shape.newDayOneIn) == 0) {
            day = day.addDays(1);
        }
        sora::MeasurementRecord r;
        r.date = day.toString("yyyy/MM/dd").toStdString();
        r.situation = shape.situations[static_cast<std::size_t>(next(situationCount))];
        r.systolic = static_cast<float>(105 + next(60));
        r.diastolic = static_cast<float>(62 + next(35));
        r.pulse = static_cast<float>(55 + next(40));
        if (next(3) == 0) {
            r.diary = "7:05:09";
        } else if (shape.sentence != nullptr && next(5) == 0) {
            r.diary = shape.sentence;
        }
        r.weight = next(50) == 0 ? 0.0f : static_cast<float>(600 + next(80)) / 10.0f;
        records.push_back(r);
    }
    return records;
}

/// Shows the usual console output and keeps the median of every benchmark, by its name ("BM_X" or "BM_X/arg").
class MedianReporter : public benchmark::ConsoleReporter {
public:
    struct Median {
        double wall = 0;  // ms
        double cpu = 0;   // ms: steadier on a machine shared with other work
    };
    std::map<std::string, Median> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) {
                    name += "/" + run.run_name.args;
                }
                medians[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// The median of `name`, zero when it did not run.
    Median median(const std::string& name) const {
        const auto it = medians.find(name);
        return it == medians.end() ? Median{} : it->second;
    }
};

/// The command line with `repetitions` repetitions and only their aggregates, unless the caller chose a count.
inline std::vector<char*> withRepetitions(int argc, char** argv, const char* repetitions) {
    static std::string repetitionsFlag;
    static std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    std::vector<char*> args(argv, argv + argc);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0) {
            return args;
        }
    }
    repetitionsFlag = std::string("--benchmark_repetitions=") + repetitions;
    args.push_back(repetitionsFlag.data());
    args.push_back(aggregatesOnly.data());
    return args;
}

/// withRepetitions, and the repetitions interleaved when the count is ours: every benchmark of the program then sees
/// the same machine load, so that their medians stay comparable on a busy machine.
inline std::vector<char*> withInterleavedRepetitions(int argc, char** argv, const char* repetitions) {
    static std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args = withRepetitions(argc, argv, repetitions);
    if (static_cast<int>(args.size()) > argc) {
        args.push_back(interleave.data());
    }
    return args;
}

/// Runs the benchmarks the command line selects, `repetitions` repetitions interleaved, once `prepare` has run (after
/// the options are read), and collects their medians in `reporter`.
inline void runInterleaved(int argc, char** argv, const char* repetitions, MedianReporter& reporter,
                           const std::function<void()>& prepare) {
    std::vector<char*> args = withInterleavedRepetitions(argc, argv, repetitions);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    prepare();
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

/// Prints the median of each of `names` against that of BM_ReadAll, in wall and CPU time; with a `goal` above 0, a
/// ratio over it is marked.
inline void printAgainstReadAll(const MedianReporter& reporter, std::initializer_list<const char*> names,
                                double goal = 0) {
    const MedianReporter::Median read = reporter.median("BM_ReadAll");
    if (read.wall <= 0) {
        return;
    }
    std::printf("median read_all: %.3f ms (CPU %.3f ms)\n", read.wall, read.cpu);
    for (const char* name : names) {
        const MedianReporter::Median m = reporter.median(name);
        if (m.wall > 0) {
            const bool over = goal > 0 && m.wall / read.wall > goal;
            std::printf("median %-22s %8.3f ms (CPU %8.3f ms)  ratio to read_all %.2f (CPU %.2f)%s\n", name, m.wall,
                        m.cpu, m.wall / read.wall, m.cpu / read.cpu, over ? "  over the goal" : "");
        }
    }
}

/// Writes an Apple Health export.xml of about `bytes`: mostly step counts, with a blood-pressure correlation (one a
/// day from 2005 on) after every thousand of them. Returns the number of readings.
inline std::size_t writeAppleExport(const std::filesystem::path& path, std::uintmax_t bytes) {
    const auto record = [](const char* type, const std::string& start, int value) {
        return std::string("  <Record type=\"") + type + "\" sourceName=\"Monitor\" unit=\"mmHg\" creationDate=\"" +
               start + "\" startDate=\"" + start + "\" endDate=\"" + start + "\" value=\"" + std::to_string(value) +
               "\"/>\n";
    };
    std::ofstream xml(path, std::ios::binary);
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<HealthData locale=\"ja_JP\">\n"
           " <ExportDate value=\"2024-03-01 10:00:00 +0900\"/>\n";
    std::string steps;
    for (int i = 0; i < 1000; ++i) {
        steps += record("HKQuantityTypeIdentifierStepCount", "2020-01-05 07:12:00 +0900", 12 + i % 50);
    }
    std::size_t readings = 0;
    QDate day(2005, 2, 1);
    for (std::uintmax_t written = 0; written < bytes; written += steps.size()) {
        xml << steps;
        const std::string start =
            day.toString("yyyy-MM-dd").toStdString() + " 07:0" + std::to_string(readings % 10) + ":00 +0900";
        xml << " <Correlation type=\"HKCorrelationTypeIdentifierBloodPressure\" sourceName=\"Monitor\" "
               "creationDate=\""
            << start << "\" startDate=\"" << start << "\" endDate=\"" << start << "\">\n"
            << record("HKQuantityTypeIdentifierBloodPressureDiastolic", start, 70 + static_cast<int>(readings % 25))
            << record("HKQuantityTypeIdentifierBloodPressureSystolic", start, 110 + static_cast<int>(readings % 50))
            << " </Correlation>\n";
        ++readings;
        day = day.addDays(1);
    }
    xml << "</HealthData>\n";
    return readings;
}

}  // namespace bench
