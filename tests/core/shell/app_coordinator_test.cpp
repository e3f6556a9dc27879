#include "shell/app_coordinator.h"

#include "fakes/coordinator_on_fakes.h"
#include "shell/presentation_color.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace zentrel;

namespace {

using Modes = std::vector<AppMode>;
using Texts = std::vector<std::string>;
using Kind = PresentationAction::Kind;

const std::string noDisplay = "No active display was found.";
const std::string urlsDisabled =
    "External command URLs are disabled. Enable them in Settings > General.";
const std::string urlInvalid = "The Zentrel command URL is invalid.";

// One coordinator on fakes, recording every mode it announces.
struct Harness : CoordinatorOnFakes
{
    Modes modes;
    ScopedConnection connection =
        coordinator.modeChanged.connect([this](AppMode mode) { modes.push_back(mode); });

    std::optional<PresentationFeature> &held()
    {
        return coordinator.hotkeyActivationState().heldFeature;
    }

    void url(std::optional<std::string> host, std::vector<std::string> path)
    {
        coordinator.handleCommandUrl({"zentrel", std::move(host), std::move(path)});
    }
};

} // namespace

TEST(AppCoordinator, TogglingAFeatureOpensItOnTheActiveScreen)
{
    Harness h;
    h.screens.screen = 2;
    h.coordinator.toggleFeature(AppMode::spotlight);

    EXPECT_EQ(h.coordinator.mode(), AppMode::spotlight);
    ASSERT_EQ(h.overlays.madeCount(), 1);
    EXPECT_EQ(h.overlays.lastRecord().screen, 2u);
    EXPECT_EQ(h.overlays.lastRecord().startedModes, Modes{AppMode::spotlight});
    EXPECT_EQ(h.modes, Modes{AppMode::spotlight});
}

TEST(AppCoordinator, AnnouncesTheModeBeforeTheFeatureStarts)
{
    Harness h;
    std::optional<std::size_t> startsSeen;
    const auto connection = h.coordinator.modeChanged.connect(
        [&](AppMode) { startsSeen = h.overlays.lastRecord().startedModes.size(); });
    h.coordinator.toggleFeature(AppMode::breakTimer);
    EXPECT_EQ(startsSeen, 0u);
}

TEST(AppCoordinator, TogglingTheRunningFeatureStopsIt)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.coordinator.toggleFeature(AppMode::drawing);

    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.madeCount(), 1);
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 1);
    EXPECT_FALSE(h.overlays.lastRecord().destroyedInsideExit);
    h.scheduler.runPending();
    EXPECT_TRUE(h.overlays.lastRecord().destroyed);
    EXPECT_EQ(h.modes, (Modes{AppMode::drawing, AppMode::idle}));
}

TEST(AppCoordinator, TogglingAnotherFeatureClosesTheFirstCompletelyBeforeOpeningIt)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.held() = PresentationFeature::drawing;
    h.coordinator.toggleFeature(AppMode::whiteboard);

    EXPECT_EQ(h.coordinator.mode(), AppMode::whiteboard);
    ASSERT_EQ(h.overlays.madeCount(), 2);
    EXPECT_EQ(h.overlays.record(0).closeCalls, 1);
    EXPECT_EQ(h.overlays.record(1).othersAliveAtCreation, 0);
    EXPECT_EQ(h.overlays.record(1).startedModes, Modes{AppMode::whiteboard});
    EXPECT_EQ(h.held(), std::nullopt);
    EXPECT_EQ(h.modes, (Modes{AppMode::drawing, AppMode::idle, AppMode::whiteboard}));
}

TEST(AppCoordinator, TogglingIdleStopsWhateverRunsAndStoppingWhileIdleAnnouncesNothing)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::idle);
    h.coordinator.stopCurrentMode();
    EXPECT_TRUE(h.modes.empty());
    EXPECT_EQ(h.overlays.madeCount(), 0);

    h.coordinator.toggleFeature(AppMode::zooming);
    h.coordinator.toggleFeature(AppMode::idle);
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 1);
}

TEST(AppCoordinator, ActivatingTheRunningFeatureChangesNothingAndAnotherSwitches)
{
    Harness h;
    h.coordinator.activateFeature(AppMode::zooming);
    h.held() = PresentationFeature::breakTimer;
    h.coordinator.activateFeature(AppMode::zooming);
    EXPECT_EQ(h.overlays.madeCount(), 1);
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 0);

    h.coordinator.activateFeature(AppMode::freeze);
    EXPECT_EQ(h.coordinator.mode(), AppMode::freeze);
    EXPECT_EQ(h.overlays.record(0).closeCalls, 1);
    // Activation leaves a held key of another feature alone.
    EXPECT_EQ(h.held(), PresentationFeature::breakTimer);

    h.coordinator.activateFeature(AppMode::idle);
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.modes, (Modes{AppMode::zooming, AppMode::idle, AppMode::freeze, AppMode::idle}));
}

