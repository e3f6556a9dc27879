#pragma once

#include "drawing/drawing_stroke.h"
#include "drawing/drawing_tool.h"
#include "drawing/numbered_marker.h"
#include "whiteboard/model/model_json.h"

#include <nlohmann/json.hpp>

#include <string>

namespace zentrel {

// Model JSON of the live-drawing types that the older whiteboard document and the freeze
// annotations reuse: tools as their text, colours as "#RRGGBB", points as {"x", "y"}, dates as
// ISO 8601 text. Non-finite numbers are refused.
ModelDecoded<DrawingTool> decodeDrawingTool(const nlohmann::json &value,
                                            const std::string &path = {});
ModelDecoded<PointF> decodeDrawingPoint(const nlohmann::json &value, const std::string &path = {});
// Colour text as the colour codec reads it; text that names no colour is an error.
ModelDecoded<Color> decodeDrawingColor(const nlohmann::json &value, const std::string &path = {});
ModelDecoded<DrawingStroke> decodeDrawingStroke(const nlohmann::json &value,
                                                const std::string &path = {});
ModelDecoded<NumberedMarker> decodeNumberedMarker(const nlohmann::json &value,
                                                  const std::string &path = {});

} // namespace zentrel
