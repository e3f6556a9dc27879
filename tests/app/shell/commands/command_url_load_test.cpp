// The command socket under a flood of idle peers and with the program's descriptors used up: a
// real `zentrel URL` still gets through, and the socket file never goes away.
#include "app/shell/commands/served_call.h"
#include "shell/command_message.h"
#include "shell/commands/command_url_channel.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

constexpr int timeoutMs = 5000;
constexpr int waitingLimit = 64;
const QString stopUrl = QStringLiteral("zentrel://stop");

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

bool isSocketFile(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// Sends one message as `zentrel URL` does, with system calls only, so a forked child may use it.
bool handOverRaw(const sockaddr_un &address, const std::string &message)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0
        || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        return false;
    }
    if (::write(fd, message.data(), message.size()) != ssize_t(message.size())) {
        return false;
    }
    pollfd answer{fd, POLLIN, 0};
    char reply[4] = {};
    return ::poll(&answer, 1, timeoutMs) == 1 && ::read(fd, reply, 3) == 3
           && std::strcmp(reply, "ok\n") == 0;
}

// Takes every descriptor below a lowered limit, as a process that has run out of them; gives
// them back and restores the limit at the end of the scope.
class DescriptorShortage
{
public:
    DescriptorShortage()
    {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = std::min<rlim_t>(m_saved.rlim_cur, 512);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
             fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) {
            m_taken.push_back(fd);
        }
    }

    ~DescriptorShortage()
    {
        for (int fd : m_taken) {
            ::close(fd);
        }
        ::setrlimit(RLIMIT_NOFILE, &m_saved);
    }

    DescriptorShortage(const DescriptorShortage &) = delete;
    DescriptorShortage &operator=(const DescriptorShortage &) = delete;

    int lastTaken() const { return m_taken.back(); }

private:
    rlimit m_saved = {};
    std::vector<int> m_taken;
};

class CommandUrlLoad : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(server.listen(socketPath)); }

    void TearDown() override
    {
        for (int fd : peers) {
            ::close(fd);
        }
    }

    // Peers that connect and send nothing; the server takes each as it comes.
    void connectIdlePeers(int count)
    {
        const sockaddr_un address = addressOf(socketPath);
        QDeadlineTimer deadline(timeoutMs);
        while (int(peers.size()) < count && !deadline.hasExpired()) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ASSERT_GE(fd, 0);
            if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
                peers.push_back(fd);
            } else {
                // The queue is full until the server takes some.
                ::close(fd);
                QCoreApplication::processEvents();
            }
        }
        ASSERT_EQ(int(peers.size()), count);
        QTest::qWait(200);
    }

    int peersClosedByServer() const
    {
        int closed = 0;
        for (int fd : peers) {
            char byte = 0;
            closed += ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0 ? 1 : 0;
        }
        return closed;
    }

    ForwardResult forward(const QStringList &urls)
    {
        return whileServing([this, urls] {
            return forwardToRunningInstance(socketPath, urls, QDeadlineTimer(timeoutMs));
        });
    }

    QTemporaryDir folder;
    QString socketPath = folder.filePath(QStringLiteral("zentrel-commands"));
    CommandUrlServer server;
    QSignalSpy received{&server, &CommandUrlServer::urlsReceived};
    std::vector<int> peers;
};

TEST_F(CommandUrlLoad, IdlePeersBeyondTheLimitMakeRoomForAHandOver)
{
    ASSERT_NO_FATAL_FAILURE(connectIdlePeers(300));
    EXPECT_EQ(forward({stopUrl}), ForwardResult::delivered);
    ASSERT_EQ(received.count(), 1);
    EXPECT_GE(peersClosedByServer(), 300 - waitingLimit);
}

TEST_F(CommandUrlLoad, AnAcceptWithoutDescriptorsKeepsTheSocketAndClosesIdlePeers)
{
    ASSERT_NO_FATAL_FAILURE(connectIdlePeers(8));
    const sockaddr_un address = addressOf(socketPath);
    const std::string message =
        encodeCommandMessage({{stopUrl.toStdString()}, std::chrono::system_clock::now() + 1h})
        + '\n';
    const DescriptorShortage shortage;
    // The child gets one descriptor for its socket; the server has none to accept it with.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(shortage.lastTaken());
        ::_exit(handOverRaw(address, message) ? 0 : 1);
    }
    int status = -1;
    const QDeadlineTimer deadline(2 * timeoutMs);
    while (::waitpid(child, &status, WNOHANG) == 0 && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the hand-over got no answer";
    EXPECT_EQ(received.count(), 1);
    EXPECT_TRUE(isSocketFile(socketPath));
    EXPECT_GE(peersClosedByServer(), 1);
}

TEST_F(CommandUrlLoad, ASocketFileRemovedOrReplacedIsMadeAgain)
{
    ASSERT_TRUE(QFile::remove(socketPath));
    EXPECT_TRUE(QTest::qWaitFor([this] { return isSocketFile(socketPath); }, timeoutMs));
    EXPECT_EQ(forward({stopUrl}), ForwardResult::delivered);

    ASSERT_TRUE(QFile::remove(socketPath));
    QFile stranger(socketPath);
    ASSERT_TRUE(stranger.open(QIODevice::WriteOnly));
    stranger.close();
    EXPECT_TRUE(QTest::qWaitFor([this] { return isSocketFile(socketPath); }, timeoutMs));
    EXPECT_EQ(forward({stopUrl}), ForwardResult::delivered);
    EXPECT_EQ(received.count(), 2);
}

} // namespace
