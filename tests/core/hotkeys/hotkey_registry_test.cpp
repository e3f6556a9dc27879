#include "hotkeys/hotkey_registry.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_shortcut_grabber.h"
#include "hotkeys/us_key_characters.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace zentrel;
using namespace zentrel::hotkeys;

namespace {

using Shortcuts = std::set<Shortcut>;
using Texts = std::vector<std::string>;

constexpr int ctrlOpt = carbon::control | carbon::option;
const Shortcut ctrlOptD{keys::d.rawValue, ctrlOpt};
const Shortcut ctrlOptP{keys::p.rawValue, ctrlOpt};
const Shortcut cmdP{keys::p.rawValue, carbon::command};
const Shortcut bareEscape{keys::escape.rawValue, 0};
const Name draw{"draw", std::nullopt};
const Name pan{"pan", std::nullopt};
const Name closeKey{"close", bareEscape};

struct Harness
{
    MemoryDefaultsStore defaults;
    FakeShortcutGrabber grabber;
    UsKeyCharacters layout;
    HotkeyRegistry registry{defaults, grabber, layout};
    Texts changes;
    ScopedConnection connection = registry.shortcutChanged.connect(
        [this](const std::string &name) { changes.push_back(name); });
    Texts calls;

    void listen(const Name &name)
    {
        registry.onKeyDown(name, [this, name] { calls.push_back(name.rawValue + " down"); });
        registry.onKeyUp(name, [this, name] { calls.push_back(name.rawValue + " up"); });
    }
};

} // namespace

TEST(HotkeyRegistry, DeclaringStoresTheDefaultOnceAndNeverGrabsABareKey)
{
    Harness h;
    h.registry.declare(closeKey);
    EXPECT_EQ(h.defaults.storedValue("Hotkeys_close"),
              nlohmann::json(R"({"carbonKeyCode":53,"carbonModifiers":0})"));
    EXPECT_EQ(h.registry.shortcut(closeKey), bareEscape);
    h.listen(closeKey);
    EXPECT_EQ(h.grabber.grabCalls, 0);
    EXPECT_FALSE(h.registry.isEnabledForName(closeKey));

    // What the user stored survives the next start's declaration.
    h.registry.setShortcut(ctrlOptD, closeKey);
    h.registry.declare(closeKey);
    EXPECT_EQ(h.registry.shortcut(closeKey), ctrlOptD);
    EXPECT_TRUE(h.registry.isEnabledForName(closeKey));
}

TEST(HotkeyRegistry, ClearingStoresFalseWithADefaultAndRemovesTheKeyWithout)
{
    Harness h;
    h.registry.declare(closeKey);
    h.registry.setShortcut(ctrlOptD, draw);
    h.changes.clear();

    h.registry.setShortcut(std::nullopt, closeKey);
    h.registry.setShortcut(std::nullopt, draw);
    EXPECT_EQ(h.defaults.storedValue("Hotkeys_close"), nlohmann::json(false));
    EXPECT_FALSE(h.defaults.storedValue("Hotkeys_draw"));
    EXPECT_EQ(h.registry.shortcut(closeKey), std::nullopt);
    EXPECT_TRUE(h.registry.hasStoredValue(closeKey));
    EXPECT_TRUE(h.grabber.grabbed.empty());
    EXPECT_EQ(h.changes, (Texts{"close", "draw"}));

    // A cleared default stays cleared, and clearing again is no change at all.
    h.registry.declare(closeKey);
    h.registry.setShortcut(std::nullopt, closeKey);
    h.registry.setShortcut(std::nullopt, pan);
    EXPECT_EQ(h.defaults.storedValue("Hotkeys_close"), nlohmann::json(false));
    EXPECT_FALSE(h.registry.hasStoredValue(pan));
    EXPECT_EQ(h.changes.size(), 2u);
}

TEST(HotkeyRegistry, SharedCombinationRunsOnlyTheFirstDeclaredNameUntilOneMovesAway)
{
    Harness h;
    h.registry.declare(pan);
    h.registry.declare(draw);
    h.registry.setShortcut(ctrlOptP, draw);
    h.registry.setShortcut(ctrlOptP, pan);
    h.listen(draw);
    h.listen(pan);
    Texts heard;
    const ScopedConnection drawStream =
        h.registry.events(draw, [&](EventType) { heard.push_back("draw"); });
    EXPECT_EQ(h.grabber.grabCalls, 1);
    h.registry.handleKeyDown(ctrlOptP);
    h.registry.handleKeyUp(ctrlOptP);
    // One press, one action: never pan and then draw.
    EXPECT_EQ(h.calls, (Texts{"pan down", "pan up"}));
    EXPECT_TRUE(heard.empty());

    // The combination pan still stores stays grabbed; the old one goes once nobody stores it.
    h.calls.clear();
    h.registry.setShortcut(ctrlOptD, pan);
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{ctrlOptD, ctrlOptP}));
    EXPECT_TRUE(h.registry.isEnabledForName(draw));
    h.registry.handleKeyDown(ctrlOptP);
    EXPECT_EQ(h.calls, Texts{"draw down"});
    EXPECT_EQ(heard, Texts{"draw"});
    h.registry.setShortcut(cmdP, draw);
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{ctrlOptD, cmdP}));
    h.registry.setShortcut(cmdP, pan);
    h.registry.setShortcut(std::nullopt, pan);
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{cmdP});
}

