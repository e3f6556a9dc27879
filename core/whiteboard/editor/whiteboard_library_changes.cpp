#include "whiteboard/editor/whiteboard_library_changes.h"

#include <algorithm>

namespace zentrel {
namespace {

bool sameElements(const WhiteboardBoard &a, const WhiteboardBoard &b)
{
    return std::equal(a.elements.begin(), a.elements.end(), b.elements.begin(), b.elements.end());
}

bool sameListEntry(const WhiteboardBoard &a, const WhiteboardBoard &b)
{
    return a.id == b.id && a.name == b.name && a.background == b.background
           && a.showsGrid == b.showsGrid;
}

bool sameDates(const WhiteboardBoard &a, const WhiteboardBoard &b)
{
    return a.createdAt == b.createdAt && a.updatedAt == b.updatedAt;
}

} // namespace

WhiteboardEditorChange libraryChanges(const WhiteboardLibrary &before,
                                      const WhiteboardLibrary &after)
{
    using Change = WhiteboardEditorChange;
    Change changes = Change::none;
    const WhiteboardBoard *shownBefore = before.currentBoard();
    const WhiteboardBoard *shownAfter = after.currentBoard();
    if (!shownBefore || !shownAfter || shownBefore->id != shownAfter->id) {
        changes |= Change::boards | Change::geometry | Change::viewport;
    } else {
        if (!sameElements(*shownBefore, *shownAfter)) {
            changes |= Change::geometry;
        }
        if (!(shownBefore->viewport == shownAfter->viewport)) {
            changes |= Change::viewport;
        }
    }
    bool otherContent = before.version != after.version
                        || before.migrationCompleted != after.migrationCompleted
                        || before.currentBoardID != after.currentBoardID;
    if (before.boards.size() != after.boards.size()) {
        changes |= Change::boards;
    } else {
        for (std::size_t i = 0; i < before.boards.size(); ++i) {
            const WhiteboardBoard &a = before.boards[i];
            const WhiteboardBoard &b = after.boards[i];
            if (!sameListEntry(a, b)) {
                changes |= Change::boards;
            }
            otherContent = otherContent || !sameDates(a, b) || !(a.viewport == b.viewport)
                           || !sameElements(a, b);
        }
    }
    if (changes != Change::none || otherContent) {
        changes |= Change::library;
    }
    return changes;
}

} // namespace zentrel
