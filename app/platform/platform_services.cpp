#include "platform/platform_services.h"

#include "platform/unsupported_key_grabber.h"
#include "platform/x11/compositing.h"
#include "platform/x11/xcb_key_grabber.h"

#include <QGuiApplication>

namespace zentrel {
namespace {

bool isX11Session()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

std::unique_ptr<KeyGrabber> makeKeyGrabber()
{
    if (isX11Session()) {
        if (auto grabber = XcbKeyGrabber::create()) {
            return grabber;
        }
    }
    return std::make_unique<UnsupportedKeyGrabber>();
}

} // namespace zentrel

namespace zentrel {

bool isCompositingActive()
{
    return !isX11Session() || isX11CompositingActive();
}

} // namespace zentrel
