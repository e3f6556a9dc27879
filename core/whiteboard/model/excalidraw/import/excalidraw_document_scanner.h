#pragma once

#include "whiteboard/model/excalidraw/excalidraw_error.h"
#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"
#include "whiteboard/model/excalidraw/import/excalidraw_scan_handler.h"

#include <tl/expected.hpp>

#include <cstddef>
#include <string_view>

namespace zentrel {

// Reads `data` as JSON without building a tree of it, converting each element object as soon as
// it ends. Fails like parseBoundedJson: too large, too deep or malformed input gives an error;
// so does more content than `limits` allow, as soon as it is found.
tl::expected<ExcalidrawScannedDocument, ExcalidrawError>
scanExcalidrawDocument(std::string_view data,
                       std::size_t maxBytes = excalidrawMaxDocumentBytes,
                       std::size_t maxDepth = excalidrawMaxNestingDepth,
                       ExcalidrawContentLimits limits = {});

} // namespace zentrel
