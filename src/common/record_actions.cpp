#include "common/record_actions.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "common/render.h"
#include "ui/grid.h"
#include "ui/key_repeat.h"

std::optional<RecordRef> ListedRecords::at(int givenRow) const {
    if (givenRow < 0 || static_cast<std::size_t>(givenRow) >= count) {
        return std::nullopt;
    }
    const auto row = static_cast<std::size_t>(givenRow);
    return RecordRef{indices.empty() ? row : indices[row], readAs};
}

RecordActions::RecordActions(ui::Grid* grid, DiaryChanges& changes, const ListedRecords& listed,
                             DoubleClick doubleClick, EnterKey enter)
    : QObject(grid), m_grid(grid), m_changes(changes), m_listed(listed), m_menu(new QMenu(grid)), m_enter(enter) {
    m_menu->setObjectName("mnuRecord");
    m_edit = m_menu->addAction("修正");
    m_edit->setObjectName("mnuRecordEdit");
    m_edit->setShortcut(Qt::Key_F2);
    m_delete = m_menu->addAction("削除");
    m_delete->setObjectName("mnuRecordDelete");
    m_delete->setShortcut(Qt::Key_Delete);
    m_menu->addSeparator();
    m_undo = m_menu->addAction("元に戻す");
    m_undo->setObjectName("mnuRecordUndo");
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    // The menu only shows the keys: the grid's key filter and the window's undo key act on them.
    for (QAction* action : {m_edit, m_delete, m_undo}) {
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(m_edit, &QAction::triggered, this, [this] { editRow(m_grid->currentRow()); });
    connect(m_delete, &QAction::triggered, this, [this] { deleteRow(m_grid->currentRow()); });
    connect(m_undo, &QAction::triggered, this, [this] { m_changes.undo(); });

    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &RecordActions::showMenu);
    if (doubleClick == DoubleClick::Corrects) {
        connect(m_grid, &ui::Grid::cellDoubleClicked, this, [this](int row, int) { editRow(row); });
    }
    // A typed digit or letter would jump to another record; here it means nothing.
    m_grid->setKeyboardSearch(false);
    ui::watchKeyRepeats();
    m_grid->installEventFilter(this);
    m_openAfterHold = new QTimer(this);
    m_openAfterHold->setSingleShot(true);
    m_openAfterHold->setInterval(40);
    connect(m_openAfterHold, &QTimer::timeout, this, [this] {
        if (m_correctOnRelease != 0) {
            m_correctOnRelease = 0;
            editRow(m_grid->currentRow());
        }
    });
}

void RecordActions::showMenu(const QPoint& position) {
    const QModelIndex cell = m_grid->indexAt(position);
    if (cell.isValid()) {
        m_grid->setCurrentIndex(cell);
    }
    const bool onRecord = cell.isValid() && recordAt(cell.row() + 1).has_value();
    m_edit->setEnabled(onRecord);
    m_delete->setEnabled(onRecord);
    m_undo->setEnabled(m_changes.history().canUndo());
    m_undo->setText(m_changes.history().canUndo() ? "元に戻す（" + qs(m_changes.history().nextLabel()) + "）"
                                                  : QString("元に戻す"));
    // popup, not exec: nothing waits on the menu, so tests can work it like a user.
    m_menu->popup(m_grid->viewport()->mapToGlobal(position));
}

bool RecordActions::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        m_correctOnRelease = 0;
        m_openAfterHold->stop();
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) {
        return QObject::eventFilter(watched, event);
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool corrects = key->key() == Qt::Key_F2 || (enter && m_enter == EnterKey::Corrects);
    if (event->type() == QEvent::KeyRelease) {
        // The correction opens when its key is let go: opened on the press, the dialog would get the rest of the
        // key (a held key repeats) and its default button 修正 would save what was never looked at.
        if (corrects && !key->isAutoRepeat() && key->key() == m_correctOnRelease) {
            // Keys repeat only after being held a while (a quarter of a second or more): a tap opens at once.
            constexpr quint64 shortestRepeatDelay = 150;
            if (key->timestamp() < m_correctPressedAt + shortestRepeatDelay) {
                m_correctOnRelease = 0;
                editRow(m_grid->currentRow());
            } else {
                m_openAfterHold->start();
            }
            return true;
        }
        return corrects || enter;
    }
    if (corrects) {
        if (!ui::isKeyRepeat(*key)) {
            m_correctOnRelease = key->key();
            m_correctPressedAt = key->timestamp();
        } else if (key->key() == m_correctOnRelease) {
            m_openAfterHold->stop();  // the release before was the repeat's: the key is still down
        }
        return true;
    }
    if (enter) {
        return true;  // nothing: no row is opened or changed by Enter here
    }
    if (key->key() == Qt::Key_Delete) {
        if (!ui::isKeyRepeat(*key)) {
            deleteRow(m_grid->currentRow());
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::optional<RecordRef> RecordActions::recordAt(int row) const {
    return m_listed.at(m_grid->sourceRow(row));
}

void RecordActions::editRow(int row) {
    if (const std::optional<RecordRef> record = recordAt(row)) {
        m_changes.editRecord(*record);
    }
}

void RecordActions::deleteRow(int row) {
    if (const std::optional<RecordRef> record = recordAt(row)) {
        m_changes.deleteRecord(*record);
    }
}
