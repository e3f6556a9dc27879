#pragma once

#include "shell/shell_ports.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

namespace zentrel {

// The error alert: a warning titled "Zentrel" with one "OK" button. It stays above the
// feature's always-on-top panels, and does not block the event loop while it is open.
class MessageBoxAlertPresenter final : public QObject, public AlertPresenter
{
    Q_OBJECT

public:
    explicit MessageBoxAlertPresenter(QObject *parent = nullptr);
    ~MessageBoxAlertPresenter() override;

    void present(const std::string &text, std::function<void()> closed) override;

    // The alert on screen, if any.
    QMessageBox *currentAlert() const { return m_alert; }

private:
    QPointer<QMessageBox> m_alert;
};

} // namespace zentrel
