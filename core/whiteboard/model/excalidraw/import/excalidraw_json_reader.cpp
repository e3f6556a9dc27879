#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"

#include "common/json/limited_json.h"

#include <string>

namespace zentrel {

tl::expected<nlohmann::json, ExcalidrawError>
parseBoundedJson(std::string_view data, std::size_t maxBytes, std::size_t maxDepth)
{
    if (data.size() > maxBytes) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::tooLarge,
                                              std::to_string(data.size()) + " bytes"});
    }
    auto parsed = parseLimitedJson(data, maxDepth);
    if (!parsed) {
        const bool tooDeep = parsed.error().kind == JsonParseError::Kind::nestedTooDeeply;
        return tl::unexpected(ExcalidrawError{tooDeep ? ExcalidrawError::Kind::nestedTooDeeply
                                                      : ExcalidrawError::Kind::notJson,
                                              parsed.error().detail});
    }
    return std::move(*parsed);
}

} // namespace zentrel
