#include "shell/message_box_alert_presenter.h"

#include "shell/error_alert_box.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWindow>

#include <utility>

namespace zentrel {
namespace {

// Fresh windows tried for one text before the queue is told it was not shown: an alert the
// window manager never maps must not hold back every later error.
constexpr int maxTimesShownAgain = 5;

// Not on screen: never mapped, minimized, or unmapped by the window manager, as when the user
// moved to another desktop.
bool isOnScreen(const QWidget &alert)
{
    const QWindow *window = alert.windowHandle();
    return alert.isVisible() && !alert.isMinimized() && window && window->isExposed();
}

// A feature run or a window of ours opened or brought forward while the alert is up would
// cover it. Menus, tooltips and modal dialogs stay above it: a modal dialog would not let the
// alert be answered anyway.
bool mayCoverAlert(const QWindow *window)
{
    if (!window || !window->isTopLevel() || window->modality() != Qt::NonModal) {
        return false;
    }
    const Qt::WindowType type = window->type();
    return type == Qt::Window || type == Qt::Tool || type == Qt::Dialog;
}

} // namespace

MessageBoxAlertPresenter::MessageBoxAlertPresenter(QObject *parent,
                                                   std::chrono::milliseconds checkInterval)
    : QObject(parent)
{
    m_checkTimer.setInterval(checkInterval);
    connect(&m_checkTimer, &QTimer::timeout, this, &MessageBoxAlertPresenter::checkOnScreen);
    // Window managers raise the window that takes the keyboard, over the alert too. A window
    // that opened after the alert takes it for the first time when the window manager has put
    // it on screen: the alert is to be read first, so it takes the keyboard back then.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *focus) {
        if (!mayCoverAlert(focus) || !m_alert || focus == m_alert->windowHandle()) {
            return;
        }
        const bool opened = m_openedSinceAlert.removeAll(focus) > 0;
        // Window managers keep the alert above the run's window it is a transient of, and
        // xfwm4 takes a raise for an activation: raised there, it would take back the keys
        // the user gave the run with a click.
        if (opened || !m_owner || focus != m_owner->windowHandle()) {
            bringForward(opened);
        }
    });
}

MessageBoxAlertPresenter::~MessageBoxAlertPresenter()
{
    // Closing at shutdown is not the user dismissing the alert: nobody is told.
    qApp->removeEventFilter(this);
    qApp->disconnect(this);
    if (m_alert) {
        m_alert->disconnect(this);
        delete m_alert;
    }
}

void MessageBoxAlertPresenter::present(const std::string &text,
                                       std::function<void()> onScreen,
                                       std::function<void(AlertOutcome)> closed)
{
    // One alert at a time: one still here belongs to a text the queue has moved past.
    dropAlert();
    ++m_presented;
    m_text = QString::fromStdString(text);
    m_onScreen = std::move(onScreen);
    m_closed = std::move(closed);
    m_openedSinceAlert.clear();
    m_timesShownAgain = 0;
    // First: the window manager may show the alert before `show` returns.
    qApp->installEventFilter(this);
    openAlert();
    m_checkTimer.start();
}

void MessageBoxAlertPresenter::openAlert()
{
    auto *alert = new ErrorAlertBox(m_text);
    // Over a feature run, a transient of its full-screen window: window managers put a focused
    // full-screen window above every stays-on-top one (openbox, KWin), but never above its own
    // transients. The alert is opened afresh when that window goes.
    m_owner = windowToStayAbove();
    if (m_owner) {
        alert->winId();
        alert->windowHandle()->setTransientParent(m_owner->windowHandle());
    }
    m_alert = alert;
    const std::uint64_t presented = m_presented;
    connect(alert, &QMessageBox::finished, this, [this, presented] {
        reportClosed(presented, AlertOutcome::closed);
    });
    // Deleted unanswered by someone else; told after the deletion, which may be under way.
    connect(alert, &QObject::destroyed, this, [this, presented] {
        QTimer::singleShot(
            0, this, [this, presented] { reportClosed(presented, AlertOutcome::closed); });
    });
    alert->show();
    alert->raise();
    alert->activateWindow();
}

