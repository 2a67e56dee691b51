#include "common/diary_changes.h"

#include <QWidget>

#include "common/backup_restore_dialog.h"
#include "common/plausibility_check.h"
#include "common/record_edit_dialog.h"
#include "common/render.h"
#include "core/edits/record_edit.h"
#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/rules/entry_rules.h"
#include "ui/dialogs.h"
#include "ui/screen_host.h"

namespace {

/// Opens a dialog without waiting for it: the program goes on, and tests work the dialog like a user.
void openModeless(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

}  // namespace

DiaryChanges::DiaryChanges(sora::AppState& state, const sora::DataDir& dir, const sora::Clock& clock,
                           sora::LogCache& log, ui::ScreenHost& host, QWidget* window)
    : QObject(window),
      m_state(state),
      m_dir(dir),
      m_clock(clock),
      m_log(log),
      m_host(host),
      m_window(window),
      m_history(dir) {}

bool DiaryChanges::readListedLog(const RecordRef& ref, const QString& title,
                                 std::vector<sora::MeasurementRecord>& records) {
    const sora::SharedLog log = m_log.read();
    if (!log.ok) {
        m_host.dialogs().message(ui::Icon::Warning, title, qs(log.message));
        return false;
    }
    if (log.stamp != ref.readAs || ref.index >= log.records->size()) {
        m_host.dialogs().message(ui::Icon::Warning, title,
                                 qs(sora::changed_on_disk_message(m_dir.find(sora::files::Log))));
        m_host.showChangedDiary(false);
        return false;
    }
    records = *log.records;
    return true;
}

void DiaryChanges::editRecord(const RecordRef& ref) {
    std::vector<sora::MeasurementRecord> records;
    if (!readListedLog(ref, "修正", records)) {
        return;
    }
    const sora::MeasurementRecord original = records[ref.index];
    auto* dialog = new RecordEditDialog(original, m_host.situationItems(), m_window);
    connect(dialog, &RecordEditDialog::saveRequested, this,
            [this, dialog, ref, original] { saveCorrection(dialog, ref.index, ref.readAs, original); });
    openModeless(dialog);
}

void DiaryChanges::saveCorrection(RecordEditDialog* dialog, std::size_t index, const sora::FileStamp& readAs,
                                  const sora::MeasurementRecord& original) {
    ui::Dialogs& dialogs = m_host.dialogs();
    const sora::RecordCheck check = sora::check_record_input(m_state.sampleMode, dialog->input());
    if (!check.record) {
        dialogs.message(ui::Icon::Warning, qs(check.refusal.title), qs(check.refusal.text));
        dialog->focusBox(check.box);
        return;
    }
    if (const int doubtful = askAboutDoubtfulValues(dialogs, *check.record); doubtful >= 0) {
        dialog->focusValueBox(doubtful);
        return;
    }
    UndoStep step(*this, sora::record_undo_label(original, "修正"), {sora::files::Log});
    const sora::RecordEditResult result =
        sora::replace_record(sora::MeasurementLog(m_dir), index, *check.record, readAs);
    const sora::WriteResult& written = result.written;
    step.done(result.changed && (written.ok || written.inPlace));
    if (!written) {
        dialogs.message(ui::Icon::Warning, "修正エラー", qs(written.message));
        if (written.changedOnDisk) {
            dialog->reject();
            m_host.showChangedDiary(false);
        }
        if (!written.inPlace) {
            return;  // the dialog keeps what was typed for another try
        }
    }
    reportCopyWarning(written.warning);
    dialog->accept();
    if (result.changed) {
        m_host.showChangedDiary(false);
    }
}

void DiaryChanges::deleteRecord(const RecordRef& ref) {
    ui::Dialogs& dialogs = m_host.dialogs();
    if (m_state.sampleMode) {
        // The sample diary is never changed: the entry panel's refusal says why.
        const sora::EntryMessage refusal = sora::sample_diary_message();
        dialogs.message(ui::Icon::Warning, qs(refusal.title), qs(refusal.text));
        return;
    }
    std::vector<sora::MeasurementRecord> records;
    if (!readListedLog(ref, "削除", records)) {
        return;
    }
    if (records.size() == 1) {
        dialogs.message(ui::Icon::Information, "削除", qs(sora::only_record_message()));
        return;
    }
    const sora::MeasurementRecord& record = records[ref.index];
    if (dialogs.message(ui::Icon::Question, "削除",
                        "次の記録を削除しますか？\r\n\r\n" + qs(sora::record_description(record)),
                        ui::Buttons::OkCancelDefaultCancel) != ui::Answer::Ok) {
        return;
    }
    UndoStep step(*this, sora::record_undo_label(record, "削除"), {sora::files::Log});
    const sora::WriteResult written = sora::remove_record(sora::MeasurementLog(m_dir), ref.index, ref.readAs);
    step.done(written.ok || written.inPlace);
    if (!written) {
        dialogs.message(ui::Icon::Warning, "削除エラー", qs(written.message));
        if (!written.inPlace && !written.changedOnDisk) {
            return;
        }
    }
    reportCopyWarning(written.warning);
    m_host.showChangedDiary(false);
}

void DiaryChanges::undo() {
    ui::Dialogs& dialogs = m_host.dialogs();
    if (!m_history.canUndo()) {
        dialogs.message(ui::Icon::Information, "元に戻す", "元に戻せる変更はありません。");
        return;
    }
    if (dialogs.message(ui::Icon::Question, "元に戻す", "「" + qs(m_history.nextLabel()) + "」を元に戻しますか？",
                        ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    const sora::UndoResult result = m_history.undo();
    if (!result) {
        dialogs.message(ui::Icon::Warning, "元に戻す", qs(result.message));
        if (!result.inPlace) {
            return;
        }
    }
    reportCopyWarning(result.warning);
    m_host.showChangedDiary(true);
}

void DiaryChanges::restoreFromBackup() {
    std::vector<sora::BackupEntry> entries = sora::list_backups(m_dir);
    if (entries.empty()) {
        m_host.dialogs().message(ui::Icon::Information, "バックアップから復元", "復元できるバックアップがありません。");
        return;
    }
    auto* dialog = new BackupRestoreDialog(std::move(entries), m_window);
    connect(dialog, &BackupRestoreDialog::restoreRequested, this, [this, dialog] { restore(dialog); });
    openModeless(dialog);
}

void DiaryChanges::restore(BackupRestoreDialog* dialog) {
    ui::Dialogs& dialogs = m_host.dialogs();
    if (dialog->selectedEntry() == nullptr) {
        return;
    }
    const sora::BackupEntry entry = *dialog->selectedEntry();
    if (!entry.readable) {
        dialogs.message(ui::Icon::Warning, "バックアップから復元", qs(entry.message));
        return;
    }
    const std::string taken = BackupRestoreDialog::takenText(entry);
    const QString question = QString(
                                 "%1 のバックアップ（%2 件、最後の測定 %3）に戻しますか？\r\n"
                                 "今のデータはバックアップとして残します。")
                                 .arg(qs(taken))
                                 .arg(entry.records)
                                 .arg(entry.lastDate.empty() ? QString("なし") : qs(entry.lastDate));
    if (dialogs.message(ui::Icon::Question, "バックアップから復元", question, ui::Buttons::OkCancelDefaultCancel) !=
        ui::Answer::Ok) {
        return;
    }
    UndoStep step(*this, taken + " のバックアップからの復元", {sora::files::Log});
    const sora::WriteResult written = sora::restore_backup(m_dir, entry.name, m_clock.now());
    step.done(written.ok || written.inPlace);
    if (!written) {
        dialogs.message(ui::Icon::Warning, "バックアップから復元", qs(written.message));
        if (!written.inPlace) {
            return;
        }
    }
    reportCopyWarning(written.warning);
    dialog->accept();
    m_host.showChangedDiary(false);
    dialogs.message(ui::Icon::Information, "バックアップから復元", "データを " + qs(taken) + " の状態に戻しました。");
}

void DiaryChanges::reportCopyWarning(const std::string& warning) {
    if (!warning.empty()) {
        m_host.dialogs().message(ui::Icon::Warning, "バックアップ", qs(warning));
    }
}

UndoStep::UndoStep(DiaryChanges& changes, std::string label, const std::vector<std::string_view>& files)
    : m_history(changes.history()) {
    m_history.begin(std::move(label), files);
}

UndoStep::~UndoStep() {
    if (!m_finished) {
        m_history.abandon();
    }
}

void UndoStep::done(bool changed) {
    m_finished = true;
    if (changed) {
        m_history.commit();
    } else {
        m_history.abandon();
    }
}
