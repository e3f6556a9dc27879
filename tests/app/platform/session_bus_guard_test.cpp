#include "platform/session_bus_guard.h"

#include "platform/session_bus_address.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace zentrel {
namespace {

using namespace std::chrono_literals;

const char *const addressVariable = "DBUS_SESSION_BUS_ADDRESS";
const char *const runtimeVariable = "XDG_RUNTIME_DIR";

// Listens at path for as long as it lives, as a session bus does; one that answers says OK to
// the first line of the first connection's handshake.
class FakeBus
{
public:
    enum class Answers {
        yes,
        no
    };

    FakeBus(const QString &path, Answers answers)
        : m_socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        ::listen(m_socket, 4);
        if (answers == Answers::yes) {
            m_answering = std::thread([socket = m_socket] {
                const int peer = ::accept(socket, nullptr, nullptr);
                char hello[64];
                if (peer >= 0 && ::read(peer, hello, sizeof(hello)) > 0) {
                    [[maybe_unused]] const auto sent = ::write(peer, "OK 1234\r\n", 9);
                }
                ::close(peer);
            });
        }
    }

    ~FakeBus()
    {
        if (m_answering.joinable()) {
            m_answering.join();
        }
        ::close(m_socket);
    }

    FakeBus(const FakeBus &) = delete;
    FakeBus &operator=(const FakeBus &) = delete;

private:
    int m_socket;
    std::thread m_answering;
};

class SessionBusGuard : public testing::Test
{
protected:
    void SetUp() override
    {
        qunsetenv(addressVariable);
        qputenv(runtimeVariable, QFile::encodeName(m_runtime.path()));
    }

    void TearDown() override
    {
        restore(addressVariable, m_address);
        restore(runtimeVariable, m_runtimeFolder);
    }

    QString busPath() const { return m_runtime.filePath(QStringLiteral("bus")); }

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }

    QTemporaryDir m_runtime;
    const QByteArray m_address = qgetenv(addressVariable);
    const QByteArray m_runtimeFolder = qgetenv(runtimeVariable);
};

TEST(SessionBusAddress, NamesTheLocalSocketsInOrder)
{
    EXPECT_EQ(busSockets("unix:path=/run/user/1000/bus"),
              (std::vector<BusSocket>{{"/run/user/1000/bus", false}}));
    EXPECT_EQ(busSockets("tcp:host=localhost,port=1;unix:guid=9,abstract=/tmp/dbus-A;"
                         "unix:path=/tmp/a%20b"),
              (std::vector<BusSocket>{{"/tmp/dbus-A", true}, {"/tmp/a b", false}}));
    EXPECT_TRUE(busSockets("unix:tmpdir=/tmp;unix:path=/a%2;disabled:").empty());
}

TEST_F(SessionBusGuard, KeepsABusThatAnswers)
{
    {
        const FakeBus bus(busPath(), FakeBus::Answers::yes);
        guardSessionBus(5s);
        EXPECT_FALSE(qEnvironmentVariableIsSet(addressVariable))
            << "the bus in the runtime folder was hidden";
    }
    QFile::remove(busPath());
    const FakeBus bus(busPath(), FakeBus::Answers::yes);
    const QByteArray address =
        "tcp:host=localhost,port=1;unix:path=" + QFile::encodeName(busPath());
    qputenv(addressVariable, address);
    guardSessionBus(5s);
    EXPECT_EQ(qgetenv(addressVariable), address);
}

TEST_F(SessionBusGuard, ClosesTheWayToNoBusOrOneThatDoesNotAnswer)
{
    guardSessionBus(5s);
    EXPECT_EQ(qgetenv(addressVariable), "disabled:") << "with no bus, one would be launched";

    const FakeBus silent(busPath(), FakeBus::Answers::no);
    qputenv(addressVariable, "unix:path=" + QFile::encodeName(busPath()));
    guardSessionBus(100ms);
    EXPECT_EQ(qgetenv(addressVariable), "disabled:");
}

} // namespace
} // namespace zentrel
