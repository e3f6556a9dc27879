#include "shell/tray/way_in.h"

namespace zentrel {

WayIn wayInFor(const WayInState &state)
{
    const bool isLauncherWanted =
        state.launcherWish == LauncherWish::called
        || (state.launcherWish == LauncherWish::asTheTrayGoes && !state.hasTrayHost);
    return WayIn{state.hasTrayHost, isLauncherWanted && !state.isFeatureRunning};
}

Reveal revealFor(bool hasTrayHost, bool isIconPlaceKnown)
{
    return hasTrayHost && isIconPlaceKnown ? Reveal::menuAtIcon : Reveal::launcher;
}

} // namespace zentrel
