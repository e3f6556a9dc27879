#pragma once

#include <optional>

namespace zentrel {

// What the whiteboard canvas does with Ctrl and a key. `key` is the key's unshifted character
// ('a' … 'z', '[', ']', '=', '+', '-', '0'), read from the key itself rather than the character
// Shift makes of it, so Ctrl+Shift+Z and Ctrl+Shift+] work on every layout.
enum class CanvasKeyCommand {
    selectAll,
    copy,
    cut,
    paste,
    duplicate,
    group,
    ungroup,
    bringForward,
    bringToFront,
    sendBackward,
    sendToBack,
    undo,
    redo,
    zoomIn,
    zoomOut,
    resetView,
};

std::optional<CanvasKeyCommand> canvasKeyCommand(char key, bool shift);

// The keys with Ctrl that the whiteboard and Zevizu & Vozurir take before any view sees them.
enum class OverlayKeyCommand {
    zoomIn,
    zoomOut,
    resetView,
    undo,
    redo,
    copyImage,
    saveImage,
};

std::optional<OverlayKeyCommand> overlayKeyCommand(char key, bool shift);

} // namespace zentrel
