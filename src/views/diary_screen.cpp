#include "views/diary_screen.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/render.h"
#include "common/side_file_guard.h"
#include "core/edits/diary_save.h"
#include "core/files/measurement_log.h"
#include "core/views/diary_view.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/plain_text_box.h"

DiaryScreen::DiaryScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraMemo");

    msgMemoList = new ui::Grid(m_frame);
    msgMemoList->setObjectName("msgMemoList");
    msgMemoList->setAccessibleName("一言日記の一覧");
    // The column widths are the classic twips; at the toolkit's default size the dates no longer fit.
    msgMemoList->setFontPointSize(9);
    connect(msgMemoList, &ui::Grid::cellClicked, this, &DiaryScreen::msgMemoList_Click);
    new RecordActions(msgMemoList, m_ctx.changes, m_listed, RecordActions::DoubleClick::Corrects);

    lblMemo = new QLabel("一言入力欄 →", m_frame);
    lblMemo->setObjectName("lblMemo");
    txtMemo = new QLineEdit(m_frame);
    txtMemo->setObjectName("txtMemo");
    lblMemo->setBuddy(txtMemo);
    txtMemo->setAccessibleName("一言入力欄");
    cmdMemoHozon = new QPushButton("一言日記保存", m_frame);
    cmdMemoHozon->setObjectName("cmdMemoHozon");
    cmdMemoHozon->setEnabled(false);
    connect(cmdMemoHozon, &QPushButton::clicked, this, &DiaryScreen::cmdMemoHozon_Click);
    connect(txtMemo, &QLineEdit::returnPressed, this, [this] {
        if (cmdMemoHozon->isEnabled()) {
            cmdMemoHozon_Click();
        }
    });

    lblKizuki = new QLabel("気付きメモ", m_frame);
    lblKizuki->setObjectName("lblKizuki");
    txtKizuki = new ui::PlainTextBox(m_frame);
    txtKizuki->setObjectName("txtKizuki");
    lblKizuki->setBuddy(txtKizuki);
    txtKizuki->setAccessibleName("気付きメモ");
    cmdKizukiHozon = new QPushButton("気付きメモ保存", m_frame);
    cmdKizukiHozon->setObjectName("cmdKizukiHozon");
    connect(cmdKizukiHozon, &QPushButton::clicked, this, &DiaryScreen::cmdKizukiHozon_Click);

    auto* entry = new QHBoxLayout;
    entry->addWidget(lblMemo);
    entry->addWidget(txtMemo, 1);
    entry->addWidget(cmdMemoHozon);

    auto* list = new QVBoxLayout;
    list->addWidget(msgMemoList, 1);
    list->addLayout(entry);

    auto* memo = new QVBoxLayout;
    memo->addWidget(lblKizuki);
    memo->addWidget(txtKizuki, 1);
    memo->addWidget(cmdKizukiHozon);

    auto* layout = new QHBoxLayout(m_frame);
    layout->addLayout(list, 3);
    layout->addLayout(memo, 1);
    txtKizuki->setMinimumWidth(200);
}

void DiaryScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    DSP_MEMO_HEAD();
    DSP_MEMO();
    cmdMemoHozon->setEnabled(false);
    m_frame->show();
    m_ctx.host.processEvents();
    // The scroll position needs the laid-out viewport, which the grid gets only once shown.
    if (m_topRow) {
        msgMemoList->setTopRow(*m_topRow);
    }
    m_ctx.host.setHelpText(qs(sora::diary_help_text()));
    m_ctx.host.DSP_HELP();
}

void DiaryScreen::setMemo(const QString& memo) {
    txtKizuki->setText(qs(sora::memo_for_box(ss(memo))));
    // The box's own reading of the text, so that an untouched memo never counts as changed.
    m_savedMemo = txtKizuki->text();
}

void DiaryScreen::DSP_MEMO_HEAD() {
    renderGridHead(*msgMemoList, sora::diary_columns());
    m_records = std::make_shared<const std::vector<sora::MeasurementRecord>>();
    m_listed = ListedRecords{};
    m_selectedRow = 0;
    m_topRow.reset();
}

void DiaryScreen::DSP_MEMO() {
    sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "一言日記", qs(log.message));
    }
    m_listed = ListedRecords{{}, log.records->size(), log.stamp};
    m_records = std::move(log.records);
    m_selectedRow = 0;
    m_topRow = sora::diary_top_row(m_records->size());
    const auto columns = sora::diary_columns();
    auto rows = std::make_unique<RecordRowsSource>(
        m_records, static_cast<int>(columns.size()),
        [](std::size_t index, const sora::MeasurementRecord& record) { return sora::diary_row(index + 1, record); });
    renderGrid(*msgMemoList, columns, std::move(rows), m_topRow);
}

void DiaryScreen::msgMemoList_Click(int row, int /*column*/) {
    if (row < 1 || row > static_cast<int>(m_records->size())) {
        return;
    }
    msgMemoList->setCurrentColumn(sora::DiaryTextColumn);
    txtMemo->setText(msgMemoList->text(row, sora::DiaryTextColumn));
    m_selectedRow = row;
    cmdMemoHozon->setEnabled(true);
    txtMemo->setFocus();
}

void DiaryScreen::cmdMemoHozon_Click() {
    saveDiary();
}

