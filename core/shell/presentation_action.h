#pragma once

#include "shell/presentation_color.h"
#include "shell/presentation_tool.h"

namespace zentrel {

// An action for the running feature. Only selectTool and selectColor carry a payload; build
// actions with the named constructors so the unused payload keeps its default.
struct PresentationAction
{
    enum class Kind {
        selectTool,
        selectColor,
        undo,
        redo,
        clear,
        copyCurrentCanvas,
        saveCurrentCanvas,
        resetViewport,
        toggleTimerPause,
        addTimerMinute,
    };

    Kind kind = Kind::undo;
    PresentationTool tool = PresentationTool::pen;
    PresentationColor color = PresentationColor::red;

    static PresentationAction selectTool(PresentationTool tool)
    {
        return PresentationAction{Kind::selectTool, tool, PresentationColor::red};
    }

    static PresentationAction selectColor(PresentationColor color)
    {
        return PresentationAction{Kind::selectColor, PresentationTool::pen, color};
    }

    static PresentationAction plain(Kind kind) { return PresentationAction{kind}; }

    friend bool operator==(const PresentationAction &, const PresentationAction &) = default;
};

} // namespace zentrel
