#pragma once

#include "common/files/file_error.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

namespace zentrel {

class InstanceLock;

enum class StartRole {
    // This process holds the lock: it is the one instance and takes the URLs itself.
    onlyInstance,
    // The running instance took the URLs.
    handedOver,
    // An instance holds the lock but took nothing by the deadline.
    notResponding,
};

// What a start of Zentrel is: the one instance, or one that hands its URLs to the instance that
// runs. While another holds the lock it keeps handing over, since that instance may still be
// starting or making its socket again, and takes the lock if that instance ends meanwhile.
tl::expected<StartRole, FileError> claimOrHandOver(InstanceLock &lock,
                                                   const QString &socketPath,
                                                   const QStringList &urls,
                                                   QDeadlineTimer deadline);

// What a start that could not hand over says before it ends.
extern const char *const notRespondingText;

} // namespace zentrel
