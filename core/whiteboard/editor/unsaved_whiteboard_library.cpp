#include "whiteboard/editor/unsaved_whiteboard_library.h"

#include <filesystem>
#include <utility>

namespace zentrel {

void UnsavedWhiteboardLibrary::keep(std::shared_ptr<const WhiteboardLibrary> library,
                                    LibraryFileStamp stamp)
{
    m_library = std::move(library);
    m_stamp = std::move(stamp);
}

std::optional<std::string>
UnsavedWhiteboardLibrary::saveBeforeQuit(const WhiteboardLibraryStore &store)
{
    const auto library = std::exchange(m_library, nullptr);
    if (!library) {
        return std::nullopt;
    }
    // Judged as the run that could not write it would have judged the file.
    WhiteboardLibraryStore saver = store;
    saver.adoptLibraryFileStamp(m_stamp);
    std::optional<std::filesystem::path> keptAside;
    saver.setConflictHandler([&keptAside](const std::filesystem::path &at) { keptAside = at; });
    if (auto saved = saver.save(*library); !saved) {
        return std::string(whiteboardChangesLostPrefix) + message(saved.error());
    }
    if (keptAside) {
        return libraryKeptAsideMessage(*keptAside);
    }
    return std::nullopt;
}

} // namespace zentrel
