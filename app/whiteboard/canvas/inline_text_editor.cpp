#include "whiteboard/canvas/inline_text_editor.h"

#include "whiteboard/canvas/element_layer/glyph_run_font.h"
#include "whiteboard/canvas/emoji_font.h"
#include "whiteboard/canvas/soft_breaks.h"
#include "whiteboard/canvas/whiteboard_fonts.h"

#include <QFocusEvent>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
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

// Shows the emoji typed in the colour emoji font, as the canvas does.
class EmojiHighlighter : public QSyntaxHighlighter
{
public:
    EmojiHighlighter(QTextDocument *document, int pixelSize)
        : QSyntaxHighlighter(document)
        , m_pixelSize(pixelSize)
    {}

protected:
    void highlightBlock(const QString &text) override
    {
        for (const QTextLayout::FormatRange &range : emojiFormats(text, m_pixelSize)) {
            setFormat(range.start, range.length, range.format);
        }
    }

private:
    int m_pixelSize;
};

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
    const QFont font = whiteboardFont(placement.typeface, frame.fontPixelSize);
    document()->setDefaultFont(font);
    new EmojiHighlighter(document(), font.pixelSize());
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

namespace {

void paintMissingGlyphs(QPainter &painter,
                        const QGlyphRun &run,
                        QPointF origin,
                        const QColor &colour)
{
    const QList<quint32> glyphs = run.glyphIndexes();
    if (!glyphs.contains(0)) {
        return;
    }
    const QRawFont font = run.rawFont();
    if (!isEmptyMissingGlyph(font, 0, font.pathForGlyph(0))) {
        return;
    }
    const QPainterPath box = glyphRunOutline(font, 0);
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i] == 0) {
            painter.fillPath(box.translated(origin + positions[i]), colour);
        }
    }
}

} // namespace

// Qt draws nothing for a character no installed font has where the face's own missing glyph is
// empty, as the hand-drawn faces' are; the canvas draws a box there, and so does the editor.
void InlineTextEditor::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = palette().color(QPalette::Text);
    const QPointF scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF shown = QRectF(event->rect()).translated(scrolled);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout || !layout->boundingRect().translated(layout->position()).intersects(shown)) {
            continue;
        }
        const QPointF origin = layout->position() - scrolled;
        // A line at a time: the document keeps no glyphs for the block as a whole.
        for (int line = 0; line < layout->lineCount(); ++line) {
            for (const QGlyphRun &run : layout->lineAt(line).glyphRuns()) {
                paintMissingGlyphs(painter, run, origin, colour);
            }
        }
    }
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

// As setPlainText, with a soft break after every runawayWordLength letters of a word.
void InlineTextEditor::setBoundedText(const QString &text)
{
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    m_hasSoftBreaks = insertBounded(cursor, text);
    document()->setUndoRedoEnabled(true);
}

// Puts text in place of the selection with soft breaks in a runaway word, wrapping anywhere from
// then on as an editor opened on the text does.
void InlineTextEditor::insertBoundedText(const QString &text)
{
    QTextOption option = document()->defaultTextOption();
    if (option.wrapMode() != QTextOption::WrapAnywhere) {
        option.setWrapMode(QTextOption::WrapAnywhere);
        document()->setDefaultTextOption(option);
    }
    QTextCursor cursor = textCursor();
    if (insertBounded(cursor, text)) {
        m_hasSoftBreaks = true;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
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
        unmarkBlocks(*document(), after.blockNumber(), after.blockNumber());
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
    const QString text = source->text();
    if (source->hasText() && runsAway(textCursor(), text)) {
        insertBoundedText(text);
        return;
    }
    const int firstBlock = document()->findBlock(textCursor().selectionStart()).blockNumber();
    QTextEdit::insertFromMimeData(source);
    if (m_hasSoftBreaks) {
        unmarkBlocks(*document(), firstBlock + 1, textCursor().blockNumber());
    }
}

// A word committed at once goes in as a pasted one; a letter at a time, as typed keys do.
void InlineTextEditor::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.size() > 1 && event->preeditString().isEmpty() && event->replacementLength() == 0
        && runsAway(textCursor(), commit)) {
        QInputMethodEvent endsComposing; // takes away any text being composed
        QTextEdit::inputMethodEvent(&endsComposing);
        insertBoundedText(commit);
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

} // namespace zentrel
