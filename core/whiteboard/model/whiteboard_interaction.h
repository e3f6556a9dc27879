#pragma once

#include <array>

namespace zentrel {

// The eight handles of a selection frame, clockwise from the top-left corner.
enum class WhiteboardResizeHandle {
    topLeft,
    top,
    topRight,
    right,
    bottomRight,
    bottom,
    bottomLeft,
    left,
};

inline constexpr std::array<WhiteboardResizeHandle, 8> allWhiteboardResizeHandles{
    WhiteboardResizeHandle::topLeft,
    WhiteboardResizeHandle::top,
    WhiteboardResizeHandle::topRight,
    WhiteboardResizeHandle::right,
    WhiteboardResizeHandle::bottomRight,
    WhiteboardResizeHandle::bottom,
    WhiteboardResizeHandle::bottomLeft,
    WhiteboardResizeHandle::left,
};

// The gesture the editor is in; only `resizing` carries a value, the handle being dragged.
struct WhiteboardInteraction
{
    enum class Kind {
        resizing,
        idle,
        drawing,
        marqueeSelecting,
        moving,
        rotating,
        panning,
        textEditing,
    };

    Kind kind = Kind::idle;
    WhiteboardResizeHandle handle = WhiteboardResizeHandle::topLeft; // read only when resizing

    // Implicit, so `interaction == WhiteboardInteraction::Kind::moving` reads naturally.
    constexpr WhiteboardInteraction(Kind interactionKind = Kind::idle)
        : kind(interactionKind)
    {}

    static constexpr WhiteboardInteraction resizing(WhiteboardResizeHandle dragged)
    {
        WhiteboardInteraction interaction(Kind::resizing);
        interaction.handle = dragged;
        return interaction;
    }

    // The handle is ignored unless both are resizing.
    friend constexpr bool operator==(const WhiteboardInteraction &a, const WhiteboardInteraction &b)
    {
        return a.kind == b.kind && (a.kind != Kind::resizing || a.handle == b.handle);
    }
};

} // namespace zentrel
