#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_element.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// The face a whiteboard text is drawn in. Excalidraw documents name its hand-drawn fonts by
// number (1 Virgil, 5 Excalifont) and size each text by its lines in that font, so such a text
// is drawn in the font it was measured in; other hand-drawn texts take the hand-drawn font.
enum class WhiteboardTypeface {
    system,
    monospace,
    handDrawn,
    virgil,
    excalifont,
};

WhiteboardTypeface whiteboardTypeface(const WhiteboardElement &element);
// The face of a family alone: the hand-drawn family takes the hand-drawn font.
WhiteboardTypeface whiteboardTypeface(WhiteboardFontFamily family);

// The size one line of text takes in this face: its advance width and the font's line height.
// The app measures with its own fonts; core only breaks and places the lines.
using TextMeasurer =
    std::function<SizeF(std::string_view line, WhiteboardTypeface typeface, double fontSize)>;

// A word up to this share of its box's width wider than the box stays whole, running past it:
// a word that its source measured in its own copy of the font is never broken.
inline constexpr double wordOverflowAllowance = 0.1;

struct TextLine
{
    std::string text;
    double width = 0; // as measured

    friend bool operator==(const TextLine &, const TextLine &) = default;
};

// One line of a text element where it is drawn: `box` holds its glyphs, from the top of the
// font's ascent to the bottom of its descent, and is as wide as the line measures.
struct PlacedTextLine
{
    std::string text;
    RectF box;

    friend bool operator==(const PlacedTextLine &, const PlacedTextLine &) = default;
};

// Laying out and drawing a text costs in proportion to its length, so a text longer than this
// (about fifty pages of prose) is laid out up to here, ending in an ellipsis; the element keeps
// all of it.
inline constexpr std::size_t maxLaidOutTextBytes = 128 * 1024;

// The lines of a text element as they fit its frame's width, each aligned within it. A line
// takes `lineHeight` × the font size when the element has a line height (as Excalidraw lays
// lines out), else the font's own line height, its glyphs centred in that height. Lines
// running past the frame's bottom are kept, so no typed text is ever hidden; only a text past
// maxLaidOutTextBytes is cut there.
std::vector<PlacedTextLine> layOutText(const WhiteboardElement &element,
                                       WhiteboardTypeface typeface,
                                       double fontSize,
                                       const TextMeasurer &measure);

// The lines of `text` in a box `boxWidth` wide: one paragraph per line break ("\n", "\r\n" or
// "\r"), each broken at spaces (which the break drops) and after hyphens inside a word, so that
// each line fits the box. A word is broken inside only when it alone is clearly wider than the
// box; then each piece fills a line. A box without width wraps nothing. `lineWidth` measures
// one line.
std::vector<TextLine> wrapText(std::string_view text,
                               double boxWidth,
                               const std::function<double(std::string_view)> &lineWidth);

} // namespace zentrel
