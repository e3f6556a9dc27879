#pragma once

#include "platform/global_input_monitor.h"
#include "platform/x11/xcb_connection.h"

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace zentrel {

// The major opcode of XInput 2.1 or later on the connection, none without it.
std::optional<std::uint8_t> xinputOpcode(xcb_connection_t *connection);

// Reads XInput 2 raw button and key presses of the root window on a connection of its own: raw
// events come whichever window is under the pointer and whoever holds a grab, and Qt's connection
// keeps its own event selection.
class XinputMonitor final : public GlobalInputMonitor
{
    Q_OBJECT

public:
    // None when there is no X display or it lacks XInput 2.2.
    static std::unique_ptr<XinputMonitor> create();
    ~XinputMonitor() override;

private:
    XinputMonitor(XcbConnection connection, std::uint8_t xinputOpcode);
    void readEvents();

    XcbConnection m_connection;
    std::uint8_t m_xinputOpcode;
};

} // namespace zentrel
