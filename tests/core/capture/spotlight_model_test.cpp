#include "capture/spotlight_model.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(SpotlightModel, MoveRedrawsTheUnionOfBothCircleSquaresWithAMargin)
{
    SpotlightModel model({140, 0.7, {0, 0, 0, 1}, 30}, PointF{100, 100});
    EXPECT_EQ(model.moveTo({110, 100}), (RectF{-72, -72, 354, 344}));
    EXPECT_EQ(model.clearCircle(), (RectF{-60, -70, 340, 340}));
}

TEST(SpotlightModel, StartsCentredOnTheFirstPointerItIsGiven)
{
    SpotlightModel model;
    EXPECT_FALSE(model.hasPointer());
    EXPECT_EQ(model.clearCircle(), std::nullopt);

    // Nothing was drawn before, so the whole dimming must appear, not just a circle's square.
    EXPECT_EQ(model.moveTo({640, 360}), std::nullopt);
    EXPECT_EQ(model.clearCircle(), (RectF{470, 190, 340, 340}));
    EXPECT_EQ(model.moveTo({650, 360}), (RectF{468, 188, 354, 344}));
}

TEST(SpotlightModel, ANonFinitePointerIsIgnored)
{
    SpotlightModel model({}, PointF{10, 10});
    EXPECT_EQ(model.moveTo({notANumber, 5}), RectF{});
    EXPECT_EQ(model.pointer(), (PointF{10, 10}));

    SpotlightModel fresh({}, PointF{notANumber, notANumber});
    EXPECT_FALSE(fresh.hasPointer());
}

TEST(SpotlightModel, ZeroFeatherClearsExactlyTheRadius)
{
    SpotlightModel model({100, 0.5, {0, 0, 0, 1}, 0}, PointF{200, 200});
    EXPECT_EQ(model.clearCircle(), (RectF{100, 100, 200, 200}));
}

TEST(SpotlightModel, NewSettingsResizeTheCircleAroundTheSamePointer)
{
    SpotlightModel model({}, PointF{400, 300});
    model.applySettings({200, 0.8, {1, 0, 0, 1}, 50});
    EXPECT_EQ(model.clearCircle(), (RectF{150, 50, 500, 500}));
    EXPECT_EQ(model.settings().darkness, 0.8);
}

TEST(SpotlightSettings, FillTakesTheDarknessNotThePickedOpacity)
{
    const SpotlightSettings settings{140, 0.45, {0.2, 0.4, 0.6, 0.1}, 30};
    EXPECT_EQ(settings.fillColor(), (Color{0.2, 0.4, 0.6, 0.45}));
    EXPECT_EQ(settings.clearRadius(), 170);
}

TEST(SpotlightSettings, StoredValuesOutsideTheSliderRangesAreClamped)
{
    const SpotlightSettings low = clampedSpotlightSettings({10, 0.0, {0, 0, 0, 1}, -20});
    EXPECT_EQ(low, (SpotlightSettings{60, 0.3, {0, 0, 0, 1}, 0}));

    const SpotlightSettings high = clampedSpotlightSettings({900, 1.5, {2, -1, 0.5, 1}, 400});
    EXPECT_EQ(high, (SpotlightSettings{300, 0.9, {1, 0, 0.5, 1}, 100}));

    EXPECT_EQ(clampedSpotlightSettings({notANumber, notANumber, {notANumber, 0, 0, 1}, notANumber}),
              SpotlightSettings{});
}

TEST(SpotlightModel, ConstructionAndApplyingBothClamp)
{
    SpotlightModel model({-1, 2, {0, 0, 0, 1}, 1000}, PointF{0, 0});
    EXPECT_EQ(model.settings().clearRadius(), 160);
    model.applySettings({1e9, 0.5, {0, 0, 0, 1}, 0});
    EXPECT_EQ(model.settings().radius, 300);
}
