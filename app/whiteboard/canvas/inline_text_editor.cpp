#include "whiteboard/canvas/inline_text_editor.h"

#include "whiteboard/canvas/whiteboard_fonts.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// The whole number nearest a view coordinate, within a widget's range: an editor opened far off
// screen, or on a huge text, still gets a place and a size.
int widgetCoordinate(double value)
{
    return std::isnan(value) ? 0
                             : qRound(std::clamp(value, -maxTextEditorExtent, maxTextEditorExtent));
}

// Marks a paragraph that goes on from the one before it with no break in the text.
constexpr int continuesProperty = QTextFormat::UserProperty;

bool continuesPrevious(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

bool isBlank(QChar character)
{
    return character == u' ' || character == u'\t' || character == u'\n' || character == u'\r';
}

} // namespace

InlineTextEditor::InlineTextEditor(const TextEditorPlacement &placement,
                                   const TextEditorFrame &frame,
                                   const QColor &textColor,
                                   QWidget *parent)
    : QTextEdit(parent)
    , m_placement(placement)
    , m_fontPixelSize(frame.fontPixelSize)
{
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, textColor);
    setPalette(colours);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(textEditorInset);
    document()->setDefaultFont(whiteboardFont(placement.typeface, frame.fontPixelSize));
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(qtAlignment(placement.alignment));
    const bool wrapsAnywhere = editorWrapsAnywhere(placement.text);
    if (wrapsAnywhere) {
        option.setWrapMode(QTextOption::WrapAnywhere);
    }
    document()->setDefaultTextOption(option);
    if (wrapsAnywhere) {
        setBoundedText(QString::fromStdString(placement.text));
    } else {
        setPlainText(QString::fromStdString(placement.text));
    }
    m_viewSize = {std::ceil(frame.viewRect.width), std::ceil(frame.viewRect.height)};
    setGeometry(widgetCoordinate(frame.viewRect.x),
                widgetCoordinate(frame.viewRect.y),
                widgetCoordinate(m_viewSize.width),
                widgetCoordinate(m_viewSize.height));
    connect(this, &QTextEdit::textChanged, this, &InlineTextEditor::fitToText);
}

QString InlineTextEditor::typedText() const
{
    return m_hasSoftBreaks ? typedText(0, document()->characterCount() - 1) : toPlainText();
}

SizeF InlineTextEditor::typedTextViewSize() const
{
    if (!m_hasSoftBreaks) {
        return m_viewSize;
    }
    QTextDocument whole;
    whole.setDocumentMargin(document()->documentMargin());
    whole.setDefaultFont(document()->defaultFont());
    whole.setDefaultTextOption(document()->defaultTextOption());
    whole.setPlainText(typedText());
    whole.setTextWidth(document()->textWidth());
    const double used = whole.size().height() - 2 * textEditorInset;
    return {m_viewSize.width, textEditorHeight(m_fontPixelSize, used)};
}

void InlineTextEditor::fitToText()
{
    // Setting even the same width lays the whole text out again.
    if (document()->textWidth() != viewport()->width()) {
        document()->setTextWidth(viewport()->width());
    }
    const double used = document()->size().height() - 2 * textEditorInset;
    m_viewSize.height = textEditorHeight(m_fontPixelSize, used);
    resize(width(), widgetCoordinate(m_viewSize.height));
}

void InlineTextEditor::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    // Another window or a menu taking the keyboard for a moment does not end the edit.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;
    }
    if (onFocusLost) {
        onFocusLost();
    }
}

