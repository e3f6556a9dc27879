#pragma once

#include "whiteboard/canvas/text_editor_placement.h"

#include <QTextEdit>

#include <functional>

namespace zentrel {

// The plain-text box laid over the canvas where a text is typed: transparent, borderless,
// without scroll bars, wrapping at its width and growing with its lines.
//
// Qt lays out a whole paragraph on each keystroke, so a runaway word, whether opened, pasted or
// committed by an input method, is shown in paragraphs of at most runawayWordLength letters, each
// after the first marked as continuing the one before. Those breaks are no part of the text:
// typedText() leaves them out, the caret steps over them, and Backspace and Delete remove the
// letter beyond them.
class InlineTextEditor : public QTextEdit
{
public:
    InlineTextEditor(const TextEditorPlacement &placement,
                     const TextEditorFrame &frame,
                     const QColor &textColor,
                     QWidget *parent);

    const TextEditorPlacement &placement() const { return m_placement; }

    // The text as typed, without the breaks that only bound a paragraph's length.
    QString typedText() const;

    // Fits the height to the laid-out text; width and origin stay.
    void fitToText();

    // The editor's size in view points as laid out, which a widget's whole-number size may not
    // hold.
    SizeF viewSize() const { return m_viewSize; }

    // The size the typed text takes in view points laid out as the element shows it, without the
    // paragraph breaks: for a runaway word this lays the whole text out once.
    SizeF typedTextViewSize() const;

    // Focus moving elsewhere ends the edit.
    std::function<void()> onFocusLost;

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void setBoundedText(const QString &text);
    void insertBoundedText(const QString &text);
    QString typedText(int from, int to) const;
    bool isSoftBreakBefore(int position) const;

    TextEditorPlacement m_placement;
    double m_fontPixelSize = 0;
    SizeF m_viewSize;
    bool m_hasSoftBreaks = false;
};

} // namespace zentrel
