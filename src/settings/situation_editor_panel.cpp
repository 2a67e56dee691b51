#include "settings/situation_editor_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include "common/diary_changes.h"
#include "common/side_file_guard.h"
#include "core/edits/rename_situation.h"
#include "core/edits/situation_editor.h"
#include "core/files/morning_evening_file.h"
#include "core/files/side_files.h"
#include "settings/settings_support.h"
#include "ui/dialogs.h"
#include "ui/list_text_delegate.h"

using settings::reportWrite;
using settings::storableOrRefuse;
using settings::toQStringList;
using settings::toStdVector;

namespace {

const QColor ReminderColour(255, 224, 192);

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

SituationEditorPanel::SituationEditorPanel(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_box(new QGroupBox("状況リスト編集", parent)) {
    m_box->setToolTip("状況データの編集枠です");

    lstKoumoku = new QListWidget(m_box);
    lstKoumoku->setObjectName("lstKoumoku");
    lstKoumoku->setItemDelegate(new ui::ListTextDelegate(lstKoumoku));
    lstKoumoku->setSelectionMode(QAbstractItemView::SingleSelection);
    lstKoumoku->viewport()->installEventFilter(this);

    cmdNew2 = makeButton("cmdNew2", "追加", m_box);
    cmdSort = makeButton("cmdSort", "並び替え", m_box);
    cmdDel = makeButton("cmdDel", "削除", m_box);
    cmdDel2 = makeButton("cmdDel2", "全削除", m_box);
    txtChg = new QLineEdit(m_box);
    txtChg->setObjectName("txtChg");
    cmdChg = makeButton("cmdChg", "状況コメントを入れ替える", m_box);
    m_normalSortPalette = cmdSort->palette();
    lstKoumoku->setAccessibleName("状況リスト");
    cmdSort->setAccessibleName("状況リストの並び替え");  // the screen button 並び替え is on the same screen
    txtChg->setAccessibleName("入れ替える言葉");

    auto* layout = new QGridLayout(m_box);
    layout->addWidget(lstKoumoku, 0, 0, 1, 2);
    layout->setRowStretch(0, 1);
    layout->addWidget(cmdNew2, 1, 0);
    layout->addWidget(cmdSort, 1, 1);
    layout->addWidget(cmdDel, 2, 0);
    layout->addWidget(cmdDel2, 2, 1);
    // Broken by hand between its phrases: Qt's word wrap breaks Japanese anywhere (入れ替/え).
    auto* renameLabel = new QLabel("選択した状況を\n次の言葉に入れ替え：", m_box);
    layout->addWidget(renameLabel, 3, 0, 1, 2);
    layout->addWidget(txtChg, 4, 0, 1, 2);
    layout->addWidget(cmdChg, 5, 0, 1, 2);

    connect(cmdNew2, &QPushButton::clicked, this, &SituationEditorPanel::cmdNew2_Click);
    connect(cmdSort, &QPushButton::clicked, this, &SituationEditorPanel::cmdSort_Click);
    connect(cmdDel, &QPushButton::clicked, this, &SituationEditorPanel::cmdDel_Click);
    connect(cmdDel2, &QPushButton::clicked, this, &SituationEditorPanel::cmdDel2_Click);
    connect(cmdChg, &QPushButton::clicked, this, &SituationEditorPanel::cmdChg_Click);
    lstKoumoku->installEventFilter(this);  // keyboard selection counts as a click on the item
}

QWidget* SituationEditorPanel::widget() const {
    return m_box;
}

void SituationEditorPanel::setItems(const QStringList& items) {
    lstKoumoku->clear();
    lstKoumoku->addItems(items);
}

void SituationEditorPanel::appendItem(const QString& item) {
    lstKoumoku->addItem(item);
}

QStringList SituationEditorPanel::items() const {
    QStringList list;
    list.reserve(lstKoumoku->count());
    for (int i = 0; i < lstKoumoku->count(); ++i) {
        list.append(lstKoumoku->item(i)->text());
    }
    return list;
}

void SituationEditorPanel::prepareForOpening() {
    cmdSort->setEnabled(false);
    cmdDel->setEnabled(false);
    cmdChg->setEnabled(false);
}

bool SituationEditorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstKoumoku) {
        if (event->type() == QEvent::KeyRelease && lstKoumoku->currentItem() &&
            lstKoumoku->currentItem()->isSelected()) {
            itemPressed();
        }
        return false;
    }
    if (watched != lstKoumoku->viewport()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QListWidgetItem* item =
            mouse->button() == Qt::LeftButton ? lstKoumoku->itemAt(mouse->position().toPoint()) : nullptr;
        m_dragFrom = item ? lstKoumoku->row(item) : -1;
        m_dragText = item ? item->text() : QString();
        if (item) {
            itemPressed();
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_dragFrom >= 0) {
            // The drop position is the item under the pointer; below the last item it is where the selection
            // followed the pointer to.
            QListWidgetItem* item = lstKoumoku->itemAt(mouse->position().toPoint());
            dropAt(item ? lstKoumoku->row(item) : lstKoumoku->currentRow());
        }
    }
    return false;
}

