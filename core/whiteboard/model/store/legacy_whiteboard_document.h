#pragma once

#include "common/clock.h"
#include "common/geometry.h"
#include "common/uuid.h"
#include "drawing/drawing_tool.h"
#include "whiteboard/model/freeze/freeze_model.h"
#include "whiteboard/model/model_json.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zentrel {

// The older single-document whiteboard file ("Whiteboard.json"). The program only reads it, to
// migrate it into one board of the library. Colours are kept as the text found in the file.

struct WhiteboardStroke
{
    DrawingTool tool = DrawingTool::freehand;
    std::vector<WhiteboardPoint> points;
    std::string color;
    double lineWidth = 0;

    friend bool operator==(const WhiteboardStroke &, const WhiteboardStroke &) = default;
};

struct WhiteboardMarker
{
    WhiteboardPoint point;
    int number = 0;
    std::string color;

    friend bool operator==(const WhiteboardMarker &, const WhiteboardMarker &) = default;
};

struct WhiteboardTextItem
{
    WhiteboardPoint point;
    std::string text;
    std::string color;
    double fontSize = 0;

    friend bool operator==(const WhiteboardTextItem &, const WhiteboardTextItem &) = default;
};

struct WhiteboardSize
{
    double width = 0;
    double height = 0;

    friend bool operator==(const WhiteboardSize &, const WhiteboardSize &) = default;
};

struct WhiteboardRect
{
    WhiteboardPoint origin;
    WhiteboardSize size;

    friend bool operator==(const WhiteboardRect &, const WhiteboardRect &) = default;
};

struct WhiteboardDiamond
{
    WhiteboardRect rect;
    std::string color;
    double lineWidth = 0;

    friend bool operator==(const WhiteboardDiamond &, const WhiteboardDiamond &) = default;
};

struct WhiteboardLine
{
    WhiteboardPoint start;
    WhiteboardPoint end;
    std::string color;
    double lineWidth = 0;

    friend bool operator==(const WhiteboardLine &, const WhiteboardLine &) = default;
};

// In JSON: {"type": kind, kind: payload}, kinds "stroke", "marker", "text", "diamond", "line".
using WhiteboardAnnotation = std::variant<WhiteboardStroke,
                                          WhiteboardMarker,
                                          WhiteboardTextItem,
                                          WhiteboardDiamond,
                                          WhiteboardLine>;

struct WhiteboardDocument
{
    std::int64_t version = 1;
    WhiteboardBackground background;
    std::vector<WhiteboardAnnotation> annotations;
    std::optional<WhiteboardViewport> viewport;
    std::optional<bool> showsGrid;

    friend bool operator==(const WhiteboardDocument &, const WhiteboardDocument &) = default;
};

// Any error anywhere fails the whole document; no annotation is skipped.
ModelDecoded<WhiteboardDocument> decodeWhiteboardDocument(const nlohmann::json &value,
                                                          const std::string &path = {});

// The size a text takes when drawn in the hand-drawn font at a point size; the app measures with
// its real font, core falls back on an estimate.
using LegacyTextMeasure = std::function<SizeF(const std::string &text, double fontSize)>;
SizeF estimatedTextSize(const std::string &text, double fontSize);

// Stand-ins for colour text that names no colour.
inline constexpr Color legacyFallbackColor{1.0, 59.0 / 255, 48.0 / 255, 1};
inline constexpr Color legacyFallbackTextColor{0, 0, 0, 1};

// Stage one: one annotation item per annotation, in order, colours parsed.
std::vector<FreezeAnnotationItem> legacyItems(const WhiteboardDocument &document,
                                              const Clock &clock);

// Stage two: one element per item. Lines and arrows keep their direction in the sign of their
// width and height. A result holding a non-finite number is refused.
ModelDecoded<WhiteboardElement> migrateLegacyItem(const FreezeAnnotationItem &item,
                                                  const UuidRandomSource &random,
                                                  const LegacyTextMeasure &measure);

// The whole conversion: the board "Migrated Board" with the document's elements in order.
ModelDecoded<WhiteboardBoard> migratedLegacyBoard(const WhiteboardDocument &document,
                                                  const Clock &clock,
                                                  const UuidRandomSource &random,
                                                  const LegacyTextMeasure &measure);

} // namespace zentrel