TEST(AppCoordinator, ASelfClosedOverlayIsDestroyedOnlyWhenTheSchedulerRuns)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.held() = PresentationFeature::drawing;
    h.overlays.lastController().closeByItself();

    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.held(), std::nullopt);
    EXPECT_FALSE(h.overlays.lastRecord().destroyedInsideExit);
    EXPECT_FALSE(h.overlays.lastRecord().destroyed);
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 0);

    h.scheduler.runPending();
    EXPECT_TRUE(h.overlays.lastRecord().destroyed);
    EXPECT_EQ(h.modes, (Modes{AppMode::drawing, AppMode::idle}));

    h.coordinator.toggleFeature(AppMode::drawing);
    EXPECT_EQ(h.coordinator.mode(), AppMode::drawing);
    EXPECT_EQ(h.overlays.madeCount(), 2);
}

TEST(AppCoordinator, ASelfCloseKeepsTheHeldKeyOfAnotherFeature)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.held() = PresentationFeature::spotlight;
    h.overlays.lastController().closeByItself();
    EXPECT_EQ(h.held(), PresentationFeature::spotlight);
}

TEST(AppCoordinator, ALateExitOfAnEarlierRunLeavesTheNewRunAlone)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    const OverlayCallbacks earlier = h.overlays.lastRecord().callbacks;
    h.coordinator.toggleFeature(AppMode::zooming);
    h.held() = PresentationFeature::drawing;

    earlier.onExit();
    h.scheduler.runPending();
    EXPECT_EQ(h.coordinator.mode(), AppMode::zooming);
    EXPECT_FALSE(h.overlays.lastRecord().destroyed);
    EXPECT_EQ(h.held(), PresentationFeature::drawing);
    EXPECT_EQ(h.modes, (Modes{AppMode::drawing, AppMode::idle, AppMode::zooming}));

    // The new run is still the one the coordinator controls.
    h.coordinator.stopCurrentMode();
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 1);
}

TEST(AppCoordinator, AFeatureThatEndsWhileStartingLeavesTheCoordinatorIdle)
{
    Harness h;
    h.overlays.exitsDuringStart = true;
    h.coordinator.toggleFeature(AppMode::freeze);

    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.modes, (Modes{AppMode::freeze, AppMode::idle}));
    EXPECT_FALSE(h.overlays.lastRecord().destroyed);
    h.scheduler.runPending();
    EXPECT_TRUE(h.overlays.lastRecord().destroyed);
}

TEST(AppCoordinator, GoingAwayClosesTheRunningFeatureAndLeavesNoDanglingWork)
{
    MemoryDefaultsStore defaults;
    FakeOverlayFactory overlays;
    FakeScreenLocator screens;
    FakeAlertPresenter alerts;
    FakeScheduler scheduler;
    {
        AppCoordinator coordinator(defaults, {overlays, screens, alerts, scheduler});
        coordinator.toggleFeature(AppMode::drawing);
        overlays.lastController().closeByItself();
        coordinator.toggleFeature(AppMode::spotlight);
    }
    EXPECT_EQ(overlays.record(1).closeCalls, 1);
    EXPECT_TRUE(overlays.record(1).destroyed);

    // The posted destruction must not reach into the coordinator that is gone.
    scheduler.runPending();
    EXPECT_EQ(overlays.aliveCount(), 0);
}

TEST(AppCoordinator, OverlayErrorsReachTheAlertAndTheFeatureGoesOn)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::whiteboard);
    h.overlays.lastController().reportError("The whiteboard could not be rendered.");
    EXPECT_EQ(h.alerts.presented, Texts{"The whiteboard could not be rendered."});
    EXPECT_EQ(h.coordinator.mode(), AppMode::whiteboard);
}

TEST(AppCoordinator, WithoutAScreenNothingOpensAndTheUserIsTold)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.screens.screen = std::nullopt;
    h.coordinator.toggleFeature(AppMode::spotlight);

    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.madeCount(), 1);
    EXPECT_EQ(h.overlays.record(0).closeCalls, 1);
    EXPECT_EQ(h.alerts.presented, Texts{noDisplay});
    EXPECT_EQ(h.modes, (Modes{AppMode::drawing, AppMode::idle}));
}

TEST(AppCoordinator, TurningTheApplicationOffStopsTheFeatureAndForgetsTheHeldKey)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::cursorHalo);
    h.held() = PresentationFeature::spotlight;
    h.coordinator.preferences().setEnabled(false);

    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.lastRecord().closeCalls, 1);
    EXPECT_EQ(h.held(), std::nullopt);

    h.coordinator.preferences().setEnabled(true);
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.overlays.madeCount(), 1);
}

