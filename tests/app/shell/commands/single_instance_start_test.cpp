#include "shell/commands/single_instance_start.h"

#include "app/shell/commands/served_call.h"
#include "shell/commands/command_url_channel.h"
#include "shell/commands/instance_lock.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

constexpr int handOverTimeoutMs = 5000;
// Long enough for a hand-over that would succeed; the instance in these tests never answers.
constexpr int shortTimeoutMs = 300;
const QStringList urls{QStringLiteral("zentrel://toggle/draw")};

class SingleInstanceStart : public testing::Test
{
protected:
    tl::expected<StartRole, FileError> startServed(InstanceLock &lock)
    {
        return whileServing([this, &lock] {
            return claimOrHandOver(lock, socketPath, urls, QDeadlineTimer(handOverTimeoutMs));
        });
    }

    QTemporaryDir folder;
    QString socketPath = folder.filePath(QStringLiteral("zentrel-commands"));
    QString lockPath = folder.filePath(QStringLiteral("zentrel.lock"));
};

TEST_F(SingleInstanceStart, TheFirstStartIsTheInstanceAndASecondHandsOver)
{
    InstanceLock first(lockPath);
    EXPECT_EQ(claimOrHandOver(first, socketPath, {}, QDeadlineTimer(shortTimeoutMs)),
              StartRole::onlyInstance);
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);

    InstanceLock second(lockPath);
    EXPECT_EQ(startServed(second), StartRole::handedOver);
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.front().front().toStringList(), urls);
}

TEST_F(SingleInstanceStart, AnInstanceThatTakesNothingIsNotResponding)
{
    InstanceLock first(lockPath);
    ASSERT_EQ(first.tryAcquire(), true);
    InstanceLock second(lockPath);
    // Still starting: it holds the lock but listens nowhere.
    EXPECT_EQ(claimOrHandOver(second, socketPath, urls, QDeadlineTimer(shortTimeoutMs)),
              StartRole::notResponding);

    // Stopped or busy: the socket takes the connection, but nobody reads it.
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    EXPECT_EQ(claimOrHandOver(second, socketPath, urls, QDeadlineTimer(shortTimeoutMs)),
              StartRole::notResponding);
}

TEST_F(SingleInstanceStart, ALockLeftByAnInstanceThatEndedIsTakenOver)
{
    {
        InstanceLock ended(lockPath);
        ASSERT_EQ(ended.tryAcquire(), true);
        CommandUrlServer server;
        ASSERT_TRUE(server.listen(socketPath));
    }
    // A crash leaves both files; only the lock says whether their owner lives.
    QFile leftover(socketPath);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    ASSERT_TRUE(QFile::exists(lockPath));

    InstanceLock next(lockPath);
    EXPECT_EQ(claimOrHandOver(next, socketPath, urls, QDeadlineTimer(shortTimeoutMs)),
              StartRole::onlyInstance);
    CommandUrlServer server;
    EXPECT_TRUE(server.listen(socketPath));
}

TEST_F(SingleInstanceStart, AnUnusableLockFileSaysWhy)
{
    InstanceLock lock(folder.filePath(QStringLiteral("missing/zentrel.lock")));
    const auto role = claimOrHandOver(lock, socketPath, urls, QDeadlineTimer(shortTimeoutMs));
    ASSERT_FALSE(role.has_value());
    EXPECT_NE(message(role.error()).find("No such file or directory"), std::string::npos)
        << message(role.error());
}

} // namespace
