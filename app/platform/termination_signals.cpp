#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace zentrel {
namespace {

int s_signalSockets[2] = {-1, -1};

void writeToSignalSocket(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(s_signalSockets[0], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_signalSockets) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(s_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action = {};
    action.sa_handler = writeToSignalSocket;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    if (m_notifier) {
        ::close(s_signalSockets[0]);
        ::close(s_signalSockets[1]);
        s_signalSockets[0] = s_signalSockets[1] = -1;
    }
}

void TerminationSignals::onReadable()
{
    char byte = 0;
    [[maybe_unused]] const auto bytesRead = ::read(s_signalSockets[1], &byte, 1);
    Q_EMIT received();
}

} // namespace zentrel
