#include "shell/window_fit.h"

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

// "Sessions" asks for 900 × 600 and needs at least 760 × 480.
const WindowSizes sessions{{900, 600}, {760, 480}};
const FrameMargins titleBar{1, 15, 1, 1};

} // namespace

TEST(FitWindow, ShrinksToTheUsableAreaWithItsFrameAndCentresThere)
{
    // A 1080p monitor at 200 %.
    const RectF screen{0, 0, 960, 540};
    EXPECT_EQ(fitWindow(screen, screen, sessions, titleBar, WindowPlace::middle),
              (WindowFit{{29, 0, 902, 540}, {900, 524}, {760, 480}}));
    // The settings, smaller than the area, keep their size; whole pixels in the middle.
    const WindowSizes settings{{540, 430}, {540, 430}};
    const RectF area{0, 27, 961, 513};
    EXPECT_EQ(fitWindow(area, screen, settings, titleBar, WindowPlace::middle),
              (WindowFit{{209, 60, 542, 446}, {540, 430}, {540, 430}}));
    // Before the window manager has framed it.
    EXPECT_EQ(fitWindow(screen, screen, sessions, {}, WindowPlace::middle),
              (WindowFit{{30, 0, 900, 540}, {900, 540}, {760, 480}}));
}

TEST(FitWindow, KeepsItsMinimumOverThePanelsButNotBeyondTheScreen)
{
    // A tall panel at the top leaves less than the minimum height: the window keeps its minimum,
    // moved up over the panel so that it ends on the screen.
    const RectF screen{0, 0, 800, 600};
    const RectF belowPanel{0, 150, 800, 400};
    EXPECT_EQ(fitWindow(belowPanel, screen, sessions, titleBar, WindowPlace::middle),
              (WindowFit{{0, 104, 800, 496}, {798, 480}, {760, 480}}));
    // A screen smaller than the minimum: the window takes the whole screen and may be that small.
    const RectF tiny{1920, 0, 640, 400};
    EXPECT_EQ(fitWindow(tiny, tiny, sessions, titleBar, WindowPlace::middle),
              (WindowFit{{1920, 0, 640, 400}, {638, 384}, {638, 384}}));
}

TEST(FitWindow, TheLauncherSitsInTheCornerOfTheAreaWithItsFrame)
{
    const RectF screen{1920, 0, 1280, 720};
    const RectF abovePanel{1920, 0, 1280, 680};
    const WindowSizes launcher{{102, 45}, {0, 0}};
    EXPECT_EQ(fitWindow(abovePanel, screen, launcher, titleBar, WindowPlace::corner),
              (WindowFit{{3080, 603, 104, 61}, {102, 45}, {0, 0}}));
}

// "Sessions", 900 × 600 as it opened on a 4K panel at 200 %, dropped on a 1080p projector at
// 100 %: it keeps that size there, whole below the projector's panel, the title bar still under
// the pointer; dropped by a script, its corner stays where it was put.
TEST(FitWindow, ADroppedWindowFitsItsNewScreenWhereItWasDropped)
{
    const RectF projector{3840, 0, 1920, 1080};
    const RectF area{3840, 0, 1920, 1050};
    // Qt keeps its pixels: 1802 × 1216 px, now as many points.
    const RectF dropped{4000, 400, 1802, 1216};
    const WindowFit fit =
        droppedWindowFit(area, projector, sessions, titleBar, dropped, {4901, 407});
    EXPECT_EQ(fit.size, (SizeF{900, 600}));
    EXPECT_EQ(fit.frame, (RectF{4450, 403, 902, 616}));

    const WindowFit low =
        droppedWindowFit(area, projector, sessions, titleBar, {5500, 900, 902, 616}, {0, 0});
    EXPECT_EQ(low.frame, (RectF{4858, 434, 902, 616})) << "whole above the panel";
}
