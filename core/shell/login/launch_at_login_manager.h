#pragma once

#include "common/signal.h"

#include <filesystem>
#include <optional>
#include <string>

namespace zentrel {

// Starts Zentrel at login through an XDG autostart entry. The entry on disk is the only state:
// the switch shows what it says, also after the user changed it outside the program.
class LaunchAtLoginManager
{
public:
    LaunchAtLoginManager(std::filesystem::path entryPath, std::string executable);
    LaunchAtLoginManager(const LaunchAtLoginManager &) = delete;
    LaunchAtLoginManager &operator=(const LaunchAtLoginManager &) = delete;

    bool isEnabled() const { return m_isEnabled; }

    // The reason the last change failed; none after a success.
    const std::optional<std::string> &errorMessage() const { return m_errorMessage; }

    // Writes or removes the entry, then reads back what is there.
    void setEnabled(bool enabled);
    void refresh();

    // Sent after every change and every read.
    Signal<> changed;

private:
    std::optional<std::string> writeEntry() const;
    std::optional<std::string> removeEntry() const;

    std::filesystem::path m_entryPath;
    std::string m_executable;
    bool m_isEnabled = false;
    std::optional<std::string> m_errorMessage;
};

} // namespace zentrel
