#include "shell/hotkeys/hotkey_names.h"

#include "hotkeys/key.h"

#include <cstdlib>

namespace zentrel {
namespace {

using Kind = HotkeyCommand::Kind;
using ActionKind = PresentationAction::Kind;

HotkeyCommand feature(const char *name, PresentationFeature feature)
{
    return HotkeyCommand{{name, std::nullopt}, Kind::feature, feature, {}};
}

HotkeyCommand action(const char *name, PresentationAction action)
{
    return HotkeyCommand{{name, std::nullopt}, Kind::action, PresentationFeature::drawing, action};
}

HotkeyCommand plainAction(const char *name, ActionKind kind)
{
    return action(name, PresentationAction::plain(kind));
}

std::vector<HotkeyCommand> makeCommands()
{
    const hotkeys::Shortcut escape{hotkeys::keys::escape.rawValue, 0};
    return {
        feature("toggleDraw", PresentationFeature::drawing),
        feature("toggleZoom", PresentationFeature::zooming),
        feature("toggleSpotlight", PresentationFeature::spotlight),
        feature("toggleFreeze", PresentationFeature::freeze),
        feature("toggleWhiteboard", PresentationFeature::whiteboard),
        HotkeyCommand{{"toggleBreakTimer", std::nullopt},
                      Kind::breakTimer,
                      PresentationFeature::breakTimer,
                      {}},
        feature("toggleCursorHalo", PresentationFeature::cursorHalo),
        HotkeyCommand{{"closeCurrentMode", escape}, Kind::closeCurrentMode, {}, {}},
        action("selectPanTool", PresentationAction::selectTool(PresentationTool::pan)),
        action("selectPenTool", PresentationAction::selectTool(PresentationTool::pen)),
        action("selectArrowTool", PresentationAction::selectTool(PresentationTool::arrow)),
        action("selectRectangleTool", PresentationAction::selectTool(PresentationTool::rectangle)),
        action("selectNumberTool", PresentationAction::selectTool(PresentationTool::number)),
        action("selectEraserTool", PresentationAction::selectTool(PresentationTool::eraser)),
        action("selectRedColor", PresentationAction::selectColor(PresentationColor::red)),
        action("selectYellowColor", PresentationAction::selectColor(PresentationColor::yellow)),
        action("selectGreenColor", PresentationAction::selectColor(PresentationColor::green)),
        action("selectBlueColor", PresentationAction::selectColor(PresentationColor::blue)),
        plainAction("undoPresentationAction", ActionKind::undo),
        plainAction("redoPresentationAction", ActionKind::redo),
        plainAction("clearPresentationAction", ActionKind::clear),
        plainAction("copyCurrentCanvasAction", ActionKind::copyCurrentCanvas),
        plainAction("saveCurrentCanvasAction", ActionKind::saveCurrentCanvas),
        plainAction("resetViewportAction", ActionKind::resetViewport),
        plainAction("toggleBreakTimerPause", ActionKind::toggleTimerPause),
        plainAction("addBreakTimerMinute", ActionKind::addTimerMinute),
    };
}

} // namespace

const std::vector<HotkeyCommand> &hotkeyCommands()
{
    static const std::vector<HotkeyCommand> commands = makeCommands();
    return commands;
}

const hotkeys::Name &hotkeyName(std::string_view rawValue)
{
    for (const HotkeyCommand &command : hotkeyCommands()) {
        if (command.name.rawValue == rawValue) {
            return command.name;
        }
    }
    // Only our own constant names are looked up.
    std::abort();
}

const hotkeys::Name &featureHotkeyName(PresentationFeature feature)
{
    for (const HotkeyCommand &command : hotkeyCommands()) {
        if (command.kind != Kind::closeCurrentMode && command.kind != Kind::action
            && command.feature == feature) {
            return command.name;
        }
    }
    std::abort();
}

} // namespace zentrel
