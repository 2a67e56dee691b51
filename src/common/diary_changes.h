#pragma once

#include <QObject>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/clock.h"
#include "core/edits/undo_history.h"
#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/log_cache.h"
#include "core/rules/measurement_record.h"

class QWidget;
class BackupRestoreDialog;
class RecordEditDialog;

namespace ui {
class ScreenHost;
}

/// A record as a list showed it: its place in the log (from 0) and the log file the list was read from.
struct RecordRef {
    std::size_t index = 0;
    sora::FileStamp readAs;
};

/// The changes of the diary that the lists and the settings screen offer besides the entry panel: correcting and
/// deleting a record, taking back any change made since the start, and going back to a kept copy of the log.
/// Every change of the data folder's files is one step of its undo history (see UndoStep).
class DiaryChanges : public QObject {
    Q_OBJECT
public:
    /// `window` parents the dialogs this opens.
    DiaryChanges(sora::AppState& state, const sora::DataDir& dir, const sora::Clock& clock, sora::LogCache& log,
                 ui::ScreenHost& host, QWidget* window);

    sora::UndoHistory& history() { return m_history; }

    /// Opens the correction dialog for the record (without waiting for it); its 修正 button saves.
    void editRecord(const RecordRef& ref);
    /// Asks with the record in full, then deletes it.
    void deleteRecord(const RecordRef& ref);
    /// Asks, naming the change, then takes back the newest change.
    void undo();
    /// Opens the list of kept copies of the log (without waiting for it); its 復元 button restores one.
    void restoreFromBackup();

    /// Tells the user that the automatic copy of the log before a rewrite could not be made (the rewrite went on).
    void reportCopyWarning(const std::string& warning);

private:
    /// The log as it is now when it is still the file the list showed, else the user is told and the screens
    /// show the log anew.
    bool readListedLog(const RecordRef& ref, const QString& title, std::vector<sora::MeasurementRecord>& records);
    void saveCorrection(RecordEditDialog* dialog, std::size_t index, const sora::FileStamp& readAs,
                        const sora::MeasurementRecord& original);
    void restore(BackupRestoreDialog* dialog);

    sora::AppState& m_state;
    const sora::DataDir& m_dir;
    const sora::Clock& m_clock;
    sora::LogCache& m_log;
    ui::ScreenHost& m_host;
    QWidget* m_window;
    sora::UndoHistory m_history;
};

/// One change of the data folder's files as an undo step: begun when constructed (before the change), kept by
/// done(true) once the files changed, dropped otherwise.
class UndoStep {
public:
    UndoStep(DiaryChanges& changes, std::string label, const std::vector<std::string_view>& files);
    ~UndoStep();
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

    /// `changed`: the files now hold the change (also when only the directory sync failed afterwards).
    void done(bool changed);

private:
    sora::UndoHistory& m_history;
    bool m_finished = false;
};
