#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace ui {
namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Warning:
        case Icon::Exclamation:
            break;
    }
    return QMessageBox::Warning;
}

Answer defaultAnswer(Buttons buttons) {
    if (buttons == Buttons::OkCancelDefaultCancel) {
        return Answer::Cancel;
    }
    if (buttons == Buttons::YesNoDefaultNo) {
        return Answer::No;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

}  // namespace

QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QWidget* QtDialogs::owner() const {
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() && !(active->windowFlags() & Qt::Popup) ? active : m_parent;
}

Answer QtDialogs::message(Icon icon, const QString& title, const QString& text, Buttons buttons) {
    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, owner());
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::OkCancelDefaultCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
            box.setDefaultButton(QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
            box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
            box.setEscapeButton(QMessageBox::No);
            if (buttons == Buttons::YesNoDefaultNo) {
                box.setDefaultButton(QMessageBox::No);
            }
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
            box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setText(QStringLiteral("OK"));
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            // Closed without a button: the safe answer of each kind (Yes/No/Cancel stays where it is).
            return buttons == Buttons::Ok                                            ? Answer::Ok
                   : buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No
                                                                                     : Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::textInput(const QString& title, const QString& prompt, const QString& defaultText) {
    QInputDialog dialog(owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& suggestedPath,
                                               const QString& filter) {
    // The file dialog itself asks before an existing file is replaced. A suggestion in a folder that does not exist
    // (no Documents folder yet) would open in the folder the program was started from: the documents folder or
    // the home folder instead.
    QString start = suggestedPath;
    if (!QFileInfo(suggestedPath).absoluteDir().exists()) {
        start = QDir(documentsFolder()).filePath(QFileInfo(suggestedPath).fileName());
    }
    const QString path = QFileDialog::getSaveFileName(owner(), title, start, filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> QtDialogs::openFileName(const QString& title, const QString& folder, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(owner(), title, folder, filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

Answer ScriptedDialogs::message(Icon icon, const QString& title, const QString& text, Buttons buttons) {
    m_records.push_back({Record::Kind::Message, icon, title, text, buttons, QString()});
    if (m_answers.empty()) {
        return defaultAnswer(buttons);
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::textInput(const QString& title, const QString& prompt,
                                                  const QString& defaultText) {
    m_records.push_back({Record::Kind::TextInput, Icon::Question, title, prompt, Buttons::OkCancel, defaultText});
    if (m_texts.empty()) {
        return std::nullopt;
    }
    // Taken apart by hand: moving the optional itself trips a false maybe-uninitialized warning in g++ 12.
    const bool given = m_texts.front().has_value();
    QString text = given ? *m_texts.front() : QString();
    m_texts.pop_front();
    if (!given) {
        return std::nullopt;
    }
    return text;
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString& title, const QString& suggestedPath,
                                                     const QString& filter) {
    m_records.push_back({Record::Kind::SaveFile, Icon::Question, title, filter, Buttons::OkCancel, suggestedPath});
    if (m_saveNames.empty()) {
        return std::nullopt;
    }
    const bool given = m_saveNames.front().has_value();
    QString path = given ? *m_saveNames.front() : QString();
    m_saveNames.pop_front();
    if (!given) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ScriptedDialogs::openFileName(const QString& title, const QString& folder,
                                                     const QString& filter) {
    m_records.push_back({Record::Kind::OpenFile, Icon::Question, title, filter, Buttons::OkCancel, folder});
    if (m_openNames.empty()) {
        return std::nullopt;
    }
    const bool given = m_openNames.front().has_value();
    QString path = given ? *m_openNames.front() : QString();
    m_openNames.pop_front();
    if (!given) {
        return std::nullopt;
    }
    return path;
}

}  // namespace ui
