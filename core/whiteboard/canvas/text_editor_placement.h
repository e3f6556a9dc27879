#pragma once

#include "common/geometry.h"
#include "common/uuid.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/text_layout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// What the inline text editor opens with, in scene units. The editor shows it at the board's
// zoom and hands the typed text back through commitText.
struct TextEditorPlacement
{
    PointF scenePoint; // top-left corner of the text
    double sceneWidth = 0;
    std::string text;
    WhiteboardTypeface typeface = WhiteboardTypeface::handDrawn;
    double fontSize = 24;
    WhiteboardTextAlignment alignment = WhiteboardTextAlignment::left;
    std::optional<Uuid> editingTextID; // none for a new text
    std::optional<Uuid> containerID;

    friend bool operator==(const TextEditorPlacement &, const TextEditorPlacement &) = default;
};

// Space on each side of the text inside the editor, in view points.
inline constexpr double textEditorInset = 4;
// The editor's largest width, height and font size in view points: a widget's sizes are whole
// numbers of at most 2^24 − 1, and no screen shows more.
inline constexpr double maxTextEditorExtent = 16777215;

// A new text typed where the text tool was pressed.
TextEditorPlacement newTextPlacement(PointF scenePoint, double fontSize);
// An existing text element, in its own font, size and alignment.
TextEditorPlacement elementTextPlacement(const WhiteboardElement &element);
// A new label for a shape that has none: centred text in the shape's text area.
TextEditorPlacement containerTextPlacement(const WhiteboardElement &shape, double fontSize);

// The editor on screen: its frame when it opens and the pixel size of its font.
struct TextEditorFrame
{
    RectF viewRect;
    double fontPixelSize = 0;

    friend bool operator==(const TextEditorFrame &, const TextEditorFrame &) = default;
};

// Never narrower than 80 points on screen, and one and a half lines tall to start with; sizes
// stay within maxTextEditorExtent, however large the text's font or the zoom.
TextEditorFrame textEditorFrame(const TextEditorPlacement &placement,
                                const WhiteboardViewport &viewport);

// Whether the editor wraps `text` anywhere rather than at word boundaries first: a run of more
// than runawayWordLength letters without a space is no word anyone reads, and looking for a
// boundary in it again for every line costs time that grows with its square.
inline constexpr std::size_t runawayWordLength = 1000;
bool editorWrapsAnywhere(std::string_view text);

// The editor's height once its text is laid out `usedHeight` tall: it grows and shrinks with
// its lines but never below the starting height, nor past maxTextEditorExtent.
double textEditorHeight(double fontPixelSize, double usedHeight);

} // namespace zentrel
