#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "common/path.h"
#include "drawing/rough_path_generator.h"
#include "shell/roughness_level.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/hatch_fill.h"
#include "whiteboard/render/text_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

enum class RenderLineCap {
    butt,
    round,
};

struct RenderStroke
{
    Path path;
    Color color;
    double width = 1;
    RenderLineCap cap = RenderLineCap::butt;
    bool roundJoin = true;
    std::vector<double> dash; // on, off, …; empty for a solid line

    friend bool operator==(const RenderStroke &, const RenderStroke &) = default;
};

// One line of text, already broken and aligned: it is drawn as it stands from `origin`, its left
// end at the top of the font's ascent.
struct RenderTextLine
{
    std::string text;
    PointF origin;

    friend bool operator==(const RenderTextLine &, const RenderTextLine &) = default;
};

struct RenderText
{
    std::vector<RenderTextLine> lines;
    WhiteboardTypeface typeface = WhiteboardTypeface::handDrawn;
    double fontSize = 24;
    Color color;

    friend bool operator==(const RenderText &, const RenderText &) = default;
};

// Everything the app paints for one element, in scene coordinates before rotation. Painting
// order: solid fill, hatch lines, stroke (with the head fill), text.
struct ElementRenderPlan
{
    // The painter rotates by `rotation` radians about `centre` before drawing the rest.
    double rotation = 0;
    PointF centre;
    std::optional<Color> fillColor; // set only for a solid fill
    Path fillPath;
    std::optional<RenderStroke> hatch; // already clipped to the shape, unless hatchFill is set
    // Set where `hatch` is thinned, the shape being too large to draw every line of, or left
    // whole, the outline crossing its lines too often to cut them (see hatchNeedsClip): the
    // painter draws the lines of the part it shows from it instead, in the hatch's colour and
    // width, as many as hatchLines gives there, clipped to the outline where hatchNeedsClip.
    std::optional<HatchFill> hatchFill;
    std::optional<RenderStroke> stroke;
    // Filled in the stroke's colour as one area with the stroke: an arrow's solid heads.
    Path headFill;
    std::optional<RenderText> text; // text element, marker number or placeholder label

    friend bool operator==(const ElementRenderPlan &, const ElementRenderPlan &) = default;
};

// The element's own generator seed, so it wobbles the same way on every redraw: the stored
// Excalidraw seed when present, else the same 32-bit hash of the id the Excalidraw writer uses.
std::uint64_t elementRoughSeed(const WhiteboardElement &element);

// How rough the element is drawn: none for text and placeholders, else its stored level.
RoughnessLevel elementRenderRoughness(const WhiteboardElement &element);

// The scene area the element's paint can reach (stroke, hand-drawn wobble, arrowheads and text
// running past its frame included), so a canvas can skip elements outside its view. The
// placeholder's label keeps its size on screen, so its reach depends on `viewportScale`.
RectF elementPaintBounds(const WhiteboardElement &element, double viewportScale);

// The geometry of one element. `roughness` none draws smooth outlines; any other level draws
// through a generator seeded with elementRoughSeed. `viewportScale` keeps the placeholder the
// same size on screen; `measure` breaks a text into lines and places them, and the marker
// number. A line or arrow runs through every point of its path (curving through them when
// rounded), an arrow's heads along its first and last segments; a closed line is a shape,
// filled like one.
ElementRenderPlan elementRenderPlan(const WhiteboardElement &element,
                                    RoughnessLevel roughness,
                                    double viewportScale,
                                    const TextMeasurer &measure);

// How far `to` lies from `from` when it draws exactly as `from` moved: the same element in every
// respect but its place (what the Excalidraw writer bumps on each edit aside). None otherwise,
// so a canvas can reuse what it prepared for `from` while a drag moves elements.
std::optional<PointF> renderTranslation(const WhiteboardElement &from, const WhiteboardElement &to);

} // namespace zentrel
