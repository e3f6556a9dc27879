#include "shell/commands/command_url.h"

namespace zentrel {

CommandUrlParts commandUrlParts(const QUrl &url)
{
    CommandUrlParts parts;
    parts.scheme = url.scheme().toStdString();
    if (!url.host().isEmpty()) {
        parts.host = url.host(QUrl::FullyDecoded).toStdString();
    }
    // Split before decoding, so an escaped slash stays inside its word.
    const QStringList encoded =
        url.path(QUrl::FullyEncoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &component : encoded) {
        parts.pathComponents.push_back(QUrl::fromPercentEncoding(component.toUtf8()).toStdString());
    }
    return parts;
}

} // namespace zentrel
