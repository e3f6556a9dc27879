#pragma once

namespace zentrel {

// Where the session has no bus (startx without one, ssh -X, a kiosk), the D-Bus library launches
// one for the first call, in our process group: a signal to the group took it down in the
// middle of the start, which then waited on it for good. With neither a bus address nor a bus in
// the runtime folder, this sets an address no library can open, so every call fails at once
// and nothing is launched. A session with a bus keeps it, and with it accessibility.
void preventSessionBusAutolaunch();

} // namespace zentrel
