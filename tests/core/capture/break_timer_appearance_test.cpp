#include "capture/break_timer_appearance.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

TEST(BreakTimerAppearance, EachStateHasItsBadgeStatusAndLowerArea)
{
    const auto idle = breakTimerAppearance(BreakTimerState::idle);
    EXPECT_EQ(idle.badgeTitle, "Ready");
    EXPECT_EQ(idle.statusLine, "Choose a duration");
    EXPECT_TRUE(idle.isChoosing);
    EXPECT_EQ(idle.primaryTitle, "Start Countdown");

    const auto running = breakTimerAppearance(BreakTimerState::running);
    EXPECT_EQ(running.badgeTitle, "In progress");
    EXPECT_EQ(running.statusLine, "Remaining");
    EXPECT_FALSE(running.isChoosing);
    EXPECT_EQ(running.primaryTitle, "Pause");
    EXPECT_EQ(running.primarySymbol, "pause.fill");

    const auto paused = breakTimerAppearance(BreakTimerState::paused);
    EXPECT_EQ(paused.badgeTitle, "Paused");
    EXPECT_FALSE(paused.isChoosing);
    EXPECT_EQ(paused.primaryTitle, "Resume");

    const auto finished = breakTimerAppearance(BreakTimerState::finished);
    EXPECT_EQ(finished.badgeTitle, "Finished");
    EXPECT_EQ(finished.statusLine, "Break is over");
    EXPECT_TRUE(finished.isChoosing);
    EXPECT_EQ(finished.primaryTitle, "Start Again");

    EXPECT_NE(idle.accent, running.accent);
    EXPECT_NE(running.accent, paused.accent);
    EXPECT_NE(paused.accent, finished.accent);
}

TEST(BreakTimerAppearance, ProgressStaysWithinZeroAndOne)
{
    using State = BreakTimerState;
    EXPECT_EQ(breakTimerProgress(State::idle, 300, 300), 0);
    EXPECT_DOUBLE_EQ(breakTimerProgress(State::running, 75, 300), 0.75);
    // More left than configured after "+1 min": an empty ring, not a negative one.
    EXPECT_EQ(breakTimerProgress(State::paused, 360, 300), 0);
    EXPECT_EQ(breakTimerProgress(State::finished, 60, 300), 1);
    EXPECT_EQ(breakTimerProgress(State::running, 0.5, 0), 0.5);
    EXPECT_EQ(breakTimerProgress(State::running, 10, std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(BreakTimerAppearance, OnlyAChipOfExactlyTheConfiguredMinutesIsSelected)
{
    EXPECT_TRUE(isQuickDurationSelected(300, 5));
    EXPECT_FALSE(isQuickDurationSelected(300, 3));
    EXPECT_FALSE(isQuickDurationSelected(330, 5));
    EXPECT_TRUE(isQuickDurationSelected(300.7, 5));
}

TEST(BreakTimerAppearance, AdjustingStepsByHalfMinutesAndNeverReachesZero)
{
    EXPECT_EQ(adjustedDuration(300, -30), (DurationChoice{4, 30}));
    EXPECT_EQ(adjustedDuration(300, 30), (DurationChoice{5, 30}));
    EXPECT_EQ(adjustedDuration(31, -30), (DurationChoice{0, 1}));
    EXPECT_EQ(adjustedDuration(20, -30), (DurationChoice{0, 1}));
    EXPECT_EQ(adjustedDuration(7190, 30), (DurationChoice{120, 20}));

    EXPECT_FALSE(canDecreaseDuration(30));
    EXPECT_TRUE(canDecreaseDuration(31));
    EXPECT_FALSE(canIncreaseDuration(7200));
    EXPECT_TRUE(canIncreaseDuration(7190));
}
