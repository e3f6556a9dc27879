#include "platform/x11/input/xinput_monitor.h"

#include "hotkeys/key.h"
#include "hotkeys/key_positions.h"
#include "platform/x11/input/x11_combination.h"
#include "platform/x11/xcb_reply.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdint>
#include <optional>

namespace zentrel {
namespace {

// X numbers the buttons from the left: 1 is the primary, 2 the middle, 3 the secondary.
constexpr std::uint32_t leftButton = 1;
constexpr std::uint32_t rightButton = 3;
const std::uint32_t escapeKeycode = *x11Keycode(hotkeys::keys::escape.rawValue);

// The xcb request takes a mask header followed by its words.
struct RawPressMask
{
    xcb_input_event_mask_t header;
    std::uint32_t bits;
};

} // namespace

std::optional<std::uint8_t> xinputOpcode(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present) {
        return std::nullopt;
    }
    // Raw events regardless of grabs came with 2.1; 2.2 is what every current server speaks.
    const XcbReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (!version || (version->major_version < 2)
        || (version->major_version == 2 && version->minor_version < 1)) {
        return std::nullopt;
    }
    return extension->major_opcode;
}

std::unique_ptr<XinputMonitor> XinputMonitor::create()
{
    int screenNumber = 0;
    XcbConnection connection(xcb_connect(nullptr, &screenNumber));
    if (!connection || xcb_connection_has_error(connection.get())) {
        return nullptr;
    }
    const std::optional<std::uint8_t> opcode = xinputOpcode(connection.get());
    if (!opcode) {
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int skipped = 0; skipped < screenNumber && screens.rem > 0; ++skipped) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return nullptr;
    }
    RawPressMask mask{};
    mask.header.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.header.mask_len = 1;
    mask.bits = XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection.get(),
        xcb_input_xi_select_events_checked(connection.get(), screens.data->root, 1, &mask.header)));
    if (error) {
        return nullptr;
    }
    return std::unique_ptr<XinputMonitor>(new XinputMonitor(std::move(connection), *opcode));
}

XinputMonitor::XinputMonitor(XcbConnection connection, std::uint8_t xinputOpcode)
    : m_connection(std::move(connection))
    , m_xinputOpcode(xinputOpcode)
{
    auto *notifier = new QSocketNotifier(
        xcb_get_file_descriptor(m_connection.get()), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &XinputMonitor::readEvents);
    // Events may already sit in xcb's queue, where the socket no longer announces them.
    readEvents();
}

XinputMonitor::~XinputMonitor() = default;

void XinputMonitor::readEvents()
{
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection.get())}) {
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC) {
            continue;
        }
        const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event.get());
        if (generic->extension != m_xinputOpcode) {
            continue;
        }
        if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS) {
            const auto *key = reinterpret_cast<const xcb_input_raw_key_press_event_t *>(generic);
            if (key->detail == escapeKeycode) {
                Q_EMIT escapePressed();
            }
            continue;
        }
        if (generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS) {
            continue;
        }
        const auto *press = reinterpret_cast<const xcb_input_raw_button_press_event_t *>(generic);
        if (press->detail == leftButton) {
            Q_EMIT pressed(Qt::LeftButton);
        } else if (press->detail == rightButton) {
            Q_EMIT pressed(Qt::RightButton);
        }
    }
}

} // namespace zentrel
