#include "shell/tray/tray_menu_model.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace zentrel;

namespace {

using Command = TrayMenuItem::Command;

std::string noShortcut(PresentationFeature)
{
    return {};
}

const AppMode featureModes[] = {
    AppMode::drawing,
    AppMode::zooming,
    AppMode::spotlight,
    AppMode::freeze,
    AppMode::whiteboard,
    AppMode::breakTimer,
    AppMode::cursorHalo,
};

bool isFeatureEntry(const TrayMenuItem &item)
{
    return item.command == Command::toggleMode;
}

} // namespace

TEST(TrayMenuModel, ListsTheFourteenRowsInOrder)
{
    const std::tuple<Command, std::string, AppMode> expected[] = {
        {Command::setEnabled, "Enable Zentrel", AppMode::idle},
        {Command::none, "", AppMode::idle},
        {Command::toggleMode, "Draw", AppMode::drawing},
        {Command::toggleMode, "Zoom Loupe", AppMode::zooming},
        {Command::toggleMode, "Spotlight", AppMode::spotlight},
        {Command::toggleMode, "Zevizu & Vozurir", AppMode::freeze},
        {Command::toggleMode, "Whiteboard", AppMode::whiteboard},
        {Command::toggleMode, "Break Timer", AppMode::breakTimer},
        {Command::toggleMode, "Cursor Halo", AppMode::cursorHalo},
        {Command::none, "", AppMode::idle},
        {Command::openSessions, "Sessions...", AppMode::idle},
        {Command::checkForUpdates, "Check for Updates\u2026", AppMode::idle},
        {Command::openSettings, "Settings...", AppMode::idle},
        {Command::quit, "Quit Zentrel", AppMode::idle},
    };

    const auto items = trayMenuItems(true, AppMode::idle, noShortcut);
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t row = 0; row < items.size(); ++row) {
        const auto &[command, title, mode] = expected[row];
        EXPECT_EQ(items[row].command, command) << "row " << row;
        EXPECT_EQ(items[row].title, title) << "row " << row;
        EXPECT_EQ(items[row].isSeparator(), command == Command::none) << "row " << row;
        if (command == Command::toggleMode) {
            EXPECT_EQ(items[row].mode, mode) << "row " << row;
        }
    }
    EXPECT_TRUE(items[0].isCheckable);
}

TEST(TrayMenuModel, DisablesOnlyTheFeatureEntriesWhileTurnedOff)
{
    for (const bool isEnabled : {true, false}) {
        for (const auto &item : trayMenuItems(isEnabled, AppMode::idle, noShortcut)) {
            if (item.isSeparator()) {
                continue;
            }
            const bool expected = isFeatureEntry(item) ? isEnabled : true;
            EXPECT_EQ(item.isEnabled, expected) << item.title << " with enabled=" << isEnabled;
        }
    }
}

TEST(TrayMenuModel, ChecksTheRunningFeatureAndTheSwitchWhileOn)
{
    for (const bool isEnabled : {true, false}) {
        const auto idle = trayMenuItems(isEnabled, AppMode::idle, noShortcut);
        EXPECT_EQ(idle[0].isChecked, isEnabled);
        for (std::size_t row = 1; row < idle.size(); ++row) {
            EXPECT_FALSE(idle[row].isChecked) << idle[row].title;
        }
    }

    for (const AppMode running : featureModes) {
        const auto items = trayMenuItems(true, running, noShortcut);
        EXPECT_TRUE(items[0].isChecked);
        for (std::size_t row = 1; row < items.size(); ++row) {
            const bool expected = isFeatureEntry(items[row]) && items[row].mode == running;
            EXPECT_EQ(items[row].isChecked, expected)
                << items[row].title << " while mode " << static_cast<int>(running) << " runs";
        }
    }
}

TEST(TrayMenuModel, ShowsEachFeaturesOwnShortcutAndNoneElsewhere)
{
    // The halo has no stored shortcut; its entry must show none.
    const auto shortcut = [](PresentationFeature feature) -> std::string {
        if (feature == PresentationFeature::cursorHalo) {
            return "";
        }
        return "Ctrl+Alt+" + std::string(presentationFeatureText.text(feature));
    };

    const auto items = trayMenuItems(true, AppMode::idle, shortcut);
    int featureEntries = 0;
    for (const auto &item : items) {
        if (isFeatureEntry(item)) {
            ++featureEntries;
            EXPECT_EQ(item.shortcut, shortcut(*presentationFeature(item.mode))) << item.title;
        } else {
            EXPECT_EQ(item.shortcut, "") << item.title;
        }
    }
    EXPECT_EQ(featureEntries, 7);
    EXPECT_EQ(items[2].shortcut, "Ctrl+Alt+drawing");
    EXPECT_EQ(items[8].shortcut, "");
}
