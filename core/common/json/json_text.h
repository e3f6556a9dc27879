#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrel {

// JSON text written straight onto the end of a string, byte for byte as nlohmann/json's dump
// writes it (raw UTF-8 kept, ill-formed UTF-8 replaced, numbers in the library's spelling), but
// without the dump's output adapter and temporary strings: the writers of large documents put
// their text together from these pieces.

// A string value with its quotes.
void appendJsonString(std::string &out, std::string_view text);

// A number as dump writes it: "1.0" for a whole double, null when not finite.
void appendJsonNumber(std::string &out, double value);
void appendJsonNumber(std::string &out, std::int64_t value);
void appendJsonNumber(std::string &out, std::uint64_t value);

// A value as value.dump(indent) writes it: compact when `indent` is negative, else
// pretty-printed with its lines after the first starting `level` spaces further in.
void appendJsonText(std::string &out, const nlohmann::json &value, int indent = -1, int level = 0);

// The text between `begin` and `end` without the JSON white space and the `separator`s it starts
// with: a member's value after its colon, an entry after its comma.
std::string_view afterSeparators(const char *begin, const char *end, char separator);

} // namespace zentrel
