#include "hotkeys/shortcut_text.h"

#include "hotkeys/us_key_characters.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace zentrel;
using namespace zentrel::hotkeys;

namespace {

using namespace zentrel::hotkeys::carbon;

// A layout that types what the test says at each position, nothing elsewhere.
class FakeLayout final : public KeyCharacterSource
{
public:
    explicit FakeLayout(std::map<int, std::string> characters)
        : m_characters(std::move(characters))
    {}

    std::optional<std::string> keyCharacter(int carbonKeyCode) const override
    {
        const auto found = m_characters.find(carbonKeyCode);
        return found != m_characters.end() ? std::optional(found->second) : std::nullopt;
    }

private:
    std::map<int, std::string> m_characters;
};

struct TextRow
{
    Shortcut shortcut;
    const char *description;
    const char *menuText;
};

} // namespace

TEST(ShortcutText, DescribesModifiersInFixedOrderThenTheKey)
{
    const TextRow rows[] = {
        {{keys::d.rawValue, control | option}, "⌃⌥D", "Ctrl+Alt+D"},
        {{keys::d.rawValue, command | shift}, "⇧⌘D", "Shift+Super+D"},
        {{keys::p.rawValue, command | shift | option | control}, "⌃⌥⇧⌘P", "Ctrl+Alt+Shift+Super+P"},
        {{keys::p.rawValue, control | option | shift}, "⌃⌥⇧P", "Ctrl+Alt+Shift+P"},
        {{keys::f5.rawValue, command}, "⌘F5", "Super+F5"},
        {{keys::f5.rawValue, control | option | shift | command | function},
         "⌃⌥⇧⌘\U0001F310\uFE0EF5",
         "Ctrl+Alt+Shift+Super+Fn+F5"},
        {{keys::escape.rawValue, 0}, "⎋", "Esc"},
        {{keys::keypad1.rawValue, control}, "⌃1\u20E3", "Ctrl+Num+1"},
        {{keys::one.rawValue, control | option}, "⌃⌥1", "Ctrl+Alt+1"},
        {{keys::slash.rawValue, option}, "⌥/", "Alt+/"},
    };
    const UsKeyCharacters us;
    for (const TextRow &row : rows) {
        EXPECT_EQ(description(row.shortcut, us), row.description) << row.menuText;
        EXPECT_EQ(menuText(row.shortcut, us), row.menuText) << row.description;
    }
}

TEST(ShortcutText, CharacterKeysFollowTheLayoutAndSpecialKeysDoNot)
{
    // The French layout types "a" where a US keyboard has Q.
    const FakeLayout french({{keys::q.rawValue, "a"}, {keys::escape.rawValue, "x"}});
    EXPECT_EQ(description({keys::q.rawValue, control | option}, french), "⌃⌥A");
    EXPECT_EQ(menuText({keys::q.rawValue, control | option}, french), "Ctrl+Alt+A");
    EXPECT_EQ(description({keys::escape.rawValue, 0}, french), "⎋");
    EXPECT_EQ(description({keys::w.rawValue, command}, french), "⌘\uFFFD");
}

TEST(ShortcutText, CapitalisesCharactersBeyondAscii)
{
    // A German layout types "ö" at the US semicolon position.
    const FakeLayout german({{keys::semicolon.rawValue, "ö"}});
    EXPECT_EQ(description({keys::semicolon.rawValue, control | option}, german), "⌃⌥Ö");
}
