#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>
#include <unordered_map>

struct xcb_connection_t;

namespace zentrel {

// The parts of each top-level window whose pixels its own window holds, in root pixels. A
// compositing manager may draw a frame's decoration itself (KWin) or leave parts of a frame
// unpainted (mutter's invisible borders), so only the client window inside a window manager's
// frame is sure to be drawn by its program; a window without a frame is, less the shadow margins
// GTK declares around its own decorations. Asked once per window and frame (a client shaped anew
// in place keeps its old shape here); lives on its owner's connection and thread.
class X11WindowContent
{
public:
    // framesHoldDecorations: whether window managers' frames hold in their own pixels the title
    // bars and borders that the screen shows around windows.
    X11WindowContent(xcb_connection_t *connection, bool framesHoldDecorations);

    struct Parts
    {
        // What its program draws. Empty when the window is gone.
        QRect content;
        // With the title bar and borders the window manager declares, without the invisible
        // margins some add around them.
        QRect decorated;
        // Whether the window's own pixels hold `decorated` as the screen shows it.
        bool holdsDecoration = true;
        // The frame less what the client's bounding shape cuts away: a compositing window
        // manager may leave the frame around a shaped client unshaped and draw only the shape.
        QRegion shown;
    };

    Parts of(std::uint32_t topLevel, const QRect &frame);

private:
    Parts find(std::uint32_t topLevel, const QRect &frame) const;

    struct Known
    {
        QRect frame;
        Parts parts;
    };

    xcb_connection_t *m_connection;
    std::uint32_t m_stateAtom;
    std::uint32_t m_gtkExtentsAtom;
    std::uint32_t m_frameExtentsAtom;
    bool m_framesHoldDecorations;
    std::unordered_map<std::uint32_t, Known> m_known;
};

} // namespace zentrel
