#include "shell/hotkeys/leader_key_binding.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_scheduler.h"
#include "fakes/fake_shortcut_grabber.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/us_key_characters.h"
#include "shell/app_preferences.h"
#include "shell/hotkeys/hotkey_names.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

namespace keys = hotkeys::keys;
namespace carbon = hotkeys::carbon;
using hotkeys::Shortcut;

const ModifierFlags none;
const ModifierFlags shift = none.with(ModifierFlag::shift, true);
const ModifierFlags command = none.with(ModifierFlag::command, true);
const ModifierFlags controlShift = shift.with(ModifierFlag::control, true);
constexpr int ctrlOpt = carbon::control | carbon::option;

struct Harness
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    FakeShortcutGrabber grabber;
    hotkeys::UsKeyCharacters layout;
    hotkeys::HotkeyRegistry registry{defaults, grabber, layout};
    FakeScheduler scheduler;
    LeaderKeyBinder binder{preferences, registry, scheduler};
    int drawChanges = 0;
    ScopedConnection connection = registry.shortcutChanged.connect(
        [this](const std::string &name) { drawChanges += name == "toggleDraw" ? 1 : 0; });

    std::optional<Shortcut> shortcut(const char *name)
    {
        return registry.shortcut(hotkeyName(name));
    }

    // The combinations the rows should hold under this leader, whatever order they were bound in.
    static std::set<Shortcut> expected(ModifierFlags leader)
    {
        std::set<Shortcut> shortcuts;
        for (const LeaderKeyBinding &row : LeaderKeyBinding::defaultBindings()) {
            shortcuts.insert(Shortcut::fromKey(row.key, leader | row.extraModifiers));
        }
        return shortcuts;
    }
};

} // namespace

TEST(LeaderKeyBinding, EffectiveLeaderNeedsControlOptionOrCommand)
{
    const struct
    {
        ModifierFlags leader;
        ModifierFlags bound;
    } rows[] = {
        {none, controlOption},
        {shift, controlOption},
        {none.with(ModifierFlag::capsLock, true), controlOption},
        {none.with(ModifierFlag::function, true).with(ModifierFlag::shift, true), controlOption},
        {command, command},
        {controlShift, controlShift},
        {shift.with(ModifierFlag::option, true), shift.with(ModifierFlag::option, true)},
        {controlOption, controlOption},
    };

    for (const auto &row : rows) {
        EXPECT_EQ(effectiveLeader(row.leader), row.bound) << row.leader.bits;
    }
}

TEST(LeaderKeyBinding, BuiltInLeaderBindsEveryRowAndLeavesTheCloseKey)
{
    Harness h;
    h.registry.declare(hotkeyName("closeCurrentMode"));
    h.binder.applyNow();
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, 6144}));
    EXPECT_EQ(h.shortcut("selectPanTool"), (Shortcut{keys::p.rawValue, 6656}));
    EXPECT_EQ(h.shortcut("selectBlueColor"), (Shortcut{keys::four.rawValue, ctrlOpt}));
    EXPECT_EQ(h.shortcut("closeCurrentMode"), (Shortcut{keys::escape.rawValue, 0}));
    EXPECT_EQ(h.grabber.grabbed, Harness::expected(controlOption));
    EXPECT_EQ(h.grabber.grabbed.size(), 25u);
}

TEST(LeaderKeyBinding, LeaderWithoutAChordModifierBindsAsControlOption)
{
    Harness h;
    h.preferences.setLeaderModifiers(shift);
    h.binder.applyNow();
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, ctrlOpt}));
    EXPECT_EQ(h.shortcut("selectPanTool"), (Shortcut{keys::p.rawValue, ctrlOpt | carbon::shift}));
    EXPECT_EQ(h.preferences.leaderModifiers(), shift);

    // Caps Lock is no modifier a shortcut can hold.
    h.preferences.setLeaderModifiers(command.with(ModifierFlag::capsLock, true));
    h.binder.applyNow();
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, carbon::command}));
}

TEST(LeaderKeyBinding, RebindingAwayFromASharedLeaderKeepsBothPartnersAndGrabsTheNewSet)
{
    Harness h;
    int pans = 0;
    int pauses = 0;
    h.registry.onKeyUp(hotkeyName("selectPanTool"), [&] { ++pans; });
    h.registry.onKeyUp(hotkeyName("toggleBreakTimerPause"), [&] { ++pauses; });

    for (const ModifierFlags leader : {controlOption,
                                       controlOption.with(ModifierFlag::shift, true),
                                       command,
                                       controlShift,
                                       controlOption}) {
        applyLeaderBindings(h.registry, leader);
        EXPECT_EQ(h.grabber.grabbed, Harness::expected(leader)) << leader.bits;
    }

    applyLeaderBindings(h.registry, controlShift);
    applyLeaderBindings(h.registry, command);
    h.registry.handleKeyUp(Shortcut{keys::p.rawValue, carbon::command | carbon::shift});
    h.registry.handleKeyUp(Shortcut{keys::p.rawValue, carbon::command});
    EXPECT_EQ(pans, 1);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(h.registry.isEnabledForName(hotkeyName("selectPanTool")));
    EXPECT_TRUE(h.registry.isEnabledForName(hotkeyName("toggleBreakTimerPause")));
}

