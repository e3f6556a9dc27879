#include "shell/commands/command_url_channel.h"

#include "app/shell/commands/served_call.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

constexpr int forwardTimeoutMs = 5000;

class CommandUrlChannel : public testing::Test
{
protected:
    ForwardResult forward(const QStringList &urls)
    {
        return whileServing([this, urls] {
            return forwardToRunningInstance(socketPath, urls, QDeadlineTimer(forwardTimeoutMs));
        });
    }

    // Writes `bytes` as a sender would and waits for the server to close the connection, which
    // it does unanswered.
    void expectClosedUnanswered(const QByteArray &bytes)
    {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.flush();
        QSignalSpy disconnected(&socket, &QLocalSocket::disconnected);
        EXPECT_TRUE(disconnected.wait(2000));
        EXPECT_TRUE(socket.readAll().isEmpty());
    }

    QTemporaryDir folder;
    QString socketPath = folder.filePath(QStringLiteral("zentrel-commands"));
};

TEST_F(CommandUrlChannel, HandsUrlsOverInOrder)
{
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);

    const QStringList urls{QStringLiteral("zentrel://toggle/draw"),
                           QStringLiteral("zentrel://action/color/red")};
    EXPECT_EQ(forward(urls), ForwardResult::delivered);
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.at(0).at(0).toStringList(), urls);
}

// A start without URLs asks for the menu, as a request of its own: no command URL runs.
TEST_F(CommandUrlChannel, ABareStartIsDeliveredAsARequestToRevealTheMenu)
{
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);
    QSignalSpy revealRequested(&server, &CommandUrlServer::revealMenuRequested);

    EXPECT_EQ(forward({}), ForwardResult::delivered);
    EXPECT_EQ(revealRequested.count(), 1);
    EXPECT_EQ(received.count(), 0);

    EXPECT_EQ(forward({QStringLiteral("zentrel://stop")}), ForwardResult::delivered);
    EXPECT_EQ(revealRequested.count(), 1);
    EXPECT_EQ(received.count(), 1);
}

TEST_F(CommandUrlChannel, NobodyListeningMeansNotDelivered)
{
    EXPECT_EQ(forward({QStringLiteral("zentrel://stop")}), ForwardResult::notDelivered);
}

TEST_F(CommandUrlChannel, TakesOverASocketLeftBehind)
{
    {
        CommandUrlServer gone;
        ASSERT_TRUE(gone.listen(socketPath));
    }
    // A crashed instance leaves its socket file; the next start must still listen.
    QFile leftover(socketPath);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    CommandUrlServer server;
    EXPECT_TRUE(server.listen(socketPath));
}

// An instance that is stopped (or too busy to answer) while a start waits: the start reports
// failure, and what it sent must not run once the instance reads it after all.
TEST_F(CommandUrlChannel, UrlsOfAStartThatGaveUpNeverRun)
{
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);

    // Nothing serves the socket while the start waits, as with SIGSTOP.
    EXPECT_EQ(forwardToRunningInstance(
                  socketPath, {QStringLiteral("zentrel://toggle/draw")}, QDeadlineTimer(600)),
              ForwardResult::notDelivered);
    const QDeadlineTimer resumed(1000);
    while (!resumed.hasExpired()) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(received.count(), 0);

    EXPECT_EQ(forward({QStringLiteral("zentrel://toggle/draw")}), ForwardResult::delivered);
    EXPECT_EQ(received.count(), 1) << "a start that waits gets its answer";
}

TEST_F(CommandUrlChannel, AMessageWithoutAGiveUpTimeIsClosedUnanswered)
{
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);

    ASSERT_NO_FATAL_FAILURE(expectClosedUnanswered("zentrel://stop\n\n"));
    EXPECT_EQ(received.count(), 0);
}

TEST_F(CommandUrlChannel, DropsAnOversizedMessage)
{
    CommandUrlServer server;
    ASSERT_TRUE(server.listen(socketPath));
    QSignalSpy received(&server, &CommandUrlServer::urlsReceived);

    ASSERT_NO_FATAL_FAILURE(expectClosedUnanswered(QByteArray(100 * 1024, 'x')));
    EXPECT_EQ(received.count(), 0);
}

} // namespace
