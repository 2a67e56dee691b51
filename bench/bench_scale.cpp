// How the whole program scales with the length of the diary: start-up to a shown main screen and the opening of
// every screen, on generated diaries of 1,000, 32,767 and 100,000 records, each against read_all of the same log
// in the same run. Offscreen; every dialog is scripted, so nothing blocks.
//
// Run: bench_scale [--scale_sizes=1000,32767] [--scale_write_dirs=DIR] [google-benchmark flags]
//   --scale_write_dirs=DIR  only writes the data directories DIR/<records>/ (log and side files) and exits;
//                           `soranote --data-dir DIR/100000 --screenshot OUT` then opens every screen on them.
// Without --benchmark_repetitions each measurement is repeated 9 times, in random order across all of them (so
// that a change of load on the shared machine hits every measurement alike), and the medians are compared.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/rules/dates.h"
#include "shell/frm_main.h"
#include "ui/dialogs.h"

namespace {

const sora::Date LastDay{2024, 12, 31};

/// A situation of the list with the hour at which this diarist usually measures in it and its effect on the values.
struct Situation {
    const char* name;
    int hour;
    float systolicShift;
    float pulseShift;
};

const std::vector<Situation>& daySituations() {
    static const std::vector<Situation> list{
        {"起床後", 6, 7, -2},  {"朝食後", 8, 2, 3},  {"昼食後", 12, 0, 2},  {"散歩後", 15, 3, 12},
        {"運動後", 17, 4, 15}, {"夕食後", 19, 1, 3}, {"入浴後", 21, -6, 6}, {"就寝前", 22, -2, -4},
    };
    return list;
}

const std::vector<std::string>& situationList() {
    static const std::vector<std::string> list{"はじめの一歩", "起床後", "朝食後", "昼食後", "夕食後",
                                               "運動後",       "入浴後", "就寝前", "散歩後", "通院時"};
    return list;
}

const std::vector<std::string>& sentences() {
    static const std::vector<std::string> list{"よく眠れた",
                                               "少し頭が重い",
                                               "散歩30分、気分爽快",
                                               "今日は晴れ,気分も良い",
                                               "減塩を心がけた一日だった",
                                               "薬を飲み忘れたので夕方に服用",
                                               "仕事が忙しくて睡眠不足ぎみ",
                                               "家族と外食、少し食べ過ぎた",
                                               "病院で薬を変えてもらった、様子を見る",
                                               "寒さのせいか朝の血圧がいつもより高め",
                                               "孫が遊びに来て楽しい一日",
                                               "ストレッチを15分",
                                               "朝から肩こりがひどい、湿布を貼った",
                                               "雨で散歩は中止",
                                               "健康診断の結果は異常なし",
                                               "お酒を少し飲んだ",
                                               "庭の草むしりで汗をかいた",
                                               "風邪気味なので早めに寝る",
                                               "プールで１キロ泳いだ",
                                               "通院日：次回は２週間後、採血あり"};
    return list;
}

/// A diary as one person keeps it for years: most days three to five measurements in the usual situations (in
/// the order of the day), some days none, blood pressure rising slowly with age and higher in winter, weight
/// drifting, the diary text the time of saving, a sentence or nothing. Ends near LastDay.
std::vector<sora::MeasurementRecord> makeRecords(int count) {
    static const int perDayWeights[] = {5, 0, 10, 20, 30, 25, 10};  // 0 to 6 measurements a day; 3.85 on average
    std::mt19937 rng(static_cast<unsigned>(count) * 7919u + 2005u);
    std::discrete_distribution<int> perDay(std::begin(perDayWeights), std::end(perDayWeights));
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::uniform_int_distribution<int> percent(0, 99);
    const auto spanDays = static_cast<long long>(std::ceil(count / 3.85));
    const long long first = LastDay.serial() - spanDays;

    std::vector<sora::MeasurementRecord> records;
    records.reserve(static_cast<std::size_t>(count));
    float weight = 64.0f;
    sora::Date day = sora::Date::from_serial(first);
    records.push_back({sora::format_date(day), "はじめの一歩", 128, 82, 72, "", weight});
    for (long long serial = first; static_cast<int>(records.size()) < count; ++serial) {
        day = sora::Date::from_serial(serial);
        const double age = static_cast<double>(serial - first) / static_cast<double>(spanDays + 1);
        const double season = std::cos(2 * std::numbers::pi * (serial % 365 - 15) / 365.0);
        std::vector<Situation> today;
        std::sample(daySituations().begin(), daySituations().end(), std::back_inserter(today),
                    std::min<std::size_t>(static_cast<std::size_t>(perDay(rng)), daySituations().size()), rng);
        weight = std::clamp(weight + static_cast<float>(percent(rng) % 5 - 2) / 10.0f, 52.0f, 78.0f);
        for (const Situation& situation : today) {
            if (static_cast<int>(records.size()) == count) {
                break;
            }
            const float systolic = std::clamp(
                std::round(static_cast<float>(118 + 24 * age + 6 * season) + situation.systolicShift + 11 * noise(rng)),
                85.0f, 215.0f);
            const float diastolic = std::clamp(std::round(static_cast<float>(74 + 10 * age + 3 * season) +
                                                          0.4f * situation.systolicShift + 7 * noise(rng)),
                                               45.0f, systolic - 15);
            const float pulse = std::clamp(std::round(68 + situation.pulseShift + 5 * noise(rng)), 45.0f, 130.0f);
            std::string diary;
            if (const int roll = percent(rng); roll < 35) {
                diary = sora::format_time_of_day(situation.hour, percent(rng) % 60, percent(rng) % 60);
            } else if (roll < 65) {
                diary = sentences()[static_cast<std::size_t>(percent(rng)) % sentences().size()];
            }
            records.push_back({sora::format_date(day), situation.name, systolic, diastolic, pulse, diary,
                               std::round((weight + static_cast<float>(percent(rng) % 3) / 10.0f) * 10) / 10});
        }
    }
    return records;
}

void check(const sora::WriteResult& written) {
    if (!written) {
        std::fprintf(stderr, "bench_scale: %s\n", written.message.c_str());
        std::exit(1);
    }
}

/// Writes the log and every side file into `dir`; returns the date of the last record.
sora::Date writeDataDir(const std::filesystem::path& dir, int count) {
    std::filesystem::create_directories(dir);
    const sora::DataDir data(dir);
    const std::vector<sora::MeasurementRecord> records = makeRecords(count);
    check(sora::MeasurementLog(data).rewrite_all(records, true));
    check(sora::write_help_tour_setting(data, 0));
    check(sora::write_graph_settings(data, sora::GraphAxisSettings{}));
    check(sora::write_auto_time(data, true));
    check(sora::write_situations_plain(data, situationList()));
    check(sora::write_memo(data,
                           "毎朝、起きてすぐに測るようにしています。\r\n塩分ひかえめの食事を続けてみます。"
                           "\r\n週末は家族で散歩！\r\n先生に言われたこと：体重を２キロ落とす"));
    check(sora::write_user_name(data, "佐藤 和子"));
    check(sora::write_marker_mode(data, 0));
    return *sora::parse_date(records.back().date);
}

/// The screens in the order of their buttons: button, frame, caption for the table.
struct ScreenButton {
    const char* button;
    const char* frame;
    const char* caption;
};
const ScreenButton screens[] = {
    {"cmdTaijyu", "fraTaijyu", "範囲指定 (filter)"},
    {"cmdAvgtai", "fraAvgTai", "日平均 (daily averages)"},
    {"cmdBunseki", "fraBunseki", "並び替え (sorted list)"},
    {"cmdCale", "fraCale", "カレンダー (calendar)"},
    {"cmdRentai", "fraRenTai", "全グラフ (long-term graph)"},
    {"cmdMemo", "fraMemo", "一言日記 (diary)"},
    {"cmdSettei", "fraSettei", "編集 (settings)"},
};

/// One generated diary and, built on first use, a loaded and shown main window over it.
struct Scale {
    int records = 0;
    std::filesystem::path dir;
    std::uintmax_t logBytes = 0;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<sora::FixedClock> clock;
    std::unique_ptr<frmMain> window;