void DiaryScreen::refresh() {
    const int topRow = msgMemoList->topRow();
    const int currentRow = msgMemoList->currentRow();
    const int currentColumn = msgMemoList->currentColumnIndex();
    // A diary text typed and not saved yet stays with its record, wherever the change moved that record.
    std::optional<sora::MeasurementRecord> chosen;
    const QString typed = txtMemo->text();
    if (diaryChanged()) {
        chosen = (*m_records)[static_cast<std::size_t>(m_selectedRow - 1)];
    }
    DSP_MEMO_HEAD();
    DSP_MEMO();
    cmdMemoHozon->setEnabled(false);
    txtMemo->clear();
    if (chosen) {
        const auto found = std::find(m_records->begin(), m_records->end(), *chosen);
        if (found != m_records->end()) {
            m_selectedRow = static_cast<int>(found - m_records->begin()) + 1;
            cmdMemoHozon->setEnabled(true);
        }
        txtMemo->setText(typed);  // without its record (changed itself) the text still is not lost from view
    }
    m_topRow = topRow;
    msgMemoList->setTopRow(topRow);
    msgMemoList->setCurrentCell(currentRow, currentColumn);
}

bool DiaryScreen::saveDiary() {
    if (m_selectedRow < 1) {
        return false;
    }
    const auto index = static_cast<std::size_t>(m_selectedRow - 1);
    UndoStep step(m_ctx.changes, sora::record_undo_label((*m_records)[index], "一言日記の保存"), {sora::files::Log});
    // The records are shared with the other screens: the save works on a copy, which then becomes the list's.
    std::vector<sora::MeasurementRecord> shown = *m_records;
    const sora::DiarySaveResult result =
        sora::save_diary(sora::MeasurementLog(m_ctx.dir), shown, index, ss(txtMemo->text()));
    step.done(result.saved());
    if (result.saved()) {
        // The list now shows the file this save left.
        m_records = std::make_shared<const std::vector<sora::MeasurementRecord>>(std::move(shown));
        m_listed.readAs = sora::stamp_of(m_ctx.dir.find(sora::files::Log));
        m_ctx.changes.reportCopyWarning(result.warning);
    }
    switch (result.status) {
        case sora::DiarySaveStatus::Saved:
        case sora::DiarySaveStatus::SavedUnconfirmed:
            msgMemoList->setText(m_selectedRow, sora::DiaryTextColumn, qs(result.storedText));
            if (txtMemo->text() != qs(result.storedText)) {
                txtMemo->setText(qs(result.storedText));
            }
            if (!result.message.empty()) {
                m_ctx.host.dialogs().message(ui::Icon::Warning, qs(result.title), qs(result.message));
            }
            return true;
        case sora::DiarySaveStatus::TextRefused:
            m_ctx.host.dialogs().message(ui::Icon::Information, qs(result.title), qs(result.message));
            txtMemo->setFocus();
            return false;
        case sora::DiarySaveStatus::ChangedOnDisk: {
            m_ctx.host.dialogs().message(ui::Icon::Warning, qs(result.title), qs(result.message));
            // The list shows the log as it is now; the typed text stays in the box for another try.
            DSP_MEMO_HEAD();
            DSP_MEMO();
            cmdMemoHozon->setEnabled(false);
            if (m_topRow) {
                msgMemoList->setTopRow(*m_topRow);
            }
            return false;
        }
        case sora::DiarySaveStatus::ReadFailed:
        case sora::DiarySaveStatus::WriteFailed:
            m_ctx.host.dialogs().message(ui::Icon::Warning, qs(result.title), qs(result.message));
            return false;
    }
    return false;
}

void DiaryScreen::cmdKizukiHozon_Click() {
    saveMemo();
}

bool DiaryScreen::saveMemo() {
    const QString text = txtKizuki->text();
    const std::string memo = ss(text);
    // A text that cannot be saved is refused before anyone is asked about the file it would replace.
    if (const std::string refusal = sora::memo_refusal(memo); !refusal.empty()) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "気付きメモ保存", qs(refusal));
        return false;
    }
    if (!mayWriteSideFile(m_ctx, sora::files::Memo)) {
        return false;
    }
    const sora::WriteResult result = sora::save_memo(m_ctx.dir, memo);
    if (!result) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "気付きメモ保存", qs(result.message));
        if (!result.inPlace) {
            return false;
        }
    }
    m_savedMemo = text;
    return true;
}

bool DiaryScreen::memoChanged() const {
    return txtKizuki->text() != m_savedMemo;
}

QString DiaryScreen::savedDiary() const {
    if (m_selectedRow < 1 || m_selectedRow > static_cast<int>(m_records->size())) {
        return {};
    }
    return qs((*m_records)[static_cast<std::size_t>(m_selectedRow - 1)].diary);
}

bool DiaryScreen::diaryChanged() const {
    // Without a chosen row the box's text has no record to go to (the save button is disabled).
    return m_selectedRow >= 1 && txtMemo->text() != savedDiary();
}

bool DiaryScreen::confirmLeave() {
    // A discard is carried out only once the user goes on: a later cancel leaves both boxes as they were.
    bool discardMemo = false;
    bool discardDiary = false;
    if (memoChanged() && !settleUnsaved("気付きメモ", &DiaryScreen::saveMemo, discardMemo)) {
        return false;
    }
    if (diaryChanged() && !settleUnsaved("一言日記", &DiaryScreen::saveDiary, discardDiary)) {
        return false;
    }
    if (discardMemo) {
        txtKizuki->setText(m_savedMemo);
    }
    if (discardDiary) {
        txtMemo->setText(savedDiary());
    }
    return true;
}

bool DiaryScreen::settleUnsaved(const QString& field, bool (DiaryScreen::*save)(), bool& discard) {
    const ui::Answer answer = m_ctx.host.dialogs().message(ui::Icon::Question, "未保存の入力",
                                                           field + "に保存していない変更があります。保存しますか？",
                                                           ui::Buttons::YesNoCancel);
    switch (answer) {
        case ui::Answer::Yes:
            return (this->*save)();
        case ui::Answer::No:
            discard = true;
            return true;
        case ui::Answer::Ok:
        case ui::Answer::Cancel:
            break;
    }
    return false;
}
