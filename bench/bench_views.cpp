// The daily averages, the sorted list and the calendar, each opened on a 32,767-record log spanning 20 years,
// against reading the log alone in the same run. Opening means what the screen's button does (read, build, fill)
// plus drawing the frame offscreen. Reports medians and the ratios open / read_all (goal ≤ 2 each).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QGridLayout>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_host.h"
#include "bench_support.h"
#include "common/diary_changes.h"
#include "common/screen_context.h"
#include "core/app_state.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/views/class_calendar.h"
#include "core/views/daily_averages.h"
#include "core/views/sorted_list.h"
#include "ui/dialogs.h"
#include "ui/screen_host.h"
#include "views/average_screen.h"
#include "views/calendar_screen.h"
#include "views/sorted_list_screen.h"

namespace {

constexpr int RecordCount = 32767;
constexpr int SpanDays = 7305;  // 2005/01/01 to 2024/12/31

/// Four to five records a day over twenty years, values varying, every third with a diary text.
std::vector<sora::MeasurementRecord> makeRecords() {
    static const char* situations[] = {"起床後", "朝食後", "昼食後", "就寝前", "運動後"};
    static const char* diaries[] = {"", "7:05:09", "よく眠れた", "少し頭が重い", "散歩30分、気分爽快"};
    std::vector<sora::MeasurementRecord> records;
    records.reserve(RecordCount);
    const QDate first(2005, 1, 1);
    for (int i = 0; i < RecordCount; ++i) {
        const long long day = static_cast<long long>(i) * (SpanDays - 1) / (RecordCount - 1);
        const QDate date = first.addDays(day);
        records.push_back({date.toString("yyyy/MM/dd").toStdString(), situations[i % 5],
                           static_cast<float>(105 + (i * 37) % 80), static_cast<float>(65 + (i * 23) % 45),
                           static_cast<float>(55 + (i * 11) % 40), diaries[i % 5],
                           static_cast<float>(600 + (i * 7) % 100) / 10.0f});
    }
    return records;
}

/// The log on disk and the three screens in a window of the program's start size, shown offscreen.
struct Fixture {
    QTemporaryDir root;
    sora::DataDir dir{std::filesystem::path(root.path().toStdString())};
    sora::AppState state;
    sora::FixedClock clock{sora::DateTime{{2025, 1, 1}, 10, 0, 0}};
    BenchHost host;
    QWidget window;
    sora::LogCache logCache{dir};
    DiaryChanges changes{state, dir, clock, logCache, host, &window};
    std::unique_ptr<AverageScreen> averages;
    std::unique_ptr<SortedListScreen> sorted;
    std::unique_ptr<CalendarScreen> calendar;

    Fixture() {
        bench::writeLogOrExit(dir.path(), makeRecords());
        state.startDate = "2005/01/01";
        const ScreenContext context{state, dir, clock, logCache, host, changes};
        averages = std::make_unique<AverageScreen>(context, &window);
        sorted = std::make_unique<SortedListScreen>(context, &window);
        calendar = std::make_unique<CalendarScreen>(context, &window);
        auto* layout = new QGridLayout(&window);
        for (QWidget* frame : {averages->frame(), sorted->frame(), calendar->frame()}) {
            layout->addWidget(frame, 0, 0);
            frame->hide();
            host.frames.push_back(frame);
        }
        window.resize(1228, 700);
        window.show();
        QCoreApplication::processEvents();
    }
};

// Destroyed explicitly before the QApplication, which the widgets need.
std::unique_ptr<Fixture> theFixture;

Fixture& fixture() {
    if (!theFixture) {
        theFixture = std::make_unique<Fixture>();
    }
    return *theFixture;
}

void BM_ReadAll(benchmark::State& state) {
    bench::readAll(state, fixture().dir.path(), RecordCount);
}

// The builders alone, on records read once: what the opening spends outside reading and the widgets.
const std::vector<sora::MeasurementRecord>& records() {
    static const std::vector<sora::MeasurementRecord> read = sora::MeasurementLog(fixture().dir).read_all().records;
    return read;
}

void BM_BuildAverages(benchmark::State& state) {
    for (auto _ : state) {
        const auto view = sora::build_daily_averages(records(), fixture().state.axes);
        benchmark::DoNotOptimize(view.grid.rows.data());
    }
}
void BM_BuildSortedList(benchmark::State& state) {
    for (auto _ : state) {
        const auto view = sora::build_sorted_list(records());
        benchmark::DoNotOptimize(view.rows.data());
    }
}
void BM_BuildCalendar(benchmark::State& state) {
    for (auto _ : state) {
        const auto view =
            sora::build_class_calendar(records(), sora::CalendarMode::Detailed, "2005/01/01", fixture().clock.today());
        benchmark::DoNotOptimize(view.grid.rows.data());
    }
}

// The window is shown (offscreen), so the pending updates that open() lets run draw the frame.
template <typename Screen>
void openAndDraw(benchmark::State& state, Screen& screen) {
    for (auto _ : state) {
        screen.frame()->hide();
        screen.open();
    }
}

void BM_OpenAverages(benchmark::State& state) {
    openAndDraw(state, *fixture().averages);
}
void BM_OpenSortedList(benchmark::State& state) {
    openAndDraw(state, *fixture().sorted);
}
void BM_OpenCalendar(benchmark::State& state) {
    openAndDraw(state, *fixture().calendar);
}

BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAverages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSortedList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCalendar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAverages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildSortedList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCalendar)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::vector<char*> args = bench::withRepetitions(argc, argv, "9");
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    fixture();
    std::printf("log: %d records from 2005/01/01 over %d days\n", RecordCount, SpanDays);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto read = reporter.median("BM_ReadAll");
    if (read.wall > 0) {
        std::printf("median read_all: %.2f ms (CPU %.2f ms)\n", read.wall, read.cpu);
        for (const char* name : {"BM_OpenAverages", "BM_OpenSortedList", "BM_OpenCalendar"}) {
            const auto open = reporter.median(name);
            if (open.wall > 0) {
                std::printf("%-18s median %.2f ms, ratio to read_all %.2f; CPU %.2f ms, ratio %.2f (goal <= 2)\n", name,
                            open.wall, open.wall / read.wall, open.cpu, open.cpu / read.cpu);
            }
        }
    }
    benchmark::Shutdown();
    theFixture.reset();
    return 0;
}
