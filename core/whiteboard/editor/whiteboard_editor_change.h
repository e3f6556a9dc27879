#pragma once

#include <cstdint>

namespace zentrel {

// What a published change of the editor model touched, so each view redraws only its part.
// Values combine as bit flags; one notification may carry several.
enum class WhiteboardEditorChange : std::uint32_t {
    none = 0,
    geometry = 1u << 0,     // the elements of the board on screen
    viewport = 1u << 1,     // the viewport of the board on screen
    boards = 1u << 2,       // the board list, names, backgrounds, grids or which board is current
    selection = 1u << 3,    // the selected identifiers
    history = 1u << 4,      // canUndo or canRedo
    tool = 1u << 5,         // the selected tool
    interaction = 1u << 6,  // what the pointer is doing
    textFontSize = 1u << 7, // the size of new texts
    library = 1u << 8,      // any change of the library value, dates included
    defaults = 1u << 9,     // the style new elements take (colour, fill, width, roughness, opacity)
};

constexpr WhiteboardEditorChange operator|(WhiteboardEditorChange a, WhiteboardEditorChange b)
{
    return static_cast<WhiteboardEditorChange>(static_cast<std::uint32_t>(a)
                                               | static_cast<std::uint32_t>(b));
}

constexpr WhiteboardEditorChange &operator|=(WhiteboardEditorChange &a, WhiteboardEditorChange b)
{
    return a = a | b;
}

// Whether `changes` holds any flag of `flags`.
constexpr bool touches(WhiteboardEditorChange changes, WhiteboardEditorChange flags)
{
    return (static_cast<std::uint32_t>(changes) & static_cast<std::uint32_t>(flags)) != 0;
}

} // namespace zentrel
