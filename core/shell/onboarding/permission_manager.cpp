#include "shell/onboarding/permission_manager.h"

namespace zentrel {

PermissionManager::PermissionManager(const PermissionProbe &probe)
    : m_probe(probe)
    , m_screenRecording(probe.screenRecording())
    , m_accessibility(probe.accessibility())
{}

void PermissionManager::refresh()
{
    m_screenRecording = m_probe.screenRecording();
    m_accessibility = m_probe.accessibility();
    changed.notify();
}

void PermissionManager::requestScreenRecording()
{
    m_screenRecording = m_probe.screenRecording();
    changed.notify();
}

void PermissionManager::requestAccessibility()
{
    m_accessibility = m_probe.accessibility();
    changed.notify();
}

} // namespace zentrel
