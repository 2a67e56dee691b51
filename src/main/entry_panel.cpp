#include "main/entry_panel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "common/diary_changes.h"
#include "common/plausibility_check.h"
#include "common/render.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/storable_text.h"
#include "core/rules/dates.h"
#include "core/rules/entry_rules.h"
#include "core/rules/measured.h"
#include "ui/dialogs.h"
#include "ui/key_repeat.h"
#include "ui/list_text_delegate.h"

namespace {

QPushButton* stepperButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFixedWidth(30);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

EntryPanel::EntryPanel(ScreenContext context, std::function<void()> refresh, QWidget* parent)
    : QWidget(parent), m_ctx(context), m_refresh(std::move(refresh)) {
    setObjectName("fraInput");
    buildControls();
    ui::watchKeyRepeats();

    connect(lstAct, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { chooseFromList(item->text()); });
    // What is saved is always the highlighted situation: moving the highlight after a choice moves the choice.
    connect(lstAct, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = lstAct->selectedItems();
        if (!selected.isEmpty()) {
            m_chosen = selected.front()->text();
        }
    });
    lstAct->installEventFilter(this);
    cmdTaiHozon->installEventFilter(this);
    connect(cmdFree, &QPushButton::clicked, this, &EntryPanel::cmdFree_Click);
    connect(cmdJikan, &QPushButton::clicked, this, &EntryPanel::cmdJikan_Click);
    connect(cmdTaiHozon, &QPushButton::clicked, this, &EntryPanel::cmdTaiHozon_Click);
    for (int box = 0; box < 4; ++box) {
        connect(m_down[box], &QPushButton::clicked, this, [this, box] { step(box, -1); });
        connect(m_up[box], &QPushButton::clicked, this, [this, box] { step(box, +1); });
        m_boxes[box]->installEventFilter(this);
    }
    disableSteppers();
}

void EntryPanel::buildControls() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(2);
    auto* listCaption = new QLabel("状況選択", this);
    listCaption->setObjectName("lblJyokyo");
    lstAct = new QListWidget(this);
    lstAct->setObjectName("lstAct");
    lstAct->setItemDelegate(new ui::ListTextDelegate(lstAct));
    lstAct->setMinimumWidth(110);
    lstAct->setAccessibleName("状況選択");
    lstAct->setAccessibleDescription("測定したときの状況を選びます");
    listCaption->setBuddy(lstAct);
    listColumn->addWidget(listCaption);
    listColumn->addWidget(lstAct, 1);
    row->addLayout(listColumn, 1);

    auto* values = new QGridLayout;
    values->setHorizontalSpacing(3);
    values->setVerticalSpacing(4);
    static const char* const captions[4] = {"最高血圧", "最低血圧", "脈拍", "体重"};
    static const char* const boxNames[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
    static const char* const downNames[4] = {"cmdDn", "cmdDn1", "cmdDn2", "cmdDn3"};
    static const char* const upNames[4] = {"cmdUp", "cmdUp1", "cmdUp2", "cmdUp3"};
    for (int box = 0; box < 4; ++box) {
        auto* caption = new QLabel(captions[box], this);
        m_boxes[box] = new QLineEdit(this);
        m_boxes[box]->setObjectName(boxNames[box]);
        m_boxes[box]->setAlignment(Qt::AlignRight);
        m_boxes[box]->setFixedWidth(58);
        m_down[box] = stepperButton("↓", downNames[box], this);
        m_up[box] = stepperButton("↑", upNames[box], this);
        // A screen reader says the caption for the box and what each arrow does.
        caption->setBuddy(m_boxes[box]);
        m_boxes[box]->setAccessibleName(captions[box]);
        m_down[box]->setAccessibleName(QString(captions[box]) + "を下げる");
        m_up[box]->setAccessibleName(QString(captions[box]) + "を上げる");
        values->addWidget(caption, box, 0);
        values->addWidget(m_down[box], box, 1);
        values->addWidget(m_boxes[box], box, 2);
        values->addWidget(m_up[box], box, 3);
    }
    txtMaxInp = m_boxes[0];
    txtMinInp = m_boxes[1];
    txtMyakuInp = m_boxes[2];
    txtTaiInp = m_boxes[3];

    cmdTaiHozon = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), "保存", this);
    cmdTaiHozon->setObjectName("cmdTaiHozon");
    cmdTaiHozon->setToolTip("入力した血圧・脈拍・体重を保存します");
    cmdTaiHozon->setAccessibleDescription(cmdTaiHozon->toolTip());
    cmdTaiHozon->setIconSize(QSize(28, 28));
    cmdTaiHozon->setMinimumWidth(66);
    cmdTaiHozon->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    values->addWidget(cmdTaiHozon, 0, 4, 4, 1);

    cmdFree = new QPushButton("リスト外の内容で入力", this);
    cmdFree->setObjectName("cmdFree");
    cmdJikan = new QPushButton("状況を時間で保存", this);
    cmdJikan->setObjectName("cmdJikan");
    values->addWidget(cmdFree, 4, 0, 1, 5);
    values->addWidget(cmdJikan, 5, 0, 1, 5);
    values->setRowStretch(6, 1);
    row->addLayout(values, 0);
}

