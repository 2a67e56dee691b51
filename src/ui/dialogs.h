#pragma once

#include <QString>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

namespace ui {

enum class Icon { Information, Warning, Question, Exclamation };
/// OkCancelDefaultCancel: OK and Cancel with Cancel as the default, for a question whose OK cannot be taken back
/// lightly (deleting a measurement). YesNoDefaultNo: いいえ is the default, for a question whose safe answer is to
/// look again (a doubtful value).
enum class Buttons { Ok, OkCancel, OkCancelDefaultCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

/// Every message box and text input of the program goes through here.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(Icon icon, const QString& title, const QString& text, Buttons buttons = Buttons::Ok) = 0;
    /// nullopt when cancelled.
    virtual std::optional<QString> textInput(const QString& title, const QString& prompt,
                                             const QString& defaultText = QString()) = 0;
    /// The file to save to, from a file dialog that asks before an existing file is replaced; nullopt when cancelled.
    virtual std::optional<QString> saveFileName(const QString& title, const QString& suggestedPath,
                                                const QString& filter) = 0;
    /// An existing file to read, from a file dialog that opens in `folder`; nullopt when cancelled.
    virtual std::optional<QString> openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
};

/// Where the files the user saves (PDF, CSV) are offered first: the documents folder when there is one, else home.
QString documentsFolder();

/// Real Qt message boxes.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer message(Icon icon, const QString& title, const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> textInput(const QString& title, const QString& prompt,
                                     const QString& defaultText = QString()) override;
    std::optional<QString> saveFileName(const QString& title, const QString& suggestedPath,
                                        const QString& filter) override;
    std::optional<QString> openFileName(const QString& title, const QString& folder, const QString& filter) override;

private:
    /// The window the dialog belongs to: the program's window the user is in (a preview, the import window), so
    /// that window comes back in front when the dialog closes; else the main window.
    QWidget* owner() const;

    QWidget* m_parent;
};

/// Records every dialog and answers from a queue; with an empty queue it answers with the default button
/// (OK, Yes — also of Yes/No/Cancel; Cancel or No where that is the default) and cancels text inputs. Used by tests and
/// by
/// --screenshot.
class ScriptedDialogs : public Dialogs {
public:
    struct Record {
        enum class Kind { Message, TextInput, SaveFile, OpenFile } kind = Kind::Message;
        Icon icon = Icon::Information;
        QString title;
        QString text;  // the message text, or the prompt
        Buttons buttons = Buttons::Ok;
        QString defaultText;  // the offered text of a text input, or the suggested path of a file dialog
    };

    Answer message(Icon icon, const QString& title, const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> textInput(const QString& title, const QString& prompt,
                                     const QString& defaultText = QString()) override;
    /// Answers from its own queue; with an empty queue the dialog is cancelled.
    std::optional<QString> saveFileName(const QString& title, const QString& suggestedPath,
                                        const QString& filter) override;
    /// Answers from its own queue; with an empty queue the dialog is cancelled.
    std::optional<QString> openFileName(const QString& title, const QString& folder, const QString& filter) override;

    void queueAnswer(Answer answer) { m_answers.push_back(answer); }
    /// nullopt answers as Cancel.
    void queueText(std::optional<QString> text) { m_texts.push_back(std::move(text)); }
    /// nullopt answers as Cancel.
    void queueSaveFileName(std::optional<QString> path) { m_saveNames.push_back(std::move(path)); }
    /// nullopt answers as Cancel.
    void queueOpenFileName(std::optional<QString> path) { m_openNames.push_back(std::move(path)); }

    const std::vector<Record>& records() const { return m_records; }
    void clear() { m_records.clear(); }

private:
    std::vector<Record> m_records;
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_texts;
    std::deque<std::optional<QString>> m_saveNames;
    std::deque<std::optional<QString>> m_openNames;
};

}  // namespace ui
