// The whole program (start-up, then every screen in turn, in a window shown offscreen) over a diary whose side
// file or memo holds one very long line with no line break. One case per file and kind of text: Latin letters
// and digits (no place to break a line) or Japanese (kanji, kana and punctuation, which the text layout shapes
// in many short runs). Reports per case the medians of the start-up and of opening each screen. Goal: every
// screen opens in under a second with a 1 MB line.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "shell/frm_main.h"
#include "ui/dialogs.h"

namespace {

/// The screen buttons in the order they are clicked, with the frame each one shows.
constexpr std::array<std::pair<const char*, const char*>, 8> Screens = {{{"cmdTaijyu", "fraTaijyu"},
                                                                         {"cmdAvgtai", "fraAvgTai"},
                                                                         {"cmdBunseki", "fraBunseki"},
                                                                         {"cmdCale", "fraCale"},
                                                                         {"cmdRentai", "fraRenTai"},
                                                                         {"cmdMemo", "fraMemo"},
                                                                         {"cmdSettei", "fraSettei"},
                                                                         {"cmdMain", "fraMain"}}};

/// The files a case puts the long line in; index 0 is the ordinary diary.
struct Target {
    const char* label;
    std::string_view file;
    const char* before;  // what the line starts with, so that the reader takes the rest as the value
    const char* after;
};
const std::array<Target, 8> Targets = {{{"none", {}, "", ""},
                                        {"memo", sora::files::Memo, "", ""},
                                        {"situations", sora::files::Situations, "", ""},
                                        {"name", sora::files::Private, "\"氏名\",\"", "\""},
                                        {"help_tour", sora::files::HelpTour, "\"ヘルプツアー\",", ""},
                                        {"graph", sora::files::GraphSettings, "\"自動設定\",", ""},
                                        {"auto_time", sora::files::AutoTime, "", ""},
                                        {"marker", sora::files::Marker, "", ""}}};

/// About `bytes` bytes of CP932 without a line break.
std::string longLine(bool japanese, std::size_t bytes) {
    const std::string unit = japanese ? "気付きメモ、" : "memo0123456789";
    std::string utf8;
    const std::size_t unitBytes = japanese ? 12 : unit.size();
    for (std::size_t size = 0; size < bytes; size += unitBytes) {
        utf8 += unit;
    }
    return utf8;
}

void writeOrExit(const std::filesystem::path& path, const std::string& utf8) {
    const std::optional<std::string> bytes = sora::utf8_to_cp932(utf8);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!bytes || !(out << *bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

/// An ordinary diary of 500 records with every side file, then the long line in the target's file.
std::unique_ptr<QTemporaryDir> makeDiary(const Target& target, bool japanese, std::size_t bytes) {
    auto temp = std::make_unique<QTemporaryDir>();
    const sora::DataDir dir(temp->path().toStdString());
    bench::writeLogOrExit(dir.path(),
                          bench::randomRecords(500, {QDate(2005, 2, 1), 7, 3, {"起床後", "就寝前"}, "散歩"}));
    const bool written = sora::write_help_tour_setting(dir, 0) && sora::write_graph_settings(dir, {}) &&
                         sora::write_auto_time(dir, false) &&
                         sora::write_situations_plain(dir, {"起床後", "朝食後", "就寝前"}) &&
                         sora::write_memo(dir, "塩分を控える\r\n朝の散歩") && sora::write_user_name(dir, "花子") &&
                         sora::write_marker_mode(dir, 0);
    if (!written) {
        std::fprintf(stderr, "cannot write the side files\n");
        std::exit(1);
    }
    if (!target.file.empty()) {
        std::string text = target.before + longLine(japanese, bytes) + target.after + "\r\n";
        if (target.file == sora::files::Situations) {
            text = "起床後\r\n" + text + "就寝前\r\n";
        }
        writeOrExit(dir.find(target.file), text);
    }
    return temp;
}

double msSince(QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// Args: target index, Japanese (1) or Latin (0), size of the line in kB.
void BM_OpenEveryScreen(benchmark::State& state) {
    const Target& target = Targets[static_cast<std::size_t>(state.range(0))];
    const auto temp = makeDiary(target, state.range(1) != 0, static_cast<std::size_t>(state.range(2)) * 1000);
    const sora::FixedClock clock(sora::DateTime{{2006, 7, 1}, 10, 0, 0});
    std::map<std::string, double> spent;
    double slowest = 0;
    for (auto _ : state) {
        ui::ScriptedDialogs dialogs;
        QElapsedTimer timer;
        timer.start();
        frmMain window(temp->path().toStdString(), dialogs, clock);
        window.load(true);
        QCoreApplication::processEvents();
        const double start = msSince(timer);
        spent["start"] += start;
        double slowestHere = start;
        for (const auto& [button, frame] : Screens) {
            timer.restart();
            window.findChild<QAbstractButton*>(button)->click();
            QCoreApplication::processEvents();
            const double opened = msSince(timer);
            spent[frame] += opened;
            slowestHere = std::max(slowestHere, opened);
            if (window.findChild<QWidget*>(frame)->isHidden()) {
                state.SkipWithError("a screen did not open");
            }
        }
        slowest += slowestHere;
    }
    for (const auto& [name, total] : spent) {
        state.counters[name] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    }
    state.counters["slowest"] = benchmark::Counter(slowest, benchmark::Counter::kAvgIterations);
    state.SetLabel(std::string(target.label) + (state.range(1) != 0 ? " japanese " : " latin ") +
                   std::to_string(state.range(2)) + " kB");
}

void cases(benchmark::internal::Benchmark* bench) {
    bench->Args({0, 0, 0});
    for (const std::int64_t kB : {100, 1000}) {
        for (std::int64_t target = 1; target < static_cast<std::int64_t>(Targets.size()); ++target) {
            bench->Args({target, 0, kB});
            bench->Args({target, 1, kB});
        }
    }
}
BENCHMARK(BM_OpenEveryScreen)->Apply(cases)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Keeps the median counters of every case: the times of the start-up and of each screen.
class CounterReporter : public benchmark::ConsoleReporter {
public:
    struct Case {
        std::string label;
        std::map<std::string, double> counters;
    };
    std::vector<Case> cases;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                Case c{run.report_label, {}};
                for (const auto& [name, counter] : run.counters) {
                    c.counters[name] = counter.value;
                }
                cases.push_back(std::move(c));
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::vector<char*> args = bench::withRepetitions(argc, argv, "5");
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    CounterReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedians in ms: start-up, then each screen as it is opened; goal: every one under 1000\n");
    std::printf("%-30s %8s", "case", "start");
    for (const auto& screen : Screens) {
        std::printf(" %10s", screen.second);
    }
    std::printf(" %8s\n", "slowest");
    for (const CounterReporter::Case& c : reporter.cases) {
        std::printf("%-30s %8.0f", c.label.c_str(), c.counters.count("start") ? c.counters.at("start") : 0.0);
        for (const auto& screen : Screens) {
            const auto it = c.counters.find(screen.second);
            std::printf(" %10.0f", it == c.counters.end() ? 0.0 : it->second);
        }
        const auto slowest = c.counters.find("slowest");
        std::printf(" %8.0f\n", slowest == c.counters.end() ? 0.0 : slowest->second);
    }
    benchmark::Shutdown();
    return 0;
}
