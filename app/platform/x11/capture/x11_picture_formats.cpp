#include "platform/x11/capture/x11_picture_formats.h"

#include "platform/x11/xcb_reply.h"

#include <xcb/render.h>
#include <xcb/xcb.h>

namespace zentrel {

std::unordered_map<std::uint32_t, X11PictureFormat> x11PictureFormats(xcb_connection_t *connection)
{
    std::unordered_map<std::uint32_t, X11PictureFormat> formats;
    const XcbReply<xcb_render_query_pict_formats_reply_t> reply(xcb_render_query_pict_formats_reply(
        connection, xcb_render_query_pict_formats(connection), nullptr));
    if (!reply) {
        return formats;
    }
    std::unordered_map<xcb_render_pictformat_t, bool> alpha;
    auto infos = xcb_render_query_pict_formats_formats_iterator(reply.get());
    for (; infos.rem; xcb_render_pictforminfo_next(&infos)) {
        alpha[infos.data->id] = infos.data->direct.alpha_mask != 0;
    }
    auto screens = xcb_render_query_pict_formats_screens_iterator(reply.get());
    for (; screens.rem; xcb_render_pictscreen_next(&screens)) {
        auto depths = xcb_render_pictscreen_depths_iterator(screens.data);
        for (; depths.rem; xcb_render_pictdepth_next(&depths)) {
            auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data);
            for (; visuals.rem; xcb_render_pictvisual_next(&visuals)) {
                const xcb_render_pictformat_t format = visuals.data->format;
                formats[visuals.data->visual] = {format, alpha[format]};
            }
        }
    }
    return formats;
}

} // namespace zentrel
