#include "shell/folder_watch.h"

#include "core/files/conflict_copies.h"
#include "core/files/own_writes.h"

namespace {

/// A sync tool writes its temporary file and renames it into place in quick steps: one look after they settle.
constexpr int SettleMs = 300;

}  // namespace

FolderWatch::FolderWatch(const sora::DataDir& dir, QObject* parent) : QObject(parent), m_dir(dir) {
    m_pause.setSingleShot(true);
    m_pause.setInterval(SettleMs);
    connect(&m_pause, &QTimer::timeout, this, &FolderWatch::checkNow);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_pause, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_pause, qOverload<>(&QTimer::start));
}

void FolderWatch::start() {
    for (const std::string_view name : sora::synced_data_files()) {
        m_known[std::string(name)] = sora::stamp_of(m_dir.find(name));
    }
    for (const sora::ConflictCopy& copy : sora::find_conflict_copies(m_dir)) {
        m_copiesSeen.insert(copy.name);
    }
    m_watcher.addPath(QString::fromStdString(m_dir.path().string()));
    watchFiles();
}

void FolderWatch::watchFiles() {
    // A file replaced by a rename is a new file: its watch went with the old one.
    QStringList paths;
    for (const auto& [name, stamp] : m_known) {
        if (stamp.exists) {
            paths.append(QString::fromStdString(m_dir.find(name).string()));
        }
    }
    const QStringList watched = m_watcher.files();
    if (!watched.isEmpty()) {
        m_watcher.removePaths(watched);
    }
    if (!paths.isEmpty()) {
        m_watcher.addPaths(paths);
    }
}

void FolderWatch::checkNow() {
    m_pause.stop();
    QStringList changed;
    for (auto& [name, known] : m_known) {
        const std::filesystem::path path = m_dir.find(name);
        const sora::FileStamp now = sora::stamp_of(path);
        if (now == known) {
            continue;
        }
        known = now;
        if (!sora::is_own_write(path, now)) {
            changed.append(QString::fromStdString(name));
        }
    }
    watchFiles();
    bool newCopy = false;
    for (const sora::ConflictCopy& copy : sora::find_conflict_copies(m_dir)) {
        newCopy = m_copiesSeen.insert(copy.name).second || newCopy;
    }
    if (!changed.isEmpty()) {
        emit changedOutside(changed);
    }
    if (newCopy) {
        emit conflictCopiesAppeared();
    }
}
