#include "whiteboard/model/excalidraw/import/excalidraw_document_scanner.h"

#include "common/json/json_events.h"
#include "common/json/limited_json.h"

#include <string>

namespace zentrel {

tl::expected<ExcalidrawScannedDocument, ExcalidrawError>
scanExcalidrawDocument(std::string_view data,
                       std::size_t maxBytes,
                       std::size_t maxDepth,
                       ExcalidrawContentLimits limits)
{
    if (data.size() > maxBytes) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::tooLarge,
                                              std::to_string(data.size()) + " bytes"});
    }
    ExcalidrawScanHandler handler(maxDepth, limits);
    if (readJsonEvents(data, handler, &handler.reach)) {
        return handler.takeResult();
    }
    if (handler.refusal()) {
        return tl::unexpected(*handler.refusal());
    }
    const JsonParseError failure = handler.isTooDeep()
                                       ? JsonParseError{JsonParseError::Kind::nestedTooDeeply, {}}
                                       : describeJsonFailure(data, maxDepth);
    if (failure.kind == JsonParseError::Kind::nestedTooDeeply) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::nestedTooDeeply,
                                              "more than " + std::to_string(maxDepth) + " levels"});
    }
    return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::notJson, failure.detail});
}

} // namespace zentrel
