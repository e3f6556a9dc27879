#pragma once

#include "shell/shell_ports.h"

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdint>

namespace zentrel {

// The error alert: a warning titled "Zentrel" with one "OK" button. It stays above the
// feature's always-on-top panels, and does not block the event loop while it is open.
// An alert that is not on screen is shown again, and `closed` is called once whatever becomes
// of it, so the queue never waits for an answer nobody can give: with `notShown` when no window
// for it would stay on screen. `onScreen` is told as soon as the window manager shows it.
class MessageBoxAlertPresenter final : public QObject, public AlertPresenter
{
    Q_OBJECT

public:
    // How often an open alert is checked for being on screen.
    static constexpr std::chrono::milliseconds defaultCheckInterval{1000};

    explicit MessageBoxAlertPresenter(
        QObject *parent = nullptr, std::chrono::milliseconds checkInterval = defaultCheckInterval);
    ~MessageBoxAlertPresenter() override;

    void present(const std::string &text,
                 std::function<void()> onScreen,
                 std::function<void(AlertOutcome)> closed) override;

    // The alert open now, if any; a window that never reached the screen gives way to a new one.
    QMessageBox *currentAlert() const { return m_alert; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openAlert();
    void reopenAlert();
    QWidget *windowToStayAbove() const;
    void dropAlert();
    void bringForward(bool activate);
    void checkOnScreen();
    void tellIfOnScreen();
    void reportClosed(std::uint64_t presented, AlertOutcome outcome);

    QPointer<QMessageBox> m_alert;
    // The feature run's window the alert is a transient of, if any.
    QPointer<QWidget> m_owner;
    QString m_text;
    std::function<void()> m_onScreen;
    std::function<void(AlertOutcome)> m_closed;
    // Counts the texts presented, so word about an earlier alert cannot close a later one.
    std::uint64_t m_presented = 0;
    // Windows shown while the alert is up that have not yet taken the keyboard.
    QList<QPointer<QWindow>> m_openedSinceAlert;
    QTimer m_checkTimer;
    int m_timesShownAgain = 0;
    bool m_isBringingForward = false;
    bool m_activatesWhenForward = false;
};

} // namespace zentrel
