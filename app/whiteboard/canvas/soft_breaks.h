#pragma once

#include <QStringView>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace zentrel {

// Paragraph breaks that only bound how long a paragraph holding a runaway word is: Qt lays out a
// whole paragraph on each keystroke. The paragraph after such a break is marked as continuing
// the one before it, and the text has no break there.

bool continuesPrevious(const QTextBlock &block);

// Whether putting `text` in place of the cursor's selection makes a word of more than
// runawayWordLength letters in one paragraph, counting the letters it joins on either side.
bool runsAway(const QTextCursor &cursor, QStringView text);

// Puts `text` in place of the cursor's selection in one edit step, as QTextCursor::insertText
// does, with a soft break wherever a word would otherwise go on past runawayWordLength letters in
// one paragraph, the letters it joins on either side counted. The cursor ends after the text.
// Returns whether it made a soft break.
bool insertBounded(QTextCursor &cursor, QStringView text);

// Clears the mark from paragraphs first to last, which follow a break of the text.
void unmarkBlocks(QTextDocument &document, int first, int last);

} // namespace zentrel
