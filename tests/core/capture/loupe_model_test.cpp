#include "capture/loupe_model.h"

#include "common/settings/memory_defaults_store.h"
#include "shell/app_preferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zentrel;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

LoupeAdjustment zoomTo(double zoom)
{
    return {zoom, std::nullopt};
}

LoupeAdjustment sizeTo(double diameter)
{
    return {std::nullopt, diameter};
}

} // namespace

TEST(LoupeScroll, WheelStepsAreAQuarterScaledByTheDeltaWithinOneToThree)
{
    const LoupeSettings start{240, 2.0};
    EXPECT_EQ(loupeScroll(start, 0.5, false), zoomTo(2.25));
    EXPECT_EQ(loupeScroll(start, 2, false), zoomTo(2.5));
    EXPECT_EQ(loupeScroll(start, 7, false), zoomTo(2.75));
    EXPECT_EQ(loupeScroll(start, -0.1, false), zoomTo(1.75));
}

TEST(LoupeScroll, ZeroOrHorizontalScrollChangesNothing)
{
    const LoupeSettings start{240, 2.0};
    EXPECT_FALSE(loupeScroll(start, 0, false).changed());
    EXPECT_FALSE(loupeScroll(start, -0.0, true).changed());
    EXPECT_FALSE(loupeScroll(start, notANumber, false).changed());
}

TEST(LoupeScroll, ZoomStopsAtItsLimitsWithoutReportingAChange)
{
    EXPECT_FALSE(loupeScroll({240, 1.5}, -1, false).changed());
    EXPECT_FALSE(loupeScroll({240, 4.0}, 3, false).changed());
    EXPECT_EQ(loupeScroll({240, 3.9}, 3, false), zoomTo(4.0));
}

TEST(LoupeScroll, SizeModifierChangesTheDiameterByTens)
{
    EXPECT_EQ(loupeScroll({240, 2}, 1, true), sizeTo(250));
    EXPECT_EQ(loupeScroll({240, 2}, -5, true), sizeTo(210));
    EXPECT_EQ(loupeScroll({395, 2}, 1, true), sizeTo(400));
    EXPECT_FALSE(loupeScroll({400, 2}, 1, true).changed());
    EXPECT_FALSE(loupeScroll({120, 2}, -1, true).changed());
}

TEST(LoupeMagnify, PinchScalesTheZoomAndClamps)
{
    EXPECT_EQ(loupeMagnify({240, 2.0}, 0.5), zoomTo(3.0));
    EXPECT_EQ(loupeMagnify({240, 3.0}, 0.5), zoomTo(4.0));
    EXPECT_EQ(loupeMagnify({240, 2.0}, -0.9), zoomTo(1.5));
    EXPECT_FALSE(loupeMagnify({240, 4.0}, 0.2).changed());
    EXPECT_FALSE(loupeMagnify({240, 2.0}, infinity).changed());
}

TEST(LoupeSettings, StoredValuesAreClampedAndNonFiniteOnesTakeTheDefaults)
{
    EXPECT_EQ(clampedLoupeSettings(1000, 0), (LoupeSettings{400, 1.5}));
    EXPECT_EQ(clampedLoupeSettings(-5, 99), (LoupeSettings{120, 4.0}));
    EXPECT_EQ(clampedLoupeSettings(notANumber, infinity), (LoupeSettings{240, 2.0}));

    MemoryDefaultsStore store;
    store.setValue(std::string(AppPreferences::key(AppPreferences::Setting::zoomFactor)), 0.0);
    store.setValue(std::string(AppPreferences::key(AppPreferences::Setting::zoomDiameter)), 50.0);
    const AppPreferences preferences(store);
    EXPECT_EQ(loupeSettings(preferences), (LoupeSettings{120, 1.5}));
}

TEST(LoupeGeometry, CropAtTwiceZoomOnARetinaScreenIsTheDiameterInPixels)
{
    const LoupeGeometry g = loupeGeometry({500, 400}, {240, 2.0}, {1000, 800}, 2000, 1600);
    EXPECT_EQ(g.loupe, (RectF{380, 280, 240, 240}));
    EXPECT_EQ(g.exactCrop, (RectF{880, 680, 240, 240}));
    EXPECT_EQ(g.crop, (PixelRect{880, 680, 240, 240}));
    EXPECT_EQ(g.outerRim, (RectF{382, 282, 236, 236}));
    EXPECT_EQ(g.innerRim, (RectF{385, 285, 230, 230}));
}

TEST(LoupeGeometry, CropIsPinnedInsideTheImageAtTheCorners)
{
    const LoupeGeometry topLeft = loupeGeometry({0, 0}, {240, 2.0}, {1000, 800}, 1000, 800);
    EXPECT_EQ(topLeft.loupe, (RectF{-120, -120, 240, 240}));
    EXPECT_EQ(topLeft.crop, (PixelRect{0, 0, 120, 120}));

    const LoupeGeometry bottomRight = loupeGeometry({999, 799}, {240, 2.0}, {1000, 800}, 1000, 800);
    EXPECT_EQ(bottomRight.crop, (PixelRect{880, 680, 120, 120}));
}

TEST(LoupeGeometry, FractionalCropGrowsOutwardToWholePixels)
{
    // Scale 1.5: crop 180 / 2.5 = 72 pixels wide around 150.75.
    const LoupeGeometry g = loupeGeometry({100.5, 100.5}, {120, 2.5}, {1000, 800}, 1500, 1200);
    EXPECT_DOUBLE_EQ(g.exactCrop.x, 150.75 - 36);
    EXPECT_EQ(g.crop, (PixelRect{114, 114, 73, 73}));
}

TEST(LoupeGeometry, ZeroZoomIsClampedInsteadOfDividingByZero)
{
    const LoupeGeometry g = loupeGeometry({500, 400}, {240, 0}, {1000, 800}, 1000, 800);
    EXPECT_EQ(g.exactCrop.width, 160);
    EXPECT_TRUE(std::isfinite(g.exactCrop.x));
    EXPECT_EQ(g.crop, (PixelRect{420, 320, 160, 160}));
}

TEST(LoupeGeometry, NoImageOrBadScreenGivesAnEmptyCropButKeepsTheRims)
{
    const LoupeGeometry noImage = loupeGeometry({50, 50}, {240, 2}, {100, 100}, 0, 0);
    EXPECT_TRUE(noImage.crop.isEmpty());
    EXPECT_EQ(noImage.outerRim, (RectF{-68, -68, 236, 236}));
    EXPECT_TRUE(loupeGeometry({50, 50}, {240, 2}, {0, 100}, 100, 100).crop.isEmpty());
    EXPECT_TRUE(loupeGeometry({notANumber, 50}, {240, 2}, {100, 100}, 100, 100).crop.isEmpty());
}
