#pragma once

#include <cstdint>

namespace zentrel {

// Adds the states that keep a window of ours out of the taskbar, the pager and the window
// switcher. Call before the window is first shown: Qt keeps states already set when it maps.
void x11KeepOutOfTaskLists(std::uint32_t window);

} // namespace zentrel
