#pragma once

#include "shell/updates/update_service.h"

#include <vector>

namespace zentrel {

// Records what the update service asks of its updater and answers as the test says.
class FakeUpdater final : public Updater
{
public:
    bool canCheckForUpdates() const override { return canCheck; }

    bool automaticallyChecksForUpdates() const override { return automatic; }

    void setAutomaticallyChecksForUpdates(bool enabled) override { automatic = enabled; }

    void setUpdateCheckInterval(std::chrono::seconds interval) override
    {
        intervals.push_back(interval);
    }

    void checkForUpdates() override
    {
        ++checks;
        canCheck = canCheckAfterCheck;
    }

    bool canCheck = true;
    bool canCheckAfterCheck = true;
    bool automatic = false;
    int checks = 0;
    std::vector<std::chrono::seconds> intervals;
};

} // namespace zentrel
