#include "shell/tray/way_in.h"

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

TEST(WayIn, TheLauncherStandsInOnlyWhereNoTrayIsAndNeverDuringARun)
{
    EXPECT_EQ(wayInFor({true, false, LauncherWish::asTheTrayGoes}), (WayIn{true, false}));
    EXPECT_EQ(wayInFor({false, false, LauncherWish::asTheTrayGoes}), (WayIn{false, true}));
    EXPECT_EQ(wayInFor({false, true, LauncherWish::asTheTrayGoes}), (WayIn{false, false}));
    EXPECT_EQ(wayInFor({false, false, LauncherWish::closed}), (WayIn{false, false}));
}

TEST(WayIn, ACalledLauncherShowsBesideATrayButNotOverARun)
{
    EXPECT_EQ(wayInFor({true, false, LauncherWish::called}), (WayIn{true, true}));
    EXPECT_EQ(wayInFor({false, false, LauncherWish::called}), (WayIn{false, true}));
    EXPECT_EQ(wayInFor({true, true, LauncherWish::called}), (WayIn{true, false}));
}

TEST(WayIn, ASecondStartOpensTheMenuAtTheIconOnlyWhereItsPlaceIsKnown)
{
    EXPECT_EQ(revealFor(true, true), Reveal::menuAtIcon);
    EXPECT_EQ(revealFor(true, false), Reveal::launcher);
    EXPECT_EQ(revealFor(false, true), Reveal::launcher);
    EXPECT_EQ(revealFor(false, false), Reveal::launcher);
}

} // namespace
