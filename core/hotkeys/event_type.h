#pragma once

namespace zentrel::hotkeys {

// What an event stream of a hot key reports: its press or its release.
enum class EventType {
    keyDown,
    keyUp,
};

} // namespace zentrel::hotkeys
