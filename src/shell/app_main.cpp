#include "shell/app_main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSettings>
#include <cstdio>
#include <optional>
#include <string_view>

#include "core/edits/rename_situation.h"
#include "core/files/data_dir.h"
#include "core/files/log_backups.h"
#include "core/files/writer_lock.h"
#include "shell/desktop_integration.h"
#include "shell/frm_main.h"
#include "shell/resources.h"
#include "shell/text_size_control.h"
#include "shell/window_geometry.h"
#include "ui/dialogs.h"
#include "ui/focus_frame.h"

namespace {

void useJapaneseFont(QApplication& app) {
    // Without a CJK font every Japanese glyph is a box; prefer Noto when fontconfig has it.
    for (const char* family : {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic"}) {
        if (QFontDatabase::hasFamily(family)) {
            QFont font(family);
            font.setPointSize(10);
            app.setFont(font);
            return;
        }
    }
}

struct Options {
    QCommandLineOption dataDir{"data-dir", "データを置くフォルダ (既定: ~/.local/share/soranote)", "DIR"};
    QCommandLineOption screenshot{"screenshot", "全画面を OUT/<枠名>.png に書き出して終了します", "OUT"};
    QCommandLineOption textSize{"text-size", "文字の大きさ: 標準, 大きめ, 特大 (または 100, 125, 150)", "SIZE"};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription("ソラノート＋（血圧・脈拍・体重の日記）");
    parser.addHelpOption();  // answered by printHelp before the parser runs
    parser.addOption(options.dataDir);
    parser.addOption(options.screenshot);
    parser.addOption(options.textSize);
}

/// The size named on the command line, else the kept one; pictures are taken at the standard size unless named.
bool chooseTextSize(const QCommandLineParser& parser, const Options& options) {
    std::optional<sora::TextSize> size;
    if (parser.isSet(options.textSize)) {
        size = sora::text_size_from_text(parser.value(options.textSize).toStdString());
        if (!size) {
            std::fprintf(stderr, "soranote: --text-size: 標準, 大きめ, 特大 のどれかを指定してください\n");
            return false;
        }
    } else if (!parser.isSet(options.screenshot)) {
        size = TextSizeControl::stored();
    }
    TextSizeControl::applyAtStart(size.value_or(sora::TextSize::Standard));
    return true;
}

}  // namespace

bool asksOnlyForHelp(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all") {
            return true;
        }
    }
    return false;
}

int printHelp(QCoreApplication&) {
    // Written here rather than by QCommandLineParser, whose own lines ("Usage:", "Displays help…") are English.
    const QByteArray text =
        "使い方: soranote [--data-dir DIR] [--screenshot OUT] [--text-size SIZE]\n"
        "\n"
        "ソラノート＋（血圧・脈拍・体重の日記）を開きます。\n"
        "\n"
        "オプション:\n"
        "  -h, --help           この説明を表示して終了します\n"
        "  --data-dir DIR       データを置くフォルダ（既定: ~/.local/share/soranote）\n"
        "  --screenshot OUT     メイン、範囲指定、日平均、並び替え、カレンダー、全グラフ、一言日記、編集の\n"
        "                       各画面を OUT フォルダに PNG で書き出して終了します（メインは fraMain.png）\n"
        "  --text-size SIZE     文字の大きさ: 標準、大きめ、特大（または 100、125、150）\n"
        "\n"
        "日記を読んで書き出すだけのコマンドは soranote-cli です（soranote-cli --help）。\n";
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
    return 0;
}

