#pragma once

#include "common/uuid.h"
#include "whiteboard/model/whiteboard_element_style.h"
#include "whiteboard/model/whiteboard_vocabulary.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zentrel {

// Document identifier text to the UUID it stands for within one imported document. The texts
// are views of the strings read from the document, which outlive the map.
using ExcalidrawIdentifierMap = std::unordered_map<std::string_view, Uuid>;

// Lenient number: a JSON number, or a string that is wholly a C-locale floating-point literal
// with no leading white space. Anything else, and any infinite or NaN result, gives `fallback`.
double excalidrawNumber(const nlohmann::json *value, double fallback);

// As excalidrawNumber, truncated toward zero and clamped to the 64-bit range; JSON integers are
// taken exactly.
std::int64_t excalidrawInteger(const nlohmann::json *value, std::int64_t fallback);

// An arrowhead as Excalidraw draws the JSON text of one: null is none, a word it names is that
// head, and anything else an "arrow".
WhiteboardArrowhead excalidrawArrowheadFromText(std::string_view valueText);

// The UUID that `text` spells (any letter case), else a fresh one.
Uuid excalidrawUuidFor(std::string_view text, const UuidRandomSource &random);

// Whether a CSS colour text ("#rgb", "#rgba", "#rrggbb", "#rrggbbaa", "rgb(…)", "rgba(…)",
// "black") is dark: white ink reads on it, by the rule that picks a marker's number colour.
// Alpha is ignored; unreadable text is not dark.
bool excalidrawColorIsDark(std::string_view text);

// The style of a placeholder: black outline 2 wide, opaque, roughness 1, nothing else.
WhiteboardElementStyle excalidrawImportDefaultStyle();

} // namespace zentrel
