#include "common/record_edit_dialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/render.h"
#include "core/rules/measured.h"
#include "ui/key_repeat.h"

namespace {

// A value not measured shows as an empty box.
QLineEdit* valueBox(QWidget* parent, const char* name, float value) {
    auto* box = new QLineEdit(qs(sora::measured_text(value)), parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight);
    box->setMaximumWidth(90);
    return box;
}

}  // namespace

RecordEditDialog::RecordEditDialog(const sora::MeasurementRecord& record, const QStringList& situations,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgRecordEdit");
    setWindowTitle("記録の修正");

    dtpRecordDate = new QDateEdit(this);
    dtpRecordDate->setObjectName("dtpRecordDate");
    dtpRecordDate->setDisplayFormat("yyyy/MM/dd");
    dtpRecordDate->setCalendarPopup(true);
    dtpRecordDate->setDate(QDate::fromString(qs(record.date), "yyyy/MM/dd"));

    cboRecordSituation = new QComboBox(this);
    cboRecordSituation->setObjectName("cboRecordSituation");
    cboRecordSituation->setEditable(true);
    cboRecordSituation->setInsertPolicy(QComboBox::NoInsert);
    cboRecordSituation->addItems(situations);
    cboRecordSituation->setCurrentText(qs(record.situation));

    m_notMeasured = {!sora::is_measured(record.systolic), !sora::is_measured(record.diastolic),
                     !sora::is_measured(record.pulse), !sora::is_measured(record.weight)};
    m_values = {valueBox(this, "txtRecordSystolic", record.systolic),
                valueBox(this, "txtRecordDiastolic", record.diastolic), valueBox(this, "txtRecordPulse", record.pulse),
                valueBox(this, "txtRecordWeight", record.weight)};
    txtRecordDiary = new QLineEdit(qs(record.diary), this);
    txtRecordDiary->setObjectName("txtRecordDiary");
    txtRecordDiary->setMinimumWidth(360);

    auto* form = new QFormLayout;
    form->addRow("日付", dtpRecordDate);
    form->addRow("状況", cboRecordSituation);
    form->addRow("最高血圧", m_values[0]);
    form->addRow("最低血圧", m_values[1]);
    form->addRow("脈拍", m_values[2]);
    form->addRow("体重", m_values[3]);
    form->addRow("一言日記", txtRecordDiary);

    cmdRecordSave = new QPushButton("修正", this);
    cmdRecordSave->setObjectName("cmdRecordSave");
    // Enter walks the boxes like the entry panel and presses 修正 only where it has the keyboard: no default button.
    cmdRecordSave->setAutoDefault(false);
    cmdRecordCancel = new QPushButton("キャンセル", this);
    cmdRecordCancel->setObjectName("cmdRecordCancel");
    cmdRecordCancel->setAutoDefault(false);
    connect(cmdRecordSave, &QPushButton::clicked, this, &RecordEditDialog::saveRequested);
    connect(cmdRecordCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRecordSave);
    buttons->addWidget(cmdRecordCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    focusBox(sora::RecordBox::Systolic);
    ui::watchKeyRepeats();
    // A box's inner editor (the date's, the situation's) may take the key first, so each one is watched.
    for (QWidget* box : boxes()) {
        box->installEventFilter(this);
        for (QWidget* inner : box->findChildren<QWidget*>()) {
            inner->installEventFilter(this);
        }
    }
}

QList<QWidget*> RecordEditDialog::boxes() const {
    return {dtpRecordDate, cboRecordSituation, m_values[0], m_values[1], m_values[2], m_values[3], txtRecordDiary};
}

bool RecordEditDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier)) {
        return QDialog::eventFilter(watched, event);
    }
    if (cboRecordSituation->view()->isVisible()) {
        return QDialog::eventFilter(watched, event);  // Enter chooses in the open list first
    }
    const QList<QWidget*> order = boxes();
    for (int i = 0; i < order.size(); ++i) {
        if (watched == order[i] || order[i]->isAncestorOf(qobject_cast<QWidget*>(watched))) {
            if (!ui::isKeyRepeat(*key)) {
                QWidget* next = i + 1 < order.size() ? order[i + 1] : cmdRecordSave;
                if (auto* box = qobject_cast<QLineEdit*>(next)) {
                    box->selectAll();
                }
                next->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RecordEditDialog::keyPressEvent(QKeyEvent* event) {
    // The rest of a held key (the Enter or F2 that opened the dialog from a list) never presses 修正.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && ui::isKeyRepeat(*event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

sora::RecordInput RecordEditDialog::input() const {
    sora::RecordInput input;
    input.date = ss(dtpRecordDate->date().toString("yyyy/MM/dd"));
    input.situation = ss(cboRecordSituation->currentText());
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        input.values[i] = ss(m_values[i]->text());
    }
    input.diary = ss(txtRecordDiary->text());
    input.notMeasured = m_notMeasured;
    return input;
}

void RecordEditDialog::focusBox(sora::RecordBox box) {
    QWidget* target = nullptr;
    switch (box) {
        case sora::RecordBox::None:
            return;
        case sora::RecordBox::Date:
            target = dtpRecordDate;
            break;
        case sora::RecordBox::Situation:
            target = cboRecordSituation;
            cboRecordSituation->lineEdit()->selectAll();
            break;
        case sora::RecordBox::Diary:
            target = txtRecordDiary;
            break;
        default:
            QLineEdit* value =
                m_values[static_cast<std::size_t>(static_cast<int>(box) - static_cast<int>(sora::RecordBox::Systolic))];
            value->selectAll();
            target = value;
            break;
    }
    target->setFocus(Qt::OtherFocusReason);
}

void RecordEditDialog::focusValueBox(int box) {
    if (box >= 0 && box < static_cast<int>(m_values.size())) {
        focusBox(static_cast<sora::RecordBox>(static_cast<int>(sora::RecordBox::Systolic) + box));
    }
}
