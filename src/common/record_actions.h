#pragma once

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <optional>
#include <vector>

#include "common/diary_changes.h"

class QAction;
class QMenu;

namespace ui {
class Grid;
}

/// Which records of the log a list shows and the log file they were read from.
struct ListedRecords {
    std::vector<std::size_t> indices;  // the log index of each row the grid was given; empty: row n is record n
    std::size_t count = 0;             // rows the grid was given
    sora::FileStamp readAs;

    /// The record of the grid's given row (from 0); nullopt outside the rows.
    std::optional<RecordRef> at(int givenRow) const;
};

/// What a list of records offers for correcting them: a context menu with 修正, 削除 and 元に戻す; F2 (and Enter
/// where it means nothing else) corrects the current record, Delete deletes it, and a double-click corrects where
/// it means nothing else. Typing in the list never jumps between rows.
class RecordActions : public QObject {
    Q_OBJECT
public:
    enum class DoubleClick { Corrects, MeansSomethingElse };
    enum class EnterKey { Corrects, DoesNothing };

    /// `listed` is the screen's account of the grid's rows, kept up to date as the screen fills the grid.
    RecordActions(ui::Grid* grid, DiaryChanges& changes, const ListedRecords& listed, DoubleClick doubleClick,
                  EnterKey enter = EnterKey::Corrects);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<RecordRef> recordAt(int row) const;
    void showMenu(const QPoint& position);
    void editRow(int row);
    void deleteRow(int row);

    ui::Grid* m_grid;
    DiaryChanges& m_changes;
    const ListedRecords& m_listed;
    QMenu* m_menu;
    QAction* m_edit;
    QAction* m_delete;
    QAction* m_undo;
    EnterKey m_enter;
    int m_correctOnRelease = 0;  // the key whose press will open the correction when it is let go
    quint64 m_correctPressedAt = 0;
    // After a key held long enough to repeat, a release may be a repeat's (X11 marks it only when it sees the
    // repeated press at once): the correction opens only if no repeated press follows.
    QTimer* m_openAfterHold;
};