// Our stays-on-top full-screen window shown now, if any: a feature run's main window.
QWidget *MessageBoxAlertPresenter::windowToStayAbove() const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto window = windows.crbegin(); window != windows.crend(); ++window) {
        QWidget *candidate = *window;
        if (candidate != m_alert && candidate->isVisible() && candidate->isWindow()
            && candidate->windowType() == Qt::Window
            && candidate->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            return candidate;
        }
    }
    return nullptr;
}

// A new window for the same text, over the run shown now.
void MessageBoxAlertPresenter::reopenAlert()
{
    if (m_alert && m_owner != windowToStayAbove()) {
        dropAlert();
        openAlert();
    }
}

// Lets go of the alert without telling the queue.
void MessageBoxAlertPresenter::dropAlert()
{
    if (QPointer<QMessageBox> alert = std::exchange(m_alert, nullptr)) {
        alert->disconnect(this);
        alert->hide();
        alert->deleteLater();
    }
}

// After the current event: the window that covers the alert is still being shown and
// activated. A window that opened takes the keyboard back for the alert too; one the user chose
// keeps it.
void MessageBoxAlertPresenter::bringForward(bool activate)
{
    m_activatesWhenForward = m_activatesWhenForward || activate;
    if (m_isBringingForward) {
        return;
    }
    m_isBringingForward = true;
    QTimer::singleShot(0, this, [this] {
        m_isBringingForward = false;
        const bool activates = std::exchange(m_activatesWhenForward, false);
        if (m_alert && m_alert->isVisible()) {
            m_alert->raise();
            if (activates) {
                m_alert->activateWindow();
            }
        }
    });
}

void MessageBoxAlertPresenter::checkOnScreen()
{
    if (!m_alert || isOnScreen(*m_alert)) {
        m_timesShownAgain = 0;
        tellIfOnScreen();
        return;
    }
    const std::uint64_t presented = m_presented;
    // Hidden by anyone but the user, who hides it only by answering: no answer will come.
    const bool isHidden = !m_alert->isVisible();
    dropAlert();
    if (isHidden) {
        reportClosed(presented, AlertOutcome::closed);
        return;
    }
    if (m_timesShownAgain == maxTimesShownAgain) {
        reportClosed(presented, AlertOutcome::notShown);
        return;
    }
    ++m_timesShownAgain;
    // A new window, not the old one mapped again: the window manager places it afresh, on the
    // desktop the user is on now.
    openAlert();
}

void MessageBoxAlertPresenter::tellIfOnScreen()
{
    if (m_alert && m_onScreen && isOnScreen(*m_alert)) {
        std::exchange(m_onScreen, nullptr)();
    }
}

void MessageBoxAlertPresenter::reportClosed(std::uint64_t presented, AlertOutcome outcome)
{
    if (presented != m_presented || !m_closed) {
        return;
    }
    m_checkTimer.stop();
    m_onScreen = nullptr;
    m_openedSinceAlert.clear();
    qApp->removeEventFilter(this);
    // An answered alert deletes itself.
    m_alert = nullptr;
    // Taken out first: the callback may present the next alert.
    std::exchange(m_closed, nullptr)(outcome);
}

bool MessageBoxAlertPresenter::eventFilter(QObject *watched, QEvent *event)
{
    // Once the user clicks, the windows opened since the alert take the keyboard by their
    // choice, not by opening.
    if (event->type() == QEvent::MouseButtonPress) {
        m_openedSinceAlert.clear();
    }
    // Told as soon as the window manager shows it, not at the next check.
    if (event->type() == QEvent::Expose && m_alert && watched == m_alert->windowHandle()) {
        QTimer::singleShot(0, this, &MessageBoxAlertPresenter::tellIfOnScreen);
    }
    if (event->type() == QEvent::Hide && watched == m_owner) {
        QTimer::singleShot(0, this, &MessageBoxAlertPresenter::reopenAlert);
    }
    if (event->type() == QEvent::Show && watched != m_alert && watched->isWidgetType()) {
        QWindow *window = static_cast<QWidget *>(watched)->windowHandle();
        if (static_cast<QWidget *>(watched)->isWindow()) {
            QTimer::singleShot(0, this, &MessageBoxAlertPresenter::reopenAlert);
        }
        if (mayCoverAlert(window)) {
            if (!m_openedSinceAlert.contains(window)) {
                m_openedSinceAlert.append(window);
            }
            bringForward(true);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zentrel
