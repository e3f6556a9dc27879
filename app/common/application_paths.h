#pragma once

#include <filesystem>
#include <vector>

namespace zentrel {

// $XDG_CONFIG_HOME/Zentrel/defaults.json, ~/.config when the variable is unset.
std::filesystem::path defaultsFilePath();

// $XDG_DATA_HOME/Zentrel (~/.local/share when unset; the temporary folder when the system names
// no data folder): the whiteboard library and the sessions. Nothing is created here.
std::filesystem::path applicationDataFolder();

// $XDG_CONFIG_HOME/autostart/zentrel.desktop: the entry that starts Zentrel at login.
std::filesystem::path autostartEntryPath();

// The files outside the sessions that Zentrel rewrites whole on each save (the whiteboard
// library, the defaults, the login entry), whose pending copies a killed save may leave.
std::vector<std::filesystem::path> rewrittenFilePaths();

} // namespace zentrel
