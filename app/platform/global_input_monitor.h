#pragma once

#include <QObject>

namespace zentrel {

// Mouse-button presses and Escape anywhere on the screen, also over other programs' windows and
// through click-through overlays that never see them. It only watches: the input goes on to
// whichever program it was for.
class GlobalInputMonitor : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    // Only the left and the right button are reported.
    void pressed(Qt::MouseButton button);
    void escapePressed();
};

} // namespace zentrel
