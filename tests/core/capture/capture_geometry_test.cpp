#include "capture/capture_geometry.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

TEST(ScreenSizeInPoints, IsThePicturesOwnSizeWhereQtRoundsTheScreenToWholePoints)
{
    const SizeF exact = screenSizeInPoints({853, 480}, 1280, 720, 1.5);
    EXPECT_DOUBLE_EQ(exact.width, 1280 / 1.5);
    EXPECT_DOUBLE_EQ(exact.height, 480);
    // Each of the picture's pixels then covers exactly one pixel of a window at that scale.
    EXPECT_DOUBLE_EQ(exact.width * 1.5, 1280);
    EXPECT_DOUBLE_EQ(screenSizeInPoints({854, 480}, 1280, 720, 1.5).width, 1280 / 1.5);
}

TEST(ScreenSizeInPoints, KeepsSizesThatTheScaleDivides)
{
    EXPECT_EQ(screenSizeInPoints({1280, 720}, 1920, 1080, 1.5), (SizeF{1280, 720}));
    EXPECT_EQ(screenSizeInPoints({960, 540}, 1920, 1080, 2), (SizeF{960, 540}));
    EXPECT_EQ(screenSizeInPoints({1280, 720}, 1280, 720, 1), (SizeF{1280, 720}));
}

TEST(ScreenSizeInPoints, KeepsTheGeometryForAPictureOfAnotherSizeOrABadRatio)
{
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1920, 1080, 1.5), (SizeF{853, 480}));
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1280, 720, 1), (SizeF{853, 480}));
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1280, 720, 0), (SizeF{853, 480}));
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1280, 720, -1.5), (SizeF{853, 480}));
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1280, 720, std::numeric_limits<double>::quiet_NaN()),
              (SizeF{853, 480}));
    EXPECT_EQ(screenSizeInPoints({853, 480}, 1280, 720, std::numeric_limits<double>::infinity()),
              (SizeF{853, 480}));
}