TEST(AppCoordinator, WhileTurnedOffOnlyAStopRequestHasAnEffect)
{
    Harness h;
    h.coordinator.preferences().setAllowsExternalCommandURLs(true);
    h.coordinator.preferences().setEnabled(false);
    const Color before = h.coordinator.preferences().drawingColor();
    // An activate URL forgets the held key before asking; only the start itself is refused.
    h.url("activate", {"spotlight"});
    h.held() = PresentationFeature::drawing;

    h.coordinator.toggleFeature(AppMode::drawing);
    h.coordinator.activateFeature(AppMode::drawing);
    h.coordinator.performOverlayAction(PresentationAction::selectColor(PresentationColor::blue));
    h.url("toggle", {"draw"});
    h.url("action", {"color", "green"});
    EXPECT_EQ(h.overlays.madeCount(), 0);
    EXPECT_EQ(h.coordinator.preferences().drawingColor(), before);
    EXPECT_EQ(h.held(), PresentationFeature::drawing);

    h.url("stop", {});
    EXPECT_EQ(h.held(), std::nullopt);
    EXPECT_TRUE(h.alerts.presented.empty());
    EXPECT_TRUE(h.modes.empty());
}

TEST(AppCoordinator, ColourActionsSetTheStoredDrawingColourEvenWhenIdle)
{
    Harness h;
    h.coordinator.performOverlayAction(PresentationAction::selectColor(PresentationColor::blue));
    EXPECT_EQ(h.coordinator.preferences().drawingColor(), systemColor(PresentationColor::blue));
    const auto key = std::string(AppPreferences::key(AppPreferences::Setting::drawingColor));
    EXPECT_EQ(h.defaults.storedValue(key), hexString(systemColor(PresentationColor::blue)));

    // Any other action with nothing running is dropped quietly.
    h.coordinator.performOverlayAction(PresentationAction::plain(Kind::undo));
    EXPECT_TRUE(h.alerts.presented.empty());
}

TEST(AppCoordinator, OnlyNonColourActionsReachTheRunningOverlay)
{
    Harness h;
    h.coordinator.toggleFeature(AppMode::drawing);
    h.coordinator.performOverlayAction(PresentationAction::selectColor(PresentationColor::green));
    h.coordinator.performOverlayAction(PresentationAction::plain(Kind::undo));
    h.coordinator.performOverlayAction(PresentationAction::selectTool(PresentationTool::pen));

    EXPECT_EQ(h.coordinator.preferences().drawingColor(), systemColor(PresentationColor::green));
    const std::vector<PresentationAction> expected{
        PresentationAction::plain(Kind::undo),
        PresentationAction::selectTool(PresentationTool::pen)};
    EXPECT_EQ(h.overlays.lastRecord().actions, expected);
}

TEST(AppCoordinator, RefusesEveryCommandUrlWhileTheyAreSwitchedOff)
{
    Harness h;
    h.url("toggle", {"draw"});
    EXPECT_EQ(h.overlays.madeCount(), 0);
    EXPECT_EQ(h.alerts.presented, Texts{urlsDisabled});

    h.alerts.dismiss();
    // The switch is read before parsing, so even garbage gets the same answer.
    h.coordinator.handleCommandUrl({"https", "example.com", {"x"}});
    EXPECT_EQ(h.alerts.presented, (Texts{urlsDisabled, urlsDisabled}));
}

TEST(AppCoordinator, ReportsAnInvalidCommandUrl)
{
    Harness h;
    h.coordinator.preferences().setAllowsExternalCommandURLs(true);
    h.coordinator.toggleFeature(AppMode::spotlight);
    h.url("stop", {"now"});
    EXPECT_EQ(h.alerts.presented, Texts{urlInvalid});
    EXPECT_EQ(h.coordinator.mode(), AppMode::spotlight);
}

TEST(AppCoordinator, CommandUrlsDriveTheFeatures)
{
    Harness h;
    h.coordinator.preferences().setAllowsExternalCommandURLs(true);

    h.url("toggle", {"draw"});
    EXPECT_EQ(h.coordinator.mode(), AppMode::drawing);
    h.url(std::nullopt, {"toggle", "drawing"});
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);

    h.url("activate", {"loupe"});
    EXPECT_EQ(h.coordinator.mode(), AppMode::zooming);
    // Unlike a direct activation, the URL forgets the held key even when nothing changes.
    h.held() = PresentationFeature::spotlight;
    h.url("activate", {"zoom"});
    EXPECT_EQ(h.overlays.madeCount(), 2);
    EXPECT_EQ(h.held(), std::nullopt);

    h.url("action", {"undo"});
    h.url("action", {"color", "yellow"});
    EXPECT_EQ(h.overlays.lastRecord().actions,
              std::vector<PresentationAction>{PresentationAction::plain(Kind::undo)});
    EXPECT_EQ(h.coordinator.preferences().drawingColor(), systemColor(PresentationColor::yellow));

    h.held() = PresentationFeature::freeze;
    h.url("stop", {});
    EXPECT_EQ(h.coordinator.mode(), AppMode::idle);
    EXPECT_EQ(h.held(), std::nullopt);
    EXPECT_TRUE(h.alerts.presented.empty());
}
