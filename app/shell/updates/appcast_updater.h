#pragma once

#include "common/clock.h"
#include "common/settings/defaults_store.h"
#include "shell/updates/appcast.h"
#include "shell/updates/update_service.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

class QNetworkReply;

namespace zentrel {

// How one check ended, for whoever tells the user.
struct UpdateCheckOutcome
{
    UpdateCheckResult result = UpdateCheckResult::noFeed;
    bool userStarted = false;
    // The newer release, when there is one.
    std::optional<AppcastItem> update;
    QString currentVersion;
    QString failure;
};

// Our own updater: reads a Sparkle-style appcast from the feed address (the settings file's
// "updates.feedURL", else the one built in), compares versions and reports. Automatic checks run
// at most once per interval while switched on. Without a feed address it only answers that
// updates come from the package manager.
class AppcastUpdater : public QObject, public Updater
{
    Q_OBJECT

public:
    AppcastUpdater(DefaultsStore &defaults,
                   const Clock &clock,
                   QString currentVersion,
                   QString builtInFeedUrl,
                   QObject *parent = nullptr);
    ~AppcastUpdater() override;

    bool canCheckForUpdates() const override;
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    void setUpdateCheckInterval(std::chrono::seconds interval) override;
    void checkForUpdates() override;

    QUrl feedUrl() const;

Q_SIGNALS:
    void checkFinished(const zentrel::UpdateCheckOutcome &outcome);

private:
    void startCheck(bool userStarted);
    void onReplyFinished();
    void finish(UpdateCheckOutcome outcome);
    void scheduleAutomaticCheck();
    std::optional<Timestamp> lastCheck() const;

    DefaultsStore &m_defaults;
    const Clock &m_clock;
    QString m_currentVersion;
    QString m_builtInFeedUrl;
    std::chrono::seconds m_interval = updateCheckInterval;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    bool m_replyUserStarted = false;
    bool m_feedTooLarge = false;
    QTimer m_automaticCheckTimer;
};

} // namespace zentrel
