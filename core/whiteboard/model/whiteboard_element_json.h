#pragma once

#include "whiteboard/model/model_json.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <string>

namespace zentrel {

// The model JSON of points, styles and elements: keys are the field names, absent optionals
// are left out, and a non-finite number fails the whole value.
ModelEncoded encodeWhiteboardElementStyle(const WhiteboardElementStyle &style);
ModelEncoded encodeWhiteboardElement(const WhiteboardElement &element);

// Required keys must be present and not null; optional ones may be missing or null and stay
// absent; unknown keys are ignored. `path` prefixes error paths when decoding inside a larger
// value.
ModelDecoded<WhiteboardPoint> decodeWhiteboardPoint(const nlohmann::json &value,
                                                    const std::string &path = {});
ModelDecoded<WhiteboardElementStyle> decodeWhiteboardElementStyle(const nlohmann::json &value,
                                                                  const std::string &path = {});
ModelDecoded<WhiteboardElement> decodeWhiteboardElement(const nlohmann::json &value,
                                                        const std::string &path = {});

// Without the finiteness check, for callers that build a larger value and check it once.
nlohmann::json whiteboardElementJson(const WhiteboardElement &element);
nlohmann::json whiteboardPointJson(const WhiteboardPoint &point);

} // namespace zentrel
