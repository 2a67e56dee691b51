#include "import/import_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "common/render.h"
#include "import/import_mapping_panel.h"
#include "import/import_rows_model.h"

namespace {

QComboBox* situation_box(const QStringList& situations, const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);  // a situation not in the list yet is typed
    box->addItems(situations);
    box->setMinimumWidth(140);
    return box;
}

}  // namespace

ImportWindow::ImportWindow(const QStringList& situations, QWidget* parent) : QDialog(parent) {
    setObjectName("frmImport");
    setWindowTitle("ファイルから取り込み");
    lblImportFile = new QLabel(this);
    lblImportFile->setObjectName("lblImportFile");
    lblImportCounts = new QLabel(this);
    lblImportCounts->setObjectName("lblImportCounts");
    QFont bold = lblImportCounts->font();
    bold.setBold(true);
    lblImportCounts->setFont(bold);
    lblImportMessage = new QLabel(this);
    lblImportMessage->setObjectName("lblImportMessage");
    lblImportMessage->setWordWrap(true);
    lblImportMessage->setStyleSheet("color: #B00020;");

    m_mapping = new ImportMappingPanel(this);
    m_mapping->hide();
    connect(m_mapping, &ImportMappingPanel::optionsChanged, this, &ImportWindow::readOptionsChanged);

    QStringList choices = situations;
    if (!choices.contains(QString::fromUtf8(sora::ImportSituation.data(), sora::ImportSituation.size()))) {
        choices << QString::fromUtf8(sora::ImportSituation.data(), sora::ImportSituation.size());
    }
    txtImportMorningUntil = new QLineEdit(this);
    cboImportMorning = situation_box(choices, "cboImportMorning", this);
    txtImportEveningFrom = new QLineEdit(this);
    cboImportEvening = situation_box(choices, "cboImportEvening", this);
    cboImportOther = situation_box(choices, "cboImportOther", this);
    chkImportWhole = new QCheckBox("ファイル全体を一つの状況にする", this);
    chkImportWhole->setObjectName("chkImportWhole");
    cboImportWhole = situation_box(choices, "cboImportWhole", this);

    m_model = new ImportRowsModel(this);
    grdImport = new QTableView(this);
    grdImport->setObjectName("grdImport");
    // Names for screen readers, beside the captions.
    grdImport->setAccessibleName("取り込む行");
    txtImportMorningUntil->setAccessibleName("朝とする時刻（より前）");
    cboImportMorning->setAccessibleName("朝の状況");
    txtImportEveningFrom->setAccessibleName("晩とする時刻（から）");
    cboImportEvening->setAccessibleName("晩の状況");
    cboImportOther->setAccessibleName("その他・時刻なしの状況");
    cboImportWhole->setAccessibleName("ファイル全体の状況");
    grdImport->setModel(m_model);
    grdImport->verticalHeader()->hide();
    grdImport->verticalHeader()->setDefaultSectionSize(grdImport->fontMetrics().height() + 6);
    grdImport->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdImport->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {28, 70, 64, 86, 70, 90, 44, 44, 44, 44, 130};
    for (int c = 0; c < static_cast<int>(std::size(widths)); ++c) {
        grdImport->setColumnWidth(c, widths[c]);
    }
    connect(m_model, &ImportRowsModel::ticksChanged, this, &ImportWindow::updateCounts);

    // Enter never imports: the rows are looked over first, and 取り込む takes a click or its access key (Alt+I).
    cmdImportOk = new QPushButton("取り込む(&I)", this);
    cmdImportOk->setObjectName("cmdImportOk");
    cmdImportCancel = new QPushButton("キャンセル", this);
    cmdImportCancel->setObjectName("cmdImportCancel");
    for (QPushButton* button : {cmdImportOk, cmdImportCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(cmdImportOk, &QPushButton::clicked, this, &ImportWindow::importRequested);
    connect(cmdImportCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdImportOk);
    buttons->addWidget(cmdImportCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblImportFile);
    layout->addWidget(lblImportCounts);
    layout->addWidget(lblImportMessage);
    layout->addWidget(m_mapping);
    layout->addWidget(makeRulesBox());
    layout->addWidget(grdImport, 1);
    layout->addLayout(buttons);
    resize(900, 640);
}

void ImportWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The keyboard starts on the rows, which are what to look over; the rule boxes come after them.
    grdImport->setFocus(Qt::OtherFocusReason);
}

QWidget* ImportWindow::makeRulesBox() {
    auto* box = new QGroupBox("状況の決め方（測定の時刻から）", this);
    box->setObjectName("grpImportRules");
    txtImportMorningUntil->setObjectName("txtImportMorningUntil");
    txtImportEveningFrom->setObjectName("txtImportEveningFrom");
    txtImportMorningUntil->setAccessibleName("朝の終わりの時刻");
    txtImportEveningFrom->setAccessibleName("晩の始まりの時刻");
    for (QLineEdit* time : {txtImportMorningUntil, txtImportEveningFrom}) {
        time->setMaximumWidth(60);
        connect(time, &QLineEdit::editingFinished, this, &ImportWindow::choicesChanged);
    }
    for (QComboBox* situation : {cboImportMorning, cboImportEvening, cboImportOther, cboImportWhole}) {
        connect(situation, &QComboBox::currentTextChanged, this, &ImportWindow::choicesChanged);
    }
    connect(chkImportWhole, &QCheckBox::toggled, this, &ImportWindow::choicesChanged);
    auto* layout = new QGridLayout(box);
    const QString dayStarts = qs(sora::minutes_text(sora::ImportDayStarts));
    layout->addWidget(new QLabel(dayStarts + " から", box), 0, 0);
    layout->addWidget(txtImportMorningUntil, 0, 1);
    layout->addWidget(new QLabel("より前", box), 0, 2);
    layout->addWidget(cboImportMorning, 0, 3);
    layout->addWidget(txtImportEveningFrom, 0, 4);
    layout->addWidget(new QLabel("から翌 " + dayStarts + " より前", box), 0, 5);
    layout->addWidget(cboImportEvening, 0, 6);
    layout->addWidget(new QLabel("対象外（時刻なしも）", box), 1, 5);
    layout->addWidget(cboImportOther, 1, 6);
    layout->addWidget(chkImportWhole, 2, 0, 1, 5);
    layout->addWidget(cboImportWhole, 2, 6);
    layout->setColumnStretch(7, 1);
    return box;
}

void ImportWindow::showFile(const sora::ImportFile& file) {
    QString text = "ファイル: " + qs(file.fileName) + "（" + sora::import_kind_name(file.read.kind);
    if (file.isText) {
        text += "、" + QString(sora::encoding_name(file.encoding));
    }
    lblImportFile->setText(text + "）");
    const bool mapping = file.read.kind == sora::ImportKind::Generic;
    m_mapping->setVisible(mapping);
    if (mapping) {
        m_mapping->showFile(file);
    }
}

void ImportWindow::showRules(const sora::SituationRules& rules) {
    const QSignalBlocker blocks[] = {QSignalBlocker(txtImportMorningUntil), QSignalBlocker(txtImportEveningFrom),
                                     QSignalBlocker(cboImportMorning), QSignalBlocker(cboImportEvening),
                                     QSignalBlocker(cboImportOther)};
    txtImportMorningUntil->setText(qs(sora::minutes_text(rules.morningUntil)));
    txtImportEveningFrom->setText(qs(sora::minutes_text(rules.eveningFrom)));
    cboImportMorning->setCurrentText(qs(rules.morning));
    cboImportEvening->setCurrentText(qs(rules.evening));
    cboImportOther->setCurrentText(qs(rules.other));
}

std::optional<sora::SituationRules> ImportWindow::rules() {
    sora::SituationRules rules;
    const std::optional<int> morning = sora::minutes_from_text(ss(txtImportMorningUntil->text().trimmed()));
    const std::optional<int> evening = sora::minutes_from_text(ss(txtImportEveningFrom->text().trimmed()));
    std::string problem;
    if (!morning || !evening) {
        problem = "時刻は 11:00 のように入れてください。";
    } else {
        rules.morningUntil = *morning;
        rules.eveningFrom = *evening;
        rules.morning = ss(cboImportMorning->currentText().trimmed());
        rules.evening = ss(cboImportEvening->currentText().trimmed());
        rules.other = ss(cboImportOther->currentText().trimmed());
        problem = sora::situation_rules_problem(rules);
    }
    if (!problem.empty()) {
        lblImportMessage->setText(qs(problem));
        lblImportMessage->show();
        cmdImportOk->setEnabled(false);
        return std::nullopt;
    }
    return rules;
}

std::optional<std::string> ImportWindow::wholeFileSituation() const {
    if (!chkImportWhole->isChecked() || cboImportWhole->currentText().trimmed().isEmpty()) {
        return std::nullopt;
    }
    return ss(cboImportWhole->currentText().trimmed());
}

sora::ImportOptions ImportWindow::readOptions() const {
    return m_mapping->isHidden() ? sora::ImportOptions{} : m_mapping->options();
}

const sora::ImportPreview& ImportWindow::preview() const {
    return m_model->preview();
}

void ImportWindow::showPreview(sora::ImportPreview preview) {
    QStringList notes;
    if (!preview.message.empty()) {
        notes << qs(preview.message);
    }
    for (const std::string& remark : preview.remarks) {
        notes << qs(remark);
    }
    lblImportMessage->setText(notes.join("\n"));
    lblImportMessage->setVisible(!notes.isEmpty());
    m_model->setPreview(std::move(preview));
    updateCounts();
}

void ImportWindow::updateCounts() {
    const sora::ImportPreview& shown = m_model->preview();
    const std::size_t chosen = shown.chosenCount();
    lblImportCounts->setText(qs(shown.countsText()) + QString("　→ 取り込む %1 件").arg(chosen));
    cmdImportOk->setEnabled(chosen > 0 && shown.message.empty());
}
