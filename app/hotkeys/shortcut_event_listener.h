#pragma once

#include "common/signal.h"
#include "hotkeys/event_type.h"
#include "hotkeys/hotkey_name.h"

#include <QObject>

#include <functional>

class QWidget;

namespace zentrel {

namespace hotkeys {
class HotkeyRegistry;
}

// Keeps one hot key's event stream open while a widget is shown: from each show to the next
// hide. A child of the widget, so it goes with it.
class ShortcutEventListener : public QObject
{
    Q_OBJECT

public:
    ShortcutEventListener(QWidget &view, std::function<ScopedConnection()> startStream);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<ScopedConnection()> m_startStream;
    ScopedConnection m_stream;
    bool m_isListening = false;
};

// Runs `action` for each press and release of the name's hot key while `view` is shown.
ShortcutEventListener *onShortcutEvent(QWidget &view,
                                       hotkeys::HotkeyRegistry &registry,
                                       const hotkeys::Name &name,
                                       std::function<void(hotkeys::EventType)> action);

// Runs `action` for each event of one type only.
ShortcutEventListener *onShortcutEvent(QWidget &view,
                                       hotkeys::HotkeyRegistry &registry,
                                       const hotkeys::Name &name,
                                       hotkeys::EventType type,
                                       std::function<void()> action);

} // namespace zentrel
