#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "common/record_actions.h"
#include "common/screen_context.h"
#include "core/rules/measurement_record.h"

class QLabel;
class QLineEdit;
class QPushButton;
namespace ui {
class Grid;
class PlainTextBox;
}  // namespace ui

/// The diary screen in frame fraMemo: the one-line diary of every record, and the notice memo.
class DiaryScreen : public QObject {
    Q_OBJECT
public:
    DiaryScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// Puts the notice memo into txtKizuki (start-up).
    void setMemo(const QString& memo);

    /// Resets msgMemoList to its heading row.
    void DSP_MEMO_HEAD();
    /// Reads the log and lists every record.
    void DSP_MEMO();
    /// Lists the log as it is now, the scroll position kept; no line is chosen afterwards.
    void refresh();

    /// Before the screen is left or the program ends: asks about each of txtKizuki and txtMemo whose text differs
    /// from what was loaded or saved last (save / discard / cancel). False when the user stays: a cancel, or a save
    /// that did not go through.
    bool confirmLeave();

private:
    void msgMemoList_Click(int row, int column);
    void cmdMemoHozon_Click();
    void cmdKizukiHozon_Click();
    /// The saves of the two buttons; true when the text is on disk.
    bool saveDiary();
    bool saveMemo();
    bool memoChanged() const;
    bool diaryChanged() const;
    /// The chosen row's diary as the log holds it.
    QString savedDiary() const;
    /// Asks whether to save the field's text; true to go on (saved, or `discard` set), false to stay.
    bool settleUnsaved(const QString& field, bool (DiaryScreen::*save)(), bool& discard);

    ScreenContext m_ctx;
    QWidget* m_frame;
    ui::Grid* msgMemoList;
    QLabel* lblMemo;
    QLineEdit* txtMemo;
    QPushButton* cmdMemoHozon;
    QLabel* lblKizuki;
    ui::PlainTextBox* txtKizuki;
    QPushButton* cmdKizukiHozon;

    /// The records the list shows, as read when it was built; a save checks the log against them.
    // Shared with the list's rows, which are written out from the records as the grid draws them.
    std::shared_ptr<const std::vector<sora::MeasurementRecord>> m_records =
        std::make_shared<const std::vector<sora::MeasurementRecord>>();
    ListedRecords m_listed;  // for corrections from the list
    int m_selectedRow = 0;   // grid row, 0 when none is chosen
    QString m_savedMemo;     // txtKizuki as loaded or saved last
    std::optional<int> m_topRow;
};