TEST(HotkeyRegistry, UndeclaredNamesSharingACombinationRunTheFirstByName)
{
    Harness h;
    h.registry.setShortcut(ctrlOptP, pan);
    h.registry.setShortcut(ctrlOptP, draw);
    h.listen(pan);
    h.listen(draw);
    h.registry.handleKeyUp(ctrlOptP);
    EXPECT_EQ(h.calls, Texts{"draw up"});
}

TEST(HotkeyRegistry, AClearedDeclaredNameStoresFalseAndAResetRemovesIt)
{
    Harness h;
    h.registry.declare(draw);
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setShortcut(std::nullopt, draw);
    EXPECT_EQ(h.defaults.storedValue("Hotkeys_draw"), nlohmann::json(false));
    EXPECT_TRUE(h.registry.isCleared(draw));
    EXPECT_TRUE(h.grabber.grabbed.empty());
    h.registry.setShortcut(ctrlOptD, draw);
    EXPECT_FALSE(h.registry.isCleared(draw));

    h.registry.setShortcut(std::nullopt, draw);
    h.registry.reset({draw});
    EXPECT_FALSE(h.registry.hasStoredValue(draw));
    EXPECT_FALSE(h.registry.isCleared(draw));
}

TEST(HotkeyRegistry, AFunctionKeyAloneIsGrabbedAndFires)
{
    Harness h;
    const Shortcut bareF6{keys::f6.rawValue, 0};
    h.registry.setShortcut(bareF6, draw);
    h.listen(draw);
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{bareF6});
    h.registry.handleKeyDown(bareF6);
    EXPECT_EQ(h.calls, Texts{"draw down"});
    // Any other key alone stays with the other programs.
    h.registry.setShortcut(Shortcut{keys::a.rawValue, 0}, pan);
    h.listen(pan);
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{bareF6});
}

TEST(HotkeyRegistry, ACombinationHeldElsewhereIsMarkedUntilATryTakesIt)
{
    Harness h;
    int refusalChanges = 0;
    const ScopedConnection connection =
        h.registry.refusalsChanged.connect([&] { ++refusalChanges; });
    h.grabber.refusals[ctrlOptD] = 10;
    testing::internal::CaptureStdout();
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setShortcut(ctrlOptD, pan);
    EXPECT_TRUE(h.registry.isHeldElsewhere(draw));
    EXPECT_TRUE(h.registry.isHeldElsewhere(pan));
    EXPECT_EQ(refusalChanges, 1);

    // Still held: tried again, neither reported again nor changed.
    h.registry.retryRefused();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error registering hotkey ⌃⌥D: 10\n");
    EXPECT_EQ(refusalChanges, 1);

    h.grabber.refusals.clear();
    h.registry.retryRefused();
    EXPECT_FALSE(h.registry.isHeldElsewhere(draw));
    EXPECT_TRUE(h.registry.isEnabledForName(draw));
    EXPECT_EQ(refusalChanges, 2);

    // A combination moved away from a held one leaves the mark behind.
    h.grabber.refusals[cmdP] = 10;
    testing::internal::CaptureStdout();
    h.registry.setShortcut(cmdP, draw);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(h.registry.isHeldElsewhere(draw));
    h.registry.setShortcut(ctrlOptP, draw);
    EXPECT_FALSE(h.registry.isHeldElsewhere(draw));
    EXPECT_EQ(refusalChanges, 4);
}

TEST(HotkeyRegistry, DispatchReadsTheStoredCombinationAfresh)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.listen(draw);
    // Changed behind the registry's back, as another instance writing the settings would.
    h.defaults.setValue("Hotkeys_draw", cmdP.jsonText());
    h.registry.handleKeyDown(ctrlOptD);
    EXPECT_TRUE(h.calls.empty());
    h.registry.handleKeyDown(cmdP);
    EXPECT_EQ(h.calls, Texts{"draw down"});
}

