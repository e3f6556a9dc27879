#include "hotkeys/key_positions.h"

#include "hotkeys/key.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrel::hotkeys;

namespace {

using namespace zentrel::hotkeys::keys;

// clang-format off
const Key allKeys[] = {
    a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
    zero, one, two, three, four, five, six, seven, eight, nine,
    capsLock, shift, function, control, option, command, rightCommand, rightOption, rightControl,
    rightShift,
    returnKey, backslash, backtick, comma, equal, minus, period, quote, semicolon, slash, space,
    tab, leftBracket, rightBracket,
    pageUp, pageDown, home, end, upArrow, rightArrow, downArrow, leftArrow,
    escape, deleteKey, deleteForward, help, mute, volumeUp, volumeDown,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19, f20,
    keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
    keypadClear, keypadDecimal, keypadDivide, keypadEnter, keypadEquals, keypadMinus,
    keypadMultiply, keypadPlus,
};
// clang-format on

} // namespace

TEST(KeyPositions, EveryKeyButFnHasItsOwnEvdevCode)
{
    ASSERT_EQ(std::size(allKeys), 113u);
    std::set<int> evdevCodes;
    for (const Key key : allKeys) {
        const auto evdev = evdevCode(key.rawValue);
        if (key == function) {
            EXPECT_EQ(evdev, std::nullopt);
            continue;
        }
        ASSERT_TRUE(evdev) << key.rawValue;
        EXPECT_EQ(carbonKeyCode(*evdev), key.rawValue) << key.rawValue;
        evdevCodes.insert(*evdev);
    }
    EXPECT_EQ(evdevCodes.size(), 112u);
}

TEST(KeyPositions, KeysSitWhereLinuxNamesThem)
{
    // The KEY_* values of linux/input-event-codes.h.
    const struct
    {
        Key key;
        int evdev;
    } rows[] = {
        // clang-format off
        {a, 30}, {q, 16}, {z, 44}, {one, 2}, {zero, 11}, {escape, 1}, {returnKey, 28},
        {deleteKey, 14}, {deleteForward, 111}, {space, 57}, {backtick, 41}, {control, 29},
        {option, 56}, {command, 125}, {rightCommand, 126}, {rightOption, 100}, {shift, 42},
        {capsLock, 58}, {f1, 59}, {f10, 68}, {f11, 87}, {f13, 183}, {f20, 190}, {keypad0, 82},
        {keypad7, 71}, {keypadEnter, 96}, {keypadDivide, 98}, {leftArrow, 105}, {upArrow, 103},
        {mute, 113},
        // clang-format on
    };

    for (const auto &row : rows) {
        EXPECT_EQ(evdevCode(row.key.rawValue), row.evdev) << row.key.rawValue;
    }
    EXPECT_EQ(carbonKeyCode(0), std::nullopt);
    EXPECT_EQ(carbonKeyCode(240), std::nullopt);
    EXPECT_EQ(evdevCode(10), std::nullopt);
}
