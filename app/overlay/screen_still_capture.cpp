#include "overlay/screen_still_capture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace zentrel {
namespace {

// Long enough for the X server, or a compositor, to repaint what the panels covered.
constexpr int repaintDelayMs = 120;

} // namespace

ScreenStillCapture::ScreenStillCapture(const QRect &screenGeometry,
                                       std::vector<QWidget *> panels,
                                       Done done)
    : m_screen(screenGeometry)
    , m_done(std::move(done))
{
    for (QWidget *panel : panels) {
        if (panel && panel->isVisible()) {
            panel->hide();
            m_hidden.emplace_back(panel);
        }
    }
    QTimer::singleShot(m_hidden.empty() ? 0 : repaintDelayMs, this, &ScreenStillCapture::grab);
}

void ScreenStillCapture::cancel()
{
    m_done = nullptr;
    m_hidden.clear();
}

void ScreenStillCapture::grab()
{
    if (!m_done) {
        return;
    }
    QScreen *screen = QGuiApplication::screenAt(m_screen.center());
    QImage image;
    if (screen) {
        const QRect local = m_screen.translated(-screen->geometry().topLeft());
        image = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height())
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32);
    }
    for (const QPointer<QWidget> &panel : m_hidden) {
        if (panel) {
            panel->show();
        }
    }
    m_done(image);
}

} // namespace zentrel
