#include "shell/settings_window.h"

#include "app/child_widgets.h"
#include "common/files/atomic_file.h"
#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_permission_probe.h"
#include "fakes/fake_shortcut_grabber.h"
#include "fakes/fake_sound_player.h"
#include "fakes/fake_updater.h"
#include "fakes/switchable_key_characters.h"
#include "fakes/temporary_directory.h"
#include "hotkeys/hotkey_registry.h"
#include "shell/app_preferences.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"
#include "shell/login/launch_at_login_manager.h"
#include "shell/onboarding/permission_manager.h"
#include "shell/updates/update_service.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace zentrel;

namespace {

class SettingsWindowTest : public testing::Test
{
protected:
    TemporaryDirectory folder;
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    FakePermissionProbe probe;
    PermissionManager permissions{probe};
    LaunchAtLoginManager launchAtLogin{folder / "autostart/zentrel.desktop", "/usr/bin/zentrel"};
    FakeUpdater updater;
    UpdateService updates{updater};
    FakeShortcutGrabber grabber;
    FakeSoundPlayer sounds;
    SwitchableKeyCharacters layout;
    hotkeys::HotkeyRegistry hotkeys{defaults, grabber, layout};
    SettingsWindow window{
        SettingsWindow::Services{preferences,
                                 permissions,
                                 launchAtLogin,
                                 updates,
                                 ShortcutRecorder::Services{hotkeys, layout, grabber, {}, sounds}}};
};

TEST_F(SettingsWindowTest, LeaderTogglesShowAndWriteTheStoredLeader)
{
    QCheckBox *control = childWithText<QCheckBox>(window, QStringLiteral("Ctrl"));
    QCheckBox *shift = childWithText<QCheckBox>(window, QStringLiteral("Shift"));
    ASSERT_TRUE(control && shift);
    EXPECT_NE(childWithText<QCheckBox>(window, QStringLiteral("Alt")), nullptr);
    EXPECT_NE(childWithText<QCheckBox>(window, QStringLiteral("Super")), nullptr);
    EXPECT_TRUE(control->isChecked());
    EXPECT_FALSE(shift->isChecked());

    shift->click();
    EXPECT_EQ(defaults.storedValue("controls.leaderKey"), 262144 + 524288 + 131072);
    shift->click();
    EXPECT_EQ(defaults.storedValue("controls.leaderKey"), 262144 + 524288);
}

TEST_F(SettingsWindowTest, GeneralSwitchesFollowThePreferences)
{
    QCheckBox *urls = childWithText<QCheckBox>(
        window, QStringLiteral("Allow external command URLs (zentrel://)"));
    QCheckBox *enabled = childWithText<QCheckBox>(window, QStringLiteral("Enable Zentrel"));
    ASSERT_TRUE(urls && enabled);
    EXPECT_FALSE(urls->isChecked());
    urls->click();
    EXPECT_TRUE(preferences.allowsExternalCommandURLs());

    preferences.setEnabled(false);
    EXPECT_FALSE(enabled->isChecked());
}

TEST_F(SettingsWindowTest, LaunchAtLoginWritesTheEntryAndShowsWhatIsOnDisk)
{
    QCheckBox *login = childWithText<QCheckBox>(window, QStringLiteral("Launch at login"));
    ASSERT_NE(login, nullptr);
    login->click();
    EXPECT_TRUE(std::filesystem::exists(folder / "autostart/zentrel.desktop"));
    EXPECT_TRUE(login->isChecked());
    login->click();
    EXPECT_FALSE(std::filesystem::exists(folder / "autostart/zentrel.desktop"));
    EXPECT_FALSE(login->isChecked());
}

TEST_F(SettingsWindowTest, AFailedLoginChangeShowsTheReasonAndTheRealState)
{
    ASSERT_TRUE(writeFileAtomically(folder / "autostart", "a file where the folder goes"));
    QCheckBox *login = childWithText<QCheckBox>(window, QStringLiteral("Launch at login"));
    login->click();
    EXPECT_FALSE(login->isChecked());
    const auto error = launchAtLogin.errorMessage();
    ASSERT_TRUE(error);
    QLabel *shown = childWithText<QLabel>(window, QString::fromStdString(*error));
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(shown->isHidden());
}

TEST_F(SettingsWindowTest, OpeningReadsPermissionsLoginItemAndUpdaterAgain)
{
    QPushButton *check =
        childWithText<QPushButton>(window, QStringLiteral("Check for Updates\u2026"));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isEnabled());
    EXPECT_NE(childWithText<QPushButton>(window, QStringLiteral("Request")), nullptr);

