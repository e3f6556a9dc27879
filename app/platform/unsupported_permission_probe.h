#pragma once

#include "shell/onboarding/permission_manager.h"

namespace zentrel {

// Outside an X11 session neither capture nor global keys and clicks can work yet.
class UnsupportedPermissionProbe final : public PermissionProbe
{
public:
    PermissionStatus screenRecording() const override { return {false, reason}; }

    PermissionStatus accessibility() const override { return {false, reason}; }

private:
    static constexpr const char *reason =
        "Zentrel needs an X11 session (or XWayland with an X11 Qt platform); pure Wayland "
        "sessions are not supported yet.";
};

} // namespace zentrel
