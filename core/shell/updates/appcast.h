#pragma once

#include "common/iso_date.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// One release an update feed offers.
struct AppcastItem
{
    std::string title;
    // The version compared ("sparkle:version"), and the one shown to people.
    std::string version;
    std::string displayVersion;
    // Where to get it: the download, else the release page.
    std::string downloadUrl;
    std::string infoUrl;

    friend bool operator==(const AppcastItem &, const AppcastItem &) = default;
};

// Orders version texts the way update feeds mean them: runs of digits by value, other runs by
// text, and a release before its own pre-releases ("1.0" > "1.0b2" > "1.0b1"; "1.10" > "1.9").
// Negative, zero or positive as `left` is older, the same or newer.
int compareVersions(std::string_view left, std::string_view right);

// The newest item of the feed when it is newer than `currentVersion`, else none.
std::optional<AppcastItem> newestUpdate(const std::vector<AppcastItem> &items,
                                        std::string_view currentVersion);

// Whether an automatic check is due: never checked, or the interval has passed since the last
// check (a last check in the future, after the clock was set back, counts as due too).
bool isUpdateCheckDue(std::optional<Timestamp> lastCheck,
                      Timestamp now,
                      std::chrono::seconds interval);

// Whether a feed's link may be handed to the desktop to open: only web addresses, never local
// files or other schemes a tampered feed could point at.
bool isWebAddress(std::string_view url);

// How one update check ended.
enum class UpdateCheckResult {
    upToDate,
    updateAvailable,
    failed,
    // No feed address is configured: updates come from the package manager.
    noFeed,
};

// A check the user started always answers; an automatic one speaks only of a new version.
bool isWorthTelling(UpdateCheckResult result, bool userStarted);

} // namespace zentrel
