#include "common/application_paths.h"

#include "whiteboard/model/store/whiteboard_library_store.h"

#include <QStandardPaths>

namespace zentrel {

namespace {

std::filesystem::path configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

} // namespace

std::filesystem::path defaultsFilePath()
{
    return configFolder() / "Zentrel" / "defaults.json";
}

std::filesystem::path autostartEntryPath()
{
    return configFolder() / "autostart" / "zentrel.desktop";
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

std::vector<std::filesystem::path> rewrittenFilePaths()
{
    return {applicationDataFolder() / whiteboardLibraryFileName,
            defaultsFilePath(),
            autostartEntryPath()};
}

} // namespace zentrel
