#pragma once

#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"

#include <cstdint>
#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace zentrel {

// Grouping, stacking order and locking of the selection, and the board mutations every editing
// command is built on. Group identifiers and locks live only in the elements.

// The four moves in the stacking order; the numbers are part of the vocabulary.
enum class WhiteboardLayerMove : std::uint8_t {
    toFront = 0,
    forward = 1,
    backward = 2,
    toBack = 3,
};

inline constexpr WhiteboardLayerMove allWhiteboardLayerMoves[] = {
    WhiteboardLayerMove::toFront,
    WhiteboardLayerMove::forward,
    WhiteboardLayerMove::backward,
    WhiteboardLayerMove::toBack,
};

using WhiteboardBoardChange = std::function<void(WhiteboardBoard &board)>;

// The elements of the current board whose id is selected, in board order.
std::vector<ElementPtr> selectedElements(const WhiteboardEditorModel &model);

// Whether a selected element of the current board is locked; false for an empty selection.
bool selectionContainsLocked(const WhiteboardEditorModel &model);

// Applies `change` to the current board and assigns the library back: no undo step, no stamp,
// no save.
void mutateCurrentBoard(WhiteboardEditorModel &model, const WhiteboardBoardChange &change);

// Mutate then compare: one undo step, stamp and save, only when the library changed. Inside an
// open transaction (a slider drag) the change joins it and its end records the one step.
// Returns whether the library changed.
bool updateCurrentBoard(WhiteboardEditorModel &model, const WhiteboardBoardChange &change);

// Mutate then compare around any in-place command: keeps the library, runs `action`, and
// records one undo step and commits only when the library now differs.
bool commitIfChanged(WhiteboardEditorModel &model, const std::function<void()> &action);

// commitIfChanged for a command on the selection: nothing for an empty selection or one holding
// a locked element.
void guardedInPlace(WhiteboardEditorModel &model, const std::function<void()> &action);

// Rewrites the selected elements of `board` with `edit`. An element comes out as a new pointer
// only when the edit changed it, so an unchanged selection leaves the library equal, costs no undo
// step and stays shared with undo snapshots.
template <typename Edit>
void editSelected(WhiteboardBoard &board, const WhiteboardSelection &selection, Edit edit)
{
    for (ElementPtr &element : board.elements) {
        if (!selection.contains(element->id)) {
            continue;
        }
        WhiteboardElement changed = *element;
        edit(changed);
        if (!(changed == *element)) {
            element = makeElement(std::move(changed));
        }
    }
}

// Puts the elements on top of the board, in the given order.
void appendElements(WhiteboardBoard &board, const std::vector<ElementPtr> &elements);

// Removes the elements and their labels (one level), and unbinds arrows from them. The caller
// takes the removed ids out of the selection.
void removeElements(WhiteboardBoard &board, const std::set<Uuid> &ids);

// Detached copies of the selected elements in board order; a label without its container, or a
// binding to an element left behind, is dropped from the copy.
std::vector<WhiteboardElement> selectionForCopy(const WhiteboardEditorModel &model);

// Makes the selection one new outermost group. Guards itself (two or more selected, none
// locked) and records its own undo step.
void groupSelection(WhiteboardEditorModel &model);

// The bare operations below change the board in place without a guard or an undo step; their
// callers wrap them (see the commands further down).

// Dissolves the outermost group of every selected element; inner groups survive.
void ungroupSelection(WhiteboardEditorModel &model);

// Moves the selected elements in the stacking order, keeping their relative order.
void moveSelectionInLayers(WhiteboardEditorModel &model, WhiteboardLayerMove move);

// Sets or clears the lock of every selected element.
void setSelectionLocked(WhiteboardEditorModel &model, bool locked);

// Commands as the canvas, toolbar and property panel invoke them: refused while the selection
// holds a locked element, one undo step only when something changed.
void ungroup(WhiteboardEditorModel &model);
void moveInLayers(WhiteboardEditorModel &model, WhiteboardLayerMove move);
void bringToFront(WhiteboardEditorModel &model);
void bringForward(WhiteboardEditorModel &model);
void sendBackward(WhiteboardEditorModel &model);
void sendToBack(WhiteboardEditorModel &model);

// The lock command: nothing for an empty selection; one locked element makes it unlock every
// selected element, otherwise it locks them all. Unlocking is never refused.
void toggleSelectionLock(WhiteboardEditorModel &model);

} // namespace zentrel
