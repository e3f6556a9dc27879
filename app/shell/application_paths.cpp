#include "shell/application_paths.h"

#include <QStandardPaths>

namespace zentrel {

std::filesystem::path defaultsFilePath()
{
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(configFolder.toStdString()) / "Zentrel" / "defaults.json";
}

} // namespace zentrel
