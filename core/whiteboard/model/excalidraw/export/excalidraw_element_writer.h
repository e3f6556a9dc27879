#pragma once

#include "common/clock.h"
#include "common/uuid.h"
#include "whiteboard/model/excalidraw/export/excalidraw_object.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrel {

class ExcalidrawIdentities;

// What writing elements needs besides the elements: the time for "updated", randomness for the
// ids a marker's text and group get, and the texts that ids are written with (their UUID text
// when none are given).
struct ExcalidrawWriteContext
{
    const Clock &clock;
    const UuidRandomSource &random;
    const ExcalidrawIdentities *identities = nullptr;
    // The document export writes "points" as text itself (excalidrawPointsText): a board's
    // strokes are most of its numbers, and a tree of them costs more than the rest together.
    bool leavesPointsOut = false;
};

// Where a line, arrow or freehand stroke is written: its origin, its points relative to it and
// the size of their box, as Excalidraw sizes and culls paths by it.
struct ExcalidrawPath
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::vector<WhiteboardPoint> points;
};

// A line or arrow starts at its first point, a stroke at its first point. A line drawn here (no
// points of its own) is its frame's segment, with its signed extent as its size.
ExcalidrawPath excalidrawPath(const WhiteboardElement &element);

// The points as compact JSON text, each number in its shortest spelling that reads back the same;
// none when one is infinite or NaN.
std::optional<std::string> excalidrawPointsText(const std::vector<WhiteboardPoint> &points);

// The opacity as a percentage: the whole number when that reads back as the same opacity, so 0.6
// is written 60, not 60.00000000000001.
double excalidrawOpacity(double opacity);

// The 31-bit FNV-style hash of an identifier's 16 bytes that stands in for a missing seed or
// version nonce, so both stay the same on every export.
std::int64_t excalidrawIdentifierHash(const Uuid &id, std::uint32_t start);

inline constexpr std::uint32_t excalidrawSeedHashStart = 0x739D0383;
inline constexpr std::uint32_t excalidrawNonceHashStart = 0xEDAA7A3A;

// A head's word, or null for none.
nlohmann::json excalidrawArrowhead(WhiteboardArrowhead head);

// {"elementId", "focus": 0, "gap": 1}, or null without an identifier.
// The element is named by its written id text (see ExcalidrawIdentities).
nlohmann::json excalidrawBinding(const std::optional<Uuid> &id,
                                 const ExcalidrawIdentities *identities = nullptr);

// The "boundElements" entry that `other` contributes to `element`: an arrow entry when either
// binding names it, else a text entry when `other` sits in it; none otherwise.
std::optional<nlohmann::json>
excalidrawBoundElements(const WhiteboardElement &other,
                        const WhiteboardElement &element,
                        const ExcalidrawIdentities *identities = nullptr);

// The text an element id is written with: its UUID text without identities.
std::string excalidrawIdText(const Uuid &id, const ExcalidrawIdentities *identities);

// The 26 fields every written element has, under the given type name.
ExcalidrawObject excalidrawCommonFields(const WhiteboardElement &element,
                                        std::string_view type,
                                        const ExcalidrawWriteContext &context);

// The common fields plus those of the element's kind; `boundElements` is the element's
// "boundElements" value (null or an array of entries). Not for markers.
ExcalidrawObject excalidrawElementFields(const WhiteboardElement &element,
                                         nlohmann::json boundElements,
                                         const ExcalidrawWriteContext &context);

// A marker as an ellipse and a white number text that share one group.
std::pair<ExcalidrawObject, ExcalidrawObject>
excalidrawMarkerElements(const WhiteboardElement &marker, const ExcalidrawWriteContext &context);

} // namespace zentrel
