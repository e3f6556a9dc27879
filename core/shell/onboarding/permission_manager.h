#pragma once

#include "common/signal.h"

#include <string>

namespace zentrel {

// Whether the desktop lets the program do one thing, and when not, why.
struct PermissionStatus
{
    bool granted = false;
    std::string reason;

    friend bool operator==(const PermissionStatus &, const PermissionStatus &) = default;
};

// Asks the desktop what the program may do: capture the screen, and see keys and clicks meant
// for other programs. On X11 nothing is asked of the user; what the server offers decides.
class PermissionProbe
{
public:
    virtual ~PermissionProbe() = default;
    virtual PermissionStatus screenRecording() const = 0;
    virtual PermissionStatus accessibility() const = 0;
};

// The two permission flags as last read; they change only when read again, never by watching.
class PermissionManager
{
public:
    explicit PermissionManager(const PermissionProbe &probe);
    PermissionManager(const PermissionManager &) = delete;
    PermissionManager &operator=(const PermissionManager &) = delete;

    bool hasScreenRecording() const { return m_screenRecording.granted; }

    bool hasAccessibility() const { return m_accessibility.granted; }

    const PermissionStatus &screenRecording() const { return m_screenRecording; }

    const PermissionStatus &accessibility() const { return m_accessibility; }

    void refresh();
    // Nothing can be granted from within the program here; asking reads the answer again.
    void requestScreenRecording();
    void requestAccessibility();

    // Sent after every read, changed or not.
    Signal<> changed;

private:
    const PermissionProbe &m_probe;
    PermissionStatus m_screenRecording;
    PermissionStatus m_accessibility;
};

} // namespace zentrel