QWidget* EntryPanel::chainTabOrder(QWidget* previous) {
    for (QWidget* next : std::initializer_list<QWidget*>{lstAct, txtMaxInp, txtMinInp, txtMyakuInp, txtTaiInp,
                                                         cmdTaiHozon, cmdFree, cmdJikan}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
    return previous;
}

void EntryPanel::setSituations(const QStringList& items) {
    lstAct->clear();
    lstAct->addItems(items);
}

void EntryPanel::appendSituation(const QString& item) {
    lstAct->addItem(item);
}

QStringList EntryPanel::situations() const {
    QStringList items;
    for (int row = 0; row < lstAct->count(); ++row) {
        items.append(lstAct->item(row)->text());
    }
    return items;
}

void EntryPanel::clear() {
    m_chosen.clear();
    lstAct->clearSelection();
    for (QLineEdit* box : m_boxes) {
        box->clear();
    }
}

void EntryPanel::disableSteppers() {
    for (int box = 0; box < 4; ++box) {
        setSteppersEnabled(box, false);
    }
}

void EntryPanel::setSteppersEnabled(int box, bool enabled) {
    m_down[box]->setEnabled(enabled);
    m_up[box]->setEnabled(enabled);
}

void EntryPanel::offerPrevious(int count, bool onlyEmpty) {
    const sora::PreviousMeasurement& previous = m_ctx.state.previous;
    const float values[4] = {previous.systolic, previous.diastolic, previous.pulse, previous.weight};
    for (int box = 0; box < count; ++box) {
        if (!onlyEmpty || m_boxes[box]->text().isEmpty()) {
            // A value the previous reading did not measure is not offered: the box stays empty to be typed.
            m_boxes[box]->setText(qs(sora::measured_text(values[box])));
        }
        setSteppersEnabled(box, true);
    }
}

void EntryPanel::focusBox(int box) {
    m_boxes[box]->setFocus(Qt::OtherFocusReason);
    m_boxes[box]->selectAll();
}

QString EntryPanel::timeOfDay() const {
    const sora::DateTime now = m_ctx.clock.now();
    return qs(sora::format_time_of_day(now.hour, now.minute, now.second));
}

void EntryPanel::chooseFromList(const QString& situation) {
    m_chosen = situation;
    // The box has the keyboard before its value arrives: a screen reader (Orca) takes a value put into a box that
    // has no focus as the focus having moved there, and would then never say the box's name.
    m_boxes[0]->setFocus(Qt::OtherFocusReason);
    offerPrevious(4, true);
    focusBox(0);
}

void EntryPanel::cmdFree_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const std::optional<QString> answer = dialogs.textInput("状況フリー入力", qs(sora::free_situation_prompt()));
    if (!answer || answer->isEmpty()) {
        return;
    }
    // Refused before anything changes, so that the list file and the log never get a text they cannot hold.
    const std::optional<std::string> storable = sora::storable_text(ss(*answer));
    if (!storable) {
        const sora::EntryMessage refusal = sora::unstorable_text_message();
        dialogs.message(ui::Icon::Warning, qs(refusal.title), qs(refusal.text));
        return;
    }
    lstAct->clearSelection();  // the typed situation is the one saved, not a highlighted list item
    m_chosen = qs(*storable);
    offerPrevious(3, false);

    if (dialogs.message(ui::Icon::Question, "状況リスト登録の有無", "状況リストに追加しますか？", ui::Buttons::YesNo) ==
        ui::Answer::Yes) {
        UndoStep step(m_ctx.changes, "状況「" + *storable + "」の追加", {sora::files::Situations});
        const sora::WriteResult written = sora::append_situation(m_ctx.dir, *storable, true);
        step.done(written || written.inPlace);
        if (written || written.inPlace) {
            m_ctx.host.appendSituation(m_chosen);
        }
        if (!written) {
            dialogs.message(ui::Icon::Warning, "保存エラー", qs(written.message));
        }
    }
    focusBox(0);
}

