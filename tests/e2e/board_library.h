#pragma once

#include "whiteboard/model/whiteboard_library.h"

#include <utility>

namespace zentrel {

// A library holding one board, current and past any migration, as the whiteboard scenarios save
// it before zentrel starts.
inline WhiteboardLibrary libraryOf(WhiteboardBoard board)
{
    WhiteboardLibrary library;
    library.currentBoardID = board.id;
    library.migrationCompleted = true;
    library.boards.push_back(std::move(board));
    return library;
}

} // namespace zentrel
