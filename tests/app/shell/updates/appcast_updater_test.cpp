#include "shell/updates/appcast_updater.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_clock.h"
#include "shell/updates/appcast_reader.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

using namespace zentrel;

namespace {

const QByteArray feed = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel>
    <title>Zentrel</title>
    <item>
      <title>Zentrel 0.2</title>
      <enclosure url="https://example.org/zentrel-0.2.tar.gz" sparkle:version="0.2.0"
                 sparkle:shortVersionString="0.2" length="1" type="application/octet-stream"/>
    </item>
    <item>
      <title>Zentrel 0.10</title>
      <link>https://example.org/releases/0.10</link>
      <sparkle:version>0.10.0</sparkle:version>
    </item>
  </channel>
</rss>
)";

// Serves one body to every request on 127.0.0.1, as a plain HTTP/1.0 server would.
class FeedServer : public QTcpServer
{
public:
    explicit FeedServer(QByteArray body)
        : m_body(std::move(body))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n")) {
                        return;
                    }
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/rss+xml\r\n"
                                  "Content-Length: "
                                  + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                    socket->disconnectFromHost();
                    ++requests;
                });
            }
        });
    }

    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(serverPort());
    }

    int requests = 0;

private:
    QByteArray m_body;
};

struct Harness
{
    explicit Harness(QString builtInFeed)
        : updater(defaults, clock, QStringLiteral("0.2.0"), std::move(builtInFeed))
    {
        QObject::connect(&updater,
                         &AppcastUpdater::checkFinished,
                         &updater,
                         [this](const UpdateCheckOutcome &finished) { outcome = finished; });
    }

    bool waitForOutcome()
    {
        return QTest::qWaitFor([this] { return outcome.has_value(); }, 10000);
    }

    MemoryDefaultsStore defaults;
    FakeClock clock{std::chrono::system_clock::from_time_t(1'800'000'000)};
    AppcastUpdater updater;
    std::optional<UpdateCheckOutcome> outcome;
};

TEST(AppcastUpdater, FindsTheNewestReleaseOfAServedFeed)
{
    FeedServer server(feed);
    Harness h(server.url());
    EXPECT_TRUE(h.updater.canCheckForUpdates());
    h.updater.checkForUpdates();
    EXPECT_FALSE(h.updater.canCheckForUpdates()) << "one check at a time";
    ASSERT_TRUE(h.waitForOutcome());
    EXPECT_EQ(h.outcome->result, UpdateCheckResult::updateAvailable)
        << h.outcome->failure.toStdString();
    EXPECT_TRUE(h.outcome->userStarted);
    ASSERT_TRUE(h.outcome->update);
    EXPECT_EQ(h.outcome->update->version, "0.10.0");
    EXPECT_EQ(h.outcome->update->infoUrl, "https://example.org/releases/0.10");
    EXPECT_TRUE(h.updater.canCheckForUpdates());
    EXPECT_EQ(h.defaults.storedValue("updates.lastCheckDate"), "2027-01-15T08:00:00Z");
}

TEST(AppcastUpdater, TheSettingsFileFeedWinsAndAnUnreadableFeedFails)
{
    FeedServer good(feed);
    FeedServer bad("<html>not a feed");
    Harness h(good.url());
    h.defaults.setValue("updates.feedURL", bad.url().toStdString());
    h.updater.checkForUpdates();
    ASSERT_TRUE(h.waitForOutcome());
    EXPECT_EQ(h.outcome->result, UpdateCheckResult::failed);
    EXPECT_FALSE(h.outcome->failure.isEmpty());
    EXPECT_EQ(good.requests, 0);
}

TEST(AppcastUpdater, AnAnswerFarLargerThanAFeedIsCutOff)
{
    FeedServer server(QByteArray(5 * 1024 * 1024, ' '));
    Harness h(server.url());
    h.updater.checkForUpdates();
    ASSERT_TRUE(h.waitForOutcome());
    EXPECT_EQ(h.outcome->result, UpdateCheckResult::failed);
    EXPECT_EQ(h.outcome->failure,
              QStringLiteral("The update feed is larger than any feed should be."));
}

TEST(AppcastUpdater, WithoutAFeedUpdatesComeFromThePackageManager)
{
    Harness h{QString()};
    h.updater.checkForUpdates();
    ASSERT_TRUE(h.outcome);
    EXPECT_EQ(h.outcome->result, UpdateCheckResult::noFeed);
    EXPECT_FALSE(h.defaults.storedValue("updates.lastCheckDate"));
}

TEST(AppcastUpdater, AnAutomaticCheckRunsWhenDueAndIsRecorded)
{
    FeedServer server(feed);
    Harness h(server.url());
    h.updater.setAutomaticallyChecksForUpdates(true);
    EXPECT_TRUE(h.updater.automaticallyChecksForUpdates());
    ASSERT_TRUE(h.waitForOutcome());
    EXPECT_FALSE(h.outcome->userStarted);
    EXPECT_EQ(server.requests, 1);
}

TEST(AppcastReader, ReadsVersionsFromAttributesOrElementsAndRejectsWhatIsNoFeed)
{
    const auto items = readAppcast(feed);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ(
        (*items)[0],
        (AppcastItem{"Zentrel 0.2", "0.2.0", "0.2", "https://example.org/zentrel-0.2.tar.gz", {}}));
    EXPECT_EQ((*items)[1].displayVersion, "0.10.0");
    EXPECT_FALSE(readAppcast("<rss><channel><item>"));
    EXPECT_FALSE(readAppcast("<html/>"));
    EXPECT_FALSE(readAppcast(""));
}

} // namespace
