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
    cmdRecordSave->setDefault(true);  // Enter in any box saves
    cmdRecordCancel = new QPushButton("キャンセル", this);
    cmdRecordCancel->setObjectName("cmdRecordCancel");
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
