#include "panels/event_monitor.h"

#include <QCoreApplication>
#include <QWidget>

namespace zentrel {

EventMonitor::EventMonitor(QEvent::Type type,
                           WindowTest isWatched,
                           SwallowTest shouldSwallow,
                           Handler handler)
    : m_type(type)
    , m_isWatched(std::move(isWatched))
    , m_shouldSwallow(std::move(shouldSwallow))
    , m_handler(std::move(handler))
{
    QCoreApplication::instance()->installEventFilter(this);
}

EventMonitor::~EventMonitor()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool EventMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != m_type || !watched->isWidgetType()) {
        return false;
    }
    // Seen at the first widget it reaches, before that widget's own handling.
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    if (!m_isWatched(window)) {
        return false;
    }
    m_handler(event);
    return m_shouldSwallow && m_shouldSwallow(event);
}

} // namespace zentrel
