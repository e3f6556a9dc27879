#pragma once

#include "shell/permission_manager.h"

namespace zentrel {

// On X11 nothing is granted by the user: capture needs an X display, global keys and clicks
// need XInput 2 and XKB. Each read asks the server anew, on a connection of its own.
class X11PermissionProbe final : public PermissionProbe
{
public:
    PermissionStatus screenRecording() const override;
    PermissionStatus accessibility() const override;
};

} // namespace zentrel
