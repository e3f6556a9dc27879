#pragma once

#include <filesystem>

namespace zentrel {

// $XDG_CONFIG_HOME/Zentrel/defaults.json, ~/.config when the variable is unset.
std::filesystem::path defaultsFilePath();

// $XDG_DATA_HOME/Zentrel (~/.local/share when unset; the temporary folder when the system names
// no data folder): the whiteboard library and the sessions. Nothing is created here.
std::filesystem::path applicationDataFolder();

// $XDG_CONFIG_HOME/autostart/zentrel.desktop: the entry that starts Zentrel at login.
std::filesystem::path autostartEntryPath();

} // namespace zentrel
