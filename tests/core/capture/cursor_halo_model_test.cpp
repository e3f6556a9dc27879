#include "capture/cursor_halo_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

const Timestamp t0 = Timestamp{} + 1000h;

CursorHaloSettings settings(double size, double opacity, double border)
{
    return {size, {0.2, 0.4, 0.6, 1}, opacity, border};
}

} // namespace

TEST(CursorHaloGradient, CentreIsLightenedAndStopsFadeOut)
{
    const auto stops = haloGradient(settings(112, 0.2, 6));
    EXPECT_EQ(stops[0].location, 0);
    EXPECT_DOUBLE_EQ(stops[0].color.red, 0.6);
    EXPECT_DOUBLE_EQ(stops[0].color.green, 0.7);
    EXPECT_DOUBLE_EQ(stops[0].color.blue, 0.8);
    EXPECT_EQ(stops[0].color.alpha, 0.2);
    EXPECT_EQ(stops[1].location, 0.35);
    EXPECT_DOUBLE_EQ(stops[1].color.alpha, 0.2 * 0.55);
    EXPECT_EQ(stops[1].color.red, 0.2);
    EXPECT_EQ(stops[2].location, 0.7);
    EXPECT_DOUBLE_EQ(stops[2].color.alpha, 0.2 * 0.18);
    EXPECT_EQ(stops[3], (HaloGradientStop{1.0, {0.2, 0.4, 0.6, 0}}));

    CursorHaloSettings white = settings(112, 1, 6);
    white.ringColor = {1, 1, 1, 1};
    EXPECT_EQ(haloGradient(white)[0].color, (Color{1, 1, 1, 1}));
}

TEST(CursorHaloRipple, GrowsThinsAndFadesOverItsLifetime)
{
    const CursorClickAnimation click{CursorClickKind::left, {50, 60}, t0};
    const CursorHaloSettings s = settings(100, 0.2, 6);

    const auto start = rippleAppearance(click, s, t0);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->centre, (PointF{50, 60}));
    EXPECT_EQ(start->radius, 50);
    EXPECT_EQ(start->lineWidth, 6);
    EXPECT_EQ(start->color, (Color{0.2, 0.4, 0.6, 0.2}));
    EXPECT_EQ(start->shadowBlur, 12);
    EXPECT_FALSE(start->dashed);

    const auto middle = rippleAppearance(click, s, t0 + 225ms);
    ASSERT_TRUE(middle);
    EXPECT_DOUBLE_EQ(middle->radius, 70);
    EXPECT_DOUBLE_EQ(middle->lineWidth, 4.5);
    EXPECT_DOUBLE_EQ(middle->color.alpha, 0.1);
    EXPECT_DOUBLE_EQ(middle->shadowColor.alpha, 0.1);
    EXPECT_DOUBLE_EQ(middle->shadowBlur, 6);

    // A thin border still starts 3 points wide.
    EXPECT_DOUBLE_EQ(rippleAppearance(click, settings(0, 1, 1), t0 + 225ms)->lineWidth, 2.25);
    EXPECT_FALSE(rippleAppearance(click, s, t0 + 450ms));
    EXPECT_FALSE(rippleAppearance(click, s, t0 - 1ms));
}

TEST(CursorHaloRipple, RightClickIsOrangeAndDashedWithATravellingPhase)
{
    const CursorClickAnimation click{CursorClickKind::right, {0, 0}, t0};
    const auto start = rippleAppearance(click, settings(100, 1, 6), t0);
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->dashed);
    EXPECT_EQ(start->dashPhase, 0);
    EXPECT_EQ(start->color, cursorHalo::rightClickColor);
    const auto later = rippleAppearance(click, settings(100, 1, 6), t0 + 360ms);
    EXPECT_DOUBLE_EQ(later->dashPhase, 16);
}

TEST(CursorHaloModel, RippleStaysWhereTheClickHappened)
{
    CursorHaloModel model(settings(100, 1, 6));
    model.moveTo({10, 20});
    model.recordClick(CursorClickKind::left, t0);
    model.moveTo({300, 300});
    const auto ripples = model.ripples(t0 + 10ms);
    ASSERT_EQ(ripples.size(), 1u);
    EXPECT_EQ(ripples[0].centre, (PointF{10, 20}));
    EXPECT_EQ(model.haloBounds(), (RectF{250, 250, 100, 100}));
}

TEST(CursorHaloModel, TimerStartsOnceAndStopsAfterTheYoungestRippleExpires)
{
    CursorHaloModel model;
    EXPECT_FALSE(model.isAnimating());
    EXPECT_TRUE(model.recordClick(CursorClickKind::left, t0));
    EXPECT_FALSE(model.recordClick(CursorClickKind::right, t0 + 100ms));
    EXPECT_EQ(model.ripples(t0 + 200ms).size(), 2u);
    EXPECT_EQ(model.ripples(t0 + 200ms)[0].dashed, false); // oldest first, drawn underneath

    EXPECT_TRUE(model.prune(t0 + 460ms));
    ASSERT_EQ(model.clicks().size(), 1u);
    EXPECT_EQ(model.clicks()[0].kind, CursorClickKind::right);
    EXPECT_FALSE(model.prune(t0 + 550ms));
    EXPECT_FALSE(model.isAnimating());
    EXPECT_TRUE(model.recordClick(CursorClickKind::left, t0 + 600ms));
}

TEST(CursorHaloModel, RippleFromTheFutureIsNotDrawnAndIsPruned)
{
    CursorHaloModel model;
    model.recordClick(CursorClickKind::left, t0 + 1s);
    EXPECT_TRUE(model.ripples(t0).empty());
    EXPECT_FALSE(model.prune(t0));
    EXPECT_TRUE(model.clicks().empty());
}

TEST(CursorHaloModel, NewSettingsReachRunningRipples)
{
    CursorHaloModel model(settings(100, 1, 6));
    model.recordClick(CursorClickKind::left, t0);
    model.applySettings(settings(40, 0.5, 10));
    const auto ripples = model.ripples(t0);
    ASSERT_EQ(ripples.size(), 1u);
    EXPECT_EQ(ripples[0].radius, 20);
    EXPECT_EQ(ripples[0].lineWidth, 10);
    EXPECT_EQ(ripples[0].color.alpha, 0.5);
}

TEST(CursorHaloModel, PointerMoveRedrawsAroundTheOldAndNewPositions)
{
    CursorHaloModel model(settings(100, 1, 6));
    model.moveTo({100, 100});
    // Half side 100 / 2 + 32 = 82 around each position.
    EXPECT_EQ(model.moveTo({120, 90}), (RectF{18, 8, 184, 174}));
    EXPECT_EQ(model.moveTo({std::numeric_limits<double>::quiet_NaN(), 0}), RectF{});
    EXPECT_EQ(model.pointer(), (PointF{120, 90}));
}

TEST(CursorHaloSettings, BadStoredValuesAreMadeSafe)
{
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    const CursorHaloSettings fixed =
        sanitizedCursorHaloSettings({-10, {notANumber, 2, 0.5, 1}, 3, notANumber});
    EXPECT_EQ(fixed.ringSize, 0);
    EXPECT_EQ(fixed.ringOpacity, 1);
    EXPECT_EQ(fixed.borderWidth, CursorHaloSettings{}.borderWidth);
    EXPECT_EQ(fixed.ringColor.green, 1);
    EXPECT_EQ(fixed.ringColor.blue, 0.5);
}