    frmMain& shownWindow() {
        if (!window) {
            window = std::make_unique<frmMain>(dir, dialogs, *clock);
            window->load(true);
            QApplication::processEvents();
        }
        return *window;
    }
};

QTemporaryDir* tempRoot = nullptr;
std::map<int, std::unique_ptr<Scale>> scales;

/// Any dialog means the run measured something else than intended (a read error, a refusal).
bool noDialogs(benchmark::State& state, ui::ScriptedDialogs& dialogs) {
    if (dialogs.records().empty()) {
        return true;
    }
    const auto& record = dialogs.records().front();
    state.SkipWithError((record.title + ": " + record.text).toStdString().c_str());
    return false;
}

void readAll(benchmark::State& state, Scale* scale) {
    bench::readAll(state, scale->dir, static_cast<std::size_t>(scale->records));
}

/// Construction, the load step with the window shown, and the events it leaves (layout, the first paint).
void startUp(benchmark::State& state, Scale* scale) {
    for (auto _ : state) {
        ui::ScriptedDialogs dialogs;
        auto window = std::make_unique<frmMain>(scale->dir, dialogs, *scale->clock);
        window->load(true);
        QApplication::processEvents();
        state.PauseTiming();
        const bool shown = window->isVisible() && window->findChild<QWidget*>("fraMain")->isVisible();
        window.reset();
        QApplication::processEvents();
        if (!shown || !noDialogs(state, dialogs)) {
            if (!shown) {
                state.SkipWithError("main screen not shown");
            }
            break;
        }
        state.ResumeTiming();
    }
}

/// Only the screen button's click and the events it leaves are timed; the main screen is brought back before.
void openScreen(benchmark::State& state, Scale* scale, const ScreenButton* screen) {
    frmMain& window = scale->shownWindow();
    window.buildAllScreens();  // the openings are measured, not the first-use building of a screen
    auto* button = window.findChild<QPushButton*>(screen->button);
    auto* mainButton = window.findChild<QPushButton*>("cmdMain");
    auto* frame = window.findChild<QWidget*>(screen->frame);
    for (auto _ : state) {
        state.PauseTiming();
        mainButton->click();
        QApplication::processEvents();
        state.ResumeTiming();
        button->click();
        QApplication::processEvents();
        state.PauseTiming();
        if (!frame->isVisible()) {
            state.SkipWithError("screen not shown");
            break;
        }
        if (!noDialogs(state, scale->dialogs)) {
            break;
        }
        state.ResumeTiming();
    }
}

std::string benchName(const char* what, int records) {
    return std::string(what) + "/" + std::to_string(records);
}

void registerBenchmarks(const std::vector<int>& sizes) {
    for (const int n : sizes) {
        Scale* scale = scales.at(n).get();
        // Each repetition averages a few openings: single openings on a shared machine scatter by a fifth.
        const int iterations = n <= 1000 ? 5 : n <= 40000 ? 3 : 2;
        benchmark::RegisterBenchmark(benchName("read_all", n).c_str(), readAll, scale)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(benchName("startup", n).c_str(), startUp, scale)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations);
        for (const ScreenButton& screen : screens) {
            benchmark::RegisterBenchmark(benchName(screen.button, n).c_str(), openScreen, scale, &screen)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations);
        }
    }
}

