#include "shell/login/launch_at_login_manager.h"

#include "common/files/atomic_file.h"
#include "shell/login/autostart_entry.h"

#include <system_error>

namespace zentrel {

LaunchAtLoginManager::LaunchAtLoginManager(std::filesystem::path entryPath, std::string executable)
    : m_entryPath(std::move(entryPath))
    , m_executable(std::move(executable))
{
    refresh();
}

void LaunchAtLoginManager::setEnabled(bool enabled)
{
    m_errorMessage = enabled ? writeEntry() : removeEntry();
    refresh();
}

void LaunchAtLoginManager::refresh()
{
    const auto contents = readFileIfPresent(m_entryPath);
    m_isEnabled = contents && *contents && isActiveAutostartEntry(**contents);
    changed.notify();
}

std::optional<std::string> LaunchAtLoginManager::writeEntry() const
{
    if (auto written = writeFileAtomically(m_entryPath, autostartEntryText(m_executable));
        !written) {
        return message(written.error());
    }
    return std::nullopt;
}

std::optional<std::string> LaunchAtLoginManager::removeEntry() const
{
    std::error_code error;
    std::filesystem::remove(m_entryPath, error);
    if (error) {
        return message(FileError{FileError::Kind::removeFailed, m_entryPath, error.message()});
    }
    return std::nullopt;
}

} // namespace zentrel
