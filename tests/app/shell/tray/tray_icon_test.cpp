#include "shell/tray/tray_icon.h"

#include "common/escape_key.h"
#include "common/settings/memory_defaults_store.h"
#include "common/symbol_icon.h"
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

} // namespace

TEST(TrayIcon, ShownIconFollowsTheEnabledSwitch)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences(defaults);
    QMenu menu;
    TrayIcon trayIcon(preferences, &menu);
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
    TrayIcon trayIcon(preferences, &menu);
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto launcher = std::find_if(windows.cbegin(), windows.cend(), [](QWidget *window) {
        return window->isVisible() && window->findChild<QToolButton *>();
    });
    ASSERT_NE(launcher, windows.cend());
    EXPECT_FALSE(keepsEscape(*launcher));
}

TEST(SymbolIcon, ShipsBothTrayIcons)
{
    for (const auto *name : {"scribble.variable", "scribble"}) {
        const QIcon icon = symbolIcon(QString::fromLatin1(name));
        EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << name;
    }
}
