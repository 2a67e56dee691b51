#include "ui/plain_text_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <algorithm>
#include <vector>

namespace ui {
namespace {

// The paragraph-format property of a paragraph that continues the line of the one before it.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;

bool continuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(ContinuesLine);
}

/// Where to end a piece of `line` that starts at `from`: at a place where the line may wrap anyway when there is one
/// in the second half of the piece, else between two characters as the user sees them.
qsizetype pieceEnd(QStringView line, qsizetype from) {
    // The finders see only a window of the line: on the whole line they would read all of it for every piece.
    const QStringView window = line.mid(from, PlainTextBox::PieceLength + 8);
    QTextBoundaryFinder wrap(QTextBoundaryFinder::Line, window.data(), window.size());
    wrap.setPosition(PlainTextBox::PieceLength);
    const qsizetype at = wrap.isAtBoundary() ? wrap.position() : wrap.toPreviousBoundary();
    if (at > PlainTextBox::PieceLength / 2) {
        return from + at;
    }
    QTextBoundaryFinder character(QTextBoundaryFinder::Grapheme, window.data(), window.size());
    character.setPosition(PlainTextBox::PieceLength);
    const qsizetype cut = character.isAtBoundary() ? character.position() : character.toPreviousBoundary();
    return from + (cut > 0 ? cut : PlainTextBox::PieceLength);
}

bool isLineBreakKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

PlainTextBox::PlainTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    // Tab leaves the box as it leaves every other control; otherwise a keyboard user is caught in it (and a tab
    // character is nothing a memo needs).
    setTabChangesFocus(true);
}

void PlainTextBox::setText(const QString& text) {
    QString pieced;
    std::vector<qsizetype> continuing;  // where each continuing paragraph starts in `pieced`
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QChar('\n'), lineStart);
        if (lineEnd < 0) {
            lineEnd = text.size();
        }
        if (lineEnd - lineStart > LongLine) {
            if (continuing.empty()) {
                pieced.reserve(text.size() + text.size() / PieceLength + 1);
                pieced.append(QStringView(text).left(lineStart));
            }
            const QStringView line = QStringView(text).mid(lineStart, lineEnd - lineStart);
            qsizetype from = 0;
            while (line.size() - from > PieceLength) {
                const qsizetype end = pieceEnd(line, from);
                pieced.append(line.mid(from, end - from));
                pieced.append(QChar('\n'));
                continuing.push_back(pieced.size());
                from = end;
            }
            pieced.append(line.mid(from));
        } else if (!continuing.empty()) {
            pieced.append(QStringView(text).mid(lineStart, lineEnd - lineStart));
        }
        if (lineEnd < text.size() && !continuing.empty()) {
            pieced.append(QChar('\n'));
        }
        lineStart = lineEnd + 1;
    }
    if (continuing.empty()) {
        setPlainText(text);
        return;
    }
    setPlainText(pieced);
    // Marking the pieces is part of showing the text, not an edit the user could undo.
    document()->setUndoRedoEnabled(false);
    QTextBlockFormat format;
    format.setProperty(ContinuesLine, true);
    for (const qsizetype position : continuing) {
        QTextCursor(document()->findBlock(static_cast<int>(position))).mergeBlockFormat(format);
    }
    document()->setUndoRedoEnabled(true);
    document()->setModified(false);
}

QString PlainTextBox::text() const {
    return textBetween(0, document()->characterCount() - 1);
}

QString PlainTextBox::textBetween(int from, int to) const {
    // Document positions are the indexes of toPlainText(), a paragraph break one character, so the break before a
    // continuing paragraph is left out by its position.
    const QString all = toPlainText();
    to = std::min(to, static_cast<int>(all.size()));
    QString out;
    int copied = from;
    for (QTextBlock block = document()->findBlock(from).next(); block.isValid() && block.position() - 1 < to;
         block = block.next()) {
        if (continuesLine(block)) {
            out.append(QStringView(all).mid(copied, block.position() - 1 - copied));
            copied = block.position();
        }
    }
    if (copied == from && from == 0 && to == all.size()) {
        return all;  // no pieces: the text as the toolkit gives it, not copied
    }
    out.append(QStringView(all).mid(copied, to - copied));
    return out;
}

void PlainTextBox::startLinesBetween(int from, int to) {
    // A paragraph split by a typed line break takes the format of the one it was split from, the mark included.
    // (A pasted text brings paragraphs of its own, without the mark.)
    QTextCursor cursor(document());
    bool joined = false;
    for (QTextBlock block = document()->findBlock(from).next(); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (!continuesLine(block)) {
            continue;
        }
        if (!joined) {
            cursor.joinPreviousEditBlock();  // one undo step with the typing or pasting
            joined = true;
        }
        cursor.setPosition(block.position());
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(ContinuesLine);
        cursor.setBlockFormat(format);
    }
    if (joined) {
        cursor.endEditBlock();
    }
}

QMimeData* PlainTextBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void PlainTextBox::keyPressEvent(QKeyEvent* event) {
    const int from = textCursor().selectionStart();
    QPlainTextEdit::keyPressEvent(event);
    if (isLineBreakKey(event)) {
        startLinesBetween(from, textCursor().position());
    }
}

}  // namespace ui
