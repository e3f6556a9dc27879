#include "shell/updates/appcast.h"

#include "fakes/fake_updater.h"
#include "shell/updates/update_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

AppcastItem release(const std::string &version)
{
    return AppcastItem{
        "Zentrel " + version, version, version, "https://example.org/" + version, {}};
}

} // namespace

TEST(Appcast, ComparesVersionsAsReleasesMeanThem)
{
    EXPECT_GT(compareVersions("1.10", "1.9"), 0);
    EXPECT_GT(compareVersions("1.0.1", "1.0"), 0);
    EXPECT_GT(compareVersions("1.0", "1.0b2"), 0);
    EXPECT_GT(compareVersions("1.0b2", "1.0b1"), 0);
    EXPECT_GT(compareVersions("1.0rc1", "1.0b9"), 0);
    EXPECT_GT(compareVersions("2", "1.99.99"), 0);
    EXPECT_LT(compareVersions("0.1.0", "0.2"), 0);
    EXPECT_EQ(compareVersions("1.02", "1.2"), 0);
    EXPECT_EQ(compareVersions("", ""), 0);
    EXPECT_GT(compareVersions("123456789012345678901234567890", "9"), 0) << "no overflow";
}

TEST(Appcast, OffersTheNewestItemOnlyWhenItIsNewerThanThisVersion)
{
    const std::vector<AppcastItem> feed{release("0.9"), release("1.2"), release("1.10")};
    EXPECT_EQ(newestUpdate(feed, "1.2"), release("1.10"));
    EXPECT_EQ(newestUpdate(feed, "1.10"), std::nullopt);
    EXPECT_EQ(newestUpdate(feed, "2.0"), std::nullopt);
    EXPECT_EQ(newestUpdate({}, "0.1"), std::nullopt);
    // An item without a version cannot be compared and is skipped.
    EXPECT_EQ(newestUpdate({release("")}, "0.1"), std::nullopt);
}

TEST(Appcast, AutomaticCheckIsDueADayAfterTheLastOne)
{
    const Timestamp now = std::chrono::system_clock::from_time_t(1'800'000'000);
    EXPECT_TRUE(isUpdateCheckDue(std::nullopt, now, updateCheckInterval));
    EXPECT_FALSE(isUpdateCheckDue(now - 23h, now, updateCheckInterval));
    EXPECT_TRUE(isUpdateCheckDue(now - 24h, now, updateCheckInterval));
    EXPECT_TRUE(isUpdateCheckDue(now + 1h, now, updateCheckInterval)) << "clock set back";
}

TEST(Appcast, OnlyWebAddressesAreOpened)
{
    EXPECT_TRUE(isWebAddress("https://example.org/zentrel.tar.gz"));
    EXPECT_TRUE(isWebAddress("HTTP://example.org/"));
    EXPECT_FALSE(isWebAddress("file:///usr/bin/xterm"));
    EXPECT_FALSE(isWebAddress("javascript:alert(1)"));
    EXPECT_FALSE(isWebAddress("https:"));
    EXPECT_FALSE(isWebAddress("https://"));
    EXPECT_FALSE(isWebAddress("example.org/https://"));
    EXPECT_FALSE(isWebAddress(""));
}

TEST(Appcast, AutomaticChecksSpeakOnlyOfANewVersion)
{
    for (const auto result : {UpdateCheckResult::upToDate,
                              UpdateCheckResult::updateAvailable,
                              UpdateCheckResult::failed,
                              UpdateCheckResult::noFeed}) {
        EXPECT_TRUE(isWorthTelling(result, true));
        EXPECT_EQ(isWorthTelling(result, false), result == UpdateCheckResult::updateAvailable);
    }
}

TEST(UpdateService, FlagsAreSnapshotsReadAfterEachChangeOrCheck)
{
    FakeUpdater updater;
    UpdateService service(updater);
    EXPECT_EQ(updater.intervals, std::vector<std::chrono::seconds>{86400s});
    EXPECT_TRUE(service.canCheckForUpdates());

    updater.canCheckAfterCheck = false;
    service.checkForUpdates();
    EXPECT_EQ(updater.checks, 1);
    EXPECT_FALSE(service.canCheckForUpdates());
    updater.canCheck = true;
    EXPECT_FALSE(service.canCheckForUpdates()) << "kept until read again";

    service.setAutomaticCheck(true);
    service.setAutomaticCheck(false);
    service.setAutomaticCheck(true);
    EXPECT_TRUE(service.automaticallyChecksForUpdates());
    EXPECT_TRUE(service.canCheckForUpdates());
    EXPECT_EQ(updater.intervals.size(), 4u) << "the interval is set again with every switch";

    updater.automatic = false;
    int changes = 0;
    const ScopedConnection connection = service.changed.connect([&] { ++changes; });
    service.refreshState();
    EXPECT_FALSE(service.automaticallyChecksForUpdates());
    EXPECT_EQ(changes, 1);
}
