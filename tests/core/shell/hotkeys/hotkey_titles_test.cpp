#include "shell/hotkeys/hotkey_titles.h"

#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"
#include "shell/tray/tray_menu_model.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>

using namespace zentrel;

TEST(HotkeyTitles, FeatureKeysGoByTheirMenuTitlesAndEveryNameHasOne)
{
    for (const auto &[feature, title] : featureMenuTitles) {
        EXPECT_EQ(hotkeyTitle(featureHotkeyName(feature)), title);
    }
    EXPECT_EQ(hotkeyTitle(hotkeyName("closeCurrentMode")), "Close the running feature");
    EXPECT_EQ(hotkeyTitle(hotkeyName("undoPresentationAction")), "Undo");
    std::set<std::string> titles;
    for (const HotkeyCommand &command : hotkeyCommands()) {
        titles.insert(hotkeyTitle(command.name));
    }
    EXPECT_EQ(titles.size(), 26u) << "two hot keys share a title";
}

TEST(HotkeyTitles, ShortcutsNameEveryHotKeyThatStoresACombination)
{
    const hotkeys::Shortcut ctrlOptD{2, 6144};
    const hotkeys::Shortcut ctrlOptU{32, 6144};
    const auto shortcuts =
        hotkeyShortcuts([&](const hotkeys::Name &name) -> std::optional<hotkeys::Shortcut> {
            if (name.rawValue == "toggleDraw") {
                return ctrlOptD;
            }
            if (name.rawValue == "undoPresentationAction") {
                return ctrlOptU;
            }
            return std::nullopt;
        });
    ASSERT_EQ(shortcuts.size(), 2u);
    EXPECT_EQ(shortcuts[0].title, "Draw");
    EXPECT_EQ(shortcuts[0].shortcut, ctrlOptD);
    EXPECT_EQ(shortcuts[0].rawName, "toggleDraw");
    EXPECT_EQ(shortcuts[1].title, "Undo");
    EXPECT_EQ(shortcuts[1].rawName, "undoPresentationAction");

    const auto all = hotkeyShortcuts(
        [&](const hotkeys::Name &) -> std::optional<hotkeys::Shortcut> { return ctrlOptD; });
    EXPECT_EQ(all.size(), 26u);
}

TEST(HotkeyTitles, ALeaderWithShiftSharesFourCombinationsFirstInTableOrder)
{
    std::map<std::string, hotkeys::Shortcut> stored;
    for (const LeaderKeyBinding &row : LeaderKeyBinding::defaultBindings()) {
        stored[row.name.rawValue] = row.shortcut(controlOption.with(ModifierFlag::shift, true));
    }
    const auto shortcutOf = [&](const hotkeys::Name &name) -> std::optional<hotkeys::Shortcut> {
        const auto found = stored.find(name.rawValue);
        return found != stored.end() ? std::optional(found->second) : std::nullopt;
    };
    constexpr int ctrlOptShift = 4096 + 2048 + 512;
    EXPECT_EQ(sharedHotkeys(shortcutOf),
              (std::vector<SharedHotkey>{
                  {"Undo", "Redo", {32, ctrlOptShift}},
                  {"Spotlight", "Save canvas", {1, ctrlOptShift}},
                  {"Rectangle", "Reset viewport", {15, ctrlOptShift}},
                  {"Pan", "Pause/resume timer", {35, ctrlOptShift}},
              }));

    for (const LeaderKeyBinding &row : LeaderKeyBinding::defaultBindings()) {
        stored[row.name.rawValue] = row.shortcut(controlOption);
    }
    EXPECT_TRUE(sharedHotkeys(shortcutOf).empty());
}
