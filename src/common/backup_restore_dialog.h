#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/files/log_backups.h"

class QPushButton;
class QTableWidget;

/// The kept copies of the log, newest first, with when each was taken (to the second), what was about to change
/// (修正, 削除, …), how many records it holds and its last measurement date. The 復元 button only asks for the restore
/// (restoreRequested); whoever restores closes it.
class BackupRestoreDialog : public QDialog {
    Q_OBJECT
public:
    BackupRestoreDialog(std::vector<sora::BackupEntry> entries, QWidget* parent);

    /// The copy of the selected line; nullptr when none is selected.
    const sora::BackupEntry* selectedEntry() const;
    /// "yyyy/mm/dd hh:mm:ss": when a copy was taken.
    static std::string takenText(const sora::BackupEntry& entry);

signals:
    void restoreRequested();

private:
    std::vector<sora::BackupEntry> m_entries;
    QTableWidget* lstBackup;
    QPushButton* cmdRestore;
    QPushButton* cmdRestoreClose;
};
