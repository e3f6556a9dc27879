#pragma once

#include <QObject>

namespace zentrel {

// Whether the desktop has a tray to dock the program's icon in, followed while the program runs:
// panels restart, and tray extensions are turned off and on again.
class TrayHostWatch : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool hasTrayHost() const = 0;

Q_SIGNALS:
    void trayHostChanged(bool hasTrayHost);
};

} // namespace zentrel