// As setPlainText, with a break marked as continuing after every runawayWordLength letters of a
// word.
void InlineTextEditor::setBoundedText(const QString &text)
{
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    QTextBlockFormat continuing;
    continuing.setProperty(continuesProperty, true);
    const auto insertPiece = [&](qsizetype from, qsizetype to) {
        const int firstBlock = cursor.blockNumber();
        cursor.insertText(text.mid(from, to - from));
        unmarkBlocks(firstBlock + 1, cursor.blockNumber());
    };
    qsizetype pieceStart = 0;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBlank(text[i])) {
            run = 0;
            continue;
        }
        if (run >= qsizetype(runawayWordLength) && !text[i].isLowSurrogate()) {
            insertPiece(pieceStart, i);
            cursor.insertBlock(continuing);
            m_hasSoftBreaks = true;
            pieceStart = i;
            run = 0;
        }
        ++run;
    }
    insertPiece(pieceStart, text.size());
    cursor.endEditBlock();
    document()->setUndoRedoEnabled(true);
}

QString InlineTextEditor::typedText(int from, int to) const
{
    const QString plain = toPlainText();
    QString text;
    text.reserve(to - from);
    int pieceStart = from;
    for (QTextBlock block = document()->findBlock(from).next();
         block.isValid() && block.position() <= to;
         block = block.next()) {
        const int breakAt = block.position() - 1;
        if (continuesPrevious(block) && plain.at(breakAt) == u'\n') {
            text += QStringView(plain).mid(pieceStart, breakAt - pieceStart);
            pieceStart = breakAt + 1;
        }
    }
    text += QStringView(plain).mid(pieceStart, to - pieceStart);
    return text;
}

bool InlineTextEditor::isSoftBreakBefore(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    return position > 0 && block.isValid() && block.position() == position
           && continuesPrevious(block);
}

// Qt gives the paragraphs a typed or pasted break makes the format of the one they were split
// from; they follow a break of the text, not a continuing one.
void InlineTextEditor::unmarkBlocks(int first, int last)
{
    QTextCursor cursor(document());
    bool joined = false;
    for (QTextBlock block = document()->findBlockByNumber(first);
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

void InlineTextEditor::keyPressEvent(QKeyEvent *event)
{
    if (!m_hasSoftBreaks) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    // Backspace and Delete next to a break remove the letter beyond it.
    QTextCursor cursor = textCursor();
    const int position = cursor.position();
    if (!cursor.hasSelection()) {
        const bool back =
            event->key() == Qt::Key_Backspace || event->matches(QKeySequence::DeleteStartOfWord);
        const bool forward =
            event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord);
        if (back && isSoftBreakBefore(position)) {
            cursor.setPosition(position - 1);
            setTextCursor(cursor);
        } else if (forward && isSoftBreakBefore(position + 1)) {
            cursor.setPosition(position + 1);
            setTextCursor(cursor);
        }
    }
    const int before = textCursor().position();
    QTextEdit::keyPressEvent(event);
    QTextCursor after = textCursor();
    if (event->matches(QKeySequence::InsertParagraphSeparator)) {
        unmarkBlocks(after.blockNumber(), after.blockNumber());
    }
    // A step by one letter onto the far side of a break goes on by one, as the break is none.
    const bool stepsALetter = event->matches(QKeySequence::MoveToNextChar)
                              || event->matches(QKeySequence::MoveToPreviousChar)
                              || event->matches(QKeySequence::SelectNextChar)
                              || event->matches(QKeySequence::SelectPreviousChar);
    const int step = after.position() - before;
    if (stepsALetter && std::abs(step) == 1
        && isSoftBreakBefore(std::max(before, after.position()))) {
        after.setPosition(after.position() + step,
                          after.hasSelection() ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        setTextCursor(after);
    }
}

QMimeData *InlineTextEditor::createMimeDataFromSelection() const
{
    if (!m_hasSoftBreaks) {
        return QTextEdit::createMimeDataFromSelection();
    }
    const QTextCursor cursor = textCursor();
    auto *mime = new QMimeData;
    mime->setText(typedText(cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

void InlineTextEditor::insertFromMimeData(const QMimeData *source)
{
    const int firstBlock = document()->findBlock(textCursor().selectionStart()).blockNumber();
    QTextEdit::insertFromMimeData(source);
    if (m_hasSoftBreaks) {
        unmarkBlocks(firstBlock + 1, textCursor().blockNumber());
    }
}

} // namespace zentrel
