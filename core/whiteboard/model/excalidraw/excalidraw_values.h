#pragma once

#include "common/geometry.h"
#include "whiteboard/model/uuid.h"
#include "whiteboard/model/whiteboard_element_style.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zentrel {

// Document identifier text to the UUID it stands for within one imported document.
using ExcalidrawIdentifierMap = std::unordered_map<std::string, Uuid>;

// Lenient number: a JSON number, or a string that is wholly a C-locale floating-point literal
// with no leading white space. Anything else, and any infinite or NaN result, gives `fallback`.
double excalidrawNumber(const nlohmann::json *value, double fallback);

// As excalidrawNumber, truncated toward zero and clamped to the 64-bit range; JSON integers are
// taken exactly.
std::int64_t excalidrawInteger(const nlohmann::json *value, std::int64_t fallback);

// The value at `key` of an object, or none.
const nlohmann::json *excalidrawField(const nlohmann::json &object, std::string_view key);

// The UUID that `text` spells (any letter case), else a fresh one.
Uuid excalidrawUuidFor(std::string_view text, const UuidRandomSource &random);

// The mapped element of a binding object's "elementId", or none.
std::optional<Uuid> excalidrawBindingElementID(const nlohmann::json *value,
                                               const ExcalidrawIdentifierMap &identifiers);

// An object's "type" as an integer (0 when missing); none for null, a missing key or a non-object.
std::optional<std::int64_t> excalidrawRoundnessType(const nlohmann::json *value);

// Where a placeholder sits: the element's position, at least 40 by 30.
RectF excalidrawPlaceholderFrame(const nlohmann::json &element);

// The style of a placeholder: black outline 2 wide, opaque, roughness 1, nothing else.
WhiteboardElementStyle excalidrawImportDefaultStyle();

} // namespace zentrel
