#pragma once

#include "common/uuid.h"
#include "whiteboard/model/whiteboard_board.h"

#include <cstdint>
#include <vector>

namespace zentrel {

// All boards and which one is on screen: the whole content of the library file.
struct WhiteboardLibrary
{
    std::int64_t version = 1; // format version; the store writes 1
    std::vector<WhiteboardBoard> boards;
    Uuid currentBoardID;
    bool migrationCompleted = false;

    // The board named by `currentBoardID`, else the first board, else none.
    const WhiteboardBoard *currentBoard() const;

    friend bool operator==(const WhiteboardLibrary &, const WhiteboardLibrary &) = default;
};

} // namespace zentrel
