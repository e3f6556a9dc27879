#pragma once

#include "common/signal.h"

#include <chrono>

namespace zentrel {

// The updater behind the update service: its own schedule, checks and dialogs.
class Updater
{
public:
    virtual ~Updater() = default;
    // Whether a check the user starts may begin now.
    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    virtual void setUpdateCheckInterval(std::chrono::seconds interval) = 0;
    // Starts a check with the updater's own progress and result; returns at once.
    virtual void checkForUpdates() = 0;
};

inline constexpr std::chrono::seconds updateCheckInterval{86400};

// The program's thin front on its updater. The two flags are snapshots, read again after each
// change or check, and when the settings window opens.
class UpdateService
{
public:
    explicit UpdateService(Updater &updater);
    UpdateService(const UpdateService &) = delete;
    UpdateService &operator=(const UpdateService &) = delete;

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }

    bool automaticallyChecksForUpdates() const { return m_automaticallyChecksForUpdates; }

    void refreshState();
    void setAutomaticCheck(bool enabled);
    // The check the user starts from the menu or the settings window.
    void checkForUpdates();

    // Sent after every read of the flags, changed or not.
    Signal<> changed;

private:
    Updater &m_updater;
    bool m_canCheckForUpdates = false;
    bool m_automaticallyChecksForUpdates = false;
};

} // namespace zentrel
