#include "whiteboard/editor/save_debounce.h"

#include "fakes/fake_clock.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

struct SaveDebounceTest : ::testing::Test
{
    FakeClock clock{Timestamp{} + 1000h};
    SaveDebounce debounce{350ms, 2000ms};
};

TEST_F(SaveDebounceTest, EachChangeOfAShortBurstWaitsThePause)
{
    for (int change = 0; change < 5; ++change) {
        EXPECT_EQ(debounce.delayAfterChange(clock.now()), 350ms) << "change " << change;
        clock.advance(300ms);
    }
}

TEST_F(SaveDebounceTest, ChangesThatNeverPauseAreSavedByTheLongestWait)
{
    debounce.delayAfterChange(clock.now());
    clock.advance(1800ms);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 200ms);
    clock.advance(150ms);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 50ms);
    clock.advance(100ms);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 0ms) << "overdue: save at once";
}

TEST_F(SaveDebounceTest, ASaveStartsTheNextBurst)
{
    debounce.delayAfterChange(clock.now());
    clock.advance(2000ms);
    debounce.saveStarted();
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 350ms);
    clock.advance(1700ms);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 300ms);
}

TEST_F(SaveDebounceTest, AClockSetBackNeverStretchesTheWait)
{
    debounce.delayAfterChange(clock.now());
    clock.advance(-10min);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 350ms);
    clock.advance(1900ms);
    EXPECT_EQ(debounce.delayAfterChange(clock.now()), 100ms);
}

} // namespace
