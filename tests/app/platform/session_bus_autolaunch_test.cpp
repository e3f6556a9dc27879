#include "platform/session_bus_autolaunch.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace zentrel {
namespace {

const char *const addressVariable = "DBUS_SESSION_BUS_ADDRESS";
const char *const runtimeVariable = "XDG_RUNTIME_DIR";

// Listens at path for as long as it lives, as a user's session bus does.
class ListeningSocket
{
public:
    explicit ListeningSocket(const QString &path)
        : m_socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        ::listen(m_socket, 1);
    }

    ~ListeningSocket() { ::close(m_socket); }

    ListeningSocket(const ListeningSocket &) = delete;
    ListeningSocket &operator=(const ListeningSocket &) = delete;

private:
    int m_socket;
};

class SessionBusAutolaunch : public testing::Test
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

    QTemporaryDir m_runtime;

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }

    const QByteArray m_address = qgetenv(addressVariable);
    const QByteArray m_runtimeFolder = qgetenv(runtimeVariable);
};

TEST_F(SessionBusAutolaunch, IsPreventedOnlyWhereTheSessionHasNoBus)
{
    qputenv(addressVariable, "unix:path=/run/user/1000/bus");
    preventSessionBusAutolaunch();
    EXPECT_EQ(qgetenv(addressVariable), "unix:path=/run/user/1000/bus");

    qunsetenv(addressVariable);
    {
        const ListeningSocket bus(m_runtime.filePath(QStringLiteral("bus")));
        preventSessionBusAutolaunch();
        EXPECT_FALSE(qEnvironmentVariableIsSet(addressVariable))
            << "the bus in the runtime folder was hidden";
    }

    QFile::remove(m_runtime.filePath(QStringLiteral("bus")));
    preventSessionBusAutolaunch();
    EXPECT_EQ(qgetenv(addressVariable), "disabled:");
}

} // namespace
} // namespace zentrel
