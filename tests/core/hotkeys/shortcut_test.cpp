#include "hotkeys/shortcut.h"

#include "core/hotkeys/hotkey_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace zentrel;
using namespace zentrel::hotkeys;

TEST(Shortcut, KeepsOnlyTheFiveModifiers)
{
    const auto shortcut =
        Shortcut::fromKey(keys::a, flags({ModifierFlag::command, ModifierFlag::capsLock}));
    EXPECT_EQ(shortcut, (Shortcut{0, 0x100}));
    EXPECT_EQ(shortcut.key(), keys::a);
    EXPECT_EQ(shortcut.modifiers(), flags({ModifierFlag::command}));
    // 0x4000 is no Carbon modifier bit of a shortcut.
    EXPECT_EQ(modifierFlags(0x1000 | 0x800 | 0x4000), controlOption);
    EXPECT_EQ(carbonModifiers(flags({ModifierFlag::function, ModifierFlag::shift})), 0x20200);
}

TEST(Shortcut, BuiltFromItsFieldsKeepsOnlyTheModifierBits)
{
    // Caps Lock (0x400), the keypad bit (0x4000) and bits past Fn are no part of a combination.
    const int allFive = 0x1000 | 0x800 | 0x200 | 0x100 | 0x20000;
    EXPECT_EQ(Shortcut::fromFields(2, allFive | 0x400 | 0x4000 | 0x40000), (Shortcut{2, allFive}));
    EXPECT_EQ(Shortcut::fromFields(53, 0x400), (Shortcut{53, 0}));
    // The stored text is read as written, so a file's extra bits survive a round trip.
    EXPECT_EQ(Shortcut::fromJsonText(R"({"carbonKeyCode":2,"carbonModifiers":7168})"),
              (Shortcut{2, 7168}));
}

TEST(Shortcut, JsonTextIsCompactAndReadsBack)
{
    EXPECT_EQ((Shortcut{53, 0}.jsonText()), R"({"carbonKeyCode":53,"carbonModifiers":0})");
    const Shortcut ctrlOptPan{35, 6656};
    EXPECT_EQ(Shortcut::fromJsonText(ctrlOptPan.jsonText()), ctrlOptPan);
    EXPECT_EQ(Shortcut::fromJsonText(R"({"carbonModifiers":256,"carbonKeyCode":0})"),
              (Shortcut{0, 256}));
}

TEST(Shortcut, MalformedJsonTextGivesNoShortcut)
{
    // A stored text nested past any limit is refused, not walked.
    EXPECT_EQ(Shortcut::fromJsonText(std::string(100000, '[')), std::nullopt);
    for (const char *text : {
             "",
             "[]",
             "{\"carbonKeyCode\":2}",
             "{\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":\"2\",\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":2,\"carbonModifiers\":true}",
             "{\"carbonKeyCode\":2.5,\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":4294967298,\"carbonModifiers\":0}",
             // Outside the unsigned 32-bit range: negative, or wrapping round to a negative.
             "{\"carbonKeyCode\":-3,\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":2,\"carbonModifiers\":-256}",
             "{\"carbonKeyCode\":18446744073709551615,\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":2,\"carbonModifiers\":18446744073709551360}",
             "{\"carbonKeyCode\":2,\"carbonModifiers\":0",
         }) {
        EXPECT_EQ(Shortcut::fromJsonText(text), std::nullopt) << text;
    }
}
