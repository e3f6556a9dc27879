// Undo and redo, drag transactions, and resetting the view.
#include "whiteboard/editor/excalidraw_edit_stamps.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <utility>

namespace zentrel {

namespace {

WhiteboardEditorChange historyChange(bool couldUndo, bool couldRedo, bool canUndo, bool canRedo)
{
    return couldUndo != canUndo || couldRedo != canRedo ? WhiteboardEditorChange::history
                                                        : WhiteboardEditorChange::none;
}

// The board as the undo step just recorded holds it: as it was before the change committed.
const WhiteboardBoard *boardBeforeChange(const std::deque<WhiteboardLibrarySnapshot> &undoStates,
                                         const Uuid &boardID)
{
    if (undoStates.empty()) {
        return nullptr;
    }
    for (const WhiteboardBoard &board : undoStates.back()->boards) {
        if (board.id == boardID) {
            return &board;
        }
    }
    return nullptr;
}

bool sameLibrary(const WhiteboardLibrarySnapshot &a, const WhiteboardLibrarySnapshot &b)
{
    return a == b || *a == *b;
}

} // namespace

void WhiteboardEditorModel::recordUndoSnapshot(WhiteboardLibrarySnapshot before)
{
    if (!before) {
        return;
    }
    const bool couldUndo = canUndo();
    const bool couldRedo = canRedo();
    m_undoStates.push_back(std::move(before));
    if (m_undoStates.size() > whiteboardUndoLimit) {
        m_undoStates.pop_front();
    }
    m_redoStates.clear();
    publish(historyChange(couldUndo, couldRedo, canUndo(), canRedo()));
}

void WhiteboardEditorModel::recordUndoSnapshot(WhiteboardLibrary before)
{
    recordUndoSnapshot(std::make_shared<const WhiteboardLibrary>(std::move(before)));
}

void WhiteboardEditorModel::commitChange()
{
    WhiteboardLibrary stamped = *m_library;
    // Only the board on screen is stamped, also when a command touched other boards.
    WhiteboardBoard &board = stamped.boards[currentBoardIndex()];
    board.updatedAt = now();
    stampExcalidrawEdits(board, boardBeforeChange(m_undoStates, board.id), board.updatedAt);
    setLibrary(std::move(stamped));
    m_waitsForFirstChange = false;
    scheduleSave();
}

void WhiteboardEditorModel::updateLibrary(WhiteboardLibrary library)
{
    if (library == *m_library) {
        return;
    }
    ChangeBatch batch(*this);
    recordUndoSnapshot(m_library);
    setLibrary(std::move(library));
    commitChange();
}

// Not while a gesture runs: its end records the board it started from, which an undo in
// between would bring back over the undone step.
void WhiteboardEditorModel::undo()
{
    if (m_undoStates.empty() || isTransactionOpen()) {
        return;
    }
    ChangeBatch batch(*this);
    const bool couldRedo = canRedo();
    WhiteboardLibrarySnapshot restored = std::move(m_undoStates.back());
    m_undoStates.pop_back();
    m_redoStates.push_back(m_library);
    // Not stamped: the restored dates are those of the snapshot.
    setLibrary(std::move(restored));
    keepSelectionOnCurrentBoard();
    publish(historyChange(true, couldRedo, canUndo(), canRedo()));
    scheduleSave();
}

void WhiteboardEditorModel::redo()
{
    if (m_redoStates.empty() || isTransactionOpen()) {
        return;
    }
    ChangeBatch batch(*this);
    const bool couldUndo = canUndo();
    WhiteboardLibrarySnapshot restored = std::move(m_redoStates.back());
    m_redoStates.pop_back();
    // No trim: redo entries came from undo, so both lists together stay within the limit.
    m_undoStates.push_back(m_library);
    setLibrary(std::move(restored));
    keepSelectionOnCurrentBoard();
    publish(historyChange(couldUndo, true, canUndo(), canRedo()));
    scheduleSave();
}

void WhiteboardEditorModel::beginTransaction()
{
    if (!m_transactionStart) {
        m_transactionStart = m_library;
    }
}

void WhiteboardEditorModel::endTransaction()
{
    if (!m_transactionStart) {
        return;
    }
    WhiteboardLibrarySnapshot start = std::exchange(m_transactionStart, nullptr);
    // A click without an effective drag leaves no undo step and writes nothing.
    if (sameLibrary(start, m_library)) {
        return;
    }
    ChangeBatch batch(*this);
    recordUndoSnapshot(std::move(start));
    commitChange();
}

void WhiteboardEditorModel::cancelInteraction()
{
    if (!m_transactionStart) {
        return;
    }
    ChangeBatch batch(*this);
    setLibrary(std::exchange(m_transactionStart, nullptr));
    setInteraction(WhiteboardInteraction::Kind::idle);
}

void WhiteboardEditorModel::resetView()
{
    setViewport(WhiteboardViewport{1, {0, 0}});
}

} // namespace zentrel
