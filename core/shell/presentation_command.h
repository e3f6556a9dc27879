#pragma once

#include "shell/presentation_action.h"
#include "shell/presentation_feature.h"

#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// A command URL as the URL type splits it: the scheme, the host when there is one, and the
// decoded path components in order ("/" components already left out).
struct CommandUrlParts
{
    std::string scheme;
    std::optional<std::string> host;
    std::vector<std::string> pathComponents;
};

// What a `zentrel:` command URL asks for.
struct PresentationCommand
{
    enum class Kind {
        activate,
        toggle,
        stop,
        action,
    };

    Kind kind = Kind::stop;
    PresentationFeature feature = PresentationFeature::drawing;
    PresentationAction action;

    static PresentationCommand activate(PresentationFeature feature)
    {
        return PresentationCommand{Kind::activate, feature, {}};
    }

    static PresentationCommand toggle(PresentationFeature feature)
    {
        return PresentationCommand{Kind::toggle, feature, {}};
    }

    static PresentationCommand stop() { return PresentationCommand{}; }

    static PresentationCommand perform(PresentationAction action)
    {
        return PresentationCommand{Kind::action, PresentationFeature::drawing, action};
    }

    friend bool operator==(const PresentationCommand &, const PresentationCommand &) = default;
};

// The command-URL grammar: "zentrel://activate/<feature>", "toggle/<feature>", "stop",
// "action/<word>[/<argument>]". Words compare without regard to case; anything malformed,
// foreign or incomplete gives no command.
std::optional<PresentationCommand> parseCommandUrl(const CommandUrlParts &url);

} // namespace zentrel
