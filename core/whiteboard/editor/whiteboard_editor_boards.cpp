// The board commands of the toolbar's board menu (add, rename, duplicate, select, delete) and
// the insertion of an imported board.
#include "common/text.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <algorithm>
#include <map>
#include <utility>

namespace zentrel {

namespace {

void remapReference(std::optional<Uuid> &reference, const std::map<Uuid, Uuid> &copies)
{
    if (!reference) {
        return;
    }
    if (const auto found = copies.find(*reference); found != copies.end()) {
        reference = found->second;
    }
}

} // namespace

WhiteboardBoard WhiteboardEditorModel::makeBoard(std::string name) const
{
    return blankBoard(makeIdentifier(), std::move(name), now());
}

void WhiteboardEditorModel::addBoard()
{
    ChangeBatch batch(*this);
    WhiteboardLibrary library = *m_library;
    // Not checked against existing names: after a deletion a number can repeat.
    WhiteboardBoard board = makeBoard("Board " + std::to_string(library.boards.size() + 1));
    library.currentBoardID = board.id;
    library.boards.push_back(std::move(board));
    updateLibrary(std::move(library));
    setSelection({});
}

void WhiteboardEditorModel::renameBoard(std::string_view name)
{
    const std::string_view kept = trimmedBlanks(name);
    if (kept.empty() || kept == currentBoard().name) {
        return;
    }
    WhiteboardLibrary library = *m_library;
    library.boards[currentBoardIndex()].name = std::string(kept);
    updateLibrary(std::move(library));
}

void WhiteboardEditorModel::duplicateBoard()
{
    const WhiteboardBoard &source = currentBoard();
    WhiteboardBoard copy = source;
    copy.id = makeIdentifier();
    copy.name = source.name + " Copy";
    copy.createdAt = now();
    copy.updatedAt = copy.createdAt;

    // New identifiers first, so bound texts and arrows can point at the copies of their targets.
    std::map<Uuid, Uuid> copies;
    for (const ElementPtr &element : source.elements) {
        copies.emplace(element->id, makeIdentifier());
    }
    for (ElementPtr &element : copy.elements) {
        WhiteboardElement duplicate = *element;
        duplicate.id = copies.at(element->id);
        remapReference(duplicate.containerID, copies);
        remapReference(duplicate.startBindingID, copies);
        remapReference(duplicate.endBindingID, copies);
        element = makeElement(std::move(duplicate));
    }

    insertBoard(std::move(copy));
}

void WhiteboardEditorModel::insertBoard(WhiteboardBoard board)
{
    ChangeBatch batch(*this);
    WhiteboardLibrary library = *m_library;
    library.currentBoardID = board.id;
    const auto at = static_cast<std::ptrdiff_t>(currentBoardIndex()) + 1;
    library.boards.insert(library.boards.begin() + at, std::move(board));
    updateLibrary(std::move(library));
    setSelection({});
}

void WhiteboardEditorModel::selectBoard(const Uuid &boardID)
{
    const auto &boards = m_library->boards;
    const bool known = std::any_of(boards.begin(), boards.end(), [&](const WhiteboardBoard &board) {
        return board.id == boardID;
    });
    if (!known) {
        return;
    }
    ChangeBatch batch(*this);
    WhiteboardLibrary library = *m_library;
    library.currentBoardID = boardID;
    setLibrary(std::move(library));
    setSelection({});
    // The choice of board is stored with the library, but is no edit to undo.
    scheduleSave();
}

void WhiteboardEditorModel::deleteCurrentBoard()
{
    ChangeBatch batch(*this);
    WhiteboardLibrary library = *m_library;
    const std::size_t index = currentBoardIndex();
    if (library.boards.size() > 1) {
        library.boards.erase(library.boards.begin() + static_cast<std::ptrdiff_t>(index));
        library.currentBoardID = library.boards[std::min(index, library.boards.size() - 1)].id;
    } else {
        library.boards = {makeBoard("Untitled Board")};
        library.currentBoardID = library.boards.front().id;
    }
    updateLibrary(std::move(library));
    setSelection({});
}

} // namespace zentrel
