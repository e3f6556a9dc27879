#include "shell/updates/appcast_reader.h"

#include <QXmlStreamReader>

namespace zentrel {
namespace {

const QString sparkleNamespace =
    QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

std::string text(QStringView value)
{
    return value.toString().trimmed().toStdString();
}

// Reads one <item>; the reader stands on its start and ends on its end.
AppcastItem readItem(QXmlStreamReader &reader)
{
    AppcastItem item;
    std::string shortVersion;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        const bool isSparkle = reader.namespaceUri() == sparkleNamespace;
        if (name == QLatin1String("enclosure") && reader.namespaceUri().isEmpty()) {
            const QXmlStreamAttributes attributes = reader.attributes();
            item.downloadUrl = text(attributes.value(QStringLiteral("url")));
            if (const auto version = attributes.value(sparkleNamespace, QStringLiteral("version"));
                !version.isEmpty()) {
                item.version = text(version);
            }
            if (const auto shown =
                    attributes.value(sparkleNamespace, QStringLiteral("shortVersionString"));
                !shown.isEmpty()) {
                shortVersion = text(shown);
            }
            reader.skipCurrentElement();
        } else if (isSparkle && name == QLatin1String("version")) {
            item.version = text(reader.readElementText());
        } else if (isSparkle && name == QLatin1String("shortVersionString")) {
            shortVersion = text(reader.readElementText());
        } else if (name == QLatin1String("title") && reader.namespaceUri().isEmpty()) {
            item.title = text(reader.readElementText());
        } else if (name == QLatin1String("link") && reader.namespaceUri().isEmpty()) {
            item.infoUrl = text(reader.readElementText());
        } else {
            reader.skipCurrentElement();
        }
    }
    // A feed may give only the version people see; it is then the one compared too.
    if (item.version.empty()) {
        item.version = shortVersion;
    }
    item.displayVersion = shortVersion.empty() ? item.version : shortVersion;
    return item;
}

} // namespace

tl::expected<std::vector<AppcastItem>, QString> readAppcast(const QByteArray &feed)
{
    QXmlStreamReader reader(feed);
    std::vector<AppcastItem> items;
    bool sawChannel = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        if (reader.name() == QLatin1String("channel")) {
            sawChannel = true;
        } else if (sawChannel && reader.name() == QLatin1String("item")) {
            items.push_back(readItem(reader));
        }
    }
    if (reader.hasError()) {
        return tl::unexpected(QStringLiteral("The update feed is not valid XML (line %1: %2).")
                                  .arg(reader.lineNumber())
                                  .arg(reader.errorString()));
    }
    if (!sawChannel) {
        return tl::unexpected(QStringLiteral("The update feed holds no RSS channel."));
    }
    return items;
}

} // namespace zentrel
