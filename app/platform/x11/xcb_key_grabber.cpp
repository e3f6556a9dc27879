#include "platform/x11/xcb_key_grabber.h"

namespace zentrel {

struct XcbKeyGrabber::State
{
};

std::unique_ptr<XcbKeyGrabber> XcbKeyGrabber::create()
{
    return nullptr;
}

XcbKeyGrabber::XcbKeyGrabber(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

XcbKeyGrabber::~XcbKeyGrabber() = default;

tl::expected<void, int> XcbKeyGrabber::grab(const hotkeys::Shortcut &)
{
    return tl::unexpected(-1);
}

void XcbKeyGrabber::ungrab(const hotkeys::Shortcut &)
{
}

std::optional<std::string> XcbKeyGrabber::keyCharacter(int) const
{
    return std::nullopt;
}

} // namespace zentrel
