#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace zentrel {

// The names of what a folder holds, sorted, so a test can compare them whole.
inline std::vector<std::string> namesIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace zentrel
