#pragma once

#include "common/enum_text.h"

#include <optional>
#include <string_view>

namespace zentrel {

// The seven features as hot keys, command URLs and stored activation styles name them.
enum class PresentationFeature {
    drawing,
    zooming,
    spotlight,
    freeze,
    whiteboard,
    breakTimer,
    cursorHalo,
};

inline constexpr EnumText<PresentationFeature, 7> presentationFeatureText{{{
    {PresentationFeature::drawing, "drawing"},
    {PresentationFeature::zooming, "zooming"},
    {PresentationFeature::spotlight, "spotlight"},
    {PresentationFeature::freeze, "freeze"},
    {PresentationFeature::whiteboard, "whiteboard"},
    {PresentationFeature::breakTimer, "breakTimer"},
    {PresentationFeature::cursorHalo, "cursorHalo"},
}}};

// The lenient reader of feature words in command URLs: any case, with aliases ("loupe",
// "board", "break-timer", …). Anything else, the empty text included, gives no feature.
std::optional<PresentationFeature> parseFeatureName(std::string_view word);

} // namespace zentrel
