#pragma once

#include <filesystem>

namespace zentrel {

// $XDG_CONFIG_HOME/Zentrel/defaults.json, ~/.config when the variable is unset.
std::filesystem::path defaultsFilePath();

} // namespace zentrel
