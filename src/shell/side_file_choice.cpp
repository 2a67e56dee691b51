#include "shell/side_file_choice.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QPlainTextEdit* shownText(const QString& text, const QString& accessibleName, QWidget* parent) {
    auto* box = new QPlainTextEdit(text, parent);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setAccessibleName(accessibleName);
    return box;
}

}  // namespace

SideFileChoice::SideFileChoice(const QString& fileName, const QString& ours, const QString& copyName,
                               const QString& theirs, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmConflict");
    setWindowTitle("同期の競合 — " + fileName);
    auto* grid = new QGridLayout(this);
    auto* intro =
        new QLabel(QString("「%1」はこのパソコンとほかのパソコンで別々に変更されました。残すほうを選んでください。"
                           "選ばなかったほうは backup フォルダに残ります。")
                       .arg(fileName),
                   this);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 2);
    grid->addWidget(new QLabel("このパソコンの " + fileName, this), 1, 0);
    grid->addWidget(new QLabel("競合コピー " + copyName, this), 1, 1);
    txtConflictOurs = shownText(ours, "このパソコンのファイルの内容", this);
    txtConflictOurs->setObjectName("txtConflictOurs");
    txtConflictCopy = shownText(theirs, "競合コピーの内容", this);
    txtConflictCopy->setObjectName("txtConflictCopy");
    grid->addWidget(txtConflictOurs, 2, 0);
    grid->addWidget(txtConflictCopy, 2, 1);

    auto* buttons = new QDialogButtonBox(this);
    cmdKeepOurs = buttons->addButton("このパソコンのものを残す", QDialogButtonBox::AcceptRole);
    cmdKeepOurs->setObjectName("cmdKeepOurs");
    cmdKeepCopy = buttons->addButton("コピーのものを残す", QDialogButtonBox::AcceptRole);
    cmdKeepCopy->setObjectName("cmdKeepCopy");
    cmdConflictLater = buttons->addButton("あとで", QDialogButtonBox::RejectRole);
    cmdConflictLater->setObjectName("cmdConflictLater");
    grid->addWidget(buttons, 3, 0, 1, 2);
    connect(cmdKeepOurs, &QPushButton::clicked, this, [this] {
        m_keepCopy = false;
        accept();
    });
    connect(cmdKeepCopy, &QPushButton::clicked, this, [this] {
        m_keepCopy = true;
        accept();
    });
    connect(cmdConflictLater, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 360);
}
