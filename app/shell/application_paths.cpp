#include "shell/application_paths.h"

#include <QStandardPaths>

namespace zentrel {

std::filesystem::path defaultsFilePath()
{
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(configFolder.toStdString()) / "Zentrel" / "defaults.json";
}

std::filesystem::path applicationDataFolder()
{
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::filesystem::path base = dataFolder.isEmpty()
                                           ? std::filesystem::temp_directory_path()
                                           : std::filesystem::path(dataFolder.toStdString());
    return base / "Zentrel";
}

} // namespace zentrel