void SituationEditorPanel::itemPressed() {
    cmdSort->setEnabled(true);
    cmdDel->setEnabled(true);
    cmdChg->setEnabled(true);
}

void SituationEditorPanel::dropAt(int to) {
    const int from = m_dragFrom;
    m_dragFrom = -1;
    const QStringList current = items();
    if (from >= current.size() || current[from] != m_dragText) {
        return;  // the list changed under the pointer
    }
    const auto moved = sora::drag_situation(toStdVector(current), from, to);
    if (!moved) {
        return;
    }
    setItems(toQStringList(*moved));
    lstKoumoku->setCurrentRow(to);
    setReminder(true);
}

void SituationEditorPanel::setReminder(bool on) {
    if (on) {
        QPalette palette = m_normalSortPalette;
        palette.setColor(QPalette::Button, ReminderColour);
        cmdSort->setPalette(palette);
    } else {
        cmdSort->setPalette(m_normalSortPalette);
    }
}

void SituationEditorPanel::cmdNew2_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const std::optional<QString> answer = dialogs.textInput("状況追加", "追加したい状況を入力して下さい", QString());
    if (!answer || answer->isEmpty()) {
        return;
    }
    const std::optional<QString> text = storableOrRefuse(dialogs, *answer, "状況");
    if (!text) {
        return;
    }
    UndoStep step(m_ctx.changes, "状況「" + text->toStdString() + "」の追加", {sora::files::Situations});
    const bool written = reportWrite(dialogs, sora::append_situation(m_ctx.dir, text->toStdString(), false));
    step.done(written);
    if (!written) {
        return;
    }
    m_ctx.host.appendSituation(*text);
}

void SituationEditorPanel::cmdSort_Click() {
    const QStringList list = items();
    const std::vector<std::string> shown = toStdVector(list);  // the same items, only in another order
    if (!mayWriteSideFile(m_ctx, sora::files::Situations)) {
        return;
    }
    UndoStep step(m_ctx.changes, "状況リストの並び替え", {sora::files::Situations});
    const bool written = reportWrite(m_ctx.host.dialogs(), sora::write_situations_plain(m_ctx.dir, shown, &shown));
    step.done(written);
    if (!written) {
        return;
    }
    m_ctx.host.refillEntryAndFilterLists(list);
    setReminder(false);
    m_ctx.host.dialogs().message(ui::Icon::Information, "並び替え完了", "並び替えた順番で状況リストを作成しました");
}

