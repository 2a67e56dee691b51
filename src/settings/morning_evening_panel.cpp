#include "settings/morning_evening_panel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/render.h"
#include "common/side_file_guard.h"
#include "core/files/morning_evening_file.h"
#include "core/rules/home_bp_guideline.h"
#include "core/rules/numbers.h"
#include "settings/occasion_table.h"
#include "settings/settings_support.h"
#include "ui/dialogs.h"

MorningEveningPanel::MorningEveningPanel(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_box(new QGroupBox("朝・晩の区別（家庭血圧レポート）", parent)) {
    m_box->setObjectName("fraAsaBan");
    auto* explanation = new QLabel("レポートで朝・晩の値として数える状況を選びます。", m_box);
    explanation->setWordWrap(true);

    const sora::HomeBpGuideline& guideline = sora::home_bp_guideline();
    cboMokuhyou = new QComboBox(m_box);
    cboMokuhyou->setObjectName("cboMokuhyou");
    cboMokuhyou->addItems({QStringLiteral("標準（家庭血圧 %1/%2 mmHg 未満、%3）")
                               .arg(guideline.targetSystolic)
                               .arg(guideline.targetDiastolic)
                               .arg(QString::fromUtf8(guideline.shortName)),
                           "主治医の指示"});
    connect(cboMokuhyou, &QComboBox::activated, this, &MorningEveningPanel::targetChosen);
    txtMokuhyouMax = new QLineEdit(m_box);
    txtMokuhyouMax->setObjectName("txtMokuhyouMax");
    txtMokuhyouMin = new QLineEdit(m_box);
    txtMokuhyouMin->setObjectName("txtMokuhyouMin");
    cmdMokuhyou = new QPushButton("目標を保存", m_box);
    cmdMokuhyou->setObjectName("cmdMokuhyou");
    cboMokuhyou->setAccessibleName("家庭血圧の目標");
    txtMokuhyouMax->setAccessibleName("主治医の目標 最高血圧");
    txtMokuhyouMin->setAccessibleName("主治医の目標 最低血圧");
    for (QLineEdit* box : {txtMokuhyouMax, txtMokuhyouMin}) {
        box->setMaximumWidth(60);
        connect(box, &QLineEdit::returnPressed, this, &MorningEveningPanel::saveDoctorTarget);
    }
    connect(cmdMokuhyou, &QPushButton::clicked, this, &MorningEveningPanel::saveDoctorTarget);
    auto* doctorRow = new QHBoxLayout;
    doctorRow->addWidget(txtMokuhyouMax);
    doctorRow->addWidget(new QLabel("/", m_box));
    doctorRow->addWidget(txtMokuhyouMin);
    doctorRow->addWidget(new QLabel("mmHg 未満", m_box));
    doctorRow->addWidget(cmdMokuhyou);
    doctorRow->addStretch(1);

    m_occasions = new OccasionTableModel(this);
    tblAsaBan = new QTableView(m_box);
    tblAsaBan->setObjectName("tblAsaBan");
    tblAsaBan->setAccessibleName("朝・晩として数える状況");
    tblAsaBan->setModel(m_occasions);
    tblAsaBan->setItemDelegateForColumn(1, new OccasionDelegate(tblAsaBan));
    // Opening the choices takes a double click, F2 or a typed key: a click or an arrow only moves through the rows.
    tblAsaBan->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    tblAsaBan->setSelectionBehavior(QAbstractItemView::SelectItems);
    tblAsaBan->setSelectionMode(QAbstractItemView::SingleSelection);
    tblAsaBan->verticalHeader()->hide();
    tblAsaBan->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblAsaBan->verticalHeader()->setDefaultSectionSize(tblAsaBan->fontMetrics().height() + 8);
    tblAsaBan->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tblAsaBan->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    tblAsaBan->horizontalHeader()->resizeSection(1, tblAsaBan->fontMetrics().horizontalAdvance("対象外") * 2 + 24);
    connect(m_occasions, &OccasionTableModel::occasionChosen, this, &MorningEveningPanel::occasionChosen);

    auto* layout = new QVBoxLayout(m_box);
    layout->addWidget(explanation);
    layout->addWidget(new QLabel("降圧目標", m_box));
    layout->addWidget(cboMokuhyou);
    layout->addLayout(doctorRow);
    layout->addWidget(new QLabel("状況", m_box));
    layout->addWidget(tblAsaBan, 1);
}

QWidget* MorningEveningPanel::widget() const {
    return m_box;
}

void MorningEveningPanel::load() {
    const auto read = sora::read_morning_evening(m_ctx.dir);
    m_settings = read.value;
    if (!read.ok) {
        // Like a side file that did not read at start: shown once (the start-up has told already when it was
        // unreadable then), and its bytes are kept if the user agrees.
        if (m_ctx.state.unreadableFiles.contains(sora::files::MorningEvening)) {
            m_reportedUnreadable = true;
        }
        m_ctx.state.unreadableFiles.add(sora::files::MorningEvening);
        if (!m_reportedUnreadable) {
            m_reportedUnreadable = true;
            m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー",
                                         qs(read.message) + "\r\n朝・晩は状況の名前から決めます。");
        }
    }
    showTarget();
    std::vector<sora::Occasion> occasions;
    occasions.reserve(static_cast<std::size_t>(m_situations.size()));
    for (const QString& situation : m_situations) {
        occasions.push_back(m_settings.occasion_of(ss(situation)));
    }
    m_occasions->setRows(m_situations, occasions);
}

