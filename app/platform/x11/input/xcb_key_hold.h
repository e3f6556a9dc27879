#pragma once

#include "platform/key_hold.h"
#include "platform/x11/xcb_connection.h"

#include <cstdint>
#include <memory>

namespace zentrel {

// The key grabbed on the root, with every combination of the lock keys, through a connection of
// its own: closing it hands the key back whatever ends the hold, and a key our own hot keys hold
// through Qt's connection is refused as another program's would be.
class XcbKeyHold final : public KeyHold
{
    Q_OBJECT

public:
    // None when the server cannot be reached or another client, our hot keys among them, holds
    // the key already: then it reaches no program in use that way either.
    static std::unique_ptr<XcbKeyHold> create(int carbonKeyCode);

private:
    XcbKeyHold(XcbConnection connection, std::uint8_t keycode);
    void readEvents();

    XcbConnection m_connection;
    std::uint8_t m_keycode;
};

} // namespace zentrel
