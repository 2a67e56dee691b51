// frmMain's part in sharing the data folder between PCs: the watch on the folder and the conflict copies.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>

#include "common/render.h"
#include "core/files/side_files.h"
#include "main/main_screen.h"
#include "settings/settings_screen.h"
#include "shell/conflict_resolver.h"
#include "shell/folder_watch.h"
#include "shell/frm_main.h"
#include "views/diary_screen.h"

namespace {

QStringList listOf(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items) {
        list.append(qs(item));
    }
    return list;
}

/// What the user has typed and chosen in the entry panel: a rebuild of the main screen empties the panel, and a
/// reload of another PC's changes must not take it away.
struct TypedEntry {
    std::vector<std::pair<QLineEdit*, QString>> boxes;
    QString situation;
    bool chosen = false;
};

TypedEntry typedEntry(const QWidget& window) {
    TypedEntry typed;
    for (const char* name : {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"}) {
        if (auto* box = window.findChild<QLineEdit*>(name)) {
            typed.boxes.emplace_back(box, box->text());
        }
    }
    if (const auto* list = window.findChild<QListWidget*>("lstAct");
        list != nullptr && list->currentItem() != nullptr) {
        typed.situation = list->currentItem()->text();
        typed.chosen = list->currentItem()->isSelected();
    }
    return typed;
}

void restoreEntry(const QWidget& window, const TypedEntry& typed) {
    for (const auto& [box, text] : typed.boxes) {
        box->setText(text);
    }
    auto* list = window.findChild<QListWidget*>("lstAct");
    if (list == nullptr || typed.situation.isEmpty()) {
        return;
    }
    const QList<QListWidgetItem*> found = list->findItems(typed.situation, Qt::MatchExactly);
    if (!found.isEmpty()) {
        // Selecting it chooses it again, as the user had it.
        list->setCurrentItem(found.front(),
                             typed.chosen ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
    }
}

}  // namespace

const QString frmMain::OutsideChangeNotice = QStringLiteral("ほかのパソコンでの変更を読み込みました");

void frmMain::watchFolder() {
    if (m_watch != nullptr) {
        return;
    }
    m_watch = new FolderWatch(m_dir, this);
    m_conflicts = new ConflictResolver(context(), this, [this] {
        rereadSideFiles(QStringList(listOf({std::string(sora::files::HelpTour), std::string(sora::files::GraphSettings),
                                            std::string(sora::files::AutoTime), std::string(sora::files::Private),
                                            std::string(sora::files::Marker), std::string(sora::files::Memo)})));
        showChangedDiary(false);
    });
    connect(m_watch, &FolderWatch::changedOutside, this, &frmMain::readOutsideChanges);
    connect(m_watch, &FolderWatch::conflictCopiesAppeared, m_conflicts, &ConflictResolver::offer);
    m_watch->start();
    m_conflicts->offer();
}

void frmMain::checkFolderNow() {
    if (m_watch != nullptr) {
        m_watch->checkNow();
    }
}

void frmMain::readOutsideChanges(const QStringList& names) {
    const TypedEntry typed = typedEntry(*this);
    QStringList sideFiles = names;
    sideFiles.removeAll(qs(std::string(sora::files::Log)));
    if (sideFiles.removeAll(qs(std::string(sora::files::Situations))) > 0) {
        rereadSituations();
    }
    rereadSideFiles(sideFiles);
    // The screens follow the files; what is typed in the entry panel and in an open dialog stays as it is.
    showChangedDiary(false);
    restoreEntry(*this, typed);
    statusBar()->showMessage(OutsideChangeNotice, 10000);
}

void frmMain::rereadSituations() {
    const auto situations = sora::read_situations(m_dir);
    reportReadError(situations.message);
    const QStringList items = listOf(situations.value);
    if (situations.ok && items != m_situations) {
        setSituationLists(items);
    }
}

void frmMain::rereadSideFiles(const QStringList& names) {
    const auto changed = [&](std::string_view name) { return names.contains(qs(std::string(name))); };
    if (changed(sora::files::Private)) {
        const auto name = sora::read_user_name(m_dir);
        reportReadError(name.message);
        m_state.userName = name.value;
        setTitle(qs(sora::window_title_for(m_state.userName)));
    }
    if (changed(sora::files::GraphSettings)) {
        const auto axes = sora::read_graph_settings(m_dir);
        reportReadError(axes.message);
        m_state.axes = axes.value;
        if (m_settings) {
            m_settings->showGraphSettings();
        }
    }
    if (changed(sora::files::AutoTime)) {
        const auto autoTime = sora::read_auto_time(m_dir);
        reportReadError(autoTime.message);
        m_state.autoTime = autoTime.value;
        if (m_settings) {
            m_settings->setAutoTimeChecked(autoTime.value);
        }
    }
    if (changed(sora::files::Marker)) {
        const auto marker = sora::read_marker_mode(m_dir);
        reportReadError(marker.message);
        m_state.markerMode = marker.value;
        m_main->applyMarkerMode();
    }
    if (changed(sora::files::Memo)) {
        const auto memo = sora::read_memo(m_dir);
        reportReadError(memo.message);
        m_memo = qs(memo.value);
        if (m_diary) {
            m_diary->setMemo(m_memo);
        }
    }
    if (changed(sora::files::HelpTour)) {
        const auto helpTour = sora::read_help_tour_setting(m_dir);
        reportReadError(helpTour.message);
        m_state.helpTour = helpTour.value;
        const bool wasLoading = m_state.loading;
        m_state.loading = true;  // the box follows the file without writing it back
        chkHelp->setChecked(m_state.helpTour != 0);
        m_state.loading = wasLoading;
    }
}
