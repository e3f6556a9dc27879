#include "common/escape_key.h"

#include <QDialog>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using namespace zentrel;

TEST(KeepsEscape, OurShownWindowsKeepItButMenusAndWindowsThatLetItThrough)
{
    QDialog dialog;
    QWidget settings;
    EXPECT_FALSE(keepsEscape(&settings)) << "a window that is not shown holds no keyboard";
    dialog.show();
    settings.show();
    EXPECT_TRUE(keepsEscape(&dialog));
    EXPECT_TRUE(keepsEscape(&settings));

    QWidget launcher;
    letEscapeThrough(&launcher);
    launcher.show();
    EXPECT_FALSE(keepsEscape(&launcher));

    QMenu menu;
    menu.addAction(QStringLiteral("Spotlight"));
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_FALSE(keepsEscape(&menu)) << "an open menu closes on Escape by itself";
}
