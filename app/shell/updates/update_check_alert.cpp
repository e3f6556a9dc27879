#include "shell/updates/update_check_alert.h"

#include "common/readable_message_box.h"
#include "shell/updates/appcast_updater.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace zentrel {
namespace {

QMessageBox *makeAlert(QMessageBox::Icon icon, const QString &text, const QString &informative)
{
    auto *alert = new QMessageBox(icon, QStringLiteral("Zentrel"), text);
    alert->setInformativeText(informative);
    setReadableWidth(*alert);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    return alert;
}

void offerUpdate(const UpdateCheckOutcome &outcome)
{
    const AppcastItem &update = *outcome.update;
    QMessageBox *alert =
        makeAlert(QMessageBox::Information,
                  QStringLiteral("A new version of Zentrel is available!"),
                  QStringLiteral("Zentrel %1 is now available \u2014 you have %2.")
                      .arg(QString::fromStdString(update.displayVersion), outcome.currentVersion));
    const std::string &link = update.downloadUrl.empty() ? update.infoUrl : update.downloadUrl;
    const QUrl target = isWebAddress(link) ? QUrl(QString::fromStdString(link)) : QUrl();
    QPushButton *download = alert->addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
    alert->addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    download->setEnabled(target.isValid() && !target.isEmpty());
    QObject::connect(
        download, &QPushButton::clicked, alert, [target] { QDesktopServices::openUrl(target); });
    alert->show();
}

} // namespace

void showUpdateCheckOutcome(const UpdateCheckOutcome &outcome)
{
    if (!isWorthTelling(outcome.result, outcome.userStarted)) {
        return;
    }
    switch (outcome.result) {
    case UpdateCheckResult::updateAvailable:
        offerUpdate(outcome);
        return;
    case UpdateCheckResult::upToDate:
        makeAlert(QMessageBox::Information,
                  QStringLiteral("You\u2019re up to date!"),
                  QStringLiteral("Zentrel %1 is currently the newest version available.")
                      .arg(outcome.currentVersion))
            ->show();
        return;
    case UpdateCheckResult::failed:
        makeAlert(QMessageBox::Warning,
                  QStringLiteral("Update Error!"),
                  QStringLiteral("The update check failed: %1").arg(outcome.failure))
            ->show();
        return;
    case UpdateCheckResult::noFeed:
        makeAlert(QMessageBox::Information,
                  QStringLiteral("Updates to Zentrel come from your package manager."),
                  QString())
            ->show();
        return;
    }
}

} // namespace zentrel
