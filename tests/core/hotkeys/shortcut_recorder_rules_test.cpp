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
const Shortcut ctrlOptU{keys::u.rawValue, carbon::control | carbon::option};

struct Recorder
{
    std::vector<NamedShortcut> taken{{"Zoom Loupe", ctrlOptZ, "toggleZoom"},
                                     {"Undo", ctrlOptU, "undoPresentationAction"}};
    std::set<Shortcut> heldElsewhere;

    RecorderDecision press(Key key, ModifierFlags with, const std::string &name = "toggleDraw")
    {
        return decideRecordedKey(key.rawValue, with, name, taken, [this](const Shortcut &s) {
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

TEST(ShortcutRecorderRules, KeysWithoutAPrimaryModifierNeedOneExceptFunctionKeys)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::a, none),
              (RecorderDecision{Kind::needsModifier, Shortcut{keys::a.rawValue, 0}, {}}));
    EXPECT_EQ(r.press(keys::space, flags({ModifierFlag::shift})).kind, Kind::needsModifier);
    EXPECT_EQ(r.press(keys::upArrow, none).kind, Kind::needsModifier);
    EXPECT_EQ(r.press(keys::f5, flags({ModifierFlag::shift})),
              (RecorderDecision{Kind::store, Shortcut{96, carbon::shift}, {}}));
}

TEST(ShortcutRecorderRules, AFunctionKeyAloneIsStoredLikeAnyCombination)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::f6, none), (RecorderDecision{Kind::store, Shortcut{97, 0}, {}}));
    EXPECT_EQ(r.press(keys::f20, none).kind, Kind::store);
    // Fn is no modifier a grab can hold, nor is Caps Lock.
    EXPECT_EQ(r.press(keys::f6, flags({ModifierFlag::function, ModifierFlag::capsLock})),
              (RecorderDecision{Kind::store, Shortcut{97, 0}, {}}));
    // The clash checks hold for it too.
    r.heldElsewhere = {Shortcut{keys::f12.rawValue, 0}};
    EXPECT_EQ(r.press(keys::f12, none).kind, Kind::systemClash);
    r.taken.push_back({"Pen", Shortcut{keys::f6.rawValue, 0}, "selectPenTool"});
    EXPECT_EQ(r.press(keys::f6, none),
              (RecorderDecision{Kind::hotkeyClash, Shortcut{97, 0}, "Pen"}));
}

TEST(ShortcutRecorderRules, StoresACombinationWithoutTheFunctionFlag)
{
    Recorder r;
    EXPECT_EQ(r.press(keys::k, cmdShift), (RecorderDecision{Kind::store, cmdShiftK, {}}));
    EXPECT_EQ(r.press(keys::k, cmdShift.with(ModifierFlag::function, true)).shortcut, cmdShiftK);
}

TEST(ShortcutRecorderRules, WarnsOfOtherHotKeysAndOfOtherProgramsButNotOfItsOwnCombination)
{
    Recorder r;
    const ModifierFlags ctrlOpt = flags({ModifierFlag::control, ModifierFlag::option});
    EXPECT_EQ(r.press(keys::z, ctrlOpt),
              (RecorderDecision{Kind::hotkeyClash, ctrlOptZ, "Zoom Loupe"}));
    EXPECT_EQ(r.press(keys::u, ctrlOpt), (RecorderDecision{Kind::hotkeyClash, ctrlOptU, "Undo"}));
    EXPECT_EQ(r.press(keys::z, ctrlOpt, "toggleZoom").kind, Kind::store);

    r.heldElsewhere = {cmdShiftK};
    EXPECT_EQ(r.press(keys::k, cmdShift).kind, Kind::systemClash);
    // The program's own hot keys are checked first.
    r.heldElsewhere.insert(ctrlOptZ);
    EXPECT_EQ(r.press(keys::z, ctrlOpt).kind, Kind::hotkeyClash);
}
