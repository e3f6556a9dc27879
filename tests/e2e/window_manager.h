#pragma once

#include "e2e/child_process.h"

#include <QString>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

namespace zentrel {

// The desktops our users run: a bare X server, and the window managers of the common desktops.
enum class WindowManager {
    none,
    openbox,
    metacity,
    xfwm4,
    mutter,
    kwin,
};

const std::vector<WindowManager> &everyWindowManager();
QString nameOf(WindowManager manager);
// Those that composite by themselves: no compositing manager may run beside them.
bool composites(WindowManager manager);
// For test names and failure messages.
void PrintTo(WindowManager manager, std::ostream *out);

// A window manager on a test's private display, in a home of its own so parallel ones never
// share settings or locks. It ends with the object, or with the display.
class WindowManagerProcess
{
public:
    // Returns once the manager has taken the display, or its time ran out (see isReady).
    WindowManagerProcess(WindowManager manager, const QString &display);

    // The manager announced itself on the root window (_NET_SUPPORTING_WM_CHECK) and, where it
    // composites, took the compositing selection.
    bool isReady() const { return m_isReady; }

    QString output() { return m_process.output(); }

private:
    QTemporaryDir m_home;
    ChildProcess m_process;
    bool m_isReady = false;
};

} // namespace zentrel
