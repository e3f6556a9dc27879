#include "shell/updates/update_service.h"

namespace zentrel {

UpdateService::UpdateService(Updater &updater)
    : m_updater(updater)
{
    m_updater.setUpdateCheckInterval(updateCheckInterval);
    m_canCheckForUpdates = m_updater.canCheckForUpdates();
    m_automaticallyChecksForUpdates = m_updater.automaticallyChecksForUpdates();
}

void UpdateService::refreshState()
{
    m_canCheckForUpdates = m_updater.canCheckForUpdates();
    m_automaticallyChecksForUpdates = m_updater.automaticallyChecksForUpdates();
    changed.notify();
}

void UpdateService::setAutomaticCheck(bool enabled)
{
    m_updater.setAutomaticallyChecksForUpdates(enabled);
    m_updater.setUpdateCheckInterval(updateCheckInterval);
    refreshState();
}

void UpdateService::checkForUpdates()
{
    m_updater.checkForUpdates();
    refreshState();
}

} // namespace zentrel
