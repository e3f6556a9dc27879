#pragma once

#include "common/json/limited_json.h"
#include "whiteboard/model/excalidraw/excalidraw_error.h"

#include <nlohmann/json.hpp>
#include <tl/expected.hpp>

#include <cstddef>
#include <string_view>

namespace zentrel {

// Limits that keep hostile input from exhausting memory or the stack of later recursive walks.
inline constexpr std::size_t excalidrawMaxDocumentBytes = 64 * 1024 * 1024;
inline constexpr std::size_t excalidrawMaxNestingDepth = jsonMaxNestingDepth;

// The most a document may hold: what a board can open, paint, save and close within bounds.
struct ExcalidrawContentLimits
{
    std::size_t elements = 1'000'000;
    std::size_t points = 2'000'000; // of every line, arrow and stroke together
};

// Parses `data` as one JSON value without throwing: too large, too deep or malformed input gives
// an error and no partial value.
tl::expected<nlohmann::json, ExcalidrawError>
parseBoundedJson(std::string_view data,
                 std::size_t maxBytes = excalidrawMaxDocumentBytes,
                 std::size_t maxDepth = excalidrawMaxNestingDepth);

} // namespace zentrel
