#include "whiteboard/editor/unsaved_whiteboard_library.h"

#include <utility>

namespace zentrel {

std::optional<std::string>
UnsavedWhiteboardLibrary::saveBeforeQuit(const WhiteboardLibraryStore &store)
{
    const auto library = std::exchange(m_library, nullptr);
    if (!library) {
        return std::nullopt;
    }
    if (auto saved = store.save(*library); !saved) {
        return std::string(whiteboardChangesLostPrefix) + message(saved.error());
    }
    return std::nullopt;
}

} // namespace zentrel