    probe.keys = PermissionStatus{false, "The X server lacks the XInput 2 extension."};
    updater.canCheck = false;
    updater.automatic = true;
    ASSERT_TRUE(writeFileAtomically(folder / "autostart/zentrel.desktop",
                                    "[Desktop Entry]\nExec=zentrel\n"));
    window.show();
    EXPECT_FALSE(permissions.hasAccessibility());
    EXPECT_FALSE(
        childWithText<QLabel>(window, QStringLiteral("The X server lacks the XInput 2 extension."))
            ->isHidden());
    EXPECT_TRUE(childWithText<QCheckBox>(window, QStringLiteral("Launch at login"))->isChecked());
    EXPECT_FALSE(check->isEnabled());
    EXPECT_TRUE(childWithText<QCheckBox>(window, QStringLiteral("Automatically check for updates"))
                    ->isChecked());
}

TEST_F(SettingsWindowTest, UpdateControlsGoThroughTheService)
{
    childWithText<QCheckBox>(window, QStringLiteral("Automatically check for updates"))->click();
    EXPECT_TRUE(updater.automatic);
    childWithText<QPushButton>(window, QStringLiteral("Check for Updates\u2026"))->click();
    EXPECT_EQ(updater.checks, 1);
}

TEST_F(SettingsWindowTest, HotkeysTabMarksHeldKeysAndNamesSharedOnes)
{
    const hotkeys::Shortcut ctrlAltD{hotkeys::keys::d.rawValue, 6144};
    grabber.refusals[ctrlAltD] = 10;
    testing::internal::CaptureStdout();
    applyLeaderBindings(hotkeys, controlOption);
    testing::internal::GetCapturedStdout();
    const auto shownMarks = [this] {
        int shown = 0;
        for (QLabel *label : window.findChildren<QLabel *>()) {
            shown += label->text() == QStringLiteral("Already used by another program")
                     && !label->isHidden();
        }
        return shown;
    };
    EXPECT_EQ(shownMarks(), 1);
    const auto sharedText = [this] {
        for (QLabel *label : window.findChildren<QLabel *>()) {
            if (label->text().contains(QStringLiteral("own hot keys"))) {
                return label->isHidden() ? QString() : label->text();
            }
        }
        return QString();
    };
    EXPECT_EQ(sharedText(), QString());

    // Shift in the leader: four pairs share a combination; Draw moves off the held one.
    preferences.setLeaderModifier(ModifierFlag::shift, true);
    applyLeaderBindings(hotkeys, preferences.leaderModifiers());
    EXPECT_EQ(shownMarks(), 0);
    EXPECT_EQ(sharedText(),
              QString::fromUtf8(
                  "Already used by Zentrel\u2019s own hot keys, so a press runs only the first: "
                  "Undo and Redo (Ctrl+Alt+Shift+U), Spotlight and Save canvas (Ctrl+Alt+Shift+S), "
                  "Rectangle and Reset viewport (Ctrl+Alt+Shift+R), Pan and Pause/resume timer "
                  "(Ctrl+Alt+Shift+P)."));

    // Showing the tab takes back what another program let go of.
    preferences.setLeaderModifier(ModifierFlag::shift, false);
    applyLeaderBindings(hotkeys, preferences.leaderModifiers());
    EXPECT_EQ(shownMarks(), 1);
    grabber.refusals.clear();
    window.show();
    window.findChild<QTabWidget *>()->setCurrentIndex(1);
    EXPECT_EQ(shownMarks(), 0);
}

