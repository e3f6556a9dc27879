#include "capture/break_timer_model.h"

#include "capture/break_timer_appearance.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

using State = BreakTimerState;

// A model on a clock and a scheduler that move together, as the main loop's would.
struct Countdown
{
    explicit Countdown(double seconds)
        : model(seconds, "Short break", clock, scheduler)
    {
        model.onStarted = [this] {
            ++starts;
        };
        model.onFinished = [this] {
            ++finishes;
        };
    }

    void advance(std::chrono::milliseconds time)
    {
        clock.advance(time);
        scheduler.advance(time);
    }

    FakeClock clock{Timestamp{} + 1000h};
    FakeScheduler scheduler;
    BreakTimerModel model;
    int starts = 0;
    int finishes = 0;
};

} // namespace

TEST(BreakTimerFormat, RoundsPartialSecondsUpAndNeverLimitsMinutes)
{
    EXPECT_EQ(formatRemaining(59.2), "01:00");
    EXPECT_EQ(formatRemaining(0.2), "00:01");
    EXPECT_EQ(formatRemaining(0), "00:00");
    EXPECT_EQ(formatRemaining(-3), "00:00");
    EXPECT_EQ(formatRemaining(std::numeric_limits<double>::quiet_NaN()), "00:00");
    EXPECT_EQ(formatRemaining(300), "05:00");
    EXPECT_EQ(formatRemaining(7200), "120:00");
}

TEST(BreakTimerModel, StartsIdleWithTheDurationClampedAndNoTimer)
{
    const std::pair<double, double> cases[] = {{300, 300},
                                               {0, 1},
                                               {-40, 1},
                                               {9000, 7200},
                                               {std::numeric_limits<double>::quiet_NaN(), 1},
                                               {std::numeric_limits<double>::infinity(), 7200}};
    for (const auto &[duration, expected] : cases) {
        Countdown c(duration);
        EXPECT_EQ(c.model.state(), State::idle);
        EXPECT_EQ(c.model.configuredDuration(), expected) << duration;
        EXPECT_EQ(c.model.remainingSeconds(), expected) << duration;
        EXPECT_FALSE(c.model.isUpdating());
        EXPECT_EQ(c.scheduler.pendingCount(), 0u);
    }
}

TEST(BreakTimerModel, CountsDownAgainstTheDeadlineHoweverLateTheTickComes)
{
    Countdown c(300);
    c.model.start();
    EXPECT_EQ(c.starts, 1);
    EXPECT_EQ(c.model.state(), State::running);
    EXPECT_TRUE(c.model.isUpdating());
    EXPECT_EQ(c.model.deadline(), c.clock.now() + 300s);

    c.advance(200ms);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 299.8);
    // The main loop stalls for 10 s: the next tick catches up in one step.
    c.clock.advance(10s);
    c.scheduler.advance(200ms);
    EXPECT_NEAR(c.model.remainingSeconds(), 289.8, 1e-9);
    EXPECT_EQ(c.model.formattedRemaining(), "04:50");
}

TEST(BreakTimerModel, FinishesOnceAtZeroAndStopsTheTimer)
{
    Countdown c(1);
    int changes = 0;
    auto connection = c.model.changed.connect([&] { ++changes; });
    c.model.start();
    c.advance(800ms);
    EXPECT_EQ(c.model.state(), State::running);
    c.advance(400ms);
    EXPECT_EQ(c.model.state(), State::finished);
    EXPECT_EQ(c.model.remainingSeconds(), 0);
    EXPECT_FALSE(c.model.deadline().has_value());
    EXPECT_FALSE(c.model.isUpdating());
    EXPECT_EQ(c.finishes, 1);
    EXPECT_GT(changes, 1);

    // No tick is left to run, and a pause or resume in finished does nothing.
    c.advance(5s);
    c.model.pause();
    c.model.resume();
    EXPECT_EQ(c.finishes, 1);
    EXPECT_EQ(c.scheduler.pendingCount(), 0u);
}

TEST(BreakTimerModel, PausesAndResumesFromTheSameRemainingTime)
{
    Countdown c(120);
    c.model.start();
    c.advance(30s);
    c.model.pause();
    EXPECT_EQ(c.model.state(), State::paused);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 90);
    EXPECT_FALSE(c.model.isUpdating());
    EXPECT_FALSE(c.model.deadline().has_value());

    c.advance(1h);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 90);
    c.model.resume();
    EXPECT_EQ(c.model.state(), State::running);
    EXPECT_EQ(c.model.deadline(), c.clock.now() + 90s);
    c.advance(1s);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 89);
}

TEST(BreakTimerModel, PauseAfterTheDeadlineFinishesInstead)
{
    Countdown c(5);
    c.model.start();
    c.clock.advance(6s); // no tick has run yet
    c.model.pause();
    EXPECT_EQ(c.model.state(), State::finished);
    EXPECT_EQ(c.finishes, 1);
}

TEST(BreakTimerModel, StartOnlyFromIdleOrFinishedAndRestartsFromTheConfiguredDuration)
{
    Countdown c(60);
    c.model.start();
    c.model.start();
    c.model.pause();
    c.model.start();
    EXPECT_EQ(c.starts, 1);
    EXPECT_EQ(c.model.state(), State::paused);

    c.model.resume();
    c.advance(61s);
    ASSERT_EQ(c.model.state(), State::finished);
    c.model.start();
    EXPECT_EQ(c.starts, 2);
    EXPECT_EQ(c.model.state(), State::running);
    EXPECT_EQ(c.model.remainingSeconds(), 60);
    c.advance(61s);
    EXPECT_EQ(c.finishes, 2);
}

