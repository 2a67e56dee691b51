// The home blood-pressure report of the last year of a 32,767-record log (about 30 years), against reading that log,
// in one run: the figures (read the log and the morning/evening settings, compute, write out the three tables), the
// figures drawn as a PDF in memory, and the レポート button with its preview drawn (offscreen).
//
// Run: bench_report [google-benchmark flags]. Without --benchmark_repetitions it runs 15 interleaved repetitions and
// prints the median of each benchmark and its ratio to read_all; the goal for the figures is at most 3.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench_host.h"
#include "bench_support.h"
#include "common/diary_changes.h"
#include "core/app_state.h"
#include "core/clock.h"
#include "core/files/morning_evening_file.h"
#include "core/views/home_bp_report.h"
#include "views/filter_exports.h"
#include "views/home_report_document.h"

namespace {

constexpr int RecordCount = 32767;

struct Fixture {
    QTemporaryDir temp;
    std::filesystem::path dir;
    sora::Date to;
    sora::Date from;

    Fixture() : dir(temp.path().toStdString()) {
        bench::RandomLog shape;
        shape.firstDay = QDate(1995, 2, 1);
        shape.seed = 20050301;
        shape.situations = {"起床後", "朝食後", "昼食後", "夕食後", "就寝前", "運動後"};
        shape.sentence = "散歩30分、気分爽快";
        const auto records = bench::randomRecords(RecordCount, shape);
        bench::writeLogOrExit(dir, records);
        to = *sora::parse_date(records.back().date);
        from = to.add_days(-364);
        std::printf("log: %d records from %s to %s; report %s to %s\n", RecordCount, records.front().date.c_str(),
                    records.back().date.c_str(), sora::format_date(from).c_str(), sora::format_date(to).c_str());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

/// What the report shows, from the files: the same work the command line's report does.
sora::HomeBpReport reportFigures(const Fixture& f) {
    const sora::DataDir dir(f.dir);
    const auto log = sora::MeasurementLog(dir).read_all();
    const auto settings = sora::read_morning_evening(dir);
    return sora::build_home_bp_report(log.records, f.from, f.to, settings.value);
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir, RecordCount);
}

void BM_ReportFigures(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        const sora::HomeBpReport report = reportFigures(f);
        const auto daily = sora::report_daily_table(report);
        const auto weekly = sora::report_weekly_table(report);
        const auto summary = sora::report_summary_table(report);
        if (daily.rows.size() != 365) {
            state.SkipWithError("the report has not 365 days");
            break;
        }
        benchmark::DoNotOptimize(summary.rows.data());
        benchmark::DoNotOptimize(weekly.rows.data());
    }
}

void BM_ReportPdf(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        const HomeReportDocument document(reportFigures(f), QStringLiteral("ソラノート見本"),
                                          QStringLiteral("2025/01/01"));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QPainter painter(&writer);
            document.paint(painter, writer);
            state.counters["pages"] = document.pageCount(writer);
        }
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_ReportButton(benchmark::State& state) {
    const Fixture& f = fixture();
    sora::AppState appState;
    const sora::DataDir dir(f.dir);
    sora::FixedClock clock(sora::DateTime{f.to, 10, 15, 0});
    BenchHost host;
    QWidget window;
    sora::LogCache logCache{dir};
    DiaryChanges changes(appState, dir, clock, logCache, host, &window);
    FilterExports exports(ScreenContext{appState, dir, clock, logCache, host, changes}, &window);
    const QString from = QString::fromStdString(sora::format_date(f.from));
    const QString to = QString::fromStdString(sora::format_date(f.to));
    for (auto _ : state) {
        exports.makeReport(from, to);
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportFigures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportButton)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    bench::MedianReporter reporter;
    bench::runInterleaved(argc, argv, "15", reporter, [] { fixture(); });
    bench::printAgainstReadAll(reporter, {"BM_ReportFigures", "BM_ReportPdf", "BM_ReportButton"});
    benchmark::Shutdown();
    return 0;
}
