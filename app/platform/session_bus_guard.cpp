#include "platform/session_bus_guard.h"

#include "platform/session_bus_address.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace zentrel {
namespace {

const char *const addressVariable = "DBUS_SESSION_BUS_ADDRESS";

enum class BusAnswer {
    answered,
    silent,
    unreachable,
};

// The bus a user's service manager runs, which D-Bus libraries find without an address: a
// socket of the user's own at $XDG_RUNTIME_DIR/bus.
std::vector<BusSocket> runtimeFolderBus()
{
    const char *folder = std::getenv("XDG_RUNTIME_DIR");
    if (!folder || !*folder) {
        return {};
    }
    const std::string path = std::string(folder) + "/bus";
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode)
        || status.st_uid != ::getuid()) {
        return {};
    }
    return {BusSocket{path, false}};
}

bool waitUntilReadable(int socket, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{socket, POLLIN, 0};
        const int ready = ::poll(&readable, 1, int(std::max<std::int64_t>(0, left.count())));
        if (ready >= 0 || errno != EINTR) {
            return ready == 1;
        }
    }
}

// The bus answers the first line of its handshake, whatever it says, or it does not.
BusAnswer answerOf(const BusSocket &bus, std::chrono::milliseconds timeout)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::size_t offset = bus.isAbstract ? 1 : 0;
    if (bus.name.size() + offset >= sizeof(address.sun_path)) {
        return BusAnswer::unreachable;
    }
    std::memcpy(address.sun_path + offset, bus.name.data(), bus.name.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + bus.name.size()
                                  + (bus.isAbstract ? 0 : 1));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) {
        return BusAnswer::unreachable;
    }
    BusAnswer answer = BusAnswer::unreachable;
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), length) == 0) {
        const std::string uid = std::to_string(::getuid());
        std::string hello("\0AUTH EXTERNAL ", 15);
        for (const char digit : uid) {
            constexpr char hex[] = "0123456789abcdef";
            hello += hex[(unsigned char)digit >> 4];
            hello += hex[(unsigned char)digit & 0xf];
        }
        hello += "\r\n";
        char reply = 0;
        answer = ::send(socket, hello.data(), hello.size(), MSG_NOSIGNAL) == ssize_t(hello.size())
                         && waitUntilReadable(socket, timeout) && ::recv(socket, &reply, 1, 0) == 1
                     ? BusAnswer::answered
                     : BusAnswer::silent;
    } else if (errno == EAGAIN) {
        // Its queue of connections is full: it takes none.
        answer = BusAnswer::silent;
    }
    ::close(socket);
    return answer;
}

} // namespace

void guardSessionBus(std::chrono::milliseconds timeout)
{
    const char *given = std::getenv(addressVariable);
    const bool hasAddress = given && *given;
    const std::vector<BusSocket> sockets = hasAddress ? busSockets(given) : runtimeFolderBus();
    // Other transports (tcp, say) are left to the library; a socket it cannot reach fails at
    // once there too, and it tries the next.
    for (const BusSocket &socket : sockets) {
        switch (answerOf(socket, timeout)) {
        case BusAnswer::answered:
            return;
        case BusAnswer::silent:
            ::setenv(addressVariable, "disabled:", 1);
            return;
        case BusAnswer::unreachable:
            break;
        }
    }
    if (!hasAddress) {
        ::setenv(addressVariable, "disabled:", 1);
    }
}

} // namespace zentrel