int runSoranote(QApplication& app) {
    QApplication::setApplicationName("soranote");
    QApplication::setOrganizationName("soranote");    // per-machine preferences: ~/.config/soranote/soranote.conf
    QGuiApplication::setDesktopFileName("soranote");  // ties the window to soranote.desktop and its icon
    QApplication::setApplicationDisplayName("ソラノート＋");
    QApplication::setWindowIcon(applicationIcon());
    loadQtJapanese(app);
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    parser.process(app);
    const QCommandLineOption& dataDirOption = options.dataDir;
    const QCommandLineOption& screenshotOption = options.screenshot;

    const std::filesystem::path dataDir = parser.isSet(dataDirOption)
                                              ? std::filesystem::path(parser.value(dataDirOption).toStdString())
                                              : sora::default_data_dir();
    // One writer per data folder: a second copy would overwrite the first one's saves, so it ends here.
    std::error_code noFolderYet;
    std::filesystem::create_directories(dataDir, noFolderYet);  // a failure is reported by the installation below
    const sora::WriterLock folderLock(dataDir, std::chrono::milliseconds(0));
    if (!folderLock && !noFolderYet) {
        const std::string busy = folderLock.busy() ? sora::second_copy_message(dataDir) : folderLock.message();
        std::fprintf(stderr, "soranote: %s\n", busy.c_str());
        if (!parser.isSet(screenshotOption)) {
            ui::QtDialogs().message(ui::Icon::Warning, "ソラノート＋は起動中です", QString::fromStdString(busy));
        }
        return 1;
    }
    std::string message;
    const bool prepared = sora::install_sample_if_needed(dataDir, sampleDirectory().toStdString(), message);
    if (!message.empty()) {
        // Started from the desktop there is no terminal: say it in a window too.
        std::fprintf(stderr, "soranote: %s\n", message.c_str());
        if (!parser.isSet(screenshotOption)) {
            ui::QtDialogs().message(ui::Icon::Warning, prepared ? "日記のファイルがありません" : "起動エラー",
                                    QString::fromStdString(message));
        }
    }
    if (!prepared) {
        return 1;
    }
    useJapaneseFont(app);
    ui::useVisibleFocus(app);
    if (!chooseTextSize(parser, options)) {
        return 2;
    }
    // A change of several files cut off midway (a rename, its undo) is finished or taken back, and leftovers of dead
    // writers removed, before anything reads the files.
    const sora::TogetherRecovery recovery = sora::recover_interrupted_rename(sora::DataDir(dataDir));
    if (!recovery.message.empty()) {
        std::fprintf(stderr, "soranote: %s\n", recovery.message.c_str());
        if (!parser.isSet(screenshotOption)) {
            const bool failed = recovery.outcome == sora::TogetherRecovery::Outcome::Failed;
            ui::QtDialogs().message(failed ? ui::Icon::Warning : ui::Icon::Information, "前回の中断からの復旧",
                                    QString::fromStdString(recovery.message));
        }
    }

    sora::SystemClock clock;
    // The first start of a day keeps a copy of the log in backup/ (a run that only takes pictures writes nothing).
    if (!parser.isSet(screenshotOption)) {
        if (const auto warning = sora::backup_at_start(sora::DataDir(dataDir), clock.now())) {
            std::fprintf(stderr, "soranote: %s\n", warning->c_str());
            ui::QtDialogs().message(ui::Icon::Warning, "バックアップ", QString::fromStdString(*warning));
        }
    }
    if (parser.isSet(screenshotOption)) {
        // Every dialog is answered with its default button without being shown.
        ui::ScriptedDialogs dialogs;
        frmMain window(dataDir, dialogs, clock);
        fitFirstTime(window);  // the pictures show the window as a first start on this screen opens it
        window.load(true);
        const bool ok = window.writeScreenshots(parser.value(screenshotOption));
        return ok ? 0 : 1;
    }
    ui::QtDialogs dialogs;
    frmMain window(dataDir, dialogs, clock);
    dialogs.setParent(&window);
    QSettings preferences;
    WindowGeometry geometry(preferences);
    geometry.restore(window);
    window.load(true);
    if (window.ended()) {
        return 0;
    }
    window.watchFolder();
    geometry.restoreMaximised(window);  // the load step shows the window in its normal state
    const int status = app.exec();
    geometry.save(window);
    return status;
}
