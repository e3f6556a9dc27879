#pragma once

#include "whiteboard/model/store/whiteboard_library_store.h"
#include "whiteboard/model/whiteboard_library.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

inline constexpr std::string_view whiteboardChangesLostPrefix =
    "The whiteboard's changes could not be saved and are lost: ";
// Ends every alert of a failed save while an unsaved holder keeps the library: only memory
// holds the changes then.
inline constexpr std::string_view whiteboardKeptUntilQuitNote =
    " Your changes are kept in memory until Zentrel quits.";

// The library a whiteboard run could not write when it closed. It lives as long as the program
// and is handed to every run: the next run edits it rather than the older file on disk, and its
// next save that works writes it. Keeping one means the user was told the save failed.
class UnsavedWhiteboardLibrary
{
public:
    bool hasLibrary() const { return m_library != nullptr; }

    // Valid while one is kept.
    const WhiteboardLibrary &library() const { return *m_library; }

    // What the store that could not write the library knew of the file; valid while one is kept.
    const LibraryFileStamp &libraryFileStamp() const { return m_stamp; }

    void keep(std::shared_ptr<const WhiteboardLibrary> library, LibraryFileStamp stamp);

    void drop() { m_library.reset(); }

    // The last try as the program ends. Whatever comes of it, nothing is kept afterwards; the
    // text to tell the user when the changes are lost, or when another program's newer file
    // was kept aside before they replaced it.
    std::optional<std::string> saveBeforeQuit(const WhiteboardLibraryStore &store);

private:
    std::shared_ptr<const WhiteboardLibrary> m_library;
    LibraryFileStamp m_stamp;
};

} // namespace zentrel
