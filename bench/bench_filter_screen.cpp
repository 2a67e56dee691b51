// The filtered view opened on a 32,767-record log, against reading the log alone in the same run.
// Reports medians and the ratios to read_all of filling the view and of opening and drawing it (goal <= 2).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_host.h"
#include "bench_support.h"
#include "common/diary_changes.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/views/filter_listing.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/screen_host.h"
#include "views/filter_screen.h"

namespace {

constexpr int kRecords = 32767;

/// Three to four records a day over about 25 years, varied values and situations, now and then no weight.
std::filesystem::path makeLog(const QTemporaryDir& root) {
    const std::filesystem::path dir(root.path().toStdString());
    bench::writeLogOrExit(
        dir, bench::randomRecords(
                 kRecords,
                 {QDate(1980, 1, 1), 4711, 3, {"起床後", "朝食後", "昼食後", "夕食後", "就寝前", "運動後の散歩"}}));
    return dir;
}

struct Fixture {
    QTemporaryDir root;
    std::filesystem::path dir = makeLog(root);
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir, kRecords);
}

/// The listing rule alone, on records already read: the selection, ranges and chart rows of all records.
void BM_SelectRecords(benchmark::State& state) {
    const auto log = sora::MeasurementLog(sora::DataDir(fixture().dir)).read_all();
    for (auto _ : state) {
        const auto selection =
            sora::select_filter_records(log.records, sora::FilterListing::All, {}, {}, sora::SecondaryQuantity::Weight);
        benchmark::DoNotOptimize(selection.listed.data());
    }
}

/// Opening the view as its button does: read, list, fill grid, chart and period boxes, select the mode, show the
/// frame and, when `paint` is set, let it paint (offscreen).
void openFilterView(benchmark::State& state, bool paint) {
    const sora::DataDir dir(fixture().dir);
    sora::AppState appState;
    appState.recordCount = kRecords;
    sora::FixedClock clock(sora::DateTime{{2005, 3, 1}, 10, 15, 0});
    BenchHost host;
    host.paint = paint;
    QWidget area;
    area.resize(1100, 700);
    sora::LogCache logCache{dir};
    DiaryChanges changes(appState, dir, clock, logCache, host, &area);
    FilterScreen screen(ScreenContext{appState, dir, clock, logCache, host, changes}, &area);
    screen.frame()->resize(1100, 700);
    host.frames = {screen.frame()};
    if (paint) {
        area.show();
    }
    auto* grid = screen.frame()->findChild<ui::Grid*>("msgBunseki");
    auto* start = screen.frame()->findChild<QComboBox*>("cboStdate");
    for (auto _ : state) {
        screen.frame()->hide();
        screen.open();
        if (grid->rowCount() != kRecords + 1 || start->count() == 0 || screen.frame()->isHidden()) {
            state.SkipWithError("view not filled");
            break;
        }
    }
}

void BM_OpenFilterView(benchmark::State& state) {
    openFilterView(state, true);
}
/// The same without drawing: what the listing and the filling of the controls cost.
void BM_FillFilterView(benchmark::State& state) {
    openFilterView(state, false);
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_SelectRecords)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_FillFilterView)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_OpenFilterView)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double read = reporter.median("BM_ReadAll").wall;
    const double select = reporter.median("BM_SelectRecords").wall;
    const double fill = reporter.median("BM_FillFilterView").wall;
    const double open = reporter.median("BM_OpenFilterView").wall;
    const auto ratio = [read](double value) { return read > 0 ? value / read : 0.0; };
    std::printf(
        "\nmedians at %d records (ms): read_all %.2f  selection %.2f  fill without drawing %.2f (%.2f x)  "
        "open and draw %.2f (%.2f x read_all; goal <= 2)\n",
        kRecords, read, select, fill, ratio(fill), open, ratio(open));
    benchmark::Shutdown();
    return 0;
}
