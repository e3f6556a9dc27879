#include "whiteboard/model/whiteboard_board.h"

#include "whiteboard/model/whiteboard_library.h"

#include <algorithm>

namespace zentrel {

std::string_view WhiteboardBackground::id() const
{
    switch (kind) {
    case Kind::image:
        return "image";
    case Kind::white:
        return "white";
    case Kind::black:
        return "black";
    }
    return "black";
}

bool operator==(const WhiteboardBoard &a, const WhiteboardBoard &b)
{
    // Pointer-equal elements are equal without a look inside: undo states share most of them.
    const auto sameElement = [](const ElementPtr &left, const ElementPtr &right) {
        return left == right || (left && right && *left == *right);
    };
    return a.id == b.id && a.name == b.name && a.viewport == b.viewport
           && a.background == b.background && a.showsGrid == b.showsGrid
           && a.createdAt == b.createdAt && a.updatedAt == b.updatedAt
           && std::equal(a.elements.begin(),
                         a.elements.end(),
                         b.elements.begin(),
                         b.elements.end(),
                         sameElement);
}

const WhiteboardBoard *WhiteboardLibrary::currentBoard() const
{
    for (const WhiteboardBoard &board : boards) {
        if (board.id == currentBoardID) {
            return &board;
        }
    }
    return boards.empty() ? nullptr : &boards.front();
}

} // namespace zentrel
