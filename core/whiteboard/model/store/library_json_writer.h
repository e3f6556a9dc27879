#pragma once

#include "common/parallel_work.h"
#include "common/text_sink.h"
#include "whiteboard/model/model_json.h"
#include "whiteboard/model/whiteboard_library.h"

#include <tl/expected.hpp>

namespace zentrel {

// Writes the library into `sink` byte for byte as prettyJson(encodeWhiteboardLibrary(library))
// writes it, but one element at a time, pausing the sink after each: a large library is never
// whole in memory, as text or as a JSON tree. `run` puts the text of many elements together side
// by side. A non-finite number fails the write with the path encoding reports; the sink then
// holds part of the text.
tl::expected<void, ModelEncodeError> writeWhiteboardLibraryJson(
    TextSink &sink, const WhiteboardLibrary &library, const ParallelWork &run = runInOrder);

} // namespace zentrel
