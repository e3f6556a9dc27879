#include "whiteboard/model/whiteboard_tool.h"

#include "common/text.h"

#include <array>
#include <string>

namespace zentrel {
namespace {

struct ToolFacts
{
    WhiteboardTool tool;
    std::string_view title;
    std::string_view symbolName;
    std::string_view shortcutKey;
    std::string_view letter;
};

constexpr std::array<ToolFacts, 11> toolFacts{{
    {WhiteboardTool::selection, "Select", "cursorarrow", "1", "v"},
    {WhiteboardTool::pan, "Pan", "hand.draw", "H", "h"},
    {WhiteboardTool::freedraw, "Pen", "pencil.tip", "7", "p"},
    {WhiteboardTool::arrow, "Arrow", "arrow.up.right", "5", "a"},
    {WhiteboardTool::rectangle, "Rectangle", "rectangle", "2", "r"},
    {WhiteboardTool::ellipse, "Ellipse", "circle", "4", "o"},
    {WhiteboardTool::diamond, "Diamond", "diamond", "3", "d"},
    {WhiteboardTool::line, "Line", "line.diagonal", "6", "l"},
    {WhiteboardTool::text, "Text", "textformat", "8", "t"},
    {WhiteboardTool::marker, "Number", "number.circle", "0", "n"},
    {WhiteboardTool::eraser, "Eraser", "eraser", "9", "e"},
}};

const ToolFacts &factsOf(WhiteboardTool tool)
{
    for (const ToolFacts &facts : toolFacts) {
        if (facts.tool == tool) {
            return facts;
        }
    }
    return toolFacts.front();
}

} // namespace

std::string_view title(WhiteboardTool tool)
{
    return factsOf(tool).title;
}

std::string_view symbolName(WhiteboardTool tool)
{
    return factsOf(tool).symbolName;
}

std::string_view shortcutKey(WhiteboardTool tool)
{
    return factsOf(tool).shortcutKey;
}

std::optional<WhiteboardTool> toolForShortcut(std::string_view text)
{
    const std::string lowered = asciiLowercased(text);
    for (const ToolFacts &facts : toolFacts) {
        // Pan's label "H" is a letter, so lower-casing makes both checks agree for it.
        if (lowered == facts.letter
            || (facts.tool != WhiteboardTool::pan && lowered == facts.shortcutKey)) {
            return facts.tool;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
