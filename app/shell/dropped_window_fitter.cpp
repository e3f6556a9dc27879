#include "shell/dropped_window_fitter.h"

#include "common/qt_path.h"
#include "shell/window_fit.h"
#include "shell/window_placement.h"

#include <QCursor>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <chrono>

namespace zentrel {
namespace {

// Longer than a window manager takes between two steps of a drag.
constexpr std::chrono::milliseconds restTime{400};

} // namespace

DroppedWindowFitter::DroppedWindowFitter(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    m_rest.setSingleShot(true);
    m_rest.setInterval(restTime);
    connect(&m_rest, &QTimer::timeout, this, &DroppedWindowFitter::fitDropped);
    window.installEventFilter(this);
}

void DroppedWindowFitter::fittedOn(QScreen &screen, SizeF minimum)
{
    m_screen = &screen;
    m_minimum = minimum;
    m_size = toSizeF(m_window.size());
}

// Sizes count only at the screen's own scale: as it crosses to another, Qt may tell the
// window's new size in points before its new screen.
bool DroppedWindowFitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && m_screen) {
        const bool onItsScreen = m_window.screen() == m_screen
                                 && m_window.devicePixelRatioF() == m_screen->devicePixelRatio();
        if (event->type() == QEvent::Resize && onItsScreen) {
            m_size = toSizeF(m_window.size());
        } else if (event->type() == QEvent::Move && !onItsScreen && m_window.isVisible()) {
            m_rest.start();
        }
    }
    return QObject::eventFilter(watched, event);
}

void DroppedWindowFitter::fitDropped()
{
    QScreen *screen = m_window.screen();
    if (!screen || screen == m_screen || !m_window.isVisible()) {
        return;
    }
    const QRect dropped = m_window.frameGeometry();
    const WindowFit fit = droppedWindowFit(toRectF(QRectF(screen->availableGeometry())),
                                           toRectF(QRectF(screen->geometry())),
                                           {m_size, m_minimum},
                                           frameMarginsOf(m_window),
                                           toRectF(QRectF(dropped)),
                                           toPointF(QPointF(QCursor::pos(screen))));
    m_screen = screen;
    m_window.setMinimumSize(QSize(int(fit.minimum.width), int(fit.minimum.height)));
    m_window.resize(int(fit.size.width), int(fit.size.height));
    moveFrameTo(m_window, QPoint(int(fit.frame.x), int(fit.frame.y)));
}

} // namespace zentrel
