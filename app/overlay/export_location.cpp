#include "overlay/export_location.h"

#include "overlay/export_file_name.h"

#include <QDir>
#include <QStandardPaths>

#include <ctime>

namespace zentrel {

QString defaultExportPath(std::string_view featureWord, std::string_view extension)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(
        QString::fromStdString(exportFileName(featureWord, extension, local)));
}

} // namespace zentrel
