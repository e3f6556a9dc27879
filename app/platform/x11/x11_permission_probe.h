#pragma once

#include "shell/onboarding/permission_manager.h"

#include <optional>

namespace zentrel {

// On X11 nothing is granted by the user: capture needs an X display, global keys and clicks
// need XInput 2 and XKB. The server is asked once, on a connection of its own; what it offers
// cannot change while it runs, and the program asks again each time it becomes active.
class X11PermissionProbe final : public PermissionProbe
{
public:
    PermissionStatus screenRecording() const override;
    PermissionStatus accessibility() const override;

private:
    mutable std::optional<PermissionStatus> m_screenRecording;
    mutable std::optional<PermissionStatus> m_accessibility;
};

} // namespace zentrel
