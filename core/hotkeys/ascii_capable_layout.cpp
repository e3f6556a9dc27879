#include "hotkeys/ascii_capable_layout.h"

#include <algorithm>

namespace zentrel::hotkeys {
namespace {

// Visible ASCII, then the Latin-1 Supplement and Latin Extended-A and -B letters.
bool isLatin(char32_t character)
{
    return (character > U' ' && character < U'\x7f') || (character >= U'\xc0' && character < 0x250);
}

} // namespace

bool isAsciiCapable(const std::array<char32_t, letterKeys.size()> &letterKeyCharacters)
{
    return std::ranges::all_of(letterKeyCharacters, isLatin);
}

std::optional<std::size_t> keyCharacterLayout(const std::vector<bool> &asciiCapableLayouts,
                                              std::size_t current)
{
    if (current < asciiCapableLayouts.size() && asciiCapableLayouts[current]) {
        return current;
    }
    const auto first = std::ranges::find(asciiCapableLayouts, true);
    if (first == asciiCapableLayouts.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(first - asciiCapableLayouts.begin());
}

} // namespace zentrel::hotkeys
