#include "platform/screen_capture.h"

namespace zentrel {

QString CaptureError::message() const
{
    switch (kind) {
    case Kind::DisplayUnavailable:
        return QStringLiteral("The selected display is not available for capture.");
    case Kind::Platform:
        return detail;
    }
    return detail;
}

} // namespace zentrel
