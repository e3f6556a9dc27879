#include "sessions/default_session_store.h"

#include <QStandardPaths>

namespace zentrel {

std::filesystem::path defaultSessionsRoot()
{
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::filesystem::path base = dataFolder.isEmpty()
                                           ? std::filesystem::temp_directory_path()
                                           : std::filesystem::path(dataFolder.toStdString());
    return base / "Zentrel" / "Sessions";
}

SessionStore makeDefaultSessionStore(const Clock &clock)
{
    return SessionStore(defaultSessionsRoot(), clock, [random = systemUuidRandomSource()] {
        return Uuid::generate(random);
    });
}

} // namespace zentrel
