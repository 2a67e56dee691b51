#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "common/screen_context.h"
#include "core/app_state.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "ui/screen_host.h"

class QCheckBox;
class QPushButton;
class QBoxLayout;
class MainScreen;
class FilterScreen;
class AverageScreen;
class SortedListScreen;
class CalendarScreen;
class TrendScreen;
class DiaryScreen;
class SettingsScreen;
class DiaryChanges;
class TextSizeControl;
class FolderWatch;
class ConflictResolver;

namespace ui {
class Dialogs;
class HelpViewer;
}  // namespace ui

/// The main window: owns every screen, the shared state, the screen buttons and the help tour.
class frmMain : public QMainWindow, public ui::ScreenHost {
    Q_OBJECT
public:
    frmMain(std::filesystem::path dataDir, ui::Dialogs& dialogs, const sora::Clock& clock, QWidget* parent = nullptr);
    ~frmMain() override;

    /// The load step: reads every side file, builds the main screen, decides sample mode, shows the help tour.
    /// `showWindow` is false in tests, which never show a window.
    void load(bool showWindow = true);

    sora::AppState& state() { return m_state; }
    const sora::DataDir& dataDir() const { return m_dir; }
    /// True once the program was told to end (exit button, new start).
    bool ended() const { return m_ended; }
    ui::HelpViewer& helpViewer() const { return *m_help; }
    /// 文字の大きさ: its keys, its choice and its preference.
    TextSizeControl& textSize() const { return *m_textSize; }
    /// The main-screen help text of the load step.
    static QString mainHelpText();

    /// Builds the screens not built yet (each is otherwise built when first opened).
    void buildAllScreens();

    /// Opens every screen in turn and writes OUT/<frame>.png.
    bool writeScreenshots(const QString& outDir);

    /// Starts watching the data folder for changes another PC made through a sync tool, and asks about the conflict
    /// copies it holds. Not for --screenshot, which never writes.
    void watchFolder();
    /// Looks at the data folder now instead of after the watch's short pause (tests).
    void checkFolderNow();
    /// The notice in the status bar after another PC's changes were read.
    static const QString OutsideChangeNotice;

    // ui::ScreenHost
    void HIDE_FRAMES() override;
    void setHelpText(const QString& text) override;
    void DSP_HELP() override;
    ui::Dialogs& dialogs() override { return m_dialogs; }
    void setSituationLists(const QStringList& items) override;
    void refillEntryAndFilterLists(const QStringList& items) override;
    void appendSituation(const QString& item) override;
    void showMainScreenFor(const QDate& date) override;
    void rebuildMainScreen() override;
    void setTitle(const QString& title) override;
    void endProgram() override;
    void processEvents() override;
    QStringList situationItems() const override { return m_situations; }
    void showChangedDiary(bool situationsToo) override;

protected:
    /// Closing the window ends the program like the exit button: unsaved diary text is asked about first.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildButtons(QBoxLayout* layout);
    void readSideFiles();
    void decideSampleMode();
    void reportReadError(const std::string& message);
    void readOutsideChanges(const QStringList& names);
    void rereadSituations();
    /// Reads again the side files named (canonical names) that the screens hold in the state.
    void rereadSideFiles(const QStringList& names);
    void noteReadError(bool ok, const std::string& message, std::string_view file);
    void cmdMain_Click();
    void chkHelp_Click();
    void cmdHelp_Click();
    void cmdOwari_Click();
    /// Whether the shown screen may be left or the program ended: false when the user chose to stay with text
    /// not saved yet.
    bool mayLeaveScreen();
    QWidget* frameArea() const { return m_frameArea; }
    void adoptFrame(QWidget* frame);
    template <class Screen>
    Screen& built(Screen*& screen);
    /// Opens the screen (built when first needed) on a click of its button, once the shown screen may be left.
    template <class Screen>
    void openOnClick(QPushButton* button, Screen*& screen);
    void prepare(FilterScreen& screen);
    void prepare(SettingsScreen& screen);
    void prepare(DiaryScreen& screen);
    template <class Screen>
    void prepare(Screen&) {}
    ScreenContext context();

    sora::DataDir m_dir;
    sora::LogCache m_log{m_dir};
    ui::Dialogs& m_dialogs;
    const sora::Clock& m_clock;
    sora::AppState m_state;
    bool m_ended = false;
    DiaryChanges* m_changes = nullptr;
    TextSizeControl* m_textSize = nullptr;

    QWidget* m_frameArea = nullptr;
    std::vector<QWidget*> m_frames;  // of the screens built so far
    QStringList m_situations;        // the situation list as the load step and later changes left it
    QString m_memo;                  // the memo as read by the load step, for the diary screen when it is built
    QPushButton* cmdMain = nullptr;
    QPushButton* cmdTaijyu = nullptr;
    QPushButton* cmdAvgtai = nullptr;
    QPushButton* cmdBunseki = nullptr;
    QPushButton* cmdCale = nullptr;
    QPushButton* cmdRentai = nullptr;
    QPushButton* cmdMemo = nullptr;
    QPushButton* cmdSettei = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdOwari = nullptr;
    QCheckBox* chkHelp = nullptr;

    MainScreen* m_main = nullptr;
    FilterScreen* m_filter = nullptr;
    AverageScreen* m_averages = nullptr;
    SortedListScreen* m_sorted = nullptr;
    CalendarScreen* m_calendar = nullptr;
    TrendScreen* m_trend = nullptr;
    DiaryScreen* m_diary = nullptr;
    SettingsScreen* m_settings = nullptr;
    std::unique_ptr<ui::HelpViewer> m_help;
    FolderWatch* m_watch = nullptr;
    ConflictResolver* m_conflicts = nullptr;
};
