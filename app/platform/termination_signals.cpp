#include "platform/termination_signals.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace zentrel {
namespace {

int s_signalSockets[2] = {-1, -1};
// Read in the handler, which may run on any thread.
std::atomic<bool> s_isDelivering{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads it");

// Async-signal-safe calls only.
void onTerminationSignal(int signal)
{
    if (!s_isDelivering.load()) {
        // Ended as by the signal itself, so the parent learns what ended it; the signal is
        // blocked in its handler and ends the process as the handler returns.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(s_signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void handleSignals(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    // Without a socket the signals keep ending the process at once, all its life.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_signalSockets) == 0) {
        // A flood of signals must not block the handler once the socket is full.
        ::fcntl(s_signalSockets[0], F_SETFL, ::fcntl(s_signalSockets[0], F_GETFL) | O_NONBLOCK);
        m_notifier = new QSocketNotifier(s_signalSockets[1], QSocketNotifier::Read, this);
        m_notifier->setEnabled(false);
        connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    }
    handleSignals(onTerminationSignal);
}

TerminationSignals::~TerminationSignals()
{
    handleSignals(SIG_DFL);
    s_isDelivering = false;
    if (m_notifier) {
        ::close(s_signalSockets[0]);
        ::close(s_signalSockets[1]);
        s_signalSockets[0] = s_signalSockets[1] = -1;
    }
}

// Posted just before the loop runs, a zero timer fires on its first turn; one posted earlier
// could fire in a dialog's loop during the start, where quitting the application does nothing.
void TerminationSignals::deliverOnceLoopRuns()
{
    QTimer::singleShot(0, this, &TerminationSignals::deliverFromNowOn);
}

void TerminationSignals::deliverFromNowOn()
{
    if (m_notifier) {
        m_notifier->setEnabled(true);
        s_isDelivering = true;
    }
}

// A second signal while the program quits in order ends it at once: the quit itself may be what
// hangs, or whoever sent it will not wait.
void TerminationSignals::onReadable()
{
    s_isDelivering = false;
    char byte = 0;
    [[maybe_unused]] const auto bytesRead = ::read(s_signalSockets[1], &byte, 1);
    Q_EMIT received();
}

} // namespace zentrel