TEST(HotkeyRegistry, PausedRegistryRunsNothing)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.listen(draw);
    h.registry.pause();
    h.registry.handleKeyDown(ctrlOptD);
    h.registry.handleKeyUp(ctrlOptD);
    EXPECT_TRUE(h.calls.empty());
    h.registry.resume();
    h.registry.handleKeyUp(ctrlOptD);
    EXPECT_EQ(h.calls, Texts{"draw up"});
}

TEST(HotkeyRegistry, DispatchResumesOnlyOnceEveryPauseHasEnded)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.listen(draw);
    h.registry.pause();
    h.registry.pause();
    h.registry.resume();
    h.registry.handleKeyDown(ctrlOptD);
    EXPECT_TRUE(h.calls.empty()) << "one of two recorders still records";
    h.registry.resume();
    h.registry.resume();
    EXPECT_FALSE(h.registry.isPaused());
    h.registry.handleKeyDown(ctrlOptD);
    EXPECT_EQ(h.calls, Texts{"draw down"});
}

TEST(HotkeyRegistry, RemovingHandlersOrDisablingReleasesGrabsButKeepsStorage)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setShortcut(cmdP, pan);
    h.listen(draw);
    h.listen(pan);

    h.registry.disable({draw});
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{cmdP});
    EXPECT_FALSE(h.registry.isEnabledForName(draw));
    h.registry.enable({draw});
    EXPECT_TRUE(h.registry.isEnabledForName(draw));

    h.registry.removeHandler(draw);
    h.registry.handleKeyDown(ctrlOptD);
    h.registry.handleKeyUp(ctrlOptD);
    h.registry.handleKeyDown(cmdP);
    EXPECT_EQ(h.calls, Texts{"pan down"});
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{cmdP});

    h.registry.removeAllHandlers();
    h.registry.handleKeyDown(cmdP);
    EXPECT_EQ(h.calls.size(), 1u);
    EXPECT_TRUE(h.grabber.grabbed.empty());
    EXPECT_EQ(h.registry.shortcut(draw), ctrlOptD);
    EXPECT_EQ(h.registry.shortcut(pan), cmdP);
}

TEST(HotkeyRegistry, GlobalSwitchReleasesEverythingAndTakesItBackWithLaterChanges)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setEnabled(false);
    EXPECT_TRUE(h.grabber.grabbed.empty());
    EXPECT_FALSE(h.registry.isEnabledForName(draw));

    // Changes while off reach the system only once switched on again.
    const int grabsWhileOn = h.grabber.grabCalls;
    h.registry.setShortcut(cmdP, pan);
    h.registry.setShortcut(ctrlOptP, draw);
    EXPECT_EQ(h.grabber.grabCalls, grabsWhileOn);

    h.registry.setEnabled(true);
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{cmdP, ctrlOptP}));
    EXPECT_TRUE(h.registry.isEnabledForName(draw));
    const int grabsAfter = h.grabber.grabCalls;
    h.registry.setEnabled(true);
    EXPECT_EQ(h.grabber.grabCalls, grabsAfter);
}

TEST(HotkeyRegistry, RefusedGrabIsReportedOnceAndRetriedOnlyOnRegrabOrReassignment)
{
    Harness h;
    h.grabber.refusals[ctrlOptD] = 10;
    testing::internal::CaptureStdout();
    h.registry.setShortcut(ctrlOptD, draw);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error registering hotkey ⌃⌥D: 10\n");
    EXPECT_FALSE(h.registry.isEnabledForName(draw));

    const int attempts = h.grabber.grabCalls;
    h.listen(draw);
    h.listen(draw);
    EXPECT_EQ(h.grabber.grabCalls, attempts);

    // The other program let go of it: a regrab takes it now.
    h.grabber.refusals.clear();
    h.registry.regrabAll();
    EXPECT_TRUE(h.registry.isEnabledForName(draw));

    h.grabber.refusals[cmdP] = 10;
    testing::internal::CaptureStdout();
    h.registry.setShortcut(cmdP, pan);
    testing::internal::GetCapturedStdout();
    h.grabber.refusals.clear();
    h.registry.setShortcut(cmdP, pan);
    EXPECT_TRUE(h.registry.isEnabledForName(pan));
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{ctrlOptD, cmdP}));
}

TEST(HotkeyRegistry, KeymapChangeGrabsAgainAndTellsViewsAlsoWhileOff)
{
    Harness h;
    int told = 0;
    const ScopedConnection keymap = h.registry.keymapChanged.connect([&told] { ++told; });
    h.registry.setShortcut(ctrlOptD, draw);
    h.listen(draw);
    const int ungrabs = h.grabber.ungrabCalls;
    h.registry.followKeymapChange();
    EXPECT_EQ(h.grabber.ungrabCalls, ungrabs + 1);
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{ctrlOptD}));
    EXPECT_EQ(told, 1);

    h.registry.setEnabled(false);
    h.registry.followKeymapChange();
    EXPECT_TRUE(h.grabber.grabbed.empty());
    EXPECT_EQ(told, 2);
}

