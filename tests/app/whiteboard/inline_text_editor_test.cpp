#include "whiteboard/canvas/inline_text_editor.h"

#include "common/bundled_fonts.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QImage>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace zentrel {
namespace {

struct InlineTextEditorTest : testing::Test
{
    QWidget canvas;
    std::unique_ptr<InlineTextEditor> editor;

    InlineTextEditorTest() { canvas.resize(800, 600); }

    void open(const QString &text, WhiteboardTypeface typeface = WhiteboardTypeface::handDrawn)
    {
        TextEditorPlacement placement;
        placement.typeface = typeface;
        placement.sceneWidth = 400;
        placement.fontSize = 20;
        placement.text = text.toStdString();
        const TextEditorFrame frame = textEditorFrame(placement, WhiteboardViewport{1, {}});
        editor = std::make_unique<InlineTextEditor>(placement, frame, Qt::black, &canvas);
        editor->show();
        editor->setFocus(Qt::OtherFocusReason);
    }

    void placeCaret(int position)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(position);
        editor->setTextCursor(cursor);
    }

    std::string typed() const { return editor->typedText().toStdString(); }

    // Where the second paragraph starts: the far side of the first break.
    int secondBlockStart() const { return editor->document()->findBlockByNumber(1).position(); }

    // The most letters without a space in one paragraph.
    qsizetype longestWordInAParagraph() const
    {
        qsizetype longest = 0;
        for (QTextBlock block = editor->document()->begin(); block.isValid();
             block = block.next()) {
            for (const QString &word : block.text().split(u' ')) {
                longest = std::max(longest, word.size());
            }
        }
        return longest;
    }

    void paste(const QString &text)
    {
        QApplication::clipboard()->setText(text);
        editor->paste();
    }
};

// An emoji across the place of a break, so that a split between its halves shows.
QString runawayWord()
{
    return QString(700, u'p') + QStringLiteral("\U0001F600") + QString(4298, u'q');
}

TEST_F(InlineTextEditorTest, ARunawayWordIsLaidOutInBoundedParagraphsAndGivenBackWhole)
{
    // An emoji across the place of the first break stays whole.
    const QString text = QString(999, u'a') + QStringLiteral("\U0001F600") + QString(2500, u'b')
                         + QStringLiteral("\nline two\n\n") + QString(1500, u'c');
    open(text);
    EXPECT_GT(editor->document()->blockCount(), 6);
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next()) {
        EXPECT_LE(block.length(), int(runawayWordLength) + 2);
    }
    EXPECT_EQ(typed(), (text).toStdString());
    EXPECT_FALSE(editor->typedText().contains(QChar::ReplacementCharacter));
}

