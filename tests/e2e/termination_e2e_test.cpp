#include "e2e/fixtures/desktop_test.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace zentrel {
namespace {

// Starts at once, and rounds of them: a few hundred starts meet every stage of a start, in a
// time a test may take.
constexpr int startsAtOnce = 6;
constexpr int rounds = 11;
// The start, up to the event loop's first turns, falls within its first second.
constexpr int signalWithinMs = 1000;
// Ended at once, or quit in order holding nothing.
constexpr int endTimeoutMs = 4000;
// Longer than the program waits for a bus to answer, with room for a busy machine.
constexpr int startTimeoutMs = 15000;

enum class SessionBus {
    own,
    none,
    // Takes connections and never answers, as a bus that hangs or goes away in the middle of a
    // call: a start that calls it waits for the D-Bus library's own timeout, 25 s.
    silent,
};

class SilentBus
{
public:
    SilentBus()
        : m_path(QFile::encodeName(m_folder.filePath(QStringLiteral("bus"))))
        , m_socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (m_socket < 0 || m_path.size() >= qsizetype(sizeof(address.sun_path))) {
            return;
        }
        std::memcpy(address.sun_path, m_path.constData(), std::size_t(m_path.size()));
        m_isListening =
            ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0
            && ::listen(m_socket, SOMAXCONN) == 0;
    }

    ~SilentBus() { ::close(m_socket); }

    SilentBus(const SilentBus &) = delete;
    SilentBus &operator=(const SilentBus &) = delete;

    bool isListening() const { return m_isListening; }

    QString address() const { return QStringLiteral("unix:path=") + QFile::decodeName(m_path); }

private:
    QTemporaryDir m_folder;
    QByteArray m_path;
    int m_socket;
    bool m_isListening = false;
};

const char *busName(SessionBus bus)
{
    switch (bus) {
    case SessionBus::own:
        return "ownSessionBus";
    case SessionBus::none:
        return "noSessionBus";
    case SessionBus::silent:
        return "silentSessionBus";
    }
    return "";
}

// SIGTERM, as a desktop that ends sends it, at random moments of the first second of a start.
class StartEndedBySignal : public DesktopTest, public testing::WithParamInterface<SessionBus>
{
protected:
    // Starts programs at once, sends each SIGTERM once its own moment comes and expects each
    // to end within seconds of it.
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DesktopTest::SetUp());
        if (GetParam() == SessionBus::silent) {
            m_silentBus.emplace();
            ASSERT_TRUE(m_silentBus->isListening());
        }
    }

    bool start(ZentrelProcess &program)
    {
        if (GetParam() != SessionBus::own) {
            program.startWithoutSessionBus();
        }
        if (m_silentBus) {
            program.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                   m_silentBus->address());
        }
        return program.start(m_xvfb.display());
    }

    void endStartsAtRandomMoments(std::mt19937 &random)
    {
        std::vector<std::unique_ptr<ZentrelProcess>> programs;
        std::vector<int> signalAtMs;
        std::vector<QDeadlineTimer> signalAt;
        std::uniform_int_distribution<int> moment(0, signalWithinMs);
        for (int i = 0; i < startsAtOnce; ++i) {
            auto &program = programs.emplace_back(std::make_unique<ZentrelProcess>());
            ASSERT_TRUE(start(*program)) << program->output().toStdString();
            signalAtMs.push_back(moment(random));
            signalAt.emplace_back(signalAtMs.back());
        }
        std::vector<std::size_t> order(programs.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return signalAt[a].deadline() < signalAt[b].deadline();
        });
        std::vector<QDeadlineTimer> endBy(programs.size());
        for (const std::size_t i : order) {
            QThread::msleep(std::max<qint64>(0, signalAt[i].remainingTime()));
            programs[i]->terminate();
            endBy[i] = QDeadlineTimer(endTimeoutMs);
        }
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const ProcessExit exit = programs[i]->waitForExit(endBy[i]);
            const bool endedBySignal = exit.kind == ProcessExit::Kind::crashed;
            EXPECT_TRUE(endedBySignal || exitedCleanly(exit))
                << "signalled " << signalAtMs[i] << " ms into its start, zentrel "
                << exit.describe().toStdString();
        }
    }

    std::optional<SilentBus> m_silentBus;
};

TEST_P(StartEndedBySignal, EndsWithinSecondsAtAnyMoment)
{
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "random seed " << seed);
    std::mt19937 random(seed);
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        ASSERT_NO_FATAL_FAILURE(endStartsAtRandomMoments(random));
    }

    // Left alone, a start does not wait on the bus for good, and once it runs, it quits in order.
    ASSERT_TRUE(start(m_zentrel));
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(startTimeoutMs)))
        << "zentrel never took commands; it " << stopAndDescribe();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(SessionBuses,
                         StartEndedBySignal,
                         testing::Values(SessionBus::own, SessionBus::none, SessionBus::silent),
                         [](const testing::TestParamInfo<SessionBus> &bus) {
                             return std::string(busName(bus.param));
                         });

} // namespace
} // namespace zentrel
