#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrel {

// The text pieces of the SVG writer. The append forms let a large board build its document in
// one buffer.

// Shortest text that reads back as the same double, with ".0" on integral values (120.0, -8.5,
// 0.1) and exponent notation for very large or very small magnitudes (1e+16, 1e-05).
std::string svgNumber(double value);
void appendSvgNumber(std::string &out, double value);

void appendSvgInteger(std::string &out, std::int64_t value);

// "&", '"', "<" and ">" as entities; characters XML 1.0 cannot hold (control characters but tab,
// line feed and carriage return; U+FFFE, U+FFFF; malformed UTF-8) left out; everything else,
// apostrophes included, unchanged.
std::string svgEscaped(std::string_view text);
void appendSvgEscaped(std::string &out, std::string_view text);

// One space, then name="value"; the value is written as given.
void appendSvgAttribute(std::string &out, std::string_view name, std::string_view value);
void appendSvgEscapedAttribute(std::string &out, std::string_view name, std::string_view value);
void appendSvgNumberAttribute(std::string &out, std::string_view name, double value);

} // namespace zentrel