TEST_F(InlineTextEditorTest, TheTypedTextIsMeasuredWithoutTheBreaksThatShortenLines)
{
    // Each paragraph of 1,000 letters ends in a short line that the element does not have.
    open(QString(20'000, u'a'));
    editor->fitToText();
    const double lineHeight = editor->document()->defaultFont().pixelSize();
    EXPECT_LT(editor->typedTextViewSize().height, editor->viewSize().height - 10 * lineHeight);
    EXPECT_EQ(editor->typedTextViewSize().width, editor->viewSize().width);

    open(QStringLiteral("two\nlines"));
    editor->fitToText();
    EXPECT_EQ(editor->typedTextViewSize().height, editor->viewSize().height);
}

TEST_F(InlineTextEditorTest, OrdinaryTextIsGivenBackAsTyped)
{
    open(QStringLiteral("one\ntwo words\n\n three "));
    EXPECT_EQ(editor->document()->blockCount(), 4);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor.get(), Qt::Key_Return);
    QTest::keyClicks(editor.get(), "four");
    EXPECT_EQ(typed(), (QStringLiteral("one\ntwo words\n\n three \nfour")).toStdString());
    EXPECT_EQ(typed(), (editor->toPlainText()).toStdString());
}

TEST_F(InlineTextEditorTest, TheCaretStepsOverABreakAndErasesTheLetterBeyondIt)
{
    open(QString(1000, u'a') + QString(1000, u'b'));
    placeCaret(secondBlockStart() - 1); // at the end of the a's
    QTest::keyClick(editor.get(), Qt::Key_Right);
    QTest::keyClicks(editor.get(), "X");
    EXPECT_EQ(typed(), (QString(1000, u'a') + "bX" + QString(999, u'b')).toStdString());

    placeCaret(secondBlockStart());
    QTest::keyClick(editor.get(), Qt::Key_Backspace);
    EXPECT_EQ(typed(), (QString(999, u'a') + "bX" + QString(999, u'b')).toStdString());

    placeCaret(secondBlockStart() - 1);
    QTest::keyClick(editor.get(), Qt::Key_Delete);
    EXPECT_EQ(typed(), (QString(999, u'a') + "X" + QString(999, u'b')).toStdString());

    placeCaret(secondBlockStart() + 1);
    QTest::keyClick(editor.get(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(editor.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(editor->textCursor().selectedText().remove(QChar::ParagraphSeparator), "aX");
    editor->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "aX");
}

TEST_F(InlineTextEditorTest, ABreakTypedOrPastedInAContinuedParagraphIsKept)
{
    const QString text = QString(1000, u'a') + QString(1000, u'b');
    open(text);
    placeCaret(secondBlockStart() + 10);
    QTest::keyClick(editor.get(), Qt::Key_Return);
    EXPECT_EQ(typed(),
              (QString(1000, u'a') + QString(10, u'b') + "\n" + QString(990, u'b')).toStdString());
    editor->undo();
    EXPECT_EQ(typed(), (text).toStdString());

    placeCaret(secondBlockStart() + 10);
    QApplication::clipboard()->setText(QStringLiteral("p\nq\n"));
    editor->paste();
    EXPECT_EQ(
        typed(),
        (QString(1000, u'a') + QString(10, u'b') + "p\nq\n" + QString(990, u'b')).toStdString());
}

TEST_F(InlineTextEditorTest, ARunawayWordPastedIntoAWordIsLaidOutInBoundedParagraphs)
{
    const QString before = QStringLiteral("one ") + QString(300, u'x');
    const QString after = QString(300, u'y') + QStringLiteral(" two");
    open(before + after);
    EXPECT_NE(editor->document()->defaultTextOption().wrapMode(), QTextOption::WrapAnywhere);
    placeCaret(int(before.size()));
    paste(runawayWord());
    EXPECT_LE(longestWordInAParagraph(), qsizetype(runawayWordLength) + 1);
    EXPECT_EQ(editor->document()->defaultTextOption().wrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(typed(), (before + runawayWord() + after).toStdString());
    // The caret is after what was pasted, and the letters are back as they were in one step.
    QTest::keyClicks(editor.get(), "Z");
    EXPECT_EQ(typed(), (before + runawayWord() + "Z" + after).toStdString());
    editor->undo();
    editor->undo();
    EXPECT_EQ(typed(), (before + after).toStdString());
}

TEST_F(InlineTextEditorTest, ARunawayWordPastedOverASoftBreakReplacesTheLettersSelected)
{
    open(QString(2000, u'a'));
    QTextCursor selection = editor->textCursor();
    selection.setPosition(990);
    selection.setPosition(secondBlockStart() + 10, QTextCursor::KeepAnchor);
    editor->setTextCursor(selection);
    paste(runawayWord());
    EXPECT_LE(longestWordInAParagraph(), qsizetype(runawayWordLength) + 1);
    EXPECT_EQ(typed(), (QString(990, u'a') + runawayWord() + QString(990, u'a')).toStdString());
    EXPECT_FALSE(editor->typedText().contains(QChar::ReplacementCharacter));
}

TEST_F(InlineTextEditorTest, ARunawayWordCommittedByAnInputMethodIsLaidOutInBoundedParagraphs)
{
    open(QStringLiteral("ab"));
    placeCaret(1);
    QInputMethodEvent composing(QStringLiteral("pre"), {});
    QCoreApplication::sendEvent(editor.get(), &composing);
    QInputMethodEvent commit;
    commit.setCommitString(runawayWord());
    QCoreApplication::sendEvent(editor.get(), &commit);
    EXPECT_LE(longestWordInAParagraph(), qsizetype(runawayWordLength) + 1);
    EXPECT_EQ(typed(), ("a" + runawayWord() + "b").toStdString());
    EXPECT_TRUE(editor->document()->firstBlock().layout()->preeditAreaText().isEmpty());
}

// Emoji typed show in the colour emoji font, as the canvas shows them.
TEST_F(InlineTextEditorTest, EmojiShowInColourAsOnTheCanvas)
{
    open(QStringLiteral("I \u2764\uFE0F it \U0001F600"), WhiteboardTypeface::system);
    editor->setCursorWidth(0);
    const QImage shown = editor->grab().toImage();
    int colour = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            colour += std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)})
                                  - std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)})
                              > 60
                          ? 1
                          : 0;
        }
    }
    // Both, where a colour emoji font is installed.
    if (QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"))) {
        EXPECT_GT(colour, 100);
    }
}

// Characters no installed font has show as boxes in the editor too, in the hand-drawn faces,
// whose own missing glyph Qt draws as nothing, as in the system face.
TEST_F(InlineTextEditorTest, CharactersNoFontHasShowAsBoxesInEveryFace)
{
    for (const QString &name : {QStringLiteral("Virgil"), QStringLiteral("Excalifont")}) {
        registerBundledFonts({ZENTREL_BUILD_RESOURCES}, name, QStringLiteral("otf"));
    }
    for (const WhiteboardTypeface typeface :
         {WhiteboardTypeface::system, WhiteboardTypeface::virgil, WhiteboardTypeface::excalifont}) {
        // Thai and Tibetan, for which the test machine has no font.
        open(QStringLiteral("\u0E01\u0E02\u0E03 \u0F40\u0F41"), typeface);
        editor->setCursorWidth(0);
        const QImage shown = editor->grab().toImage();
        int ink = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                ink += qGray(shown.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        // Five boxes' edges of a 20-point text.
        EXPECT_GT(ink, 150) << "face " << int(typeface);
    }
}

} // namespace
} // namespace zentrel
