#pragma once

#include <cstdint>
#include <unordered_map>

struct xcb_connection_t;

namespace zentrel {

struct X11PictureFormat
{
    std::uint32_t id = 0;
    // Windows of such visuals (ARGB) are blended over what lies below them.
    bool hasAlpha = false;
};

// XRender's picture format for every visual the server offers, by visual id; empty when the
// server does not answer.
std::unordered_map<std::uint32_t, X11PictureFormat> x11PictureFormats(xcb_connection_t *connection);

} // namespace zentrel
