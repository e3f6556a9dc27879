#include "whiteboard/canvas/inline_text_editor.h"

#include "whiteboard/canvas/whiteboard_fonts.h"

#include <QFocusEvent>
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
    if (editorWrapsAnywhere(placement.text)) {
        option.setWrapMode(QTextOption::WrapAnywhere);
    }
    document()->setDefaultTextOption(option);
    setPlainText(QString::fromStdString(placement.text));
    m_viewSize = {std::ceil(frame.viewRect.width), std::ceil(frame.viewRect.height)};
    setGeometry(widgetCoordinate(frame.viewRect.x),
                widgetCoordinate(frame.viewRect.y),
                widgetCoordinate(m_viewSize.width),
                widgetCoordinate(m_viewSize.height));
    connect(this, &QTextEdit::textChanged, this, &InlineTextEditor::fitToText);
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

} // namespace zentrel
