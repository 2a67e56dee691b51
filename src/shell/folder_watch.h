#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <map>
#include <set>
#include <string>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"

/// Watches the data folder for what another PC changed through a sync tool: a data file replaced underneath the
/// running program, or a conflict copy left beside one. The program's own writes are told apart by their stamps.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    FolderWatch(const sora::DataDir& dir, QObject* parent);

    /// Takes the data files as they are now as known and starts watching.
    void start();
    /// Looks at the folder now instead of after the pause that lets a sync tool finish its renames.
    void checkNow();

signals:
    /// Data files (canonical names) that another program replaced or changed since the last look.
    void changedOutside(const QStringList& names);
    /// A conflict copy not seen before appeared in the folder.
    void conflictCopiesAppeared();

private:
    void watchFiles();

    const sora::DataDir& m_dir;
    QFileSystemWatcher m_watcher;
    QTimer m_pause;
    std::map<std::string, sora::FileStamp> m_known;
    std::set<std::string> m_copiesSeen;
};
