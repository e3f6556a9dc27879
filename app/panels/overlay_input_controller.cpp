#include "panels/overlay_input_controller.h"

#include "panels/event_monitor.h"

#include <QCursor>
#include <QTimer>

#include <algorithm>

namespace zentrel {

OverlayInputController::OverlayInputController() = default;

OverlayInputController::~OverlayInputController()
{
    removeAllMonitors();
}

void OverlayInputController::addMonitor(std::unique_ptr<EventMonitor> monitor)
{
    m_monitors.push_back(std::move(monitor));
}

void OverlayInputController::removeMonitor(const EventMonitor *monitor)
{
    std::erase_if(m_monitors, [monitor](const auto &held) { return held.get() == monitor; });
}

void OverlayInputController::startMouseTracking(const QRect &screenGeometry,
                                                std::function<void(QPointF)> handler)
{
    delete m_mouseTimer;
    m_mouseTimer = new QTimer(this);
    m_mouseTimer->setInterval(1000 / 60);
    connect(m_mouseTimer, &QTimer::timeout, this, [origin = screenGeometry.topLeft(), handler] {
        handler(QPointF(QCursor::pos() - origin));
    });
    m_mouseTimer->start();
}

void OverlayInputController::removeAllMonitors()
{
    delete m_mouseTimer;
    m_mouseTimer = nullptr;
    m_monitors.clear();
}

} // namespace zentrel