// The caption and the shared pairs name keys as the shortcut boxes do, also after a switch.
TEST_F(SettingsWindowTest, HotkeysTabNamesKeysAsTheCurrentLayoutTypesThem)
{
    const auto labelContaining = [this](const QString &part) {
        for (QLabel *label : window.findChildren<QLabel *>()) {
            if (label->text().contains(part)) {
                return label->text();
            }
        }
        return QString();
    };
    const QString tapTheLetter = QStringLiteral("tap the feature's letter");
    EXPECT_EQ(labelContaining(tapTheLetter),
              QStringLiteral("Hold these modifiers, then tap the feature's letter: D=Draw, Z=Zoom, "
                             "S=Spotlight, F=Freeze, W=Whiteboard, T=Break Timer, H=Cursor Halo. "
                             "Esc closes the current feature."));
    applyLeaderBindings(hotkeys, controlOption);
    hotkeys.setShortcut(hotkeys::Shortcut{hotkeys::keys::z.rawValue, 6144},
                        featureHotkeyName(PresentationFeature::drawing));
    const QString shared = QStringLiteral("Draw and Zoom Loupe (Ctrl+Alt+%1)");
    EXPECT_TRUE(labelContaining(QStringLiteral("own hot keys")).contains(shared.arg('Z')));

    layout.isGerman = true;
    hotkeys.followKeymapChange();
    EXPECT_TRUE(labelContaining(tapTheLetter).contains(QStringLiteral(": D=Draw, Y=Zoom, S=")));
    EXPECT_TRUE(labelContaining(QStringLiteral("own hot keys")).contains(shared.arg('Y')));
}

// Why a box refused a chord is longer than the box: it shows whole beneath the box, and the tab
// still fits the window.
TEST_F(SettingsWindowTest, HotkeysTabShowsWhyABoxRefusedAChordInWholeWords)
{
    auto *tabs = window.findChild<QTabWidget *>();
    tabs->setCurrentIndex(1);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ShortcutRecorder *draw = nullptr;
    for (ShortcutRecorder *recorder : window.findChildren<ShortcutRecorder *>()) {
        if (recorder->shortcutName() == featureHotkeyName(PresentationFeature::drawing)) {
            draw = recorder;
        }
    }
    ASSERT_NE(draw, nullptr);
    QTest::mouseClick(draw, Qt::LeftButton);
    ASSERT_TRUE(draw->isRecording());
    constexpr quint32 keycodeSpace = 65;
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, keycodeSpace, 0, 0);
    QApplication::sendEvent(draw, &space);
    QApplication::processEvents();

    QLabel *reason = childWithText<QLabel>(window, QStringLiteral("Space needs a modifier"));
    ASSERT_NE(reason, nullptr);
    EXPECT_TRUE(reason->isVisible());
    EXPECT_GE(reason->height(), reason->heightForWidth(reason->width())) << "a line is cut";
    EXPECT_GE(reason->width(), reason->fontMetrics().horizontalAdvance(QStringLiteral("modifier")));
    const QWidget *page = tabs->currentWidget();
    const QRect box(draw->mapTo(page, QPoint(0, 0)), draw->size());
    const QRect shown(reason->mapTo(page, QPoint(0, 0)), reason->size());
    EXPECT_GE(shown.top(), box.bottom()) << "not beneath the box";
    EXPECT_LE(shown.left(), box.left());
    for (const QWidget *child : page->findChildren<QWidget *>()) {
        const QRect area(child->mapTo(page, QPoint(0, 0)), child->size());
        EXPECT_TRUE(!child->isVisible() || page->rect().contains(area))
            << child->metaObject()->className() << " leaves the tab";
    }

    // Ending the recording takes the reason away.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, 9, 0, 0);
    QApplication::sendEvent(draw, &escape);
    EXPECT_FALSE(reason->isVisible());
}

} // namespace
