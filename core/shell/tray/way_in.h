#pragma once

namespace zentrel {

// What the user last did with the launcher, the small "Zentrel" window that offers the menu.
enum class LauncherWish {
    // Nothing since the tray came or went: it shows where there is no tray.
    asTheTrayGoes,
    // Closed: it stays away until a start of `zentrel` calls it back or the tray comes or goes.
    closed,
    // Called back by a start of `zentrel`: it shows even beside a tray that cannot say where its
    // icon is, until its menu has been used.
    called,
};

struct WayInState
{
    bool hasTrayHost = false;
    bool isFeatureRunning = false;
    LauncherWish launcherWish = LauncherWish::asTheTrayGoes;
};

// The ways into the menu on screen. The launcher never shows during a feature's run, whose
// full-screen windows it would otherwise stand over under some window managers.
struct WayIn
{
    bool showsTrayIcon = false;
    bool showsLauncher = false;

    bool operator==(const WayIn &) const = default;
};

WayIn wayInFor(const WayInState &state);

enum class Reveal {
    menuAtIcon,
    launcher,
};

// What a start of `zentrel` without URLs brings forward: the menu at the tray icon where the
// tray says where that is, the launcher otherwise.
Reveal revealFor(bool hasTrayHost, bool isIconPlaceKnown);

} // namespace zentrel
