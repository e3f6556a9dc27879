#include "platform/session_bus_autolaunch.h"

#include <QByteArray>
#include <QtGlobal>

#include <sys/stat.h>
#include <unistd.h>

namespace zentrel {
namespace {

const char *const addressVariable = "DBUS_SESSION_BUS_ADDRESS";

// The bus a user's service manager runs, which D-Bus libraries find without an address: a
// socket of the user's own at $XDG_RUNTIME_DIR/bus.
bool hasRuntimeFolderBus()
{
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        return false;
    }
    struct stat status = {};
    return ::stat((folder + "/bus").constData(), &status) == 0 && S_ISSOCK(status.st_mode)
           && status.st_uid == ::getuid();
}

} // namespace

void preventSessionBusAutolaunch()
{
    if (qEnvironmentVariableIsEmpty(addressVariable) && !hasRuntimeFolderBus()) {
        qputenv(addressVariable, "disabled:");
    }
}

} // namespace zentrel
