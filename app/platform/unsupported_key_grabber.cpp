#include "platform/unsupported_key_grabber.h"

namespace zentrel {
namespace {

// The status reported for a grab the session cannot make.
constexpr int notSupportedStatus = -1;

} // namespace

tl::expected<void, int> UnsupportedKeyGrabber::grab(const hotkeys::Shortcut &)
{
    return tl::unexpected(notSupportedStatus);
}

void UnsupportedKeyGrabber::ungrab(const hotkeys::Shortcut &)
{}

// Nothing can be grabbed here, so nothing can be found to clash either.
bool UnsupportedKeyGrabber::isHeldElsewhere(const hotkeys::Shortcut &)
{
    return false;
}

std::optional<std::string> UnsupportedKeyGrabber::keyCharacter(int carbonKeyCode) const
{
    return m_usLayout.keyCharacter(carbonKeyCode);
}

} // namespace zentrel