TEST(HotkeyRegistry, ResetRestoresDeclaredDefaultsAndClearsUndeclaredNames)
{
    Harness h;
    h.registry.declare(closeKey);
    h.registry.declare(draw);
    h.registry.setShortcut(std::nullopt, closeKey);
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setShortcut(cmdP, pan);

    h.registry.reset({Name{"close", std::nullopt}});
    EXPECT_EQ(h.registry.shortcut(closeKey), bareEscape);

    h.registry.setShortcut(ctrlOptP, closeKey);
    h.registry.resetAll();
    EXPECT_EQ(h.registry.shortcut(closeKey), bareEscape);
    EXPECT_EQ(h.registry.storedNames(), std::vector<Name>{closeKey});
    EXPECT_TRUE(h.grabber.grabbed.empty());
}

TEST(HotkeyRegistry, ResetAllRemovesTheFalseMarkerOfAnUndeclaredName)
{
    Harness h;
    // Left from an earlier version that declared "old" with a default the user cleared.
    h.defaults.setValue("Hotkeys_old", false);
    h.registry.resetAll();
    EXPECT_EQ(h.defaults.storedValue("Hotkeys_old"), std::nullopt);
}

TEST(HotkeyRegistry, EventStreamsHearTheirNameWhileTheyLiveAndAfterTheHandlers)
{
    Harness h;
    // Stored behind the registry's back, so nothing has grabbed it yet.
    h.defaults.setValue("Hotkeys_draw", ctrlOptD.jsonText());
    std::vector<EventType> events;
    ScopedConnection both = h.registry.events(draw, [&](EventType type) {
        events.push_back(type);
        h.calls.push_back("stream");
    });
    EXPECT_TRUE(h.grabber.grabbed.contains(ctrlOptD)) << "starting a stream grabs";
    // Attached later, the handlers still run first.
    h.listen(draw);
    int presses = 0;
    ScopedConnection pressesOnly =
        h.registry.events(EventType::keyDown, draw, [&presses] { ++presses; });

    h.registry.handleKeyDown(ctrlOptD);
    h.registry.handleKeyUp(ctrlOptD);
    h.registry.handleKeyDown(cmdP);
    EXPECT_EQ(events, (std::vector{EventType::keyDown, EventType::keyUp}));
    EXPECT_EQ(presses, 1) << "the typed stream ignores releases";
    EXPECT_EQ(h.calls, (Texts{"draw down", "stream", "draw up", "stream"}));

    h.registry.pause();
    h.registry.handleKeyDown(ctrlOptD);
    h.registry.resume();
    EXPECT_EQ(presses, 1) << "a recorder records";

    both.disconnect();
    pressesOnly.disconnect();
    h.registry.handleKeyDown(ctrlOptD);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(h.registry.isEnabledForName(draw)) << "the last stream's end keeps the grab";
}

TEST(HotkeyRegistry, RemovingHandlersKeepsWhatALiveStreamHears)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    h.registry.setShortcut(cmdP, pan);
    h.listen(draw);
    h.listen(pan);
    int presses = 0;
    ScopedConnection stream =
        h.registry.events(EventType::keyDown, draw, [&presses] { ++presses; });

    h.registry.removeHandler(draw);
    EXPECT_EQ(h.grabber.grabbed, (Shortcuts{ctrlOptD, cmdP}));
    h.registry.removeAllHandlers();
    EXPECT_EQ(h.grabber.grabbed, Shortcuts{ctrlOptD});
    h.registry.handleKeyDown(ctrlOptD);
    h.registry.handleKeyDown(cmdP);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(h.calls.empty());
}

TEST(HotkeyRegistry, RecordingHidesEveryShortcutUntilTheLastRecorderEnds)
{
    Harness h;
    h.registry.setShortcut(ctrlOptD, draw);
    std::vector<bool> active;
    ScopedConnection connection = h.registry.recorderActiveChanged.connect(
        [&active](bool isActive) { active.push_back(isActive); });
    EXPECT_EQ(h.registry.shortcutToShow(draw), ctrlOptD);

    h.registry.pause();
    h.registry.pause();
    h.registry.resume();
    EXPECT_EQ(active, std::vector<bool>{true});
    EXPECT_EQ(h.registry.shortcutToShow(draw), std::nullopt);
    EXPECT_EQ(h.registry.shortcut(draw), ctrlOptD);
    h.registry.resume();
    h.registry.resume();
    EXPECT_EQ(active, (std::vector<bool>{true, false}));
    EXPECT_EQ(h.registry.shortcutToShow(draw), ctrlOptD);
}
