#pragma once

#include "common/settings/defaults_store.h"
#include "shell/onboarding/permission_manager.h"
#include "shell/shell_ports.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string_view>

namespace zentrel {

inline constexpr std::string_view onboardingCompletedKey = "onboarding.completed";
// Long enough after start for the tray to be in place before the window asks for attention.
inline constexpr std::chrono::milliseconds onboardingDelay{400};

// What "Continue" does: finish at once, or first ask whether to go on without the permissions.
enum class OnboardingContinuation {
    finish,
    confirmMissingPermissions,
};

// Reads the cached flags; nothing is checked anew.
OnboardingContinuation onboardingContinuation(const PermissionManager &permissions);

// The first-run walk through the permissions: shown once after start until the user continues
// through it; closing the window early brings it back at the next start.
class OnboardingFlow
{
public:
    using ShowWindow = std::function<void()>;

    OnboardingFlow(DefaultsStore &defaults, Scheduler &scheduler);
    OnboardingFlow(const OnboardingFlow &) = delete;
    OnboardingFlow &operator=(const OnboardingFlow &) = delete;

    bool isCompleted() const;

    // After the delay, calls `show` unless onboarding was completed before.
    void scheduleAtStart(ShowWindow show);

    bool isOpen() const { return m_isOpen; }

    // The window's end, whichever way it came; only the first call of a showing counts. Only a
    // completed onboarding is recorded. Returns whether this call counted.
    bool finish(bool completed);

private:
    void showIfNeeded();

    DefaultsStore &m_defaults;
    Scheduler &m_scheduler;
    ShowWindow m_show;
    bool m_isOpen = false;
    // Expires with the flow, so a delayed check that outlives it does nothing.
    std::shared_ptr<bool> m_lifetime = std::make_shared<bool>(true);
};

} // namespace zentrel
