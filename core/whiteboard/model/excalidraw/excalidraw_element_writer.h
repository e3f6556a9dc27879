#pragma once

#include "common/clock.h"
#include "common/uuid.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace zentrel {

// What writing elements needs besides the elements: the time for "updated" and randomness for
// the ids a marker's text and group get.
struct ExcalidrawWriteContext
{
    const Clock &clock;
    const UuidRandomSource &random;
};

// The 31-bit FNV-style hash of an identifier's 16 bytes that stands in for a missing seed or
// version nonce, so both stay the same on every export.
std::int64_t excalidrawIdentifierHash(const Uuid &id, std::uint32_t start);

inline constexpr std::uint32_t excalidrawSeedHashStart = 0x739D0383;
inline constexpr std::uint32_t excalidrawNonceHashStart = 0xEDAA7A3A;

// {"elementId", "focus": 0, "gap": 1}, or null without an identifier.
nlohmann::json excalidrawBinding(const std::optional<Uuid> &id);

// The "boundElements" entry that `other` contributes to `element`: an arrow entry when either
// binding names it, else a text entry when `other` sits in it; none otherwise.
std::optional<nlohmann::json> excalidrawBoundElements(const WhiteboardElement &other,
                                                      const WhiteboardElement &element);

// The 26 fields every written element has, under the given type name.
nlohmann::json excalidrawCommonFields(const WhiteboardElement &element,
                                      std::string_view type,
                                      const ExcalidrawWriteContext &context);

// The common fields plus those of the element's kind; `boundElements` is the element's
// "boundElements" value (null or an array of entries). Not for markers.
nlohmann::json excalidrawElementFields(const WhiteboardElement &element,
                                       nlohmann::json boundElements,
                                       const ExcalidrawWriteContext &context);

// A marker as an ellipse and a white number text that share one group.
std::pair<nlohmann::json, nlohmann::json>
excalidrawMarkerElements(const WhiteboardElement &marker, const ExcalidrawWriteContext &context);

} // namespace zentrel
