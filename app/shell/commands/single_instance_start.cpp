#include "shell/commands/single_instance_start.h"

#include "shell/commands/command_url_channel.h"
#include "shell/commands/instance_lock.h"

#include <QThread>

namespace zentrel {
namespace {

constexpr int retryPauseMs = 50;

} // namespace

const char *const notRespondingText = "Zentrel is not responding.";

tl::expected<StartRole, FileError> claimOrHandOver(InstanceLock &lock,
                                                   const QString &socketPath,
                                                   const QStringList &urls,
                                                   QDeadlineTimer deadline)
{
    for (;;) {
        const auto acquired = lock.tryAcquire();
        if (!acquired) {
            return tl::unexpected(acquired.error());
        }
        if (*acquired) {
            return StartRole::onlyInstance;
        }
        if (deadline.hasExpired()) {
            return StartRole::notResponding;
        }
        if (forwardToRunningInstance(socketPath, urls, deadline) == ForwardResult::delivered) {
            return StartRole::handedOver;
        }
        QThread::msleep(retryPauseMs);
    }
}

} // namespace zentrel
