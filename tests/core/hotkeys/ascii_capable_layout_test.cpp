#include "hotkeys/ascii_capable_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

using namespace zentrel::hotkeys;

namespace {

using LetterKeyCharacters = std::array<char32_t, letterKeys.size()>;

// What the letter keys type, in the order of letterKeys (A to Z by position).
LetterKeyCharacters typed(std::u32string_view letters)
{
    LetterKeyCharacters characters{};
    std::copy_n(letters.begin(), std::min(letters.size(), characters.size()), characters.begin());
    return characters;
}

} // namespace

TEST(AsciiCapableLayout, LayoutsThatWriteLatinLettersAreAsciiCapable)
{
    EXPECT_TRUE(isAsciiCapable(typed(U"abcdefghijklmnopqrstuvwxyz")));
    // German: Y and Z trade places.
    EXPECT_TRUE(isAsciiCapable(typed(U"abcdefghijklmnopqrstuvwxzy")));
    // French: A, Q, Z and W move, and the M key types a comma.
    EXPECT_TRUE(isAsciiCapable(typed(U"qbcdefghijkl,noparstuvzxyw")));
    // Turkish: the I key types a dotless i.
    EXPECT_TRUE(isAsciiCapable(typed(U"abcdefgh\u0131jklmnopqrstuvwxyz")));
}

TEST(AsciiCapableLayout, LayoutsOfOtherScriptsOrWithSilentLetterKeysAreNot)
{
    // Russian.
    EXPECT_FALSE(isAsciiCapable(typed(U"фисвуапршолдьтщзйкыегмцчня")));
    // One key of another script is enough.
    EXPECT_FALSE(isAsciiCapable(typed(U"abcdefghijklmnopqrstuvwxy\u03b6")));
    // A key that types nothing, or a space.
    EXPECT_FALSE(isAsciiCapable(typed(U"abcdefghijklmnopqrstuvwxy")));
    EXPECT_FALSE(isAsciiCapable(typed(U"abcdefghijklmnopqrstuvwxy ")));
}

// Real keymaps are tried in XkbKeyCharacterLayout; these are the odd inputs.
TEST(AsciiCapableLayout, TheCurrentLayoutElseTheFirstAsciiCapableOneElseNone)
{
    EXPECT_EQ(keyCharacterLayout({true, true}, 1), 1u);
    EXPECT_EQ(keyCharacterLayout({false, false, true, true}, 1), 2u);
    EXPECT_EQ(keyCharacterLayout({false, true}, 5), 1u);
    EXPECT_EQ(keyCharacterLayout({false, false}, 1), std::nullopt);
    EXPECT_EQ(keyCharacterLayout({}, 0), std::nullopt);
}
