#include "hotkeys/shortcut_recorder_rules.h"

#include "core/hotkeys/hotkey_test_support.h"
#include "hotkeys/key.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrel;
using namespace zentrel::hotkeys;
using Kind = RecorderDecision::Kind;

namespace {

const ModifierFlags none;
const ModifierFlags cmdShift = flags({ModifierFlag::command, ModifierFlag::shift});
const Shortcut cmdShiftK{keys::k.rawValue, carbon::command | carbon::shift};
const Shortcut ctrlOptZ{keys::z.rawValue, carbon::control | carbon::option};

struct Recorder
{
    std::vector<MenuShortcut> menu{{"Zoom Loupe", ctrlOptZ, "toggleZoom"}};
    std::set<Shortcut> heldElsewhere;

    RecorderDecision press(Key key, ModifierFlags with, const std::string &name = "toggleDraw")
    {
        return decideRecordedKey(key.rawValue, with, name, menu, [this](const Shortcut &s) {
            return heldElsewhere.contains(s);
        });
    }
};

} // namespace

TEST(ShortcutRecorderRules, TabEscapeAndDeleteAloneSteerTheRecorder)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::tab, none).kind, Kind::endAndPassOn);
    EXPECT_EQ(r.press(keys::escape, none).kind, Kind::end);
    EXPECT_EQ(r.press(keys::deleteKey, none).kind, Kind::clear);
    EXPECT_EQ(r.press(keys::deleteForward, flags({ModifierFlag::capsLock})).kind, Kind::clear);
    // With a modifier they are combinations like any other.
    const RecorderDecision cmdEscape = r.press(keys::escape, flags({ModifierFlag::command}));
    EXPECT_EQ(cmdEscape.kind, Kind::store);
    EXPECT_EQ(cmdEscape.shortcut, (Shortcut{keys::escape.rawValue, carbon::command}));
}

TEST(ShortcutRecorderRules, KeysWithoutAPrimaryModifierAreRefusedExceptFunctionKeys)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::a, none).kind, Kind::refuse);
    EXPECT_EQ(r.press(keys::space, flags({ModifierFlag::shift})).kind, Kind::refuse);
    EXPECT_EQ(r.press(keys::upArrow, none).kind, Kind::refuse);
    EXPECT_EQ(r.press(keys::f6, none), (RecorderDecision{Kind::store, Shortcut{97, 0}, {}}));
    EXPECT_EQ(r.press(keys::f5, flags({ModifierFlag::shift})).shortcut,
              (Shortcut{96, carbon::shift}));
}

TEST(ShortcutRecorderRules, StoresACombinationWithoutTheFunctionFlag)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::k, cmdShift), (RecorderDecision{Kind::store, cmdShiftK, {}}));
    EXPECT_EQ(r.press(keys::k, cmdShift.with(ModifierFlag::function, true)).shortcut, cmdShiftK);
}

TEST(ShortcutRecorderRules, WarnsOfTheMenuAndOfOtherProgramsButNotOfItsOwnCombination)
{
    Recorder r;
    const ModifierFlags ctrlOpt = flags({ModifierFlag::control, ModifierFlag::option});
    EXPECT_EQ(r.press(keys::z, ctrlOpt),
              (RecorderDecision{Kind::menuClash, ctrlOptZ, "Zoom Loupe"}));
    EXPECT_EQ(r.press(keys::z, ctrlOpt, "toggleZoom").kind, Kind::store);

    r.heldElsewhere = {cmdShiftK, Shortcut{keys::f12.rawValue, 0}};
    EXPECT_EQ(r.press(keys::k, cmdShift).kind, Kind::systemClash);
    // The menu is checked first.
    r.heldElsewhere.insert(ctrlOptZ);
    EXPECT_EQ(r.press(keys::z, ctrlOpt).kind, Kind::menuClash);
    // F12 alone never counts as another program's.
    EXPECT_EQ(r.press(keys::f12, none).kind, Kind::store);
}
