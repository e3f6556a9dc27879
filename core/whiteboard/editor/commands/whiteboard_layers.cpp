#include "whiteboard/editor/commands/whiteboard_layers.h"

#include <algorithm>
#include <utility>

namespace zentrel {
namespace {

// The selected elements taken out of `elements`, both halves keeping their order.
std::pair<std::vector<ElementPtr>, std::vector<ElementPtr>>
splitSelected(const std::vector<ElementPtr> &elements, const WhiteboardSelection &selection)
{
    std::vector<ElementPtr> chosen;
    std::vector<ElementPtr> others;
    for (const ElementPtr &element : elements) {
        (selection.contains(element->id) ? chosen : others).push_back(element);
    }
    return {std::move(chosen), std::move(others)};
}

void moveInStack(std::vector<ElementPtr> &elements,
                 const WhiteboardSelection &selection,
                 WhiteboardLayerMove move)
{
    const auto isSelected = [&](std::size_t i) {
        return selection.contains(elements[i]->id);
    };
    const std::size_t n = elements.size();
    switch (move) {
    case WhiteboardLayerMove::toFront: {
        auto [chosen, others] = splitSelected(elements, selection);
        others.insert(others.end(), chosen.begin(), chosen.end());
        elements = std::move(others);
        return;
    }
    case WhiteboardLayerMove::toBack: {
        auto [chosen, others] = splitSelected(elements, selection);
        chosen.insert(chosen.end(), others.begin(), others.end());
        elements = std::move(chosen);
        return;
    }
    case WhiteboardLayerMove::forward:
        // Walking down from the top lets a block of selected elements rise as a whole: its top
        // member swaps first and makes room for the ones below it.
        for (std::size_t i = n < 2 ? 0 : n - 1; i-- > 0;) {
            if (isSelected(i) && !isSelected(i + 1)) {
                std::swap(elements[i], elements[i + 1]);
            }
        }
        return;
    case WhiteboardLayerMove::backward:
        for (std::size_t i = 1; i < n; ++i) {
            if (isSelected(i) && !isSelected(i - 1)) {
                std::swap(elements[i], elements[i - 1]);
            }
        }
        return;
    }
}

} // namespace

std::vector<ElementPtr> selectedElements(const WhiteboardEditorModel &model)
{
    std::vector<ElementPtr> selected;
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (model.selection().contains(element->id)) {
            selected.push_back(element);
        }
    }
    return selected;
}

bool selectionContainsLocked(const WhiteboardEditorModel &model)
{
    if (model.selection().empty()) {
        return false;
    }
    const auto &elements = model.currentBoard().elements;
    return std::any_of(elements.begin(), elements.end(), [&](const ElementPtr &element) {
        return element->isLocked && model.selection().contains(element->id);
    });
}

void mutateCurrentBoard(WhiteboardEditorModel &model, const WhiteboardBoardChange &change)
{
    WhiteboardLibrary library = model.library();
    change(library.boards[model.currentBoardIndex()]);
    model.setLibrary(std::move(library));
}

bool commitIfChanged(WhiteboardEditorModel &model, const std::function<void()> &action)
{
    WhiteboardEditorModel::ChangeBatch batch(model);
    const WhiteboardLibrarySnapshot before = model.librarySnapshot();
    action();
    if (model.librarySnapshot() == before || model.library() == *before) {
        return false;
    }
    // A continuous change (say a slider drag) already holds its starting library; its end
    // records the single step.
    if (!model.isTransactionOpen()) {
        model.recordUndoSnapshot(before);
        model.commitChange();
    }
    return true;
}

bool updateCurrentBoard(WhiteboardEditorModel &model, const WhiteboardBoardChange &change)
{
    return commitIfChanged(model, [&] { mutateCurrentBoard(model, change); });
}

void guardedInPlace(WhiteboardEditorModel &model, const std::function<void()> &action)
{
    if (model.selection().empty() || selectionContainsLocked(model)) {
        return;
    }
    commitIfChanged(model, action);
}

