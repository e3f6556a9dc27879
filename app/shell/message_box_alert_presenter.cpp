#include "shell/message_box_alert_presenter.h"

#include <QMessageBox>

namespace zentrel {

MessageBoxAlertPresenter::MessageBoxAlertPresenter(QObject *parent)
    : QObject(parent)
{}

MessageBoxAlertPresenter::~MessageBoxAlertPresenter()
{
    // Closing at shutdown is not the user dismissing the alert: nobody is told.
    if (m_alert) {
        m_alert->disconnect(this);
        delete m_alert;
    }
}

void MessageBoxAlertPresenter::present(const std::string &text, std::function<void()> closed)
{
    auto *alert = new QMessageBox(QMessageBox::Warning,
                                  QStringLiteral("Zentrel"),
                                  QString::fromStdString(text),
                                  QMessageBox::Ok);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowFlag(Qt::WindowStaysOnTopHint);
    m_alert = alert;
    connect(alert, &QMessageBox::finished, this, [closed = std::move(closed)] { closed(); });
    alert->open();
    alert->raise();
    alert->activateWindow();
}

} // namespace zentrel
