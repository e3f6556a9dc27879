#include "whiteboard/model/freeze_model.h"

namespace zentrel {

std::optional<FreezeTool> freezeToolFromText(std::string_view text)
{
    return freezeToolText.parse(text);
}

std::string_view freezeToolName(FreezeTool tool)
{
    return freezeToolText.text(tool);
}

} // namespace zentrel
