#include "whiteboard/model/whiteboard_board.h"

#include "whiteboard/model/whiteboard_library.h"

#include <algorithm>
#include <utility>

namespace zentrel {

PointF WhiteboardViewport::toView(PointF scene) const
{
    return {scene.x * scale + translation.x, scene.y * scale + translation.y};
}

RectF WhiteboardViewport::toView(const RectF &scene) const
{
    const PointF origin = toView(PointF{scene.x, scene.y});
    return {origin.x, origin.y, scene.width * scale, scene.height * scale};
}

PointF WhiteboardViewport::toScene(PointF view) const
{
    return {(view.x - translation.x) / scale, (view.y - translation.y) / scale};
}

RectF WhiteboardViewport::toScene(const RectF &view) const
{
    const PointF origin = toScene(PointF{view.x, view.y});
    return {origin.x, origin.y, view.width / scale, view.height / scale};
}

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

WhiteboardBoard blankBoard(Uuid id, std::string name, Timestamp now)
{
    WhiteboardBoard board;
    board.id = id;
    board.name = std::move(name);
    board.background = WhiteboardBackground::white();
    board.showsGrid = true;
    board.createdAt = now;
    board.updatedAt = now;
    return board;
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
           && a.excalidrawFiles == b.excalidrawFiles
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