void appendElements(WhiteboardBoard &board, const std::vector<ElementPtr> &elements)
{
    board.elements.insert(board.elements.end(), elements.begin(), elements.end());
}

void removeElements(WhiteboardBoard &board, const std::set<Uuid> &ids)
{
    std::set<Uuid> removed = ids;
    // Only one level: a label's own labels are not followed.
    for (const ElementPtr &element : board.elements) {
        if (element->containerID && ids.contains(*element->containerID)) {
            removed.insert(element->id);
        }
    }
    std::erase_if(board.elements,
                  [&](const ElementPtr &element) { return removed.contains(element->id); });
    for (ElementPtr &element : board.elements) {
        const bool start = element->startBindingID && removed.contains(*element->startBindingID);
        const bool end = element->endBindingID && removed.contains(*element->endBindingID);
        if (!start && !end) {
            continue;
        }
        WhiteboardElement unbound = *element;
        if (start) {
            unbound.startBindingID.reset();
        }
        if (end) {
            unbound.endBindingID.reset();
        }
        element = makeElement(std::move(unbound));
    }
}

std::vector<WhiteboardElement> selectionForCopy(const WhiteboardEditorModel &model)
{
    const std::vector<ElementPtr> selected = selectedElements(model);
    std::set<Uuid> copied;
    for (const ElementPtr &element : selected) {
        copied.insert(element->id);
    }
    const auto dropMissing = [&](std::optional<Uuid> &reference) {
        if (reference && !copied.contains(*reference)) {
            reference.reset();
        }
    };
    std::vector<WhiteboardElement> copies;
    copies.reserve(selected.size());
    for (const ElementPtr &element : selected) {
        WhiteboardElement copy = *element;
        dropMissing(copy.containerID);
        dropMissing(copy.startBindingID);
        dropMissing(copy.endBindingID);
        copies.push_back(std::move(copy));
    }
    return copies;
}

void groupSelection(WhiteboardEditorModel &model)
{
    if (model.selection().size() < 2 || selectionContainsLocked(model)) {
        return;
    }
    const Uuid group = model.makeIdentifier();
    // Appended last: the new group is the outermost, so grouping groups nests them.
    updateCurrentBoard(model, [&](WhiteboardBoard &board) {
        editSelected(board, model.selection(), [&](WhiteboardElement &element) {
            element.groupIDs.push_back(group);
        });
    });
}

void ungroupSelection(WhiteboardEditorModel &model)
{
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        editSelected(board, model.selection(), [](WhiteboardElement &element) {
            if (!element.groupIDs.empty()) {
                element.groupIDs.pop_back();
            }
        });
    });
}

void moveSelectionInLayers(WhiteboardEditorModel &model, WhiteboardLayerMove move)
{
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        moveInStack(board.elements, model.selection(), move);
    });
}

void setSelectionLocked(WhiteboardEditorModel &model, bool locked)
{
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        editSelected(board, model.selection(), [&](WhiteboardElement &element) {
            element.isLocked = locked;
        });
    });
}

void ungroup(WhiteboardEditorModel &model)
{
    guardedInPlace(model, [&] { ungroupSelection(model); });
}

void moveInLayers(WhiteboardEditorModel &model, WhiteboardLayerMove move)
{
    guardedInPlace(model, [&] { moveSelectionInLayers(model, move); });
}

void bringToFront(WhiteboardEditorModel &model)
{
    moveInLayers(model, WhiteboardLayerMove::toFront);
}

void bringForward(WhiteboardEditorModel &model)
{
    moveInLayers(model, WhiteboardLayerMove::forward);
}

void sendBackward(WhiteboardEditorModel &model)
{
    moveInLayers(model, WhiteboardLayerMove::backward);
}

void sendToBack(WhiteboardEditorModel &model)
{
    moveInLayers(model, WhiteboardLayerMove::toBack);
}

void toggleSelectionLock(WhiteboardEditorModel &model)
{
    if (model.selection().empty()) {
        return;
    }
    const bool unlock = selectionContainsLocked(model);
    commitIfChanged(model, [&] { setSelectionLocked(model, !unlock); });
}

} // namespace zentrel
