#pragma once

#include "whiteboard/canvas/text_editor_placement.h"

#include <QTextEdit>

#include <functional>

namespace zentrel {

// The plain-text box laid over the canvas where a text is typed: transparent, borderless,
// without scroll bars, wrapping at its width and growing with its lines.
class InlineTextEditor : public QTextEdit
{
public:
    InlineTextEditor(const TextEditorPlacement &placement,
                     const TextEditorFrame &frame,
                     const QColor &textColor,
                     QWidget *parent);

    const TextEditorPlacement &placement() const { return m_placement; }

    // Fits the height to the laid-out text; width and origin stay.
    void fitToText();

    // The editor's size in view points as laid out, which a widget's whole-number size may not
    // hold.
    SizeF viewSize() const { return m_viewSize; }

    // Focus moving elsewhere ends the edit.
    std::function<void()> onFocusLost;

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    TextEditorPlacement m_placement;
    double m_fontPixelSize = 0;
    SizeF m_viewSize;
};

} // namespace zentrel
