#pragma once

#include <QObject>
#include <QPointF>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace zentrel {

class EventMonitor;

// The event monitors and the pointer tracker of one feature run; all go at close.
class OverlayInputController : public QObject
{
    Q_OBJECT

public:
    OverlayInputController();
    ~OverlayInputController() override;

    void addMonitor(std::unique_ptr<EventMonitor> monitor);
    void removeMonitor(const EventMonitor *monitor);

    // At 60 Hz, the pointer relative to the screen's top-left corner (it may lie outside).
    void startMouseTracking(const QRect &screenGeometry, std::function<void(QPointF)> handler);

    void removeAllMonitors();

private:
    std::vector<std::unique_ptr<EventMonitor>> m_monitors;
    QTimer *m_mouseTimer = nullptr;
};

} // namespace zentrel
