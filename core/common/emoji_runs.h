#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zentrel {

// [begin, end) in UTF-16 code units.
struct TextRange
{
    std::size_t begin = 0;
    std::size_t end = 0;

    friend bool operator==(const TextRange &, const TextRange &) = default;
};

// The stretches of `text` that a desktop shows as emoji, in colour where it has a colour emoji
// font: characters shown as emoji by default (😀, 👍), any emoji followed by the emoji
// presentation selector U+FE0F (❤️, ☺️, #️⃣), skin tone, keycap and tag sequences,
// flags, and sequences joined by U+200D, each whole. A character followed by the text presentation
// selector U+FE0E stays text, as do the digits, "#", "©" and the like alone.
std::vector<TextRange> emojiRuns(std::u16string_view text);

} // namespace zentrel