TEST(LeaderKeyBinding, BurstOfLeaderChangesRebindsOnceWithTheLastLeader)
{
    Harness h;
    h.binder.applyNow();
    h.drawChanges = 0;

    h.preferences.setLeaderModifiers(command);
    h.scheduler.advance(100ms);
    h.preferences.setLeaderModifiers(controlShift);
    h.scheduler.advance(100ms);
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, ctrlOpt}));
    h.scheduler.advance(99ms);
    EXPECT_EQ(h.drawChanges, 0);
    h.scheduler.advance(1ms);
    EXPECT_EQ(h.shortcut("toggleDraw"),
              (Shortcut{keys::d.rawValue, carbon::control | carbon::shift}));
    h.scheduler.advance(1s);
    EXPECT_EQ(h.drawChanges, 1);
}

TEST(LeaderKeyBinding, ApplyingNowSupersedesAPendingRebind)
{
    Harness h;
    h.preferences.setLeaderModifiers(command);
    h.scheduler.advance(50ms);
    h.binder.applyNow();
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, carbon::command}));
    EXPECT_EQ(h.drawChanges, 1);
    h.scheduler.advance(1s);
    EXPECT_EQ(h.drawChanges, 1);
}

TEST(LeaderKeyBinding, StartBindsOnlyWhatStoresNothingAndKeepsRecordedCombinations)
{
    Harness h;
    const Shortcut ctrlAltQ{keys::q.rawValue, ctrlOpt};
    h.registry.setShortcut(ctrlAltQ, hotkeyName("toggleDraw"));
    h.defaults.setValue("Hotkeys_toggleZoom", "not a combination");
    h.drawChanges = 0;

    h.binder.bindAtStart();
    EXPECT_EQ(h.shortcut("toggleDraw"), ctrlAltQ) << "what the user recorded is kept";
    EXPECT_EQ(h.drawChanges, 0);
    EXPECT_EQ(h.shortcut("toggleZoom"), (Shortcut{keys::z.rawValue, ctrlOpt})) << "repaired";
    EXPECT_EQ(h.shortcut("selectPanTool"), (Shortcut{keys::p.rawValue, 6656}));
    EXPECT_TRUE(h.grabber.grabbed.contains(ctrlAltQ));
    EXPECT_FALSE(h.grabber.grabbed.contains(Shortcut{keys::d.rawValue, ctrlOpt}));

    // The next start finds the same; a new leader then binds every row, the recorded one too.
    h.binder.bindAtStart();
    EXPECT_EQ(h.shortcut("toggleDraw"), ctrlAltQ);
    h.preferences.setLeaderModifiers(command);
    h.scheduler.advance(200ms);
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, carbon::command}));
    EXPECT_EQ(h.grabber.grabbed, Harness::expected(command));
}

TEST(LeaderKeyBinding, StartUnderANewLeaderBindsWhatStoresNothingWithIt)
{
    Harness h;
    h.preferences.setLeaderModifiers(controlShift);
    h.binder.bindAtStart();
    EXPECT_EQ(h.registry.storedNames().size(), 25u);
    EXPECT_EQ(h.grabber.grabbed, Harness::expected(controlShift));
    h.drawChanges = 0;
    h.scheduler.advance(1s);
    EXPECT_EQ(h.drawChanges, 0) << "the start superseded the waiting rebind";
}

TEST(LeaderKeyBinding, QuittingBindsALeaderChangeThatIsStillWaiting)
{
    Harness h;
    h.binder.bindAtStart();
    h.drawChanges = 0;
    h.binder.finishPendingRebind();
    EXPECT_EQ(h.drawChanges, 0) << "nothing was waiting";

    h.preferences.setLeaderModifiers(command);
    h.scheduler.advance(50ms);
    h.binder.finishPendingRebind();
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, carbon::command}));
    EXPECT_EQ(h.drawChanges, 1);
    h.scheduler.advance(1s);
    h.binder.finishPendingRebind();
    EXPECT_EQ(h.drawChanges, 1) << "the waiting rebind was superseded";
}

TEST(LeaderKeyBinding, AClearedHotKeyStaysClearedAtStartAndUnderANewLeader)
{
    Harness h;
    const hotkeys::Name &draw = hotkeyName("toggleDraw");
    h.binder.bindAtStart();
    h.registry.declare(draw);
    h.registry.setShortcut(std::nullopt, draw);

    h.binder.bindAtStart();
    EXPECT_EQ(h.shortcut("toggleDraw"), std::nullopt) << "the start bound it again";
    h.preferences.setLeaderModifiers(controlShift);
    h.scheduler.advance(200ms);
    h.binder.applyNow();
    EXPECT_EQ(h.shortcut("toggleDraw"), std::nullopt) << "the new leader bound it again";
    EXPECT_EQ(h.shortcut("toggleZoom"),
              (Shortcut{keys::z.rawValue, carbon::control | carbon::shift}));
    EXPECT_FALSE(
        h.grabber.grabbed.contains(Shortcut{keys::d.rawValue, carbon::control | carbon::shift}));

    // Until the user records one: from then on it follows the leader again.
    h.registry.setShortcut(Shortcut{keys::q.rawValue, ctrlOpt}, draw);
    h.preferences.setLeaderModifiers(command);
    h.scheduler.advance(200ms);
    EXPECT_EQ(h.shortcut("toggleDraw"), (Shortcut{keys::d.rawValue, carbon::command}));
}
