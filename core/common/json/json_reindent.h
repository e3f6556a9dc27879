#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrel {

// Appends `compact`, the text that nlohmann/json's value.dump() wrote for some value, as
// value.dump(indent) would write that value (lines after the first `level` spaces further in),
// without parsing it into a tree. Returns false and appends nothing when `compact` is no such
// text (white space between tokens, keys out of order, repeated or escaped, a number or string
// spelled otherwise than dump spells it) or nests deeper than `maxDepth`: then only its tree can
// say how it prints.
bool appendReindentedDump(
    std::string &out, std::string_view compact, int indent, int level, std::size_t maxDepth);

} // namespace zentrel
