#include "common/backup_restore_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "common/render.h"
#include "core/rules/dates.h"

BackupRestoreDialog::BackupRestoreDialog(std::vector<sora::BackupEntry> entries, QWidget* parent)
    : QDialog(parent), m_entries(std::move(entries)) {
    setObjectName("dlgBackupRestore");
    setWindowTitle("バックアップから復元");

    lstBackup = new QTableWidget(static_cast<int>(m_entries.size()), 4, this);
    lstBackup->setObjectName("lstBackup");
    lstBackup->setHorizontalHeaderLabels({"バックアップの日時", "この操作の前", "記録数", "最後の測定日"});
    lstBackup->verticalHeader()->hide();
    lstBackup->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstBackup->setSelectionMode(QAbstractItemView::SingleSelection);
    lstBackup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBackup->setTabKeyNavigation(false);
    for (int row = 0; row < static_cast<int>(m_entries.size()); ++row) {
        const sora::BackupEntry& entry = m_entries[static_cast<std::size_t>(row)];
        const QString records = entry.readable ? QString::number(entry.records) : QString("読めません");
        // A copy from before reasons were recorded has none to show.
        const QStringList texts{qs(takenText(entry)), qs(std::string(sora::backup_reason_label(entry.reason))), records,
                                qs(entry.lastDate)};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setTextAlignment(column == 2 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            if (!entry.readable) {
                item->setToolTip(qs(entry.message));
            }
            lstBackup->setItem(row, column, item);
        }
    }
    lstBackup->resizeColumnsToContents();  // a few dozen lines at most
    lstBackup->horizontalHeader()->setStretchLastSection(true);
    lstBackup->setMinimumWidth(540);
    if (!m_entries.empty()) {
        lstBackup->setCurrentCell(0, 0);
    }

    cmdRestore = new QPushButton("復元", this);
    cmdRestore->setObjectName("cmdRestore");
    cmdRestoreClose = new QPushButton("閉じる", this);
    cmdRestoreClose->setObjectName("cmdRestoreClose");
    cmdRestoreClose->setDefault(true);
    connect(cmdRestore, &QPushButton::clicked, this, &BackupRestoreDialog::restoreRequested);
    connect(cmdRestoreClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstBackup, &QTableWidget::cellDoubleClicked, this, &BackupRestoreDialog::restoreRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdRestoreClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("データ.txt を書き換える前と、その日の最初の起動時に取ったコピーです。", this));
    layout->addWidget(lstBackup, 1);
    layout->addLayout(buttons);
    resize(640, 420);
}

const sora::BackupEntry* BackupRestoreDialog::selectedEntry() const {
    const int row = lstBackup->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size())) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(row)];
}

std::string BackupRestoreDialog::takenText(const sora::BackupEntry& entry) {
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d:%02d", entry.taken.hour, entry.taken.minute, entry.taken.second);
    return sora::format_date(entry.taken.date) + time;
}
