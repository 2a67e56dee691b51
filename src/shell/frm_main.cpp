#include "shell/frm_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <type_traits>

#include "common/diary_changes.h"
#include "common/render.h"
#include "common/side_file_guard.h"
#include "core/files/measurement_log.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "main/main_screen.h"
#include "settings/settings_screen.h"
#include "shell/resources.h"
#include "shell/text_size_control.h"
#include "ui/dialogs.h"
#include "ui/enter_presses_buttons.h"
#include "ui/flow_layout.h"
#include "ui/help_viewer.h"
#include "views/average_screen.h"
#include "views/calendar_screen.h"
#include "views/diary_screen.h"
#include "views/filter_screen.h"
#include "views/sorted_list_screen.h"
#include "views/trend_screen.h"

namespace {

QStringList toQStringList(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) {
        list.append(qs(item));
    }
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& toolTip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!toolTip.isEmpty()) {
        button->setToolTip(toolTip);
    }
    button->setMinimumHeight(34);
    return button;
}

}  // namespace

frmMain::frmMain(std::filesystem::path dataDir, ui::Dialogs& dialogs, const sora::Clock& clock, QWidget* parent)
    : QMainWindow(parent), m_dir(std::move(dataDir)), m_dialogs(dialogs), m_clock(clock) {
    setObjectName("frmMain");
    ui::pressButtonsOnEnter();
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 6, 6, 6);
    auto* buttonRow = new QHBoxLayout;
    buildButtons(buttonRow);
    column->addLayout(buttonRow);

    // On a screen too small for a frame's own size the frame keeps that size and the area scrolls: nothing is cut
    // or squeezed over its neighbour.
    auto* scroll = new QScrollArea(central);
    scroll->setObjectName("frameScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // no Tab stop of its own: Tab into a control scrolls that control into view
    m_frameArea = new QWidget(scroll);
    m_frameArea->setObjectName("frameArea");
    auto* frames = new QGridLayout(m_frameArea);
    frames->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(m_frameArea);
    column->addWidget(scroll, 1);
    setCentralWidget(central);

    // The main screen is built now; every other screen when it is first needed, which keeps hundreds of controls
    // out of the start-up.
    m_changes = new DiaryChanges(m_state, m_dir, m_clock, m_log, *this, this);
    m_main = new MainScreen(context(), m_frameArea);
    adoptFrame(m_main->frame());

    connect(cmdMain, &QPushButton::clicked, this, &frmMain::cmdMain_Click);
    openOnClick(cmdTaijyu, m_filter);
    openOnClick(cmdAvgtai, m_averages);
    openOnClick(cmdBunseki, m_sorted);
    openOnClick(cmdCale, m_calendar);
    openOnClick(cmdRentai, m_trend);
    openOnClick(cmdMemo, m_diary);
    openOnClick(cmdSettei, m_settings);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdOwari, &QPushButton::clicked, this, &frmMain::cmdOwari_Click);
    connect(chkHelp, &QCheckBox::clicked, this, &frmMain::chkHelp_Click);
    // A text box that has the keyboard takes Ctrl+Z back for its own typing first.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, m_changes, &DiaryChanges::undo);

    m_textSize = new TextSizeControl(*this);
    m_help = std::make_unique<ui::HelpViewer>(this);
    setWindowTitle(" ソラノート＋");
    // Below the frames' own sizes the frame area scrolls; the screen buttons wrap.
    setMinimumHeight(480);
    resize(1240, 760);
}

frmMain::~frmMain() = default;

ScreenContext frmMain::context() {
    return ScreenContext{m_state, m_dir, m_clock, m_log, *this, *m_changes};
}

void frmMain::adoptFrame(QWidget* frame) {
    // Every frame sits in the same cell: hidden frames take no room, the one shown fills the area.
    static_cast<QGridLayout*>(m_frameArea->layout())->addWidget(frame, 0, 0);
    frame->hide();
    m_frames.push_back(frame);
}

template <class Screen>
Screen& frmMain::built(Screen*& screen) {
    if (!screen) {
        screen = new Screen(context(), m_frameArea);
        adoptFrame(screen->frame());
        prepare(*screen);
    }
    return *screen;
}
template SettingsScreen& frmMain::built(SettingsScreen*&);  // also used by the screenshot writer

template <class Screen>
void frmMain::openOnClick(QPushButton* button, Screen*& screen) {
    connect(button, &QPushButton::clicked, this, [this, &screen] {
        // Only the diary screen holds text that is saved by a button; its own button leaves nothing.
        if (std::is_same_v<Screen, DiaryScreen> || mayLeaveScreen()) {
            built(screen).open();
        }
    });
}

