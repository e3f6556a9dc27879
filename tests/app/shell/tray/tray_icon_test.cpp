#include "shell/tray/tray_icon.h"

#include "common/escape_key.h"
#include "common/settings/memory_defaults_store.h"
#include "common/symbol_icon.h"
#include "fakes/fake_tray_host_watch.h"
#include "shell/app_preferences.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

using namespace zentrel;

namespace {

// What the menu button of the window shown where there is no tray (as offscreen) shows.
QImage shownIcon()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *button = window->findChild<QToolButton *>(); button && window->isVisible()) {
            return button->icon().pixmap(32, 32).toImage();
        }
    }
    return {};
}

QImage iconImage(const char *name)
{
    return symbolIcon(QString::fromLatin1(name)).pixmap(32, 32).toImage();
}

// The small window in place of the tray, shown or not.
QWidget *launcher()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->findChild<QToolButton *>()) {
            return window;
        }
    }
    return nullptr;
}

bool isLauncherShown()
{
    return launcher() && launcher()->isVisible();
}

bool isIconShown(const QObject &trayIcon)
{
    const auto *icon = trayIcon.findChild<QSystemTrayIcon *>();
    return icon && icon->isVisible();
}

class TrayIconOnFakeTray : public testing::Test
{
protected:
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    QMenu menu;
    FakeTrayHostWatch trayHost{true};
};

} // namespace

TEST(TrayIcon, ShownIconFollowsTheEnabledSwitch)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences(defaults);
    QMenu menu;
    FakeTrayHostWatch trayHost(false);
    TrayIcon trayIcon(preferences, trayHost, &menu);
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_EQ(shownIcon(), iconImage("scribble.variable"));

    preferences.setEnabled(false);
    EXPECT_EQ(shownIcon(), iconImage("scribble"));

    preferences.setEnabled(true);
    EXPECT_EQ(shownIcon(), iconImage("scribble.variable"));
}

// Once its menu has started a feature it keeps the keyboard, and Escape must still end the run.
TEST(TrayIcon, WindowInPlaceOfTheTrayLetsEscapeThrough)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences(defaults);
    QMenu menu;
    FakeTrayHostWatch trayHost(false);
    TrayIcon trayIcon(preferences, trayHost, &menu);
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto launcher = std::find_if(windows.cbegin(), windows.cend(), [](QWidget *window) {
        return window->isVisible() && window->findChild<QToolButton *>();
    });
    ASSERT_NE(launcher, windows.cend());
    EXPECT_FALSE(keepsEscape(*launcher));
}

TEST_F(TrayIconOnFakeTray, TheWindowStandsInWhileTheTrayIsGone)
{
    TrayIcon trayIcon(preferences, trayHost, &menu);
    EXPECT_TRUE(isIconShown(trayIcon));
    EXPECT_FALSE(isLauncherShown());

    trayHost.setHasTrayHost(false);
    EXPECT_FALSE(isIconShown(trayIcon));
    EXPECT_TRUE(isLauncherShown());

    trayHost.setHasTrayHost(true);
    EXPECT_TRUE(isIconShown(trayIcon));
    EXPECT_FALSE(isLauncherShown());
}

// Closed, the window only hides, and a start of `zentrel` calls it back; a tray that comes and
// goes again brings it back too.
TEST_F(TrayIconOnFakeTray, AClosedWindowComesBackWhenRevealed)
{
    trayHost.setHasTrayHost(false);
    TrayIcon trayIcon(preferences, trayHost, &menu);
    ASSERT_TRUE(isLauncherShown());
    launcher()->close();
    EXPECT_FALSE(isLauncherShown());

    trayIcon.reveal();
    EXPECT_TRUE(isLauncherShown());

    launcher()->close();
    trayHost.setHasTrayHost(true);
    trayHost.setHasTrayHost(false);
    EXPECT_TRUE(isLauncherShown());
}

// Full-screen runs must cover it under every window manager; a reveal during one waits for its
// end.
TEST_F(TrayIconOnFakeTray, TheWindowStandsBackWhileAFeatureRuns)
{
    trayHost.setHasTrayHost(false);
    TrayIcon trayIcon(preferences, trayHost, &menu);
    trayIcon.setFeatureRunning(true);
    EXPECT_FALSE(isLauncherShown());
    trayIcon.reveal();
    EXPECT_FALSE(isLauncherShown());
    trayIcon.setFeatureRunning(false);
    EXPECT_TRUE(isLauncherShown());

    launcher()->close();
    trayIcon.setFeatureRunning(true);
    trayIcon.reveal();
    trayIcon.setFeatureRunning(false);
    EXPECT_TRUE(isLauncherShown());
}

// Offscreen, as on trays that show the icon for us, Qt cannot tell where the icon is.
TEST_F(TrayIconOnFakeTray, ARevealBesideATrayThatHidesTheIconsPlaceShowsTheWindowUntilTheMenuIsUsed)
{
    TrayIcon trayIcon(preferences, trayHost, &menu);
    trayIcon.reveal();
    EXPECT_TRUE(isLauncherShown());
    EXPECT_TRUE(isIconShown(trayIcon));

    menu.popup(QPoint(10, 10));
    menu.hide();
    EXPECT_FALSE(isLauncherShown());
}

TEST(SymbolIcon, ShipsBothTrayIcons)
{
    for (const auto *name : {"scribble.variable", "scribble"}) {
        const QIcon icon = symbolIcon(QString::fromLatin1(name));
        EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << name;
    }
}
