#pragma once

#include "shell/app_mode.h"
#include "shell/presentation_action.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace zentrel {

// What the coordinator hands to each feature run: how to report that the run ended and how to
// report an error to the user.
struct OverlayCallbacks
{
    std::function<void()> onExit;
    std::function<void(const std::string &)> onError;
};

// One feature run on one screen. It closes once, by itself (Escape, its close button) or when
// asked, and reports that through onExit.
class OverlayController
{
public:
    virtual ~OverlayController() = default;

    virtual void start(AppMode mode) = 0;
    virtual void performAction(const PresentationAction &action) = 0;
    virtual void close() = 0;
};

class OverlayFactory
{
public:
    virtual ~OverlayFactory() = default;

    // `screen` is an index into the screen list the locator answered from.
    virtual std::unique_ptr<OverlayController> makeOverlay(std::size_t screen,
                                                           OverlayCallbacks callbacks) = 0;
};

} // namespace zentrel
