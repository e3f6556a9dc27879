#include "shell/onboarding/onboarding_flow.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_permission_probe.h"
#include "fakes/fake_scheduler.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

struct Harness
{
    MemoryDefaultsStore defaults;
    FakeScheduler scheduler;
    OnboardingFlow flow{defaults, scheduler};
    int shown = 0;

    void start()
    {
        flow.scheduleAtStart([this] { ++shown; });
    }
};

} // namespace

TEST(OnboardingFlow, OpensFourTenthsOfASecondAfterAFirstStart)
{
    Harness h;
    h.start();
    h.scheduler.advance(399ms);
    EXPECT_EQ(h.shown, 0);
    h.scheduler.advance(1ms);
    EXPECT_EQ(h.shown, 1);
    EXPECT_TRUE(h.flow.isOpen());
}

TEST(OnboardingFlow, NeverOpensOnceCompleted)
{
    Harness h;
    h.defaults.setValue("onboarding.completed", true);
    h.start();
    h.scheduler.advance(1s);
    EXPECT_EQ(h.shown, 0);
}

TEST(OnboardingFlow, OnlyContinuingRecordsCompletionAndOnlyTheFirstEndCounts)
{
    Harness closedEarly;
    closedEarly.start();
    closedEarly.scheduler.advance(1s);
    EXPECT_TRUE(closedEarly.flow.finish(false));
    EXPECT_FALSE(closedEarly.defaults.storedValue("onboarding.completed"));
    // The window's close after a finish must not count again.
    EXPECT_FALSE(closedEarly.flow.finish(true));
    EXPECT_FALSE(closedEarly.defaults.storedValue("onboarding.completed"));

    Harness continued;
    continued.start();
    continued.scheduler.advance(1s);
    EXPECT_TRUE(continued.flow.finish(true));
    EXPECT_FALSE(continued.flow.finish(false));
    EXPECT_EQ(continued.defaults.storedValue("onboarding.completed"), nlohmann::json(true));
    EXPECT_TRUE(continued.flow.isCompleted());
}

TEST(OnboardingFlow, FinishWithoutAShownWindowChangesNothing)
{
    Harness h;
    EXPECT_FALSE(h.flow.finish(true));
    EXPECT_FALSE(h.defaults.storedValue("onboarding.completed"));
}

TEST(OnboardingFlow, ADelayedCheckOutlivingTheFlowDoesNothing)
{
    MemoryDefaultsStore defaults;
    FakeScheduler scheduler;
    int shown = 0;
    {
        OnboardingFlow flow(defaults, scheduler);
        flow.scheduleAtStart([&] { ++shown; });
    }
    scheduler.advance(1s);
    EXPECT_EQ(shown, 0);
}

TEST(OnboardingFlow, ContinuingAsksFirstUnlessBothPermissionsAreGranted)
{
    FakePermissionProbe probe;
    PermissionManager permissions(probe);
    EXPECT_EQ(onboardingContinuation(permissions), OnboardingContinuation::finish);

    probe.keys = PermissionStatus{false, "No XInput 2."};
    // The cached flags decide until they are read again.
    EXPECT_EQ(onboardingContinuation(permissions), OnboardingContinuation::finish);
    permissions.refresh();
    EXPECT_EQ(onboardingContinuation(permissions),
              OnboardingContinuation::confirmMissingPermissions);
    EXPECT_EQ(permissions.accessibility().reason, "No XInput 2.");

    probe.keys = PermissionStatus{true, {}};
    probe.screen = PermissionStatus{false, "No X display."};
    permissions.requestAccessibility();
    EXPECT_TRUE(permissions.hasScreenRecording()) << "only the asked flag is read";
    permissions.requestScreenRecording();
    EXPECT_EQ(onboardingContinuation(permissions),
              OnboardingContinuation::confirmMissingPermissions);
}
