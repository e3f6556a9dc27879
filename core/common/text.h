#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrel {

// ASCII lower-casing: every word compared this way in URLs and settings is ASCII.
std::string asciiLowercased(std::string_view text);

// Upper-cases every letter of the UTF-8 text, beyond ASCII too ("ö" → "Ö").
std::string uppercased(std::string_view text);

// Trims, at both ends, every code point of the UTF-8 text that is neither a letter, a mark nor a
// digit in the Unicode sense.
std::string_view trimmedToAlphanumerics(std::string_view text);

// Trims white space and line breaks at both ends: every character of Unicode's White_Space
// property, the no-break and typographic spaces and the line and paragraph separators that
// pasted text brings along included.
std::string_view trimmedBlanks(std::string_view text);

// The length of the well-formed UTF-8 sequence that `text` starts with: no overlong form, no
// surrogate, nothing past U+10FFFF. 0 when it is ill-formed or `text` is empty.
std::size_t utf8SequenceLength(std::string_view text);

// The text ended with a full stop, unless it ends a sentence already: the system's reasons for
// a failure come with or without one, and another sentence may follow them.
std::string endedAsSentence(std::string_view text);

} // namespace zentrel
