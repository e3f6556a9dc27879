#include "common/bundled_fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace zentrel {

QStringList resourceFolders()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return {programFolder.absoluteFilePath(QStringLiteral("../share/zentrel")),
            programFolder.absoluteFilePath(QStringLiteral("resources"))};
}

std::optional<QString>
registerBundledFonts(const QStringList &folders, const QString &name, const QString &extension)
{
    const QString fileName = name + QLatin1Char('.') + extension;
    for (const QString &subfolder : {QString(), QStringLiteral("Resources/Fonts")}) {
        for (const QString &folder : folders) {
            const QString path = QDir(folder).filePath(
                subfolder.isEmpty() ? fileName : subfolder + QLatin1Char('/') + fileName);
            if (QFileInfo(path).isFile()) {
                QFontDatabase::addApplicationFont(path);
                return path;
            }
        }
    }
    return std::nullopt;
}

} // namespace zentrel
