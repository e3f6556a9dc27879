#include "common/allocator_settings.h"
#include "common/application_paths.h"
#include "common/qt_message_filter.h"
#include "platform/session_bus_guard.h"
#include "platform/termination_signals.h"
#include "shell/app_delegate.h"
#include "shell/commands/command_url_channel.h"
#include "shell/commands/folder_lock.h"
#include "shell/commands/instance_lock.h"
#include "shell/commands/instance_lock_watch.h"
#include "shell/commands/single_instance_start.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThreadPool>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// How long a second start waits for the running instance to take its URLs: long enough for one
// busy with a large document, short enough that a script or launcher hears of a hung one.
constexpr int handOverTimeoutMs = 10000;

// A session bus answers at once, even on a busy machine; one that does not is not waited on.
constexpr std::chrono::seconds sessionBusAnswerTimeout{3};

// Qt's own options that take the next argument as their value.
bool takesValue(const QByteArray &option)
{
    static const QList<QByteArray> options{"-platform",
                                           "-platformpluginpath",
                                           "-platformtheme",
                                           "-plugin",
                                           "-display",
                                           "-style",
                                           "-stylesheet",
                                           "-geometry",
                                           "-qwindowgeometry",
                                           "-qwindowicon",
                                           "-qwindowtitle",
                                           "-title",
                                           "-name",
                                           "-session"};
    return options.contains(option);
}

// Every argument that is neither an option nor an option's value is a command URL.
QStringList commandUrlArguments(int argc, char *argv[])
{
    QStringList urls;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith('-')) {
            i += takesValue(argument) ? 1 : 0;
        } else {
            urls.append(QString::fromLocal8Bit(argument));
        }
    }
    return urls;
}

// Only a lock another process holds stops the start; one that cannot be had at all (an unusable
// folder) does not.
bool isHeldElsewhere(const tl::expected<bool, zentrel::FileError> &acquired)
{
    return acquired && !*acquired;
}

} // namespace

int main(int argc, char *argv[])
{
    zentrel::useProgramAllocatorSettings();
    zentrel::installQtMessageFilter();
    QApplication::setApplicationName(QStringLiteral("Zentrel"));
    QApplication::setDesktopFileName(QStringLiteral("zentrel"));
    const QStringList urls = commandUrlArguments(argc, argv);
    // One instance per user: a second start hands its URLs over and ends, or says that the
    // running one does not answer; it never runs beside it.
    const QString socketPath = zentrel::commandSocketPath();
    zentrel::InstanceLock instanceLock(zentrel::instanceLockPath());
    const auto role =
        zentrel::claimOrHandOver(instanceLock, socketPath, urls, QDeadlineTimer(handOverTimeoutMs));
    if (!role) {
        // Without a usable runtime folder no later start can find this one either, so it runs
        // alone all the same.
        std::fprintf(stderr, "%s\n", zentrel::message(role.error()).c_str());
    } else if (*role == zentrel::StartRole::handedOver) {
        return 0;
    } else if (*role == zentrel::StartRole::notResponding) {
        std::fprintf(stderr, "%s\n", zentrel::notRespondingText);
        return 1;
    }

    // The data folder's own lock as well: a start from another session of the user, with a
    // runtime folder of its own, can hand nothing over to this one and must not write the same
    // library beside it. Nor may a start that found the lock files removed while this one was
    // stopped or busy: the folder itself is locked. Its lock file still counts where a folder
    // cannot be locked.
    std::error_code folderError;
    std::filesystem::create_directories(zentrel::applicationDataFolder(), folderError);
    zentrel::FolderLock dataFolder(zentrel::applicationDataFolder());
    zentrel::InstanceLock dataFolderLock(zentrel::dataFolderLockPath());
    if (isHeldElsewhere(dataFolder.tryAcquire()) || isHeldElsewhere(dataFolderLock.tryAcquire())) {
        std::fprintf(stderr, "%s\n", zentrel::dataFolderInUseText);
        return 1;
    }

    zentrel::guardSessionBus(sessionBusAnswerTimeout);
    QApplication application(argc, argv);
    // Signals end the start at once, however long it waits on the desktop; see below.
    zentrel::TerminationSignals terminationSignals;
    // Each thread keeps the fonts it loaded, and a text of rare characters has them looked for
    // in every installed font: the pool's threads are not ended by a pause, after which a zoom
    // or a pan would look for them all again; closing a feature ends them (see
    // OverlayWindowController), giving back their memory.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    zentrel::InstanceLockWatch lockWatch({&instanceLock, &dataFolderLock});
    // Features come and go in their own windows; only the tray keeps the program alive.
    QApplication::setQuitOnLastWindowClosed(false);

    // Listening before anything else is built keeps a second start's wait short; what arrives
    // is taken once the event loop runs.
    zentrel::CommandUrlServer commandUrlServer;
    commandUrlServer.listen(socketPath);
    zentrel::AppDelegate delegate;
    QObject::connect(&commandUrlServer,
                     &zentrel::CommandUrlServer::urlsReceived,
                     &delegate,
                     &zentrel::AppDelegate::openUrls);
    QObject::connect(&commandUrlServer,
                     &zentrel::CommandUrlServer::revealMenuRequested,
                     &delegate,
                     &zentrel::AppDelegate::revealMenu);
    delegate.openUrls(urls);
    // Only the running loop can save what is open before quitting.
    QObject::connect(&terminationSignals,
                     &zentrel::TerminationSignals::received,
                     &application,
                     &QCoreApplication::quit);
    terminationSignals.deliverOnceLoopRuns();
    const int exitCode = QApplication::exec();
    // Elements a closed whiteboard left to be prepared alone end while Qt's fonts are there.
    QThreadPool::globalInstance()->waitForDone();
    return exitCode;
}
