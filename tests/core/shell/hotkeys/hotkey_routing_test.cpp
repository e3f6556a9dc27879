#include "shell/hotkeys/hotkey_routing.h"

#include "fakes/coordinator_on_fakes.h"
#include "fakes/fake_shortcut_grabber.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/us_key_characters.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"
#include "shell/presentation_color.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace zentrel;

namespace {

namespace keys = hotkeys::keys;
using hotkeys::Shortcut;
using Actions = std::vector<PresentationAction>;

const Shortcut bareEscape{keys::escape.rawValue, 0};

// The coordinator on fakes, driven through the registry the way the platform layer does.
struct Harness : CoordinatorOnFakes
{
    FakeShortcutGrabber grabber;
    hotkeys::UsKeyCharacters layout;
    hotkeys::HotkeyRegistry registry{defaults, grabber, layout};

    Harness()
    {
        registerHotkeyHandlers(registry, coordinator);
        applyLeaderBindings(registry, controlOption);
    }

    static Shortcut chord(hotkeys::Key key, bool withShift = false)
    {
        return Shortcut::fromKey(key, controlOption.with(ModifierFlag::shift, withShift));
    }

    void press(hotkeys::Key key, bool withShift = false)
    {
        registry.handleKeyDown(chord(key, withShift));
    }

    void release(hotkeys::Key key, bool withShift = false)
    {
        registry.handleKeyUp(chord(key, withShift));
    }

    void tap(hotkeys::Key key, bool withShift = false)
    {
        press(key, withShift);
        release(key, withShift);
    }

    void hold(PresentationFeature feature)
    {
        coordinator.preferences().setActivationStyle(feature, ActivationStyle::hold);
    }

    std::optional<PresentationFeature> held()
    {
        return coordinator.hotkeyActivationState().heldFeature;
    }
};

constexpr bool down = true;
constexpr bool up = false;

struct Step
{
    bool isPress;
    hotkeys::Key key;
    AppMode mode;
};

// Presses and releases, each followed by the mode expected after it.
struct Scenario
{
    const char *name;
    // The features set to the hold style, by their modes.
    std::vector<AppMode> holdStyle;
    std::vector<Step> steps;
    int overlays;
};

} // namespace

TEST(HotkeyRouting, DeclaresEveryNameAndGrabsAllButTheBareEscape)
{
    Harness h;
    EXPECT_EQ(h.registry.storedNames().size(), 26u);
    EXPECT_EQ(h.registry.shortcut(hotkeyName("closeCurrentMode")), bareEscape);
    EXPECT_EQ(h.grabber.grabbed.size(), 25u);
    EXPECT_FALSE(h.grabber.grabbed.contains(bareEscape));
    EXPECT_TRUE(h.grabber.grabbed.contains(Shortcut{keys::d.rawValue, 6144}));
}

TEST(HotkeyRouting, FeatureKeysFollowTheirActivationStyle)
{
    using enum AppMode;
    const auto d = keys::d, z = keys::z, t = keys::t, esc = keys::escape;
    const Scenario scenarios[] = {
        {"toggle acts on release only",
         {},
         {{down, d, idle}, {down, d, idle}, {up, d, drawing}, {down, d, drawing}, {up, d, idle}},
         1},
        {"hold starts on press, stops on release",
         {drawing},
         {{down, d, drawing}, {down, d, drawing}, {up, d, idle}},
         1},
        {"a second held key takes over",
         {drawing, zooming},
         {{down, d, drawing}, {down, z, zooming}, {up, d, zooming}, {up, z, idle}},
         2},
        {"a toggle key ends the hold",
         {drawing},
         {{down, d, drawing}, {down, z, drawing}, {up, z, zooming}, {up, d, zooming}},
         2},
        {"the break timer ignores hold",
         {breakTimer},
         {{down, t, idle}, {up, t, breakTimer}, {down, t, breakTimer}, {up, t, idle}},
         1},
        {"the close key ends the hold",
         {drawing},
         {{down, d, drawing}, {down, esc, drawing}, {up, esc, idle}, {up, d, idle}},
         1},
    };
    for (const Scenario &scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Harness h;
        for (const AppMode mode : scenario.holdStyle) {
            h.hold(*presentationFeature(mode));
        }
        for (std::size_t index = 0; index < scenario.steps.size(); ++index) {
            const Step &step = scenario.steps[index];
            const Shortcut shortcut = step.key == esc ? bareEscape : Harness::chord(step.key);
            if (step.isPress) {
                h.registry.handleKeyDown(shortcut);
            } else {
                h.registry.handleKeyUp(shortcut);
            }
            EXPECT_EQ(h.coordinator.mode(), step.mode) << "step " << index;
        }
        EXPECT_EQ(h.overlays.madeCount(), scenario.overlays);
        EXPECT_EQ(h.held(), std::nullopt);
    }
}

