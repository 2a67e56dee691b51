#include "settings/settings_screen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/diary_changes.h"
#include "common/side_file_guard.h"
#include "core/files/side_files.h"
#include "import/diary_import.h"
#include "settings/graph_settings_panel.h"
#include "settings/morning_evening_panel.h"
#include "settings/new_start_form.h"
#include "settings/settings_support.h"
#include "settings/situation_editor_panel.h"
#include "ui/dialogs.h"

namespace {

QString helpText() {
    return QString::fromUtf8(
        "これまでのデータを削除して新規に血圧管理をスタートさせたり、各種データの編集を行います。\r\n\r\n"
        "血圧、脈拍と共に登録する状況項目を追加したり、順番の並び替え、削除ができます。\r\n\r\n"
        "表示するグラフの最大値、最小値、間隔などを指定することもできます。\r\n\r\n");
}

}  // namespace

SettingsScreen::SettingsScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraSettei");

    // Left: the settings, or the wizard over them; right: the situation list, which the wizard points to.
    auto* settingsPane = new QWidget(m_frame);
    m_graph = new GraphSettingsPanel(m_ctx, settingsPane);

    chkJikan = new QCheckBox("一言日記に自動的に時間を記録", settingsPane);
    chkJikan->setObjectName("chkJikan");
    cmdNew1 = new QPushButton("新規にスタートするとき", settingsPane);
    cmdNew1->setObjectName("cmdNew1");
    cmdNew1->setToolTip("データの新規スタート");
    cmdBackupRestore = new QPushButton("バックアップから復元", settingsPane);
    cmdBackupRestore->setObjectName("cmdBackupRestore");
    cmdBackupRestore->setToolTip("自動で取ったデータ.txtのバックアップに戻します");
    cmdImport = new QPushButton("ファイルから取り込み", settingsPane);
    cmdImport->setObjectName("cmdImport");
    cmdImport->setToolTip("血圧計のアプリや他の日記が書き出したファイルから測定を取り込みます");
    m_import = new DiaryImport(m_ctx, parent);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(makePrivateFrame(settingsPane), 1);
    auto* otherColumn = new QVBoxLayout;
    otherColumn->addWidget(chkJikan);
    otherColumn->addLayout(makeTextSizeRow(settingsPane));
    otherColumn->addStretch(1);
    otherColumn->addWidget(cmdImport, 0, Qt::AlignRight);
    otherColumn->addWidget(cmdBackupRestore, 0, Qt::AlignRight);
    otherColumn->addWidget(cmdNew1, 0, Qt::AlignRight);
    bottomRow->addLayout(otherColumn);

    auto* paneLayout = new QVBoxLayout(settingsPane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addWidget(m_graph->widget(), 1);
    paneLayout->addLayout(bottomRow);

    m_newStart = new NewStartForm(m_ctx, m_frame, settingsPane);
    m_editor = new SituationEditorPanel(m_ctx, m_frame);

    auto* layout = new QGridLayout(m_frame);
    layout->addWidget(settingsPane, 0, 0);
    layout->addWidget(m_newStart->widget(), 0, 0);
    layout->addWidget(m_editor->widget(), 0, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    m_asaBan = new MorningEveningPanel(m_ctx, m_frame);
    layout->addWidget(m_asaBan->widget(), 0, 2);
    layout->setColumnStretch(2, 1);

    connect(cmdPHozon1, &QPushButton::clicked, this, &SettingsScreen::cmdPHozon1_Click);
    connect(chkJikan, &QCheckBox::clicked, this, &SettingsScreen::chkJikan_Click);
    connect(cmdNew1, &QPushButton::clicked, this, &SettingsScreen::showNewStartForm);
    connect(cmdBackupRestore, &QPushButton::clicked, &m_ctx.changes, &DiaryChanges::restoreFromBackup);
    connect(cmdImport, &QPushButton::clicked, m_import, &DiaryImport::start);
}

QWidget* SettingsScreen::makePrivateFrame(QWidget* parent) {
    auto* box = new QGroupBox("プライベートデータ", parent);
    box->setToolTip("プライベートデータ編集枠です");
    txtPriData = new QLineEdit(box);
    txtPriData->setObjectName("txtPriData");
    cmdPHozon1 = new QPushButton("名前変更", box);
    cmdPHozon1->setObjectName("cmdPHozon1");
    auto* layout = new QGridLayout(box);
    auto* nameCaption = new QLabel("名前", box);
    nameCaption->setBuddy(txtPriData);
    txtPriData->setAccessibleName("名前");
    layout->addWidget(nameCaption, 0, 0);
    layout->addWidget(txtPriData, 0, 1);
    layout->addWidget(cmdPHozon1, 0, 2);
    layout->addWidget(new QLabel("※空欄可", box), 1, 1);
    layout->setColumnStretch(1, 1);
    return box;
}

QLayout* SettingsScreen::makeTextSizeRow(QWidget* parent) {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("文字の大きさ", parent);
    cboMojiSize = new QComboBox(parent);
    cboMojiSize->setObjectName("cboMojiSize");
    for (const sora::TextSizeInfo& info : sora::text_sizes()) {
        cboMojiSize->addItem(QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size())));
    }
    cboMojiSize->setAccessibleName("文字の大きさ");
    cboMojiSize->setToolTip("画面全体の文字と表を大きくします（Ctrl＋＋ / Ctrl＋－ / Ctrl＋0）");
    caption->setBuddy(cboMojiSize);
    row->addWidget(caption);
    row->addWidget(cboMojiSize);
    row->addStretch(1);
    connect(cboMojiSize, &QComboBox::activated, this,
            [this](int index) { emit textSizeChosen(static_cast<sora::TextSize>(index)); });
    return row;
}

