#include "capture/break_timer_fit.h"

#include "capture/break_timer_appearance.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

namespace {

constexpr auto floating = BreakTimerPresentationStyle::floating;
constexpr auto fullScreen = BreakTimerPresentationStyle::fullScreen;

// The design at `scale` takes no more than the room it was fitted to.
void expectFits(BreakTimerPresentationStyle style, SizeF screen, SizeF room)
{
    const double scale = breakTimerScale(style, screen);
    const SizeF design = breakTimerDesignSize(style);
    EXPECT_LE(design.width * scale, room.width + 1e-9);
    EXPECT_LE(design.height * scale, room.height + 1e-9);
}

} // namespace

TEST(BreakTimerFit, FullScreenPageHoldsColumnPaddingChooserAndTwoMessageLines)
{
    const SizeF page = breakTimerDesignSize(fullScreen);
    // The column's 820 and the padding of 64 on each side.
    EXPECT_EQ(page.width, 948);
    // Padding, header 42, ring 330, chooser 172, three spacings of 30, and the message.
    EXPECT_GT(page.height, 128 + 42 + 330 + 172 + 90 + 2 * 22);
    EXPECT_LT(page.height, 1080);
    EXPECT_EQ(breakTimerDesignSize(floating), (SizeF{500, 540}));
}

TEST(BreakTimerFit, LargeScreensKeepTheDesignSizes)
{
    EXPECT_EQ(breakTimerScale(fullScreen, {1920, 1080}), 1);
    EXPECT_EQ(breakTimerScale(floating, {1920, 1080}), 1);
    EXPECT_EQ(breakTimerScale(fullScreen, {3840, 2160}), 1);
    // The card fits a projector with room to spare.
    EXPECT_EQ(breakTimerScale(floating, {1280, 720}), 1);
}

TEST(BreakTimerFit, SmallScreensShrinkTheDesignUntilItFits)
{
    const double projector = breakTimerScale(fullScreen, {1280, 720});
    EXPECT_LT(projector, 1);
    EXPECT_GT(projector, 0.8);
    expectFits(fullScreen, {1280, 720}, {1280, 720});

    // A 1080p screen at 200 %.
    const double doubled = breakTimerScale(fullScreen, {960, 540});
    EXPECT_LT(doubled, projector);
    EXPECT_GT(doubled, 0.6);
    expectFits(fullScreen, {960, 540}, {960, 540});

    // The card keeps its margin of 24 from every edge.
    EXPECT_DOUBLE_EQ(breakTimerScale(floating, {960, 540}), (540.0 - 48) / 540);
    expectFits(floating, {960, 540}, {912, 492});
    // A narrow screen shrinks it by its width.
    EXPECT_DOUBLE_EQ(breakTimerScale(floating, {548, 1000}), 1);
    EXPECT_DOUBLE_EQ(breakTimerScale(floating, {498, 1000}), 0.9);
}

TEST(BreakTimerFit, TinyScreensStopAtTheSmallestReadableScale)
{
    EXPECT_EQ(breakTimerScale(fullScreen, {320, 240}), breakTimer::minimumScale);
    EXPECT_EQ(breakTimerScale(floating, {200, 200}), breakTimer::minimumScale);
    EXPECT_EQ(fittingScale({500, 540}, {0, 0}), breakTimer::minimumScale);
    EXPECT_EQ(fittingScale({500, 540}, {-10, 540}), breakTimer::minimumScale);
}

TEST(BreakTimerFit, DesignsThatCannotBeMeasuredAreLeftAlone)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(fittingScale({0, 0}, {1280, 720}), 1);
    EXPECT_EQ(fittingScale({500, 540}, {nan, nan}), 1);
    EXPECT_EQ(fittingScale({500, 540}, {1000, 1080}), 1);
}

TEST(BreakTimerMetrics, ScaleShrinksEverySizeTogether)
{
    const BreakTimerMetrics full = breakTimerMetrics(fullScreen);
    const BreakTimerMetrics half = breakTimerMetrics(fullScreen, 0.5);
    EXPECT_EQ(full.scale, 1);
    EXPECT_EQ(half.scale, 0.5);
    EXPECT_EQ(half.outerPadding, full.outerPadding / 2);
    EXPECT_EQ(half.maximumColumnWidth, 410);
    EXPECT_EQ(half.ringDiameter, 165);
    EXPECT_EQ(half.ringLineWidth, 9);
    EXPECT_EQ(half.timeFontSize, 64);
    EXPECT_EQ(half.messageFontSize, 11);
    EXPECT_EQ(half.columnSpacing, 15);
    EXPECT_EQ(half.startLabelWidth, 150);
    EXPECT_EQ(half.hasBorder, full.hasBorder);

    const BreakTimerMetrics card = breakTimerMetrics(floating, 0.5);
    EXPECT_EQ(card.cornerRadius, 14);
    EXPECT_EQ(card.maximumColumnWidth, 0);
    EXPECT_TRUE(card.hasBorder);
}
