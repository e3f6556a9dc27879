#include "shell/presentation_feature.h"

#include "common/text.h"

#include <array>
#include <utility>

namespace zentrel {

std::optional<PresentationFeature> parseFeatureName(std::string_view word)
{
    static constexpr auto aliases =
        std::to_array<std::pair<std::string_view, PresentationFeature>>({
            {"draw", PresentationFeature::drawing},
            {"drawing", PresentationFeature::drawing},
            {"zoom", PresentationFeature::zooming},
            {"zooming", PresentationFeature::zooming},
            {"loupe", PresentationFeature::zooming},
            {"spotlight", PresentationFeature::spotlight},
            {"freeze", PresentationFeature::freeze},
            {"whiteboard", PresentationFeature::whiteboard},
            {"board", PresentationFeature::whiteboard},
            {"timer", PresentationFeature::breakTimer},
            {"break-timer", PresentationFeature::breakTimer},
            {"breaktimer", PresentationFeature::breakTimer},
            {"halo", PresentationFeature::cursorHalo},
            {"cursor-halo", PresentationFeature::cursorHalo},
            {"cursorhalo", PresentationFeature::cursorHalo},
        });
    const std::string lowered = asciiLowercased(word);
    for (const auto &[alias, feature] : aliases) {
        if (alias == lowered) {
            return feature;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