void EntryPanel::cmdJikan_Click() {
    lstAct->clearSelection();
    m_chosen = timeOfDay();
    offerPrevious(3, false);
    focusBox(0);
}

void EntryPanel::cmdTaiHozon_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    sora::EntryBoxes boxes;
    for (int box = 0; box < 4; ++box) {
        boxes[box] = ss(m_boxes[box]->text());
    }
    const std::string situation = ss(m_chosen);
    if (const auto refusal = sora::check_entry(m_ctx.state.sampleMode, situation, boxes)) {
        dialogs.message(ui::Icon::Warning, qs(refusal->title), qs(refusal->text));
        // Back where the fault is, ready to be typed over.
        if (const int box = sora::refused_box(m_ctx.state.sampleMode, situation, boxes); box >= 0) {
            focusBox(box);
        } else if (!m_ctx.state.sampleMode) {
            lstAct->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (!m_logReadable) {
        // Without the latest date of a complete read, append or insert cannot be decided safely.
        dialogs.message(ui::Icon::Warning, "保存できません",
                        "データ.txt を読めないため保存できません。ファイルを確認してください。");
        return;
    }

    sora::AppState& state = m_ctx.state;
    sora::MeasurementRecord record = sora::form_record(state.selectedDate, situation, boxes, std::string());
    if (const int doubtful = askAboutDoubtfulValues(dialogs, record); doubtful >= 0) {
        focusBox(doubtful);  // back to the value to look at, ready to be typed over
        return;
    }
    // The time of saving (taken after the question was answered), whatever day the measurement is for.
    record.diary = state.autoTime ? ss(timeOfDay()) : std::string();
    const sora::MeasurementLog log(m_ctx.dir);
    UndoStep step(m_ctx.changes, sora::record_undo_label(record, "保存"), {sora::files::Log});
    // Decided on the log as it is now: a sync tool may have brought another PC's later readings since the screen
    // was built, and an append must not put this one after them out of date order.
    const sora::SharedLog current = m_ctx.log.read();
    const std::string latest =
        current.ok && !current.records->empty() ? current.records->back().date : state.latestDate;
    const sora::WriteResult written =
        sora::needs_insert(latest, record.date) ? log.insert_in_order(record) : log.append(record);
    step.done(written || written.inPlace);
    m_ctx.changes.reportCopyWarning(written.warning);
    if (!written) {
        dialogs.message(ui::Icon::Warning, "保存エラー", qs(written.message));
        if (!written.inPlace) {
            return;  // the panel keeps its values for another try
        }
    }
    const QString saved = m_chosen;
    m_refresh();
    disableSteppers();
    returnToSituations(saved);
}

void EntryPanel::returnToSituations(const QString& saved) {
    // The next reading starts where this one did: on the situations, the one just saved as the current item.
    // It is not selected, so not chosen: the save's refresh has emptied the chosen situation, and one Enter or
    // Space chooses it again.
    const QList<QListWidgetItem*> found = lstAct->findItems(saved, Qt::MatchExactly);
    if (!found.isEmpty()) {
        lstAct->setCurrentItem(found.front(), QItemSelectionModel::NoUpdate);
        lstAct->scrollToItem(found.front());
    }
    lstAct->setFocus(Qt::OtherFocusReason);
}

void EntryPanel::step(int box, int delta) {
    m_boxes[box]->setText(qs(sora::step_value(ss(m_boxes[box]->text()), delta)));
}