TEST(BreakTimerModel, StartedIsCalledBeforeAnythingChanges)
{
    Countdown c(1);
    c.model.start();
    c.advance(2s);
    State seen = State::idle;
    c.model.onStarted = [&] {
        seen = c.model.state();
    };
    c.model.start();
    EXPECT_EQ(seen, State::finished);
}

TEST(BreakTimerModel, AddMinuteNeverPassesTwoHours)
{
    Countdown c(7200 - 30);
    c.model.addMinute();
    EXPECT_EQ(c.model.remainingSeconds(), 7200);
    c.model.addMinute();
    EXPECT_EQ(c.model.remainingSeconds(), 7200);
    // The configured duration stays; only the time left grows.
    EXPECT_EQ(c.model.configuredDuration(), 7170);
    EXPECT_EQ(c.model.state(), State::idle);
}

TEST(BreakTimerModel, AddMinuteMovesARunningDeadlineAndKeepsAPauseStill)
{
    Countdown c(120);
    c.model.start();
    const Timestamp deadline = *c.model.deadline();
    c.model.addMinute();
    EXPECT_EQ(c.model.deadline(), deadline + 60s);
    EXPECT_EQ(c.model.remainingSeconds(), 180);
    c.advance(10s);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 170);

    c.model.pause();
    c.model.addMinute();
    EXPECT_EQ(c.model.state(), State::paused);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 230);
}

// The ring measures against the countdown's whole length, so "+1 min" on a paused countdown
// keeps the part already run on it rather than emptying it.
TEST(BreakTimerModel, AnAddedMinuteLengthensWhatTheRingMeasures)
{
    Countdown c(120);
    c.model.start();
    c.advance(60s);
    c.model.pause();
    c.model.addMinute();
    EXPECT_EQ(c.model.countdownLength(), 180);
    const double progress =
        breakTimerProgress(c.model.state(), c.model.remainingSeconds(), c.model.countdownLength());
    EXPECT_NEAR(progress, 1.0 / 3, 1e-9);

    c.model.resume();
    c.advance(121s);
    ASSERT_EQ(c.model.state(), State::finished);
    c.model.start();
    EXPECT_EQ(c.model.countdownLength(), 120) << "a fresh run measures the configured duration";
}

TEST(BreakTimerModel, AddMinuteToAFinishedCountdownPausesItAndAllowsAnotherFinish)
{
    Countdown c(2);
    c.model.start();
    c.advance(3s);
    ASSERT_EQ(c.finishes, 1);
    c.model.addMinute();
    EXPECT_EQ(c.model.state(), State::paused);
    EXPECT_EQ(c.model.remainingSeconds(), 60);
    EXPECT_FALSE(c.model.isUpdating());

    c.model.resume();
    c.advance(61s);
    EXPECT_EQ(c.model.state(), State::finished);
    EXPECT_EQ(c.finishes, 2);
    EXPECT_EQ(c.starts, 1);
}

TEST(BreakTimerModel, SetDurationClampsAndOnlyActsWhileIdleOrFinished)
{
    const std::tuple<int, int, double> cases[] = {
        {0, 0, 1}, {121, 0, 7200}, {-5, 30, 30}, {4, -10, 240}, {2, 75, 195}};
    for (const auto &[minutes, seconds, expected] : cases) {
        Countdown c(300);
        c.model.setDurationMinutes(minutes, seconds);
        EXPECT_EQ(c.model.configuredDuration(), expected) << minutes << ":" << seconds;
        EXPECT_EQ(c.model.remainingSeconds(), expected);
    }

    Countdown c(300);
    c.model.start();
    c.model.setDurationMinutes(10, 0);
    c.model.pause();
    c.model.setDurationMinutes(10, 0);
    EXPECT_EQ(c.model.configuredDuration(), 300);
    EXPECT_EQ(c.model.state(), State::paused);

    c.model.resume();
    c.advance(301s);
    c.model.setDurationMinutes(3, 0);
    EXPECT_EQ(c.model.state(), State::idle);
    EXPECT_EQ(c.model.remainingSeconds(), 180);
    c.model.start();
    c.advance(181s);
    EXPECT_EQ(c.finishes, 2);
}

TEST(BreakTimerModel, StopEndsTheTimerButKeepsTheState)
{
    Countdown c(300);
    c.model.start();
    c.advance(1s);
    c.model.stop();
    EXPECT_EQ(c.model.state(), State::running);
    EXPECT_FALSE(c.model.isUpdating());
    EXPECT_FALSE(c.model.deadline().has_value());
    c.advance(400s);
    EXPECT_DOUBLE_EQ(c.model.remainingSeconds(), 299);
    EXPECT_EQ(c.finishes, 0);
}

TEST(BreakTimerModel, APendingTickOutlivingTheModelDoesNothing)
{
    FakeClock clock;
    FakeScheduler scheduler;
    {
        BreakTimerModel model(10, "", clock, scheduler);
        model.start();
    }
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    clock.advance(1s);
    scheduler.advance(1s);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}
