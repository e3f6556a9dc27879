#pragma once

#include <chrono>

namespace zentrel {

// Qt waits on the session bus with no deadline the first time it uses it, which the start does.
// Two buses never answer: one the D-Bus library launches where the session has none (startx,
// ssh -X, a kiosk), which ran in our process group and was taken down with it in the middle
// of the start; and one that takes connections but is hung. Where there is no bus, or the bus
// does not answer within `timeout`, this sets an address no library can open, so every call
// fails at once and nothing is launched. A bus that answers is kept, and with it accessibility.
void guardSessionBus(std::chrono::milliseconds timeout);

} // namespace zentrel