void SettingsScreen::showTextSize(sora::TextSize size) {
    cboMojiSize->setCurrentIndex(static_cast<int>(size));
}

void SettingsScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    txtPriData->setText(QString::fromStdString(m_ctx.state.userName));
    m_editor->prepareForOpening();
    m_asaBan->setSituations(situations());
    m_graph->applyPreview(m_ctx.state.axes);
    m_frame->show();
    m_ctx.host.processEvents();
    m_ctx.host.setHelpText(helpText());
    m_ctx.host.DSP_HELP();
}

void SettingsScreen::setSituations(const QStringList& items) {
    m_editor->setItems(items);
    m_asaBan->setSituations(items);
}
void SettingsScreen::appendSituation(const QString& item) {
    m_editor->appendItem(item);
    m_asaBan->setSituations(situations());
}
QStringList SettingsScreen::situations() const {
    return m_editor->items();
}

void SettingsScreen::setAutoTimeChecked(bool on) {
    // A programmatic tick does not emit clicked(), so nothing is written.
    chkJikan->setChecked(on);
    m_ctx.state.autoTime = on;
}

void SettingsScreen::showGraphSettings() {
    m_graph->showSettings(m_ctx.state.axes);
}

void SettingsScreen::showNewStartForm() {
    m_newStart->open();
}

void SettingsScreen::cmdPHozon1_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const std::optional<QString> name = settings::storableOrRefuse(dialogs, txtPriData->text(), "名前");
    if (!name) {
        return;
    }
    if (!mayWriteSideFile(m_ctx, sora::files::Private) ||
        !settings::reportWrite(dialogs, sora::write_user_name(m_ctx.dir, name->toStdString()))) {
        return;
    }
    txtPriData->setText(*name);
    m_ctx.state.userName = name->toStdString();
    m_ctx.host.setTitle(QString::fromStdString(sora::window_title_for(m_ctx.state.userName, true)));
    dialogs.message(ui::Icon::Information, "保存終了", "保存が終了しました");
}

void SettingsScreen::chkJikan_Click(bool on) {
    if (!mayWriteSideFile(m_ctx, sora::files::AutoTime) ||
        !settings::reportWrite(m_ctx.host.dialogs(), sora::write_auto_time(m_ctx.dir, on))) {
        chkJikan->setChecked(!on);  // the file still holds the old state
        return;
    }
    m_ctx.state.autoTime = on;
}
