#pragma once

#include "common/color.h"
#include "common/enum_text.h"
#include "common/geometry.h"
#include "drawing/drawing_stroke.h"
#include "drawing/numbered_marker.h"
#include "whiteboard/model/whiteboard_board.h"

#include <any>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zentrel {

// Annotations drawn over a scene (a frozen screen or a board). They are the intermediate form of
// the older whiteboard document during its migration; nothing else creates them yet.

// A text label placed at its top-left point.
struct WhiteboardText
{
    PointF point;
    std::string text;
    Color color;
    double fontSize = 0;
};

struct DiamondShape
{
    RectF rect;
    Color color;
    double lineWidth = 0;

    friend bool operator==(const DiamondShape &, const DiamondShape &) = default;
};

struct StraightLine
{
    PointF start;
    PointF end;
    Color color;
    double lineWidth = 0;

    friend bool operator==(const StraightLine &, const StraightLine &) = default;
};

// One annotation; the alternatives are in the order stroke, marker, text, diamond, line.
using FreezeAnnotationItem =
    std::variant<DrawingStroke, NumberedMarker, WhiteboardText, DiamondShape, StraightLine>;

enum class FreezeTool {
    selection,
    pan,
    freehand,
    arrow,
    rectangle,
    ellipse,
    diamond,
    line,
    text,
    number,
    eraser,
};

inline constexpr EnumText<FreezeTool, 11> freezeToolText{{{
    {FreezeTool::selection, "selection"},
    {FreezeTool::pan, "pan"},
    {FreezeTool::freehand, "freehand"},
    {FreezeTool::arrow, "arrow"},
    {FreezeTool::rectangle, "rectangle"},
    {FreezeTool::ellipse, "ellipse"},
    {FreezeTool::diamond, "diamond"},
    {FreezeTool::line, "line"},
    {FreezeTool::text, "text"},
    {FreezeTool::number, "number"},
    {FreezeTool::eraser, "eraser"},
}}};

inline constexpr auto allFreezeTools = freezeToolText.values();

// Exact, case-sensitive text; anything else gives no tool.
std::optional<FreezeTool> freezeToolFromText(std::string_view text);
std::string_view freezeToolName(FreezeTool tool);

// Undo states of an annotation session; no operations are defined on it yet.
struct FreezeAnnotationHistory
{
    std::vector<FreezeAnnotationItem> items;
    std::vector<std::vector<FreezeAnnotationItem>> undoStates;
    std::vector<std::vector<FreezeAnnotationItem>> redoStates;
    int limit = 50;
};

// The frozen screen image behind an annotation session; core never looks inside.
struct PresentationSceneBackground
{
    std::any image;
};

// The fields of an annotation session over a frozen scene. Nothing creates one yet; it carries no
// behaviour beyond its fields.
struct FreezeSessionModel
{
    SizeF sceneSize;
    FreezeTool selectedTool = FreezeTool::freehand;
    PresentationSceneBackground background;
    ViewportTransform viewport;
    std::vector<FreezeAnnotationItem> annotations;
    bool canUndo = false;
    bool canRedo = false;
    bool hasMarkers = false;
    std::optional<int> selectedAnnotationIndex;
    Color drawingColor{1, 0.231, 0.188, 1};
    double lineWidth = 4;
    FreezeAnnotationHistory history;
    std::optional<FreezeAnnotationItem> movingAnnotation;
};

} // namespace zentrel
