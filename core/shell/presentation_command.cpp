#include "shell/presentation_command.h"

#include "common/text.h"

#include <array>
#include <utility>

namespace zentrel {
namespace {

using Words = std::vector<std::string>;

std::optional<PresentationCommand> parseFeatureCommand(const Words &words,
                                                       PresentationCommand::Kind kind)
{
    if (words.size() != 2) {
        return std::nullopt;
    }
    const auto feature = parseFeatureName(words[1]);
    if (!feature) {
        return std::nullopt;
    }
    return kind == PresentationCommand::Kind::activate ? PresentationCommand::activate(*feature)
                                                       : PresentationCommand::toggle(*feature);
}

std::optional<PresentationAction> parseAction(const Words &words)
{
    using Kind = PresentationAction::Kind;
    static constexpr auto plainActions = std::to_array<std::pair<std::string_view, Kind>>({
        {"undo", Kind::undo},
        {"redo", Kind::redo},
        {"clear", Kind::clear},
        {"copy", Kind::copyCurrentCanvas},
        {"save", Kind::saveCurrentCanvas},
        {"reset", Kind::resetViewport},
        {"timer-pause", Kind::toggleTimerPause},
        {"timer-add-minute", Kind::addTimerMinute},
    });
    if (words.size() < 2) {
        return std::nullopt;
    }
    const std::string word = asciiLowercased(words[1]);
    if (word == "tool" || word == "color") {
        if (words.size() != 3) {
            return std::nullopt;
        }
        const std::string argument = asciiLowercased(words[2]);
        if (word == "tool") {
            const auto tool = presentationToolText.parse(argument);
            return tool ? std::optional(PresentationAction::selectTool(*tool)) : std::nullopt;
        }
        const auto color = presentationColorText.parse(argument);
        return color ? std::optional(PresentationAction::selectColor(*color)) : std::nullopt;
    }
    for (const auto &[actionWord, kind] : plainActions) {
        if (actionWord == word) {
            return words.size() == 2 ? std::optional(PresentationAction::plain(kind))
                                     : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<PresentationCommand> parseCommandUrl(const CommandUrlParts &url)
{
    if (asciiLowercased(url.scheme) != "zentrel") {
        return std::nullopt;
    }
    Words words;
    if (url.host) {
        words.push_back(*url.host);
    }
    for (const auto &component : url.pathComponents) {
        if (component != "/") {
            words.push_back(component);
        }
    }
    if (words.empty()) {
        return std::nullopt;
    }
    const std::string verb = asciiLowercased(words[0]);
    if (verb == "activate") {
        return parseFeatureCommand(words, PresentationCommand::Kind::activate);
    }
    if (verb == "toggle") {
        return parseFeatureCommand(words, PresentationCommand::Kind::toggle);
    }
    if (verb == "stop") {
        return words.size() == 1 ? std::optional(PresentationCommand::stop()) : std::nullopt;
    }
    if (verb == "action") {
        const auto action = parseAction(words);
        return action ? std::optional(PresentationCommand::perform(*action)) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace zentrel
