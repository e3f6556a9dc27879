#pragma once

#include "whiteboard/model/excalidraw/excalidraw_values.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

namespace zentrel {

// What reading elements of one document shares: the identifier map, the group map filled as
// groups are met, and the randomness for fresh ids.
struct ExcalidrawReadContext
{
    const ExcalidrawIdentifierMap &identifiers;
    ExcalidrawIdentifierMap &groups;
    const UuidRandomSource &random;
};

// The kind a document "type" maps to ("draw" is the older word for freedraw); none for types
// the whiteboard does not know.
std::optional<WhiteboardElementKind> excalidrawElementKind(std::string_view type);

// A supported element from its object, every malformed value replaced by its default.
WhiteboardElement readExcalidrawElement(const nlohmann::json &object,
                                        WhiteboardElementKind kind,
                                        ExcalidrawReadContext &context);

} // namespace zentrel
