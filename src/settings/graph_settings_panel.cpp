#include "settings/graph_settings_panel.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/side_file_guard.h"
#include "core/edits/graph_settings_input.h"
#include "core/files/side_files.h"
#include "core/rules/axis_rules.h"
#include "settings/settings_support.h"
#include "ui/chart.h"
#include "ui/dialogs.h"

namespace {

constexpr const char* BoxNames[9] = {"txtY1max", "txtY1min", "txtY1dev", "txtY2max", "txtY2min",
                                     "txtY2dev", "txtY3max", "txtY3min", "txtY3dev"};

void applyRange(ui::Chart& chart, ui::Axis axis, const sora::AxisRange& range) {
    chart.setAxisRange(axis, range.minimum, range.maximum, range.divisions);
}

}  // namespace

GraphSettingsPanel::GraphSettingsPanel(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_box(new QGroupBox("グラフＹ軸設定", parent)) {
    optGrSet2 = new QRadioButton("Ｙ軸の設定を自動で行う", m_box);
    optGrSet2->setObjectName("optGrSet2");
    optGrSet = new QRadioButton("Ｙ軸の設定を手動で行う", m_box);
    optGrSet->setObjectName("optGrSet");
    auto* modes = new QButtonGroup(m_box);
    modes->addButton(optGrSet2);
    modes->addButton(optGrSet);

    for (int i = 0; i < 9; ++i) {
        m_boxes[static_cast<std::size_t>(i)] = new QLineEdit(m_box);
        m_boxes[static_cast<std::size_t>(i)]->setObjectName(BoxNames[i]);
        m_boxes[static_cast<std::size_t>(i)]->setMaximumWidth(80);
    }
    txtY1max = m_boxes[0];
    txtY1min = m_boxes[1];
    txtY1dev = m_boxes[2];
    txtY2max = m_boxes[3];
    txtY2min = m_boxes[4];
    txtY2dev = m_boxes[5];
    txtY3max = m_boxes[6];
    txtY3min = m_boxes[7];
    txtY3dev = m_boxes[8];

    fraYauto = new QFrame(m_box);
    fraYauto->setObjectName("fraYauto");
    fraYauto->setFrameShape(QFrame::StyledPanel);
    auto* autoLayout = new QGridLayout(fraYauto);
    const char* rule[4][2] = {{"血圧軸の最大値は", "最高血圧の最大値です。"},
                              {"血圧軸の最小値は", "最低血圧の最小値です。"},
                              {"体重・脈拍軸の最大値は", "体重・脈拍の最大値です。"},
                              {"体重・脈拍軸の最小値は", "体重・脈拍の最小値-１です。"}};
    for (int i = 0; i < 4; ++i) {
        autoLayout->addWidget(new QLabel(rule[i][0], fraYauto), 2 * i, 0, 1, 2);
        autoLayout->addWidget(new QLabel(rule[i][1], fraYauto), 2 * i + 1, 1);
    }
    autoLayout->setColumnMinimumWidth(0, 16);
    autoLayout->setRowStretch(8, 1);

    mcrGrSet = new ui::Chart(4, m_box);
    mcrGrSet->setObjectName("mcrGrSet");
    mcrGrSet->setMinimumSize(280, 180);
    auto* previewHeading = new QLabel("血圧軸　　　　　　体重・脈拍軸", m_box);

    cmdGrSet = new QPushButton("グラフ設定の保存", m_box);
    cmdGrSet->setObjectName("cmdGrSet");
    mcrGrSet->setAccessibleName("Ｙ軸設定の見本グラフ");

    auto* layout = new QGridLayout(m_box);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(optGrSet2);
    modeRow->addWidget(optGrSet);
    modeRow->addStretch(1);
    layout->addLayout(modeRow, 0, 0, 1, 2);
    auto* axisRow = new QHBoxLayout;
    axisRow->addWidget(makeAxisFrame("血圧グラフ　Y軸設定", "mmHg", 0));
    axisRow->addWidget(makeAxisFrame("脈拍グラフ　Y軸設定", "拍/分", 3));
    axisRow->addWidget(makeAxisFrame("体重グラフ　Y軸設定", "kg", 6));
    layout->addLayout(axisRow, 1, 0, 1, 2);
    layout->addWidget(fraYauto, 2, 0, 2, 1);
    layout->addWidget(previewHeading, 2, 1);
    layout->addWidget(mcrGrSet, 3, 1);
    layout->addWidget(cmdGrSet, 4, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);

    connect(optGrSet, &QRadioButton::toggled, this, &GraphSettingsPanel::setManual);
    connect(cmdGrSet, &QPushButton::clicked, this, &GraphSettingsPanel::cmdGrSet_Click);
    showSettings(m_ctx.state.axes);
}

QGroupBox* GraphSettingsPanel::makeAxisFrame(const QString& title, const QString& unit, int firstBox) {
    auto* frame = new QGroupBox(title, m_box);
    auto* grid = new QGridLayout(frame);
    const char* labels[3] = {"最大値設定", "最小値設定", "目盛り設定"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(labels[i], frame), i, 0);
        QLineEdit* box = m_boxes[static_cast<std::size_t>(firstBox + i)];
        box->setParent(frame);
        box->setAccessibleName(title.section(QChar(u'　'), 0, 0) + " " + labels[i]);  // "血圧グラフ 最大値設定"
        grid->addWidget(box, i, 1);
    }
    grid->addWidget(new QLabel(unit, frame), 0, 2);
    grid->addWidget(new QLabel(unit, frame), 1, 2);
    return frame;
}

