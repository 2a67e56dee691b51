#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>

#include "common/screen_context.h"
#include "core/edits/conflict_merge.h"
#include "core/files/conflict_copies.h"

class DiaryImport;
class QWidget;
class SideFileChoice;

/// Tells about the conflict copies a sync tool left in the data folder and merges them on 統合: a copy of the log
/// through the import's preview (its readings the log lacks, as one undoable change), the situation list as the union
/// of both, any other side file by the user's choice side by side. A merged or declined copy moves into "backup/".
class ConflictResolver : public QObject {
    Q_OBJECT
public:
    /// `sideFilesChanged` is called after a side file took a copy's content, so that the window reads it again.
    ConflictResolver(ScreenContext context, QWidget* window, std::function<void()> sideFilesChanged);

    /// Asks about the copies in the folder now (nothing when there are none, or while a merge is going on).
    void offer();
    /// True while the copies of one answer are being merged.
    bool busy() const { return !m_queue.empty() || m_waiting; }

private:
    void next();
    void mergeLog(const sora::ConflictCopy& copy);
    void chooseSideFile(const sora::ConflictCopy& copy);
    void setAside(const sora::ConflictCopy& copy);
    void report(const sora::ConflictStep& step);
    void continueLater();

    ScreenContext m_ctx;
    QWidget* m_window;
    std::function<void()> m_sideFilesChanged;
    std::deque<sora::ConflictCopy> m_queue;
    bool m_waiting = false;  // on the import's preview or the side-by-side choice
    DiaryImport* m_import = nullptr;
    QPointer<SideFileChoice> m_choice;
};
