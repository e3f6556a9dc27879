#pragma once

#include "common/clock.h"
#include "common/text_sink.h"
#include "common/uuid.h"
#include "whiteboard/model/excalidraw/excalidraw_error.h"
#include "whiteboard/model/whiteboard_board.h"

#include <tl/expected.hpp>

#include <string>

namespace zentrel {

// The application's address, written as every document's "source".
inline constexpr const char *excalidrawDocumentSource = "https://zentrel.app";

// The board as a pretty-printed Excalidraw document (UTF-8, keys sorted). Fails only when the
// board holds an infinite or NaN number, which JSON cannot carry.
tl::expected<std::string, ExcalidrawError> exportExcalidrawDocument(const WhiteboardBoard &board);

// As above, with the clock for "updated" and the randomness for generated marker ids given.
tl::expected<std::string, ExcalidrawError> exportExcalidrawDocument(const WhiteboardBoard &board,
                                                                    const Clock &clock,
                                                                    const UuidRandomSource &random);

// The same document written into `sink` a piece at a time (see TextSink), so a large board's
// document is never whole in memory. On failure the sink holds part of it.
tl::expected<void, ExcalidrawError> writeExcalidrawDocument(TextSink &sink,
                                                            const WhiteboardBoard &board);
tl::expected<void, ExcalidrawError> writeExcalidrawDocument(TextSink &sink,
                                                            const WhiteboardBoard &board,
                                                            const Clock &clock,
                                                            const UuidRandomSource &random);

} // namespace zentrel
