#include "hotkeys/shortcut_event_listener.h"

#include "hotkeys/hotkey_registry.h"

#include <QEvent>
#include <QWidget>

namespace zentrel {

ShortcutEventListener::ShortcutEventListener(QWidget &view,
                                             std::function<ScopedConnection()> startStream)
    : QObject(&view)
    , m_startStream(std::move(startStream))
{
    view.installEventFilter(this);
    if (view.isVisible()) {
        m_stream = m_startStream();
        m_isListening = true;
    }
}

bool ShortcutEventListener::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && !m_isListening) {
        m_stream = m_startStream();
        m_isListening = true;
    } else if (event->type() == QEvent::Hide) {
        m_stream.disconnect();
        m_isListening = false;
    }
    return QObject::eventFilter(watched, event);
}

ShortcutEventListener *onShortcutEvent(QWidget &view,
                                       hotkeys::HotkeyRegistry &registry,
                                       const hotkeys::Name &name,
                                       std::function<void(hotkeys::EventType)> action)
{
    return new ShortcutEventListener(view, [&registry, name, action = std::move(action)] {
        return registry.events(name, action);
    });
}

ShortcutEventListener *onShortcutEvent(QWidget &view,
                                       hotkeys::HotkeyRegistry &registry,
                                       const hotkeys::Name &name,
                                       hotkeys::EventType type,
                                       std::function<void()> action)
{
    return new ShortcutEventListener(view, [&registry, name, type, action = std::move(action)] {
        return registry.events(type, name, action);
    });
}

} // namespace zentrel
