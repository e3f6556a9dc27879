#pragma once

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_alert_presenter.h"
#include "fakes/fake_overlay_factory.h"
#include "fakes/fake_scheduler.h"
#include "fakes/fake_screen_locator.h"
#include "shell/app_coordinator.h"

namespace zentrel {

// The app coordinator with every port a fake the test can inspect and drive.
struct CoordinatorOnFakes
{
    MemoryDefaultsStore defaults;
    FakeOverlayFactory overlays;
    FakeScreenLocator screens;
    FakeAlertPresenter alerts;
    FakeScheduler scheduler;
    AppCoordinator coordinator{defaults, {overlays, screens, alerts, scheduler}};
};

} // namespace zentrel
