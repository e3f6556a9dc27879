#include "shell/updates/appcast_updater.h"

#include "shell/updates/appcast_reader.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace zentrel {
namespace {

const std::string automaticChecksKey = "updates.automaticChecks";
const std::string lastCheckKey = "updates.lastCheckDate";
const std::string feedUrlKey = "updates.feedURL";
constexpr int transferTimeoutMs = 30000;
// Far beyond any real feed; a larger answer is not one.
constexpr qint64 maximumFeedBytes = 4 * 1024 * 1024;

} // namespace

AppcastUpdater::AppcastUpdater(DefaultsStore &defaults,
                               const Clock &clock,
                               QString currentVersion,
                               QString builtInFeedUrl,
                               QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_currentVersion(std::move(currentVersion))
    , m_builtInFeedUrl(std::move(builtInFeedUrl))
{
    m_automaticCheckTimer.setSingleShot(true);
    connect(&m_automaticCheckTimer, &QTimer::timeout, this, [this] { startCheck(false); });
    scheduleAutomaticCheck();
}

AppcastUpdater::~AppcastUpdater()
{
    // Nobody is left to hear how the check ended.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QUrl AppcastUpdater::feedUrl() const
{
    const auto configured = m_defaults.stringValue(feedUrlKey);
    const QString address =
        configured && !configured->empty() ? QString::fromStdString(*configured) : m_builtInFeedUrl;
    return QUrl(address.trimmed());
}

bool AppcastUpdater::canCheckForUpdates() const
{
    return !m_reply;
}

bool AppcastUpdater::automaticallyChecksForUpdates() const
{
    return m_defaults.boolValue(automaticChecksKey);
}

void AppcastUpdater::setAutomaticallyChecksForUpdates(bool enabled)
{
    m_defaults.setValue(automaticChecksKey, enabled);
    scheduleAutomaticCheck();
}

void AppcastUpdater::setUpdateCheckInterval(std::chrono::seconds interval)
{
    m_interval = interval;
    scheduleAutomaticCheck();
}

void AppcastUpdater::checkForUpdates()
{
    startCheck(true);
}

std::optional<Timestamp> AppcastUpdater::lastCheck() const
{
    const auto stored = m_defaults.stringValue(lastCheckKey);
    return stored ? parseIsoDate(*stored) : std::nullopt;
}

void AppcastUpdater::scheduleAutomaticCheck()
{
    m_automaticCheckTimer.stop();
    if (!automaticallyChecksForUpdates() || feedUrl().isEmpty()) {
        return;
    }
    const Timestamp now = m_clock.now();
    const std::optional<Timestamp> last = lastCheck();
    std::chrono::milliseconds wait{0};
    if (!isUpdateCheckDue(last, now, m_interval)) {
        wait = std::chrono::duration_cast<std::chrono::milliseconds>(*last + m_interval - now);
    }
    m_automaticCheckTimer.start(std::max(wait, std::chrono::milliseconds{0}));
}

void AppcastUpdater::startCheck(bool userStarted)
{
    if (m_reply) {
        return;
    }
    const QUrl feed = feedUrl();
    if (feed.isEmpty()) {
        finish(
            UpdateCheckOutcome{UpdateCheckResult::noFeed, userStarted, {}, m_currentVersion, {}});
        return;
    }
    m_defaults.setValue(lastCheckKey, formatIsoDate(m_clock.now()));
    QNetworkRequest request(feed);
    request.setTransferTimeout(transferTimeoutMs);
    m_replyUserStarted = userStarted;
    m_feedTooLarge = false;
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::finished, this, &AppcastUpdater::onReplyFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > maximumFeedBytes && m_reply) {
            m_feedTooLarge = true;
            m_reply->abort();
        }
    });
}

void AppcastUpdater::onReplyFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    UpdateCheckOutcome outcome{
        UpdateCheckResult::failed, m_replyUserStarted, {}, m_currentVersion, {}};
    if (m_feedTooLarge) {
        outcome.failure = QStringLiteral("The update feed is larger than any feed should be.");
    } else if (reply->error() != QNetworkReply::NoError) {
        outcome.failure = reply->errorString();
    } else if (const auto items = readAppcast(reply->readAll()); !items) {
        outcome.failure = items.error();
    } else {
        outcome.update = newestUpdate(*items, m_currentVersion.toStdString());
        outcome.result =
            outcome.update ? UpdateCheckResult::updateAvailable : UpdateCheckResult::upToDate;
    }
    finish(std::move(outcome));
}

void AppcastUpdater::finish(UpdateCheckOutcome outcome)
{
    scheduleAutomaticCheck();
    Q_EMIT checkFinished(outcome);
}

} // namespace zentrel