TEST(HotkeyRouting, HoldKeyOfAFeatureStartedElsewhereStopsItOnRelease)
{
    Harness h;
    h.hold(PresentationFeature::drawing);
    h.coordinator.toggleFeature(AppMode::drawing);
    h.press(keys::d);
    h.release(keys::d);
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.madeCount(), 1);
}

TEST(HotkeyRouting, ActionKeysReachTheOverlayAndColourKeysWorkEvenWhenIdle)
{
    Harness h;
    h.tap(keys::four);
    EXPECT_EQ(h.coordinator.preferences().drawingColor(), systemColor(PresentationColor::blue));
    EXPECT_EQ(h.overlays.madeCount(), 0);

    h.tap(keys::d);
    h.press(keys::x);
    EXPECT_TRUE(h.overlays.lastRecord().actions.empty());
    h.release(keys::x);
    h.tap(keys::p, true);
    h.tap(keys::u);
    h.tap(keys::u, true);
    h.tap(keys::m);
    using Kind = PresentationAction::Kind;
    EXPECT_EQ(h.overlays.lastRecord().actions,
              (Actions{PresentationAction::plain(Kind::clear),
                       PresentationAction::selectTool(PresentationTool::pan),
                       PresentationAction::plain(Kind::undo),
                       PresentationAction::plain(Kind::redo),
                       PresentationAction::plain(Kind::addTimerMinute)}));
}

TEST(HotkeyRouting, TurnedOffFeatureKeysStartNothingButReleaseAndCloseStillStop)
{
    Harness h;
    h.coordinator.preferences().setEnabled(false);
    h.tap(keys::d);
    h.tap(keys::t);
    h.tap(keys::four);
    EXPECT_EQ(h.coordinator.preferences().drawingColor(), systemColor(PresentationColor::red));

    h.hold(PresentationFeature::spotlight);
    h.press(keys::s);
    EXPECT_EQ(h.held(), PresentationFeature::spotlight);
    h.release(keys::s);
    EXPECT_EQ(h.held(), std::nullopt);
    h.press(keys::s);
    h.registry.handleKeyUp(bareEscape);
    EXPECT_EQ(h.held(), std::nullopt);
    EXPECT_EQ(h.overlays.madeCount(), 0);
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
}

TEST(HotkeyRouting, LeaderWithShiftRunsOnlyTheFirstNameOfASharedChord)
{
    Harness h;
    applyLeaderBindings(h.registry, controlOption.with(ModifierFlag::shift, true));
    h.tap(keys::d, true);
    h.tap(keys::p, true);
    h.tap(keys::u, true);
    h.tap(keys::r, true);
    EXPECT_EQ(h.overlays.lastRecord().actions,
              (Actions{PresentationAction::selectTool(PresentationTool::pan),
                       PresentationAction::plain(PresentationAction::Kind::undo),
                       PresentationAction::selectTool(PresentationTool::rectangle)}));

    // Spotlight comes before Save canvas: the drawing is not asked to save on its way out.
    const FakeOverlayRecord &drawing = h.overlays.lastRecord();
    h.tap(keys::s, true);
    EXPECT_EQ(h.coordinator.mode(), AppMode::spotlight);
    EXPECT_EQ(drawing.actions.size(), 3u);
}
