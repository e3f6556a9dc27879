#pragma once

#include "common/clock.h"
#include "common/uuid.h"
#include "whiteboard/model/excalidraw/excalidraw_error.h"
#include "whiteboard/model/whiteboard_board.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrel {

struct ExcalidrawImportResult
{
    WhiteboardBoard board;
    // Elements of types the whiteboard does not know, kept on the board as locked placeholders.
    std::int64_t unsupportedElementCount = 0;

    friend bool operator==(const ExcalidrawImportResult &,
                           const ExcalidrawImportResult &) = default;
};

// A new board named `boardName` from the bytes of an Excalidraw document. Malformed values fall
// back to their defaults; only unreadable, oversized or non-Excalidraw input fails.
tl::expected<ExcalidrawImportResult, ExcalidrawError>
importExcalidrawDocument(std::string_view data, const std::string &boardName);

// As above, with the clock for the board's dates and the randomness for fresh ids given.
tl::expected<ExcalidrawImportResult, ExcalidrawError>
importExcalidrawDocument(std::string_view data,
                         const std::string &boardName,
                         const Clock &clock,
                         const UuidRandomSource &random);

} // namespace zentrel
