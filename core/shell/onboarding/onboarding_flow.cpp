#include "shell/onboarding/onboarding_flow.h"

#include <string>

namespace zentrel {

OnboardingContinuation onboardingContinuation(const PermissionManager &permissions)
{
    return permissions.hasScreenRecording() && permissions.hasAccessibility()
               ? OnboardingContinuation::finish
               : OnboardingContinuation::confirmMissingPermissions;
}

OnboardingFlow::OnboardingFlow(DefaultsStore &defaults, Scheduler &scheduler)
    : m_defaults(defaults)
    , m_scheduler(scheduler)
{}

bool OnboardingFlow::isCompleted() const
{
    return m_defaults.boolValue(std::string(onboardingCompletedKey));
}

void OnboardingFlow::scheduleAtStart(ShowWindow show)
{
    m_show = std::move(show);
    m_scheduler.postAfter(onboardingDelay, [this, lifetime = std::weak_ptr<bool>(m_lifetime)] {
        if (!lifetime.expired()) {
            showIfNeeded();
        }
    });
}

void OnboardingFlow::showIfNeeded()
{
    if (isCompleted() || !m_show) {
        return;
    }
    m_isOpen = true;
    m_show();
}

bool OnboardingFlow::finish(bool completed)
{
    if (!m_isOpen) {
        return false;
    }
    m_isOpen = false;
    if (completed) {
        m_defaults.setValue(std::string(onboardingCompletedKey), true);
    }
    return true;
}

} // namespace zentrel
