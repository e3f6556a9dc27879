#include "shell/tray/tray_fallback_window.h"

#include "platform/platform_services.h"
#include "shell/window_placement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace zentrel {

TrayFallbackWindow::TrayFallbackWindow(QMenu *menu)
    : QWidget(nullptr, Qt::Window)
    , m_button(new QToolButton(this))
{
    setWindowTitle(QStringLiteral("Zentrel"));
    m_button->setText(QStringLiteral("Zentrel"));
    m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setMenu(menu);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_button);
    // Mapped with a user time of 0, which window managers take as "do not focus".
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TrayFallbackWindow::setIcon(const QIcon &icon)
{
    setWindowIcon(icon);
    m_button->setIcon(icon);
}

void TrayFallbackWindow::showInCorner()
{
    m_isComingBack = false;
    moveToCorner();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TrayFallbackWindow::comeBack()
{
    const bool isKeptPlaceOnAScreen =
        m_keptPlace && QGuiApplication::screenAt(QRect(*m_keptPlace, frameSize()).center());
    if (isKeptPlaceOnAScreen) {
        moveToKeptPlace();
    } else {
        moveToCorner();
    }
    m_isComingBack = true;
    show();
    windowHandle()->installEventFilter(this);
}

// Most window managers stack a window they map on top, even one they do not focus: it goes back
// under the program that was in use as it stepped aside (after a run KWin names the program in
// use again only a while later).
bool TrayFallbackWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_isComingBack && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        m_isComingBack = false;
        if (m_programInUse) {
            stackBelow(this, *m_programInUse);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The corner is kept to once framed by the fitter.
void TrayFallbackWindow::moveToCorner()
{
    m_isPlacedWithFrame = true;
    QScreen *screen = activeScreen();
    // Measured at that screen's scale.
    if (screen) {
        setScreen(screen);
    }
    adjustSize();
    if (screen) {
        fitOnScreen(*this, *screen, WindowPlace::corner);
    }
}

void TrayFallbackWindow::moveToKeptPlace()
{
    m_isPlacedWithFrame = false;
    move(*m_keptPlace);
}

// The window manager moves the window as it puts its frame around it.
void TrayFallbackWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    QTimer::singleShot(0, this, &TrayFallbackWindow::placeOnceFramed);
}

// Kept as it steps aside: mapped again, a window goes where its frame was or where the window
// itself was, as each window manager sees it (mutter and metacity put it a title bar higher each
// time), so it goes back there once framed.
void TrayFallbackWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_keptPlace = pos();
    m_programInUse = activeWindowOnScreenOf(this);
}

void TrayFallbackWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        Q_EMIT closed();
    }
}

void TrayFallbackWindow::placeOnceFramed()
{
    if (m_isPlacedWithFrame || !isVisible() || frameGeometry().size() == size()) {
        return;
    }
    m_isPlacedWithFrame = true;
    if (m_keptPlace) {
        move(*m_keptPlace);
    }
}

} // namespace zentrel
