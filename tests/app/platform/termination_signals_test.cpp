#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace zentrel {
namespace {

// Each case runs in a child of its own, which the signal may end.
class TerminationSignalsDeathTest : public testing::Test
{
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(TerminationSignalsDeathTest, EndTheStartAtOnceEvenWithTheLoopAboutToRun)
{
    EXPECT_EXIT(
        {
            TerminationSignals termination;
            termination.deliverOnceLoopRuns();
            std::raise(SIGINT);
            std::fputs("outlived the signal", stderr);
            std::exit(0);
        },
        testing::KilledBySignal(SIGINT),
        "");
}

TEST_F(TerminationSignalsDeathTest, QuitTheRunningLoopInOrderAndEndAtOnceOnASecondSignal)
{
    EXPECT_EXIT(
        {
            TerminationSignals termination;
            QSignalSpy received(&termination, &TerminationSignals::received);
            termination.deliverOnceLoopRuns();
            QCoreApplication::processEvents();
            std::raise(SIGTERM);
            if (received.wait(5000)) {
                std::fputs("quits in order", stderr);
            }
            std::raise(SIGTERM);
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM),
        "quits in order");
}

} // namespace
} // namespace zentrel
