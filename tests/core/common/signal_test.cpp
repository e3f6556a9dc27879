#include "common/signal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zentrel;

TEST(Signal, RunsHandlersInConnectionOrderUntilDisconnected)
{
    Signal<int> signal;
    std::vector<std::string> calls;
    auto first = signal.connect([&](int n) { calls.push_back("first " + std::to_string(n)); });
    {
        auto second =
            signal.connect([&](int n) { calls.push_back("second " + std::to_string(n)); });
        signal.notify(1);
    }
    signal.notify(2);
    first.disconnect();
    first.disconnect();
    signal.notify(3);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "second 1", "first 2"}));
}

TEST(ScopedConnection, MovesItsHandlerAndDropsTheOneItReplaces)
{
    Signal<> signal;
    int first = 0;
    int second = 0;
    ScopedConnection kept;
    {
        auto original = signal.connect([&] { ++first; });
        kept = std::move(original);
    }
    signal.notify();
    kept = signal.connect([&] { ++second; });
    signal.notify();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST(Signal, SkipsHandlersDisconnectedDuringEmission)
{
    Signal<> signal;
    int selfCalls = 0;
    int victimCalls = 0;
    int lastCalls = 0;
    ScopedConnection self;
    ScopedConnection victim;
    self = signal.connect([&] {
        ++selfCalls;
        self.disconnect();
        victim.disconnect();
    });
    victim = signal.connect([&] { ++victimCalls; });
    auto last = signal.connect([&] { ++lastCalls; });
    signal.notify();
    signal.notify();
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(victimCalls, 0);
    EXPECT_EQ(lastCalls, 2);
}

TEST(Signal, CallsAHandlerConnectedDuringEmissionNextTime)
{
    Signal<> signal;
    std::vector<ScopedConnection> added;
    int addedCalls = 0;
    auto adder = signal.connect([&] {
        if (added.empty()) {
            added.push_back(signal.connect([&] { ++addedCalls; }));
        }
    });
    signal.notify();
    EXPECT_EQ(addedCalls, 0);
    signal.notify();
    EXPECT_EQ(addedCalls, 1);
}

TEST(ScopedConnection, MayOutliveItsSignal)
{
    ScopedConnection connection;
    {
        Signal<int> signal;
        connection = signal.connect([](int) {});
    }
    connection.disconnect();
}