void MorningEveningPanel::setSituations(const QStringList& situations) {
    m_situations = situations;
    // A rename throughout the diary may have changed the file along with the list.
    load();
}

void MorningEveningPanel::occasionChosen(int row, sora::Occasion occasion) {
    sora::MorningEveningSettings changed = m_settings;
    changed.set(ss(m_situations[row]), occasion);
    if (save(changed)) {
        m_occasions->setOccasion(row, occasion);
    }
}

void MorningEveningPanel::showTarget() {
    const bool doctor = m_settings.target.choice == sora::TargetSetting::Choice::Doctor;
    cboMokuhyou->setCurrentIndex(doctor ? 1 : 0);
    const sora::HomeTarget shown = doctor ? m_settings.target.doctor : sora::home_target({});
    txtMokuhyouMax->setText(qs(sora::format_number(shown.systolic)));
    txtMokuhyouMin->setText(qs(sora::format_number(shown.diastolic)));
    for (QWidget* widget : std::initializer_list<QWidget*>{txtMokuhyouMax, txtMokuhyouMin, cmdMokuhyou}) {
        widget->setEnabled(doctor);
    }
}

void MorningEveningPanel::targetChosen(int index) {
    if (index == 1) {
        // The doctor's numbers take effect once typed and taken; until then the stored target holds.
        for (QWidget* widget : std::initializer_list<QWidget*>{txtMokuhyouMax, txtMokuhyouMin, cmdMokuhyou}) {
            widget->setEnabled(true);
        }
        txtMokuhyouMax->setFocus();
        txtMokuhyouMax->selectAll();
        return;
    }
    sora::MorningEveningSettings changed = m_settings;
    changed.target = {};
    save(changed);
    showTarget();
}

void MorningEveningPanel::saveDoctorTarget() {
    const auto typed = sora::parse_doctor_target(ss(txtMokuhyouMax->text()), ss(txtMokuhyouMin->text()));
    if (!typed.target) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "降圧目標入力エラー", qs(typed.message));
        QLineEdit* box = typed.badBox == 1 ? txtMokuhyouMin : txtMokuhyouMax;
        box->setFocus();
        box->selectAll();
        return;
    }
    sora::MorningEveningSettings changed = m_settings;
    changed.target = {sora::TargetSetting::Choice::Doctor, *typed.target};
    save(changed);
    showTarget();
}

bool MorningEveningPanel::save(const sora::MorningEveningSettings& settings) {
    if (!mayWriteSideFile(m_ctx, sora::files::MorningEvening) ||
        !settings::reportWrite(m_ctx.host.dialogs(), sora::write_morning_evening(m_ctx.dir, settings))) {
        return false;
    }
    m_settings = settings;
    return true;
}