void SituationEditorPanel::cmdDel_Click() {
    const int row = lstKoumoku->currentRow();
    QListWidgetItem* selected = row >= 0 ? lstKoumoku->item(row) : nullptr;
    if (!selected || !selected->isSelected()) {
        return;  // nothing selected (after a deletion, or an empty list): nothing to delete
    }
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const QString text = selected->text();
    if (dialogs.message(ui::Icon::Warning, "クリア確認", text + "を削除します。よろしいですか？",
                        ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    const std::vector<std::string> shown = toStdVector(items());
    const auto rest = sora::remove_situation(shown, row);
    if (!rest || !mayWriteSideFile(m_ctx, sora::files::Situations)) {
        return;
    }
    UndoStep step(m_ctx.changes, "状況「" + text.toStdString() + "」の削除", {sora::files::Situations});
    const bool written = reportWrite(dialogs, sora::write_situations_plain(m_ctx.dir, *rest, &shown));
    step.done(written);
    if (!written) {
        return;
    }
    delete lstKoumoku->takeItem(row);
    lstKoumoku->clearSelection();
    m_ctx.host.refillEntryAndFilterLists(items());
    dialogs.message(ui::Icon::Information, "削除完了", "選択したデータを削除しました");
}

void SituationEditorPanel::cmdDel2_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    if (dialogs.message(ui::Icon::Warning, "クリア確認", "状況リストを全削除します。よろしいですか？",
                        ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    if (!mayWriteSideFile(m_ctx, sora::files::Situations)) {
        return;
    }
    UndoStep step(m_ctx.changes, "状況リストの全削除", {sora::files::Situations});
    const bool written = reportWrite(dialogs, sora::write_situations_plain(m_ctx.dir, {}));
    step.done(written);
    if (!written) {
        return;
    }
    m_ctx.host.setSituationLists({});
    dialogs.message(ui::Icon::Information, "削除完了",
                    "状況リストを削除しました。\n\n任意の状況をあらためて登録してください。");
}

void SituationEditorPanel::cmdChg_Click() {
    const int row = lstKoumoku->currentRow();
    QListWidgetItem* selected = row >= 0 ? lstKoumoku->item(row) : nullptr;
    if (!selected || !selected->isSelected()) {
        return;  // nothing selected: renaming the empty text would touch every record without a situation
    }
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    if (txtChg->text().isEmpty()) {
        dialogs.message(ui::Icon::Exclamation, "変更後コメント未入力", "変更したいコメントを入力してください");
        return;
    }
    const std::optional<QString> newText = storableOrRefuse(dialogs, txtChg->text(), "変更後のコメント");
    if (!newText) {
        return;
    }
    const QString oldText = selected->text();
    if (dialogs.message(ui::Icon::Warning, "クリア確認",
                        "『" + oldText + "』 を 『" + *newText + "』 に変更します。よろしいですか？",
                        ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }

    // One step for the three files a rename changes: taken back together, the morning/evening choice goes back too.
    UndoStep step(m_ctx.changes, "状況名「" + oldText.toStdString() + "」→「" + newText->toStdString() + "」の変更",
                  {sora::files::Log, sora::files::Situations, sora::files::MorningEvening});
    const sora::RenameResult renamed = sora::rename_situation(m_ctx.dir, oldText.toStdString(), newText->toStdString());
    m_ctx.changes.reportCopyWarning(renamed.warning);
    if (!renamed) {
        step.done(renamed.logRewritten);
        dialogs.message(ui::Icon::Warning, "保存エラー", QString::fromStdString(renamed.message));
        if (renamed.logRewritten) {
            m_ctx.host.rebuildMainScreen();
        }
        return;
    }
    // The report's morning/evening choice followed the new name in the same change.
    step.done(true);
    const auto reread = sora::read_situations(m_ctx.dir);
    if (!reread.ok) {
        dialogs.message(ui::Icon::Warning, "読み込みエラー", QString::fromStdString(reread.message));
    } else {
        m_ctx.host.setSituationLists(toQStringList(reread.value));
    }
    m_ctx.host.rebuildMainScreen();
    dialogs.message(ui::Icon::Information, "コメント変更終了", "コメントを入れ替えました。");
}
