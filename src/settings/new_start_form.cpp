#include "settings/new_start_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/diary_changes.h"
#include "common/render.h"
#include "common/side_file_guard.h"
#include "core/edits/new_start.h"
#include "ui/dialogs.h"

namespace {

QString guidanceText() {
    // An empty entry is an additional line break.
    return crlfLines({
        "新規にソラノート＋をスタートさせます。",
        "",
        "あなたの名前（ニックネーム）を入力してください。フォームのタイトルに反映されます。",
        "※入力は必須ではありません。空欄だとタイトルに名前が入らないだけです。",
        "",
        "現在（スタート時）の最高血圧を入力してください。（※必須です）",
        "",
        "現在（スタート時）の最低血圧を入力してください。（※必須です）",
        "",
        "現在（スタート時）の脈拍を入力してください。（※必須です）",
        "",
        "現在（スタート時）の体重を入力してください。（※必須です）",
        "",
        "初期の状況として記録したい言葉を入力してください。",
        "デフォルトでは「はじめの一歩」と入れていますが自由に変更できます。（※必須です）",
        "",
        "入力し準備ができたら新規登録ボタンを押してください。",
    });
}

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

NewStartForm::NewStartForm(ScreenContext context, QWidget* parent, QWidget* covered)
    : QObject(parent), m_ctx(context), m_covered(covered), fraNew(new QGroupBox("新規スタート登録枠", parent)) {
    fraNew->setObjectName("fraNew");
    txtPriData1 = makeBox("txtPriData1");
    txtSincyou1 = makeBox("txtSincyou1");
    txtMokuTai1 = makeBox("txtMokuTai1");
    txtNowTai = makeBox("txtNowTai");
    txtNowTai2 = makeBox("txtNowTai2");
    txtNowJyou = makeBox("txtNowJyou");
    txtNowJyou->setText("はじめの一歩");
    txtPriData1->setMaximumWidth(260);
    txtNowJyou->setMaximumWidth(260);
    cmdStHozon = new QPushButton("新規登録", fraNew);
    cmdStHozon->setObjectName("cmdStHozon");
    cmdYame = new QPushButton("キャンセル", fraNew);
    cmdYame->setObjectName("cmdYame");

    auto* boxes = new QGridLayout;
    const struct {
        const char* label;
        QLineEdit* box;
        const char* unit;
    } rows[] = {{"名前（ニックネーム）", txtPriData1, "※空欄可"},
                {"現最高血圧", txtSincyou1, "mmHg"},
                {"現最低血圧", txtMokuTai1, "mmHg"},
                {"脈拍数", txtNowTai, "拍/分"},
                {"体重", txtNowTai2, "kg"},
                {"初期状況", txtNowJyou, ""}};
    int row = 0;
    for (const auto& r : rows) {
        auto* caption = new QLabel(r.label, fraNew);
        caption->setBuddy(r.box);
        r.box->setAccessibleName(caption->text());
        boxes->addWidget(caption, row, 0);
        boxes->addWidget(r.box, row, 1);
        boxes->addWidget(new QLabel(r.unit, fraNew), row, 2);
        ++row;
    }
    boxes->addWidget(new QLabel("※半角文字で入力", fraNew), 1, 3, 4, 1, Qt::AlignVCenter);
    boxes->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStHozon);
    buttons->addWidget(cmdYame);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(fraNew);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->addSpacing(12);
    for (const char* note :
         {"＜補足＞", "名前、グラフY軸の設定、状況項目はいつでも変更可能です。",
          "ご利用の中で必要に応じて変更してください。", "右の状況リストの項目はご自身のデータに自由に変えてください→",
          "※初期状態の血圧脈拍体重グラフのY軸は自動モードになります。"}) {
        layout->addWidget(wrapped(QString::fromUtf8(note), fraNew));
    }
    layout->addStretch(1);

    // Enter walks through the boxes to the register button.
    const QList<QLineEdit*> order = {txtPriData1, txtSincyou1, txtMokuTai1, txtNowTai, txtNowTai2, txtNowJyou};
    for (int i = 0; i < order.size(); ++i) {
        QWidget* next = i + 1 < order.size() ? static_cast<QWidget*>(order[i + 1]) : cmdStHozon;
        connect(order[i], &QLineEdit::returnPressed, next, [next] { next->setFocus(); });
    }
    connect(cmdStHozon, &QPushButton::clicked, this, &NewStartForm::cmdStHozon_Click);
    connect(cmdYame, &QPushButton::clicked, this, &NewStartForm::cmdYame_Click);
    fraNew->hide();
}

QLineEdit* NewStartForm::makeBox(const char* name) {
    auto* box = new QLineEdit(fraNew);
    box->setObjectName(name);
    box->setMaximumWidth(100);
    return box;
}

QWidget* NewStartForm::widget() const {
    return fraNew;
}

void NewStartForm::open() {
    for (QLineEdit* box : {txtPriData1, txtSincyou1, txtMokuTai1, txtNowTai, txtNowTai2}) {
        box->clear();
    }
    if (m_covered) {
        m_covered->hide();
    }
    fraNew->show();
    m_ctx.host.dialogs().message(ui::Icon::Information, "データを登録しましょう", guidanceText());
    txtPriData1->setFocus();
}

void NewStartForm::cmdStHozon_Click() {
    const sora::NewStartInput input{txtPriData1->text().toStdString(), txtSincyou1->text().toStdString(),
                                    txtMokuTai1->text().toStdString(), txtNowTai->text().toStdString(),
                                    txtNowTai2->text().toStdString(),  txtNowJyou->text().toStdString()};
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const sora::DateTime now = m_ctx.clock.now();
    const sora::NewStartCheck check = sora::check_new_start(input, now.date);
    if (!check.plan) {
        const sora::NewStartRefusal& refusal = check.refusal;
        dialogs.message(refusal.warning ? ui::Icon::Warning : ui::Icon::Information,
                        QString::fromStdString(refusal.title), QString::fromStdString(refusal.text));
        QLineEdit* boxes[] = {txtPriData1, txtSincyou1, txtMokuTai1, txtNowTai, txtNowTai2, txtNowJyou};
        boxes[static_cast<int>(refusal.box)]->setFocus();
        return;
    }
    if (dialogs.message(ui::Icon::Warning, "クリア確認", "入力した内容でデータを作ります。よろしいですか？",
                        ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    // The name and the graph settings are replaced too: files the start-up could not read are not lost unasked.
    if (!mayWriteSideFile(m_ctx, sora::files::Private) || !mayWriteSideFile(m_ctx, sora::files::GraphSettings)) {
        return;
    }
    sora::NewStartPlan plan = *check.plan;
    plan.leavingSample = m_ctx.state.sampleMode;
    const sora::NewStartResult result = sora::perform_new_start(m_ctx.dir, plan, m_ctx.state.axes, now);
    if (!result) {
        dialogs.message(ui::Icon::Warning, "保存エラー",
                        QString::fromStdString(result.message) + "\n新規登録を中断しました。");
        return;
    }
    m_ctx.changes.reportCopyWarning(result.warning);
    m_ctx.state.userName = check.plan->name;
    dialogs.message(ui::Icon::Information, "新規登録終了",
                    QString::fromStdString(sora::new_start_closing_message(result.backupName, result.memoName)));
    m_ctx.host.endProgram();
}

void NewStartForm::cmdYame_Click() {
    fraNew->hide();
    if (m_covered) {
        m_covered->show();
    }
}
