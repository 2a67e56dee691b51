// Widgets that stay quick with very long lines: the plain-text box holds a long line as pieces and gives it back
// whole, also after editing; the list delegate measures and draws only the start of a huge item.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "qt_app.h"
#include "ui/list_text_delegate.h"
#include "ui/plain_text_box.h"

namespace {

QString repeated(const char* unit, qsizetype length) {
    const QString text = QString::fromUtf8(unit);
    return text.repeated(length / text.size() + 1).left(length);
}

/// The paragraphs of the box, as the toolkit holds them.
QStringList paragraphs(const ui::PlainTextBox& box) {
    QStringList found;
    for (QTextBlock block = box.document()->firstBlock(); block.isValid(); block = block.next()) {
        found << block.text();
    }
    return found;
}

TEST(PlainTextBox, EveryTextComesBackWholeAndNoParagraphIsLong) {
    const qsizetype Long = ui::PlainTextBox::LongLine;
    const struct {
        const char* label;
        QString text;
        bool pieced;
    } cases[] = {
        {"empty", "", false},
        {"ordinary memo", QString::fromUtf8("塩分を控える\n\n朝の散歩 \n"), false},
        {"longest plain line", repeated("気付き", Long), false},
        {"one character more", repeated("気付き", Long + 1), true},
        {"no place to break", repeated("memo0123456789", 1000000), true},
        {"words", repeated("blood pressure ", 300000), true},
        {"Japanese with punctuation", repeated("気付きメモ、", 500000), true},
        {"characters outside the basic plane", repeated("𠮷野家", 20000), true},
        {"long lines among short ones",
         "first\n" + repeated("あいう", 9000) + "\n\nmiddle\n" + repeated("x", 5000) + "\nlast\n", true},
        {"long line ended by a line break", repeated("ab", 10000) + "\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ui::PlainTextBox box;
        box.setText(c.text);
        EXPECT_TRUE(box.text() == c.text) << box.text().size() << " characters instead of " << c.text.size();
        EXPECT_EQ(box.document()->blockCount() > c.text.count('\n') + 1, c.pieced);
        if (!c.pieced) {
            EXPECT_TRUE(box.toPlainText() == c.text) << "held exactly as the toolkit holds it";
        }
        for (const QString& paragraph : paragraphs(box)) {
            ASSERT_LE(paragraph.size(), Long);
            ASSERT_FALSE(!paragraph.isEmpty() && paragraph.back().isHighSurrogate()) << "a character cut in two";
        }
    }
    // Text with places to break is cut at one of them, so a piece ends as a wrapped line would.
    ui::PlainTextBox words;
    words.setText(repeated("blood pressure ", 20000));
    const QStringList pieces = paragraphs(words);
    ASSERT_GT(pieces.size(), 2);
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_TRUE(pieces[i].endsWith(' ')) << i;
    }
}

TEST(PlainTextBox, EditsAcrossPiecesKeepTheirMeaning) {
    const QString line = repeated("気付き", 10000);
    const QString text = "top\n" + line + "\nend";
    ui::PlainTextBox box;
    box.setText(text);
    const int second = box.document()->findBlockByNumber(2).position();  // the second piece of the long line
    // Where a document position lies in the text: less "top\n", one break between the pieces and the position.
    auto inLine = [](int position) { return position - 4 - 1; };
    auto putCursor = [&box](int position) {
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(position);
        box.setTextCursor(cursor);
    };
    ASSERT_GT(box.document()->blockCount(), 5);

    // A line break typed inside a piece, or at its start, is a real one; undo and redo keep the pieces.
    for (const int at : {second + 10, second}) {
        SCOPED_TRACE(at);
        putCursor(at);
        QTest::keyClick(&box, Qt::Key_Return);
        const QString broken = "top\n" + line.left(inLine(at)) + "\n" + line.mid(inLine(at)) + "\nend";
        EXPECT_TRUE(box.text() == broken);
        box.undo();
        EXPECT_TRUE(box.text() == text);
        box.redo();
        EXPECT_TRUE(box.text() == broken);
        box.undo();
    }

    // Backspace at the start of a piece, or Delete at the end of one, leaves the line one line.
    putCursor(second);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_TRUE(box.text() == text);
    box.undo();
    putCursor(second - 1);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_TRUE(box.text() == text);
    box.undo();

    // Deleting a selection from the first line into the long line, and undoing it.
    QTextCursor selection = box.textCursor();
    selection.setPosition(1);
    selection.setPosition(second + 5, QTextCursor::KeepAnchor);
    box.setTextCursor(selection);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_TRUE(box.text() == "t" + line.mid(inLine(second + 5)) + "\nend");
    box.undo();
    EXPECT_TRUE(box.text() == text);

    // A pasted text with line breaks: its lines are lines; a copy across pieces has no break the user did not type.
    putCursor(second + 3);
    QApplication::clipboard()->setText(QString::fromUtf8("一\n二\n三"));
    box.paste();
    EXPECT_TRUE(box.text() == "top\n" + line.left(inLine(second + 3)) + QString::fromUtf8("一\n二\n三") +
                                  line.mid(inLine(second + 3)) + "\nend");
    box.undo();
    EXPECT_TRUE(box.text() == text);
    const int from = 100;
    const int to = second + 2000;
    int pieceBreaks = 0;
    for (QTextBlock block = box.document()->findBlock(from).next(); block.position() - 1 < to; block = block.next()) {
        ++pieceBreaks;
    }
    ASSERT_GE(pieceBreaks, 2);
    selection.setPosition(from);
    selection.setPosition(to, QTextCursor::KeepAnchor);
    box.setTextCursor(selection);
    box.copy();
    EXPECT_TRUE(QApplication::clipboard()->text() == text.mid(from, to - from - pieceBreaks));
}

TEST(ListTextDelegate, AHugeItemIsMeasuredFromItsStartAndKeepsItsText) {
    const QString huge = repeated("気付きメモ、", 500000);
    QListWidget list;
    list.setItemDelegate(new ui::ListTextDelegate(&list));
    list.addItems({QString::fromUtf8("起床後"), huge.left(ui::ListTextDelegate::ShownLength)});
    const int shownWhole = list.sizeHintForColumn(0);
    list.addItem(huge);
    EXPECT_TRUE(list.item(2)->text() == huge);
    // Measured as its first characters and an ellipsis: a little wider than the longest item shown whole, where
    // the whole item would be about a thousand times as wide.
    const int measured = list.sizeHintForColumn(0);
    EXPECT_GT(measured, shownWhole);
    EXPECT_LT(measured, shownWhole + shownWhole / 10);
}

}  // namespace
