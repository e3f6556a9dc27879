#include "shell/tray/tray_menu.h"

#include "fakes/coordinator_on_fakes.h"
#include "fakes/fake_shortcut_grabber.h"
#include "fakes/switchable_key_characters.h"
#include "hotkeys/hotkey_registry.h"
#include "shell/app_coordinator.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QWindow>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

class TrayMenuTest : public testing::Test, protected CoordinatorOnFakes
{
protected:
    QStringList texts() const
    {
        QStringList result;
        for (const QAction *action : menu.menu()->actions()) {
            result.append(action->isSeparator() ? QStringLiteral("—") : action->text());
        }
        return result;
    }

    QAction *action(const QString &text) const
    {
        for (QAction *candidate : menu.menu()->actions()) {
            if (candidate->text() == text) {
                return candidate;
            }
        }
        return nullptr;
    }

    FakeShortcutGrabber grabber;
    SwitchableKeyCharacters layout;
    hotkeys::HotkeyRegistry hotkeys{defaults, grabber, layout};
    TrayMenu menu{coordinator, hotkeys, layout};
};

TEST_F(TrayMenuTest, ShowsEveryEntryInOrder)
{
    EXPECT_EQ(texts(),
              QStringList({"Enable Zentrel",
                           "—",
                           "Draw",
                           "Zoom Loupe",
                           "Spotlight",
                           "Zevizu && Vozurir",
                           "Whiteboard",
                           "Break Timer",
                           "Cursor Halo",
                           "—",
                           "Sessions...",
                           QString::fromUtf8("Check for Updates\u2026"),
                           "Settings...",
                           "Quit Zentrel"}));
    EXPECT_TRUE(action("Enable Zentrel")->isChecked());
    EXPECT_FALSE(action("Draw")->isChecked());
}

TEST_F(TrayMenuTest, ChecksTheRunningFeatureAndFollowsTheSwitch)
{
    coordinator.toggleFeature(AppMode::spotlight);
    EXPECT_TRUE(action("Spotlight")->isChecked());
    EXPECT_FALSE(action("Draw")->isChecked());

    coordinator.preferences().setEnabled(false);
    EXPECT_FALSE(action("Enable Zentrel")->isChecked());
    EXPECT_FALSE(action("Spotlight")->isChecked());
    for (const char *feature : {"Draw", "Whiteboard", "Cursor Halo"}) {
        EXPECT_FALSE(action(QString::fromLatin1(feature))->isEnabled()) << feature;
    }
    for (const char *always : {"Enable Zentrel", "Sessions...", "Settings...", "Quit Zentrel"}) {
        EXPECT_TRUE(action(QString::fromLatin1(always))->isEnabled()) << always;
    }
}

TEST_F(TrayMenuTest, ShowsEachFeaturesHotKeyAndFollowsChanges)
{
    EXPECT_NE(action("Draw"), nullptr) << "no shortcut shown before the keys are bound";
    applyLeaderBindings(hotkeys, controlOption);
    EXPECT_NE(action("Draw\tCtrl+Alt+D"), nullptr);
    EXPECT_NE(action("Cursor Halo\tCtrl+Alt+H"), nullptr);

    hotkeys.setShortcut(hotkeys::Shortcut{hotkeys::keys::f5.rawValue, hotkeys::carbon::command},
                        featureHotkeyName(PresentationFeature::drawing));
    EXPECT_NE(action("Draw\tSuper+F5"), nullptr);
}

// The grabs follow a new layout at once; the menu must too, not only after a restart.
TEST_F(TrayMenuTest, WritesEachHotKeyForTheLayoutAfterTheKeymapChanges)
{
    applyLeaderBindings(hotkeys, controlOption);
    EXPECT_NE(action("Zoom Loupe\tCtrl+Alt+Z"), nullptr);

    // Open meanwhile, the menu stays shown throughout: hidden for a moment, it would lose the
    // keyboard it holds.
    menu.menu()->popup({0, 0});
    ASSERT_TRUE(menu.menu()->windowHandle()->isVisible());
    QSignalSpy shownOrHidden(menu.menu()->windowHandle(), &QWindow::visibleChanged);
    layout.isGerman = true;
    hotkeys.followKeymapChange();
    EXPECT_NE(action("Zoom Loupe\tCtrl+Alt+Y"), nullptr);
    EXPECT_NE(action("Draw\tCtrl+Alt+D"), nullptr);
    EXPECT_EQ(shownOrHidden.count(), 0);
    menu.menu()->hide();

    // Also while the hot keys are let go: the menu still shows them.
    hotkeys.setEnabled(false);
    layout.isGerman = false;
    hotkeys.followKeymapChange();
    EXPECT_NE(action("Zoom Loupe\tCtrl+Alt+Z"), nullptr);
}

TEST_F(TrayMenuTest, ShowsNoHotKeyWhileAShortcutIsRecorded)
{
    applyLeaderBindings(hotkeys, controlOption);
    hotkeys.pause();
    EXPECT_NE(action("Draw"), nullptr);
    EXPECT_NE(action("Cursor Halo"), nullptr);
    // A change while recording shows only once the recording ends.
    hotkeys.setShortcut(hotkeys::Shortcut{hotkeys::keys::q.rawValue, hotkeys::carbon::control},
                        featureHotkeyName(PresentationFeature::drawing));
    EXPECT_NE(action("Draw"), nullptr);
    hotkeys.resume();
    EXPECT_NE(action("Draw\tCtrl+Q"), nullptr);
    EXPECT_NE(action("Cursor Halo\tCtrl+Alt+H"), nullptr);
}

TEST_F(TrayMenuTest, AHotKeyAnotherProgramHoldsShowsNoCombinationUntilOpeningTakesIt)
{
    const hotkeys::Shortcut ctrlAltD{hotkeys::keys::d.rawValue, 6144};
    grabber.refusals[ctrlAltD] = 10;
    testing::internal::CaptureStdout();
    applyLeaderBindings(hotkeys, controlOption);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(action("Draw"), nullptr);
    EXPECT_NE(action("Zoom Loupe\tCtrl+Alt+Z"), nullptr);

    // Opening the menu tries again; the other program has let go meanwhile.
    grabber.refusals.clear();
    Q_EMIT menu.menu()->aboutToShow();
    EXPECT_NE(action("Draw\tCtrl+Alt+D"), nullptr);
    EXPECT_TRUE(grabber.grabbed.contains(ctrlAltD));
}

TEST_F(TrayMenuTest, ReportsTheChosenEntryAfterTheMenuHasSettled)
{
    QSignalSpy chosen(&menu, &TrayMenu::itemChosen);
    action("Whiteboard")->trigger();
    // Queued, so handling the choice may rebuild the menu without deleting a live action.
    EXPECT_EQ(chosen.count(), 0);
    ASSERT_TRUE(chosen.wait(1000));
    const auto item = chosen.at(0).at(0).value<TrayMenuItem>();
    EXPECT_EQ(item.command, TrayMenuItem::Command::toggleMode);
    EXPECT_EQ(item.mode, AppMode::whiteboard);
}

} // namespace
