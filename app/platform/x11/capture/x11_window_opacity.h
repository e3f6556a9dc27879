#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

// Has a compositing manager leave windows out of what it draws while this lives, by the opacity
// every compositing manager reads (_NET_WM_WINDOW_OPACITY, on the window and on the window
// manager's frame around it), and gives them back the opacity they had.
class X11TransparentWindows
{
public:
    // windows as the program made them; their frames are found here.
    X11TransparentWindows(xcb_connection_t *connection,
                          std::uint32_t root,
                          const std::vector<std::uint32_t> &windows);
    ~X11TransparentWindows();
    X11TransparentWindows(const X11TransparentWindows &) = delete;
    X11TransparentWindows &operator=(const X11TransparentWindows &) = delete;

private:
    struct Held
    {
        std::uint32_t window;
        std::optional<std::uint32_t> opacity;
    };

    xcb_connection_t *m_connection;
    std::uint32_t m_atom = 0;
    std::vector<Held> m_held;
};

} // namespace zentrel
