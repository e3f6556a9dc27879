#include "common/symbol_icon.h"

#include <QFile>

namespace zentrel {

QIcon symbolIcon(const QString &name)
{
    const QString resource = QStringLiteral(":/icons/%1.svg").arg(name);
    if (QFile::exists(resource)) {
        return QIcon(resource);
    }
    return QIcon::fromTheme(name);
}

} // namespace zentrel
