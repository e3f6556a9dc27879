#include "whiteboard/canvas/soft_breaks.h"

#include "whiteboard/canvas/text_editor_placement.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zentrel {

namespace {

constexpr int continuesProperty = QTextFormat::UserProperty;
constexpr qsizetype bound = qsizetype(runawayWordLength);

bool isBlank(QChar character)
{
    return character == u' ' || character == u'\t' || character == u'\n' || character == u'\r';
}

// Ends a word as a blank does: the end of a paragraph or of the document.
bool endsWord(QChar character)
{
    return isBlank(character) || character == QChar::ParagraphSeparator || character.isNull();
}

// The letters of the word that `position` is in or after, from its paragraph's start at most;
// counted no further than the bound.
qsizetype lettersBefore(const QTextDocument &document, int position)
{
    qsizetype letters = 0;
    while (letters <= bound && position - letters > 0
           && !endsWord(document.characterAt(int(position - letters - 1)))) {
        ++letters;
    }
    return letters;
}

qsizetype lettersAfter(const QTextDocument &document, int position)
{
    qsizetype letters = 0;
    while (letters <= bound && !endsWord(document.characterAt(int(position + letters)))) {
        ++letters;
    }
    return letters;
}

QTextBlockFormat continuingFormat()
{
    QTextBlockFormat continuing;
    continuing.setProperty(continuesProperty, true);
    return continuing;
}

} // namespace

bool continuesPrevious(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

bool runsAway(const QTextCursor &cursor, QStringView text)
{
    const QTextDocument &document = *cursor.document();
    qsizetype run = lettersBefore(document, cursor.selectionStart());
    for (const QChar character : text) {
        run = isBlank(character) ? 0 : run + 1;
        if (run > bound) {
            return true;
        }
    }
    return run + lettersAfter(document, cursor.selectionEnd()) > bound;
}

bool insertBounded(QTextCursor &cursor, QStringView text)
{
    QTextDocument &document = *cursor.document();
    bool broke = false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    qsizetype run = lettersBefore(document, cursor.position());
    const auto insertPiece = [&](qsizetype from, qsizetype to) {
        const int firstBlock = cursor.blockNumber();
        cursor.insertText(text.mid(from, to - from).toString());
        unmarkBlocks(document, firstBlock + 1, cursor.blockNumber());
    };
    qsizetype pieceStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBlank(text[i])) {
            run = 0;
            continue;
        }
        // Never between the halves of a character beyond the basic plane.
        if (run >= bound && !text[i].isLowSurrogate()) {
            insertPiece(pieceStart, i);
            cursor.insertBlock(continuingFormat());
            broke = true;
            pieceStart = i;
            run = 0;
        }
        ++run;
    }
    insertPiece(pieceStart, text.size());
    // The letters after the text go on with its last word.
    QTextCursor rest(cursor);
    for (int position = cursor.position(); !endsWord(document.characterAt(position)); ++position) {
        if (run >= bound && !document.characterAt(position).isLowSurrogate()) {
            rest.setPosition(position);
            rest.insertBlock(continuingFormat());
            broke = true;
            ++position;
            run = 0;
        }
        ++run;
    }
    cursor.endEditBlock();
    return broke;
}

// Qt gives the paragraphs a typed or pasted break makes the format of the one they were split
// from; they follow a break of the text, not a continuing one.
void unmarkBlocks(QTextDocument &document, int first, int last)
{
    QTextCursor cursor(&document);
    bool joined = false;
    for (QTextBlock block = document.findBlockByNumber(first);
         block.isValid() && block.blockNumber() <= last;
         block = block.next()) {
        if (!continuesPrevious(block)) {
            continue;
        }
        if (!joined) {
            cursor.joinPreviousEditBlock(); // one undo step with the typing
            joined = true;
        }
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(continuesProperty);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    if (joined) {
        cursor.endEditBlock();
    }
}

} // namespace zentrel
