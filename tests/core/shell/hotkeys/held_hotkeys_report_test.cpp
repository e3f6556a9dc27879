#include "shell/hotkeys/held_hotkeys_report.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_shortcut_grabber.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/us_key_characters.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

namespace keys = hotkeys::keys;
using hotkeys::Shortcut;

constexpr int ctrlOpt = hotkeys::carbon::control | hotkeys::carbon::option;
const Shortcut ctrlOptD{keys::d.rawValue, ctrlOpt};
const Shortcut ctrlOptU{keys::u.rawValue, ctrlOpt};

// One start of the program: the leader binds, and the report says what another program holds.
struct Start
{
    MemoryDefaultsStore &defaults;
    FakeShortcutGrabber grabber;
    hotkeys::UsKeyCharacters layout;
    hotkeys::HotkeyRegistry registry{defaults, grabber, layout};

    Start(MemoryDefaultsStore &settings, std::initializer_list<Shortcut> heldElsewhere)
        : defaults(settings)
    {
        for (const Shortcut &held : heldElsewhere) {
            grabber.refusals[held] = 10;
        }
        testing::internal::CaptureStdout();
        applyLeaderBindings(registry, controlOption);
        testing::internal::GetCapturedStdout();
    }

    std::optional<HeldHotkeysAlert> alert() { return heldHotkeysAlert(registry, layout, defaults); }

    // The alert's text, shown to the user.
    std::optional<std::string> report()
    {
        const auto held = alert();
        if (!held) {
            return std::nullopt;
        }
        rememberHeldHotkeysTold(*held, defaults);
        return held->text;
    }
};

} // namespace

TEST(HeldHotkeysReport, OneAlertNamesEveryHeldHotKeyOnceAcrossStarts)
{
    MemoryDefaultsStore settings;
    EXPECT_EQ(Start(settings, {}).report(), std::nullopt);

    const auto first = Start(settings, {ctrlOptD, ctrlOptU}).report();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first,
              "These shortcuts are already used by another program, so they do nothing in "
              "Zentrel: Draw (Ctrl+Alt+D), Undo (Ctrl+Alt+U). Choose others in Settings > "
              "Hotkeys, or change them in the settings of the program that uses them.");
    EXPECT_EQ(Start(settings, {ctrlOptD, ctrlOptU}).report(), std::nullopt);

    // Only what is new is told; what was let go and taken again is new.
    EXPECT_EQ(Start(settings, {ctrlOptD}).report(), std::nullopt);
    const auto again = Start(settings, {ctrlOptD, ctrlOptU}).report();
    ASSERT_TRUE(again.has_value());
    EXPECT_NE(again->find("Undo (Ctrl+Alt+U)"), std::string::npos) << *again;
    EXPECT_EQ(again->find("Draw"), std::string::npos) << *again;
}

TEST(HeldHotkeysReport, ACombinationTakenOnceTheOtherProgramLetGoIsNotHeld)
{
    MemoryDefaultsStore settings;
    Start start(settings, {ctrlOptD});
    start.grabber.refusals.clear();
    start.registry.retryRefused();
    EXPECT_EQ(start.report(), std::nullopt);
    EXPECT_FALSE(settings.storedValue("hotkeys.toldHeldElsewhere").has_value());
}

TEST(HeldHotkeysReport, AnAlertNobodySawIsToldAgainAtTheNextStart)
{
    MemoryDefaultsStore settings;
    EXPECT_TRUE(Start(settings, {ctrlOptD}).report().has_value());

    // Undo's alert never reached the screen; Draw, told before, stays told.
    const auto unseen = Start(settings, {ctrlOptD, ctrlOptU}).alert();
    ASSERT_TRUE(unseen.has_value());
    const auto again = Start(settings, {ctrlOptD, ctrlOptU}).report();
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, unseen->text);
    EXPECT_EQ(again->find("Draw"), std::string::npos) << *again;
    EXPECT_EQ(Start(settings, {ctrlOptD, ctrlOptU}).report(), std::nullopt);

    // What another program let go meanwhile is forgotten even with no alert shown.
    EXPECT_FALSE(Start(settings, {ctrlOptU}).alert().has_value());
    const auto draw = Start(settings, {ctrlOptD, ctrlOptU}).alert();
    ASSERT_TRUE(draw.has_value());
    EXPECT_NE(draw->text.find("Draw (Ctrl+Alt+D)"), std::string::npos) << draw->text;
}
