#include "shell/tray/tray_fallback_window.h"

#include "common/window_placement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

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
}

void TrayFallbackWindow::setIcon(const QIcon &icon)
{
    setWindowIcon(icon);
    m_button->setIcon(icon);
}

void TrayFallbackWindow::showInCorner()
{
    QScreen *screen = activeScreen();
    // Measured at that screen's scale.
    if (screen) {
        setScreen(screen);
    }
    adjustSize();
    if (screen) {
        fitOnScreen(*this, *screen, WindowPlace::corner);
    }
    show();
}

void TrayFallbackWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        Q_EMIT closed();
    }
}

} // namespace zentrel
