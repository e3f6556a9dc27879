#include "whiteboard/properties/whiteboard_palettes.h"

#include "shell/presentation_color.h"

namespace zentrel {

namespace {

// The desktop's usual colours of these names, in their light-appearance values; one fixed value
// each, so a colour chosen under one scheme still marks its swatch under the other.
Color rgb(int red, int green, int blue)
{
    return Color{red / 255.0, green / 255.0, blue / 255.0, 1};
}

const Color black = rgb(0, 0, 0);
const Color white = rgb(255, 255, 255);
const Color orange = rgb(255, 149, 0);

} // namespace

std::vector<WhiteboardColorSwatch> whiteboardStrokeColors()
{
    return {
        {QStringLiteral("Black"), black},
        {QStringLiteral("Red"), systemColor(PresentationColor::red)},
        {QStringLiteral("Green"), systemColor(PresentationColor::green)},
        {QStringLiteral("Blue"), systemColor(PresentationColor::blue)},
        {QStringLiteral("Orange"), orange},
    };
}

std::vector<WhiteboardColorSwatch> whiteboardFillColors()
{
    return {
        {QStringLiteral("Red"), Color{1.00, 0.73, 0.75, 1}},
        {QStringLiteral("Green"), Color{0.65, 0.93, 0.72, 1}},
        {QStringLiteral("Blue"), Color{0.61, 0.82, 0.96, 1}},
        {QStringLiteral("Yellow"), Color{1.00, 0.88, 0.55, 1}},
    };
}

std::vector<WhiteboardColorSwatch> whiteboardCustomColors()
{
    return {
        {QStringLiteral("Black"), black},
        {QStringLiteral("Gray"), rgb(142, 142, 147)},
        {QStringLiteral("White"), white},
        {QStringLiteral("Red"), systemColor(PresentationColor::red)},
        {QStringLiteral("Orange"), orange},
        {QStringLiteral("Yellow"), systemColor(PresentationColor::yellow)},
        {QStringLiteral("Green"), systemColor(PresentationColor::green)},
        {QStringLiteral("Mint"), rgb(0, 199, 190)},
        {QStringLiteral("Cyan"), rgb(85, 190, 240)},
        {QStringLiteral("Blue"), systemColor(PresentationColor::blue)},
        {QStringLiteral("Indigo"), rgb(88, 86, 214)},
        {QStringLiteral("Purple"), rgb(175, 82, 222)},
        {QStringLiteral("Pink"), rgb(255, 45, 85)},
        {QStringLiteral("Brown"), rgb(162, 132, 94)},
    };
}

} // namespace zentrel
