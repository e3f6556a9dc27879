#pragma once

#include <QRect>

#include <cstdint>
#include <unordered_map>

struct xcb_connection_t;

namespace zentrel {

// The part of each top-level window that its own program draws, in root pixels: the client
// window inside a window manager's frame, or a window without a frame less the shadow margins
// GTK declares around its own decorations. Everything else of a top-level (title bars, borders,
// shadows) may be drawn by the compositing manager alone, so its pixels are not the window's.
// Asked once per window and frame; lives on its owner's connection and thread.
class X11WindowContent
{
public:
    explicit X11WindowContent(xcb_connection_t *connection);

    // Empty when the window is gone.
    QRect of(std::uint32_t topLevel, const QRect &frame);

private:
    QRect find(std::uint32_t topLevel, const QRect &frame) const;

    struct Known
    {
        QRect frame;
        QRect content;
    };

    xcb_connection_t *m_connection;
    std::uint32_t m_stateAtom;
    std::uint32_t m_frameExtentsAtom;
    std::unordered_map<std::uint32_t, Known> m_known;
};

} // namespace zentrel
