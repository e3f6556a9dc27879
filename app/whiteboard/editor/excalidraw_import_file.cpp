#include "whiteboard/editor/excalidraw_import_file.h"

#include <QFile>

namespace zentrel {

tl::expected<QByteArray, std::string> readExcalidrawImportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return tl::unexpected(file.errorString().toStdString());
    }
    if (file.size() > largestExcalidrawImport) {
        return tl::unexpected(std::string("The file is larger than 64 MiB."));
    }
    QByteArray data = file.read(largestExcalidrawImport + 1);
    if (file.error() != QFileDevice::NoError) {
        return tl::unexpected(file.errorString().toStdString());
    }
    // A file that grew while it was read is no smaller a risk.
    if (data.size() > largestExcalidrawImport) {
        return tl::unexpected(std::string("The file is larger than 64 MiB."));
    }
    return data;
}

} // namespace zentrel
