#pragma once

#include <nlohmann/json.hpp>
#include <tl/expected.hpp>

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrel {

// Deeper nesting than any file of ours holds; it keeps a hostile file from exhausting the stack
// of the recursive walks (writing, comparing, copying) that every parsed value goes through.
inline constexpr std::size_t jsonMaxNestingDepth = 512;

// Why a JSON text was refused.
struct JsonParseError
{
    enum class Kind {
        malformed,
        nestedTooDeeply,
    };

    Kind kind = Kind::malformed;
    // The parser's words, or how deep the limit is.
    std::string detail;
};

// Parses `data` as one JSON value without throwing. Arrays and objects nested deeper than
// `maxDepth` stop the parse at once, so no partial value is built.
tl::expected<nlohmann::json, JsonParseError>
parseLimitedJson(std::string_view data, std::size_t maxDepth = jsonMaxNestingDepth);

// Why `data`, which a reader has found malformed or too deep, is no JSON value: the first fault
// in it, in nlohmann/json's own words. Reads the text again, so it is for failures only.
JsonParseError describeJsonFailure(std::string_view data,
                                   std::size_t maxDepth = jsonMaxNestingDepth);

} // namespace zentrel
