#pragma once

#include "common/enum_text.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zentrel {

// The coded vocabularies of an element. Case order is significant: it is the order of the
// `all…` lists, and the stored words are the raw values of the file format.

enum class WhiteboardElementKind {
    rectangle,
    ellipse,
    diamond,
    line,
    arrow,
    freedraw,
    text,
    marker,
    // A foreign Excalidraw element, carried along so export can write it back unchanged.
    unsupported,
};

inline constexpr EnumText<WhiteboardElementKind, 9> whiteboardElementKindText{{{
    {WhiteboardElementKind::rectangle, "rectangle"},
    {WhiteboardElementKind::ellipse, "ellipse"},
    {WhiteboardElementKind::diamond, "diamond"},
    {WhiteboardElementKind::line, "line"},
    {WhiteboardElementKind::arrow, "arrow"},
    {WhiteboardElementKind::freedraw, "freedraw"},
    {WhiteboardElementKind::text, "text"},
    {WhiteboardElementKind::marker, "marker"},
    {WhiteboardElementKind::unsupported, "unsupported"},
}}};

inline constexpr auto allWhiteboardElementKinds = whiteboardElementKindText.values();

enum class WhiteboardFillStyle {
    solid,
    hachure,
    crossHatch,
};

inline constexpr EnumText<WhiteboardFillStyle, 3> whiteboardFillStyleText{{{
    {WhiteboardFillStyle::solid, "solid"},
    {WhiteboardFillStyle::hachure, "hachure"},
    // Excalidraw's word, with a hyphen.
    {WhiteboardFillStyle::crossHatch, "cross-hatch"},
}}};

inline constexpr auto allWhiteboardFillStyles = whiteboardFillStyleText.values();

enum class WhiteboardStrokeStyle {
    solid,
    dashed,
    dotted,
};

inline constexpr EnumText<WhiteboardStrokeStyle, 3> whiteboardStrokeStyleText{{{
    {WhiteboardStrokeStyle::solid, "solid"},
    {WhiteboardStrokeStyle::dashed, "dashed"},
    {WhiteboardStrokeStyle::dotted, "dotted"},
}}};

inline constexpr auto allWhiteboardStrokeStyles = whiteboardStrokeStyleText.values();

enum class WhiteboardTextAlignment {
    left,
    center,
    right,
};

inline constexpr EnumText<WhiteboardTextAlignment, 3> whiteboardTextAlignmentText{{{
    {WhiteboardTextAlignment::left, "left"},
    {WhiteboardTextAlignment::center, "center"},
    {WhiteboardTextAlignment::right, "right"},
}}};

inline constexpr auto allWhiteboardTextAlignments = whiteboardTextAlignmentText.values();

// How an arrow's end is drawn, in Excalidraw's words; `none` is Excalidraw's null, no head.
enum class WhiteboardArrowhead {
    none,
    arrow,
    bar,
    dot, // Excalidraw's older word for a filled circle
    circle,
    circleOutline,
    triangle,
    triangleOutline,
    diamond,
    diamondOutline,
};

inline constexpr EnumText<WhiteboardArrowhead, 10> whiteboardArrowheadText{{{
    {WhiteboardArrowhead::none, "none"},
    {WhiteboardArrowhead::arrow, "arrow"},
    {WhiteboardArrowhead::bar, "bar"},
    {WhiteboardArrowhead::dot, "dot"},
    {WhiteboardArrowhead::circle, "circle"},
    {WhiteboardArrowhead::circleOutline, "circle_outline"},
    {WhiteboardArrowhead::triangle, "triangle"},
    {WhiteboardArrowhead::triangleOutline, "triangle_outline"},
    {WhiteboardArrowhead::diamond, "diamond"},
    {WhiteboardArrowhead::diamondOutline, "diamond_outline"},
}}};

// Stored as Excalidraw's font family number, so the values are the stored numbers; 0, 1 and 4
// name no family.
enum class WhiteboardFontFamily {
    system = 2,
    monospace = 3,
    handDrawn = 5,
};

inline constexpr std::array<WhiteboardFontFamily, 3> allWhiteboardFontFamilies{
    WhiteboardFontFamily::system,
    WhiteboardFontFamily::monospace,
    WhiteboardFontFamily::handDrawn,
};

constexpr std::int64_t fontFamilyNumber(WhiteboardFontFamily family)
{
    return static_cast<std::int64_t>(family);
}

constexpr std::optional<WhiteboardFontFamily> whiteboardFontFamilyFromNumber(std::int64_t number)
{
    for (WhiteboardFontFamily family : allWhiteboardFontFamilies) {
        if (fontFamilyNumber(family) == number) {
            return family;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
