#include "shell/presentation_color.h"

namespace zentrel {

Color systemColor(PresentationColor color)
{
    switch (color) {
    case PresentationColor::red:
        return Color{255 / 255.0, 59 / 255.0, 48 / 255.0, 1};
    case PresentationColor::yellow:
        return Color{255 / 255.0, 204 / 255.0, 0, 1};
    case PresentationColor::green:
        return Color{40 / 255.0, 205 / 255.0, 65 / 255.0, 1};
    case PresentationColor::blue:
        return Color{0, 122 / 255.0, 255 / 255.0, 1};
    }
    return Color{};
}

} // namespace zentrel