// What the load step gave the screens that were not built yet.
void frmMain::prepare(FilterScreen& screen) {
    screen.setSituations(m_situations);
}

void frmMain::prepare(SettingsScreen& screen) {
    screen.setSituations(m_situations);
    screen.showGraphSettings();
    screen.setAutoTimeChecked(m_state.autoTime);
    screen.showTextSize(m_textSize->current());
    connect(&screen, &SettingsScreen::textSizeChosen, m_textSize, &TextSizeControl::choose);
    connect(m_textSize, &TextSizeControl::changed, &screen, &SettingsScreen::showTextSize);
}

void frmMain::prepare(DiaryScreen& screen) {
    screen.setMemo(m_memo);
}

void frmMain::buildAllScreens() {
    built(m_filter);
    built(m_averages);
    built(m_sorted);
    built(m_calendar);
    built(m_trend);
    built(m_diary);
    built(m_settings);
}

void frmMain::buildButtons(QBoxLayout* row) {
    QWidget* parent = this;
    cmdMain = makeButton(parent, "cmdMain", "メイン", QString());
    cmdTaijyu = makeButton(parent, "cmdTaijyu", "範囲指定", "表示条件を指定できます");
    cmdAvgtai = makeButton(parent, "cmdAvgtai", "日平均", "日の平均データを表示します");
    cmdBunseki = makeButton(parent, "cmdBunseki", "並び替え", "各種データを並び替え表示します");
    cmdCale = makeButton(parent, "cmdCale", "カレンダー", "血圧判定把握カレンダーを表示します");
    cmdRentai = makeButton(parent, "cmdRentai", "全グラフ", "現在までの血圧変動グラフを表示します");
    cmdMemo = makeButton(parent, "cmdMemo", "一言日記", "ちょっとした日記を表示します");
    cmdSettei = makeButton(parent, "cmdSettei", "編集", "編集画面を表示します");
    cmdHelp = makeButton(parent, "cmdHelp", "ヘルプ", "ヘルプファイルを開きます");
    cmdOwari = makeButton(parent, "cmdOwari", "終了", "プログラムを終了します");
    chkHelp = new QCheckBox("ヘルプツアー", parent);
    chkHelp->setObjectName("chkHelp");
    chkHelp->setToolTip("ヘルプツアーのＯｎ／Ｏｆｆです");

    // The screen buttons wrap onto a second line in a narrow window; help and exit stay at the right.
    auto* screenButtons = new QWidget(parent);
    screenButtons->setObjectName("screenButtons");
    auto* flow = new ui::FlowLayout(screenButtons);
    for (QPushButton* button : {cmdMain, cmdTaijyu, cmdAvgtai, cmdBunseki, cmdCale, cmdRentai, cmdMemo, cmdSettei}) {
        button->setParent(screenButtons);
        flow->addWidget(button);
    }
    row->addWidget(screenButtons, 1);
    // Keys that typing never makes: Alt with the button's place in the row, F1 for help, Ctrl+Q to end.
    const std::pair<QPushButton*, QKeySequence> keys[] = {{cmdMain, QKeySequence(Qt::ALT | Qt::Key_1)},
                                                          {cmdTaijyu, QKeySequence(Qt::ALT | Qt::Key_2)},
                                                          {cmdAvgtai, QKeySequence(Qt::ALT | Qt::Key_3)},
                                                          {cmdBunseki, QKeySequence(Qt::ALT | Qt::Key_4)},
                                                          {cmdCale, QKeySequence(Qt::ALT | Qt::Key_5)},
                                                          {cmdRentai, QKeySequence(Qt::ALT | Qt::Key_6)},
                                                          {cmdMemo, QKeySequence(Qt::ALT | Qt::Key_7)},
                                                          {cmdSettei, QKeySequence(Qt::ALT | Qt::Key_8)},
                                                          {cmdHelp, QKeySequence(Qt::Key_F1)},
                                                          {cmdOwari, QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto& [button, key] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
        const QString keyText = key.toString(QKeySequence::NativeText);
        button->setToolTip(button->toolTip().isEmpty() ? keyText : button->toolTip() + "（" + keyText + "）");
    }
    row->addWidget(chkHelp);
    row->addWidget(cmdHelp);
    row->addWidget(cmdOwari);
}

void frmMain::load(bool showWindow) {
    // 1. Normal window state, loading flag, no frame shown.
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    m_state.loading = true;
    HIDE_FRAMES();

    // 2. Today is the selected day.
    const sora::Date today = m_clock.today();
    m_main->setSelectedDate(QDate(today.year, today.month, today.day));

    // 3.–4. The side files, in the order of the load step.
    readSideFiles();

    // 5. Window, main frame, help-tour box (the loading flag keeps it from writing the file).
    if (showWindow) {
        show();
    }
    m_main->frame()->show();
    chkHelp->setChecked(m_state.helpTour != 0);

    // 6. The day page; steppers wait for a situation.
    m_main->DSP_MAIN();
    m_main->disableSteppers();
    m_main->focusEntry();

    // 7.–8.
    decideSampleMode();
    m_main->selectSeriesMode(4);

    // 9.–10.
    processEvents();
    m_state.loading = false;
    setHelpText(mainHelpText());
    DSP_HELP();
}

void frmMain::readSideFiles() {
    const auto name = sora::read_user_name(m_dir);
    noteReadError(name.ok, name.message, sora::files::Private);
    m_state.userName = name.value;
    setTitle(qs(sora::window_title_for(m_state.userName)));

    const auto situations = sora::read_situations(m_dir);
    noteReadError(situations.ok, situations.message, sora::files::Situations);
    setSituationLists(toQStringList(situations.value));

    const auto axes = sora::read_graph_settings(m_dir);
    noteReadError(axes.ok, axes.message, sora::files::GraphSettings);
    m_state.axes = axes.value;
    if (m_settings) {
        m_settings->showGraphSettings();
    }

    const auto autoTime = sora::read_auto_time(m_dir);
    noteReadError(autoTime.ok, autoTime.message, sora::files::AutoTime);
    m_state.autoTime = autoTime.value;
    if (m_settings) {
        m_settings->setAutoTimeChecked(autoTime.value);
    }

    const auto marker = sora::read_marker_mode(m_dir);
    noteReadError(marker.ok, marker.message, sora::files::Marker);
    m_state.markerMode = marker.value;
    m_main->applyMarkerMode();

    const auto memo = sora::read_memo(m_dir);
    noteReadError(memo.ok, memo.message, sora::files::Memo);
    m_memo = qs(memo.value);
    if (m_diary) {
        m_diary->setMemo(m_memo);
    }

    // Read here only to say at start that it does not read; the settings screen and the report read it when used.
    const auto morningEvening = sora::read_morning_evening(m_dir);
    noteReadError(morningEvening.ok, morningEvening.message, sora::files::MorningEvening);

    const auto helpTour = sora::read_help_tour_setting(m_dir);
    noteReadError(helpTour.ok, helpTour.message, sora::files::HelpTour);
    m_state.helpTour = helpTour.value;
}

void frmMain::noteReadError(bool ok, const std::string& message, std::string_view file) {
    reportReadError(message);
    if (!ok) {
        // Shown with a fallback: a later save would replace what the user never saw, so it asks first.
        m_state.unreadableFiles.add(file);
    }
}

void frmMain::reportReadError(const std::string& message) {
    if (!message.empty()) {
        m_dialogs.message(ui::Icon::Warning, "読み込みエラー", qs(message));
    }
}

void frmMain::decideSampleMode() {
    const auto first = sora::MeasurementLog(m_dir).read_first();
    m_state.sampleMode = first.ok && !first.records.empty() && first.records.front().date == sora::SampleStartDate &&
                         (m_state.userName == sora::SampleUserName || m_state.userName == sora::EarlierSampleUserName);
    if (!m_state.sampleMode) {
        return;
    }
    m_main->setSelectedDate(QDate(2005, 2, 9));
    m_main->DSP_MAIN();
    m_dialogs.message(ui::Icon::Information, "サンプル表示",
                      "サンプルとして2005年02月09日のデータを表示させています。");
}

QString frmMain::mainHelpText() {
    return crlfLines({
        "ソラノート＋に興味をもっていただきありがとうございます。(^o^)／",
        "",
        "このソフトは「血圧と脈拍、体重の記録」を楽しくサポートする血圧管理支援ソフトです。",
        "最高血圧と最低血圧、脈拍、体重を入力するだけの超簡単入力！",
        "多彩な表示内容で血圧測定による健康意識の継続を促します。 ",
        "",
        "<入力方法>",
        "①「状況選択」リストから血圧測定時の状況を選択します。",
        "",
        "②前回の血圧と脈拍、体重が表示されますので↑↓ボタンで今回の血圧と脈拍、体重を指定します。",
        "表示欄に直接入力することもできます。",
        "",
        "③あとはフロッピーアイコン（保存ボタン）をクリックするだけ。",
        "",
        "リストと血圧判定表に結果が表示されます。",
        "",
        "左上のフェイスマークは血圧判定に連動しています。",
        "正常血圧範囲なら「笑い」、正常高値なら「ニコ」、高血圧範囲なら「ムスッ」です。",
        "",
        "血圧判定表と推移グラフの切り替えができます。",
    });
}

void frmMain::HIDE_FRAMES() {
    for (QWidget* frame : m_frames) {
        frame->hide();
    }
}

void frmMain::setHelpText(const QString& text) {
    m_state.helpText = ss(text);
}

void frmMain::DSP_HELP() {
    if (m_state.helpTour != 0) {
        m_dialogs.message(ui::Icon::Information, "ヘルプツアー", qs(m_state.helpText));
    }
}

void frmMain::setSituationLists(const QStringList& items) {
    m_situations = items;
    m_main->setSituations(items);
    if (m_filter) {
        m_filter->setSituations(items);
    }
    if (m_settings) {
        m_settings->setSituations(items);
    }
}

void frmMain::refillEntryAndFilterLists(const QStringList& items) {
    m_situations = items;
    m_main->setSituations(items);
    if (m_filter) {
        m_filter->setSituations(items);
    }
}

void frmMain::appendSituation(const QString& item) {
    m_situations.append(item);
    m_main->appendSituation(item);
    if (m_filter) {
        m_filter->appendSituation(item);
    }
    if (m_settings) {
        m_settings->appendSituation(item);
    }
}

void frmMain::showMainScreenFor(const QDate& date) {
    m_main->setSelectedDate(date);
    m_main->DSP_MAIN();
    HIDE_FRAMES();
    m_main->frame()->show();
}

void frmMain::rebuildMainScreen() {
    m_main->DSP_MAIN();
}

void frmMain::setTitle(const QString& title) {
    setWindowTitle(title);
}

void frmMain::endProgram() {
    m_help->closeAll();
    m_ended = true;
    close();
    QCoreApplication::exit(0);
}

void frmMain::showChangedDiary(bool situationsToo) {
    if (situationsToo) {
        const auto situations = sora::read_situations(m_dir);
        reportReadError(situations.message);
        if (situations.ok) {
            setSituationLists(toQStringList(situations.value));
        }
    }
    m_main->refresh();  // also the state's start and latest dates, count and extremes
    const auto shown = [](auto* screen) { return screen != nullptr && !screen->frame()->isHidden(); };
    if (shown(m_filter)) {
        m_filter->refresh();
    }
    if (shown(m_averages)) {
        m_averages->DSP_AVGTAI_HEAD();
        m_averages->DSP_AVGTAI();
    }
    if (shown(m_sorted)) {
        m_sorted->refresh();
    }
    if (shown(m_calendar)) {
        m_calendar->DSP_CALE_HEAD();
        m_calendar->DSP_CALE();
    }
    if (shown(m_trend)) {
        m_trend->DSP_RENTAI();
    }
    if (shown(m_diary)) {
        m_diary->refresh();
    }
}

void frmMain::processEvents() {
    QApplication::processEvents();
}

void frmMain::cmdMain_Click() {
    if (!m_main->frame()->isHidden() || !mayLeaveScreen()) {
        return;
    }
    HIDE_FRAMES();
    m_main->frame()->show();
    processEvents();
    m_main->DSP_MAIN();
    m_main->focusEntry();
}

void frmMain::chkHelp_Click() {
    if (m_state.loading) {
        return;
    }
    const bool on = chkHelp->isChecked();
    if (!mayWriteSideFile(m_dialogs, m_state.unreadableFiles, m_dir, m_clock, sora::files::HelpTour)) {
        chkHelp->setChecked(!on);  // nothing is written: the tour stays as it was
        return;
    }
    if (on) {
        m_dialogs.message(ui::Icon::Information, "ヘルプツアーＯＮ", "ヘルプツアー機能をオンにします。");
        m_state.helpTour = 1;
    } else {
        m_dialogs.message(ui::Icon::Information, "ヘルプツアーＯＦＦ", "ヘルプツアー機能をオフにします。");
        m_state.helpTour = 0;
    }
    const sora::WriteResult written = sora::write_help_tour_setting(m_dir, m_state.helpTour);
    if (!written) {
        m_dialogs.message(ui::Icon::Warning, "保存エラー", qs(written.message));
    }
}

void frmMain::cmdHelp_Click() {
    m_help->open(helpStartPage());
}

void frmMain::cmdOwari_Click() {
    if (mayLeaveScreen()) {
        endProgram();
    }
}

bool frmMain::mayLeaveScreen() {
    return !m_diary || m_diary->confirmLeave();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The exit button and a new start end the program through here after they have decided.
    if (!m_ended && !mayLeaveScreen()) {
        event->ignore();
        return;
    }
    m_help->closeAll();
    QMainWindow::closeEvent(event);
}
