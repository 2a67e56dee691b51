#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace ui {

/// A multi-line plain-text box that opens quickly whatever the length of its lines.
///
/// The text layout lays a paragraph out whole, at a few microseconds per character for Japanese (every change
/// between kanji and kana is shaped on its own) and in quadratic time for a line with no place to break: a memo of
/// one 1 MB line took seconds, or minutes. Only the paragraphs on screen are laid out, though, so a line longer
/// than LongLine characters is held as paragraphs of about PieceLength characters, each later one marked in its
/// paragraph format as continuing the line. text() joins them again. The mark is part of the document, so undo and
/// redo keep it right; deleting the break between two paragraphs keeps the first one's mark, and a line break that
/// the user types or pastes starts a paragraph without it. A text without long lines is held exactly as
/// setPlainText holds it.
class PlainTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr qsizetype LongLine = 4096;
    static constexpr qsizetype PieceLength = 1024;

    explicit PlainTextBox(QWidget* parent = nullptr);

    /// Shows `text`, whose lines end at "\n".
    void setText(const QString& text);
    /// The text as shown, each line whole (toPlainText() has a line break between the pieces of a long line).
    QString text() const;

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// The text from document position `from` up to `to`, the pieces of a long line joined.
    QString textBetween(int from, int to) const;
    /// The paragraphs that begin after `from` and up to `to` were just typed by the user: lines of their own.
    void startLinesBetween(int from, int to);
};

}  // namespace ui
