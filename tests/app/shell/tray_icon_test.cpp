#include "shell/tray_icon.h"

#include "common/memory_defaults_store.h"
#include "common/symbol_icon.h"
#include "shell/app_preferences.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace zentrel;

TEST(TrayIcon, FollowsTheEnabledSwitch)
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences(defaults);
    QMenu menu;
    TrayIcon trayIcon(preferences, &menu);
    EXPECT_EQ(trayIcon.iconName(), QStringLiteral("scribble.variable"));

    preferences.setEnabled(false);
    EXPECT_EQ(trayIcon.iconName(), QStringLiteral("scribble"));

    preferences.setEnabled(true);
    EXPECT_EQ(trayIcon.iconName(), QStringLiteral("scribble.variable"));
}

TEST(SymbolIcon, ShipsBothTrayIcons)
{
    for (const auto *name : {"scribble.variable", "scribble"}) {
        const QIcon icon = symbolIcon(QString::fromLatin1(name));
        EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << name;
    }
}
