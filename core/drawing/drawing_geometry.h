#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "common/path.h"
#include "drawing/drawing_stroke.h"
#include "drawing/drawing_tool.h"
#include "drawing/numbered_marker.h"

#include <optional>
#include <string>

namespace zentrel {

// The light tint laid over the screen while the canvas is shown, and in its exported image.
inline constexpr Color canvasTint{0, 0, 0, 0.1};

// A soft black shadow with no offset. It stays set for every pass of one stroke or marker, so
// the outline and the coloured pass both cast it.
struct DrawingShadow
{
    Color color;
    double blurRadius = 0;

    friend bool operator==(const DrawingShadow &, const DrawingShadow &) = default;
};

// One stroked path: the same colour also fills, for the view that sets both.
struct StrokePass
{
    Path path;
    Color color;
    double width = 0;
    bool roundCapsAndJoins = false; // else the painter's default (square caps, miter joins)

    friend bool operator==(const StrokePass &, const StrokePass &) = default;
};

// Everything needed to paint one stroke, in order: shadow on, outline, coloured pass, shadow off.
struct StrokeStyle
{
    std::optional<DrawingShadow> shadow;
    std::optional<StrokePass> outline;
    StrokePass stroke;

    friend bool operator==(const StrokeStyle &, const StrokeStyle &) = default;
};

struct MarkerDisc
{
    RectF bounds; // the ellipse inscribed in it is filled
    Color color;

    friend bool operator==(const MarkerDisc &, const MarkerDisc &) = default;
};

// Everything needed to paint one marker, in order: shadow on, contrast ring, disc, number,
// shadow off. The number is centred on textCenter by its measured size.
struct MarkerStyle
{
    std::optional<DrawingShadow> shadow;
    std::optional<MarkerDisc> ring;
    MarkerDisc disc;
    std::string text;
    double fontSize = 0;
    Color textColor;
    PointF textCenter;

    friend bool operator==(const MarkerStyle &, const MarkerStyle &) = default;
};

// The two switches of the canvas; the outline needs both.
struct ContrastOptions
{
    bool shadow = true;
    bool outline = true;

    friend bool operator==(const ContrastOptions &, const ContrastOptions &) = default;
};

// The tool's outline for a pen of the given width; the arrow's head grows with the width, so the
// wider outline pass gets longer wings. Number and eraser give an empty path.
Path strokeGeometry(const DrawingStroke &stroke, double strokeWidth);

// Freehand, arrow and line are drawn with round caps and joins.
bool usesRoundCapsAndJoins(DrawingTool tool);

// Black on light colours, white on dark ones.
Color contrastColor(const Color &color);

DrawingShadow drawingShadow(double width, double alpha);
double outlineWidth(double width);

// None when there is nothing to paint: alpha 0 or no points.
std::optional<StrokeStyle>
strokeStyle(const DrawingStroke &stroke, double alpha, ContrastOptions contrast);

// Markers are sized by the canvas's current line width, not their own.
double markerDiameter(double lineWidth);

// None when alpha is 0.
std::optional<MarkerStyle>
markerStyle(const NumberedMarker &marker, double lineWidth, double alpha, ContrastOptions contrast);

} // namespace zentrel