QWidget* GraphSettingsPanel::widget() const {
    return m_box;
}

void GraphSettingsPanel::showSettings(const sora::GraphAxisSettings& settings) {
    const sora::GraphBoxTexts texts = sora::graph_settings_texts(settings);
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i]->setText(QString::fromStdString(texts[i]));
    }
    const bool manual = settings.autoScale == 0;
    (manual ? optGrSet : optGrSet2)->setChecked(true);
    setManual(manual);
}

void GraphSettingsPanel::applyPreview(const sora::GraphAxisSettings& settings) {
    applyRange(*mcrGrSet, ui::Axis::Primary, sora::manual_bp_axis(settings));
    applyRange(*mcrGrSet, ui::Axis::Secondary, sora::manual_weight_axis(settings));
    mcrGrSet->setAxisVisible(ui::Axis::Primary, true);
    mcrGrSet->setAxisVisible(ui::Axis::Secondary, true);
    mcrGrSet->redraw();
}

void GraphSettingsPanel::setManual(bool manual) {
    for (QLineEdit* box : m_boxes) {
        box->setEnabled(manual);
    }
    fraYauto->setVisible(!manual);
}

void GraphSettingsPanel::cmdGrSet_Click() {
    sora::GraphBoxTexts texts;
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        texts[i] = m_boxes[i]->text().toStdString();
    }
    const sora::GraphSettingsInput input = sora::parse_graph_settings(texts, !optGrSet->isChecked(), m_ctx.state.axes);
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    if (!input.settings) {
        dialogs.message(ui::Icon::Warning, QString::fromStdString(sora::graph_box_refusal_title()),
                        QString::fromStdString(sora::graph_box_refusal_text(input.badBox)));
        QLineEdit* bad = m_boxes[static_cast<std::size_t>(input.badBox)];
        bad->setFocus();
        bad->selectAll();
        return;
    }
    const std::string question = sora::graph_pair_question(*input.settings);
    if (!question.empty() &&
        dialogs.message(ui::Icon::Warning, QString::fromStdString(sora::graph_pair_question_title()),
                        QString::fromStdString(question), ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    if (!mayWriteSideFile(m_ctx, sora::files::GraphSettings) ||
        !settings::reportWrite(dialogs, sora::write_graph_settings(m_ctx.dir, *input.settings))) {
        return;
    }
    m_ctx.state.axes = *input.settings;
    // The boxes show what was stored (12.5 was stored as 12).
    const sora::GraphBoxTexts stored = sora::graph_settings_texts(*input.settings);
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i]->setText(QString::fromStdString(stored[i]));
    }
    applyPreview(*input.settings);
}
