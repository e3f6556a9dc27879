#include "sessions/default_session_store.h"

#include "common/application_paths.h"

namespace zentrel {

std::filesystem::path defaultSessionsRoot()
{
    return applicationDataFolder() / "Sessions";
}

SessionStore makeDefaultSessionStore(const Clock &clock)
{
    return SessionStore(defaultSessionsRoot(), clock, [random = systemUuidRandomSource()] {
        return Uuid::generate(random);
    });
}

} // namespace zentrel