/// Shows the usual console output and keeps the medians (wall and CPU) for the final table.
class ScaleReporter : public benchmark::ConsoleReporter {
public:
    struct Median {
        double wall = 0;
        double cpu = 0;
    };
    std::map<std::string, Median> medians;  // "cmdCale/32767" → ms

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                medians[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Median* find(const char* what, int n) const {
        const auto it = medians.find(benchName(what, n));
        return it == medians.end() ? nullptr : &it->second;
    }
};

/// One markdown table: the median of every operation at every size and its ratio to read_all of that size;
/// the last column is the growth from the middle size to the largest against the growth of the log.
void printTable(const ScaleReporter& reporter, const std::vector<int>& sizes, bool cpu) {
    const auto value = [&](const char* what, int n) {
        const ScaleReporter::Median* m = reporter.find(what, n);
        return m ? (cpu ? m->cpu : m->wall) : -1.0;
    };
    std::printf("\nMedians, %s time in ms (× read_all of the same log)\n\n| operation |", cpu ? "CPU" : "wall");
    for (const int n : sizes) {
        std::printf(" %d records |", n);
    }
    const bool growth = sizes.size() >= 2;
    if (growth) {
        std::printf(" growth %d→%d (log ×%.2f) |", sizes[sizes.size() - 2], sizes.back(),
                    static_cast<double>(sizes.back()) / sizes[sizes.size() - 2]);
    }
    std::printf("\n|---|");
    for (std::size_t i = 0; i < sizes.size() + (growth ? 1 : 0); ++i) {
        std::printf("---:|");
    }
    std::printf("\n");
    const auto row = [&](const char* what, const char* caption) {
        std::printf("| %s |", caption);
        for (const int n : sizes) {
            const double t = value(what, n), read = value("read_all", n);
            if (t < 0) {
                std::printf(" – |");
            } else if (std::string(what) == "read_all" || read <= 0) {
                std::printf(" %.2f |", t);
            } else {
                std::printf(" %.2f (%.2f×) |", t, t / read);
            }
        }
        if (growth) {
            const double small = value(what, sizes[sizes.size() - 2]), large = value(what, sizes.back());
            if (small > 0 && large > 0) {
                std::printf(" ×%.2f |", large / small);
            } else {
                std::printf(" – |");
            }
        }
        std::printf("\n");
    };
    row("read_all", "read_all");
    row("startup", "start-up to the shown main screen");
    for (const ScreenButton& screen : screens) {
        row(screen.button, (std::string(screen.caption) + " " + screen.button).c_str());
    }
}

void useJapaneseFont() {
    // As the program does: without a CJK font every Japanese glyph would be a box, and cheaper to draw.
    for (const char* family : {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic"}) {
        if (QFontDatabase::hasFamily(family)) {
            QFont font(family);
            font.setPointSize(10);
            QApplication::setFont(font);
            return;
        }
    }
}

std::vector<int> parseSizes(const std::string& list) {
    std::vector<int> sizes;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const int n = std::atoi(list.substr(start, comma - start).c_str());
        if (n >= 2) {
            sizes.push_back(n);
        }
        start = comma + 1;
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::vector<int> sizes{1000, 32767, 100000};
    std::string writeDirs;
    std::vector<char*> args{argv[0]};
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--scale_sizes=", 0) == 0) {
            sizes = parseSizes(arg.substr(14));
        } else if (arg.rfind("--scale_write_dirs=", 0) == 0) {
            writeDirs = arg.substr(19);
        } else {
            repetitionsGiven |= arg.rfind("--benchmark_repetitions", 0) == 0;
            args.push_back(argv[i]);
        }
    }
    if (!writeDirs.empty()) {
        for (const int n : sizes) {
            const std::filesystem::path dir = std::filesystem::path(writeDirs) / std::to_string(n);
            const sora::Date last = writeDataDir(dir, n);
            std::printf("%s: %d records up to %s\n", dir.c_str(), n, sora::format_date(last).c_str());
        }
        return 0;
    }
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (!repetitionsGiven) {
        args.insert(args.begin() + 1, {repetitions.data(), aggregatesOnly.data(), interleave.data()});
    }
    int qtArgc = 1;  // the benchmark's flags are not Qt's
    QApplication app(qtArgc, argv);
    useJapaneseFont();
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }

    tempRoot = new QTemporaryDir;
    for (const int n : sizes) {
        auto scale = std::make_unique<Scale>();
        scale->records = n;
        scale->dir = std::filesystem::path(tempRoot->path().toStdString()) / std::to_string(n);
        const sora::Date last = writeDataDir(scale->dir, n);
        // Today is the last day of the diary, in the evening, so the main screen shows a full day.
        scale->clock = std::make_unique<sora::FixedClock>(sora::DateTime{last, 21, 30, 0});
        scale->logBytes = std::filesystem::file_size(sora::DataDir(scale->dir).find(sora::files::Log));
        std::printf("log of %d records: %ju bytes CP932, %s … %s\n", n, scale->logBytes,
                    sora::MeasurementLog(sora::DataDir(scale->dir)).read_first().records.front().date.c_str(),
                    sora::format_date(last).c_str());
        scales[n] = std::move(scale);
    }
    registerBenchmarks(sizes);

    // The machine may be shared: its load before and after the run goes with the figures.
    const auto printLoad = [](const char* when) {
        double load[3] = {0, 0, 0};
        if (getloadavg(load, 3) == 3) {
            std::printf("load average %s: %.2f %.2f %.2f (%u CPUs)\n", when, load[0], load[1], load[2],
                        std::thread::hardware_concurrency());
        }
    };
    printLoad("before the run");
    ScaleReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printLoad("after the run");
    printTable(reporter, sizes, true);
    printTable(reporter, sizes, false);
    std::printf(
        "\nCPU time is this thread's; the ratios and growth figures to rely on are the CPU ones, since the "
        "wall time also counts other people's processes on a shared machine.\n");

    scales.clear();  // the windows need the QApplication
    delete tempRoot;
    benchmark::Shutdown();
    return 0;
}
