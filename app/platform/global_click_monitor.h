#pragma once

#include <QObject>

namespace zentrel {

// Mouse-button presses anywhere on the screen, also over other programs' windows and through
// click-through overlays that never see them. It only watches: the clicks go on as before.
class GlobalClickMonitor : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    // Only the left and the right button are reported.
    void pressed(Qt::MouseButton button);
};

} // namespace zentrel
