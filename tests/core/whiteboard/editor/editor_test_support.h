#pragma once

#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_scheduler.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

namespace zentrel::testing {

// A whiteboard editor over a store in a temporary folder, on a fake clock and scheduler.
struct EditorHarness
{
    TemporaryDirectory folder;
    FakeClock clock{Timestamp{} + std::chrono::hours(24 * 365 * 55)};
    FakeScheduler scheduler;
    UuidRandomSource random = countingRandom();
    WhiteboardLibraryStore store{folder.path(), clock, random};
    std::vector<std::string> errors;

    WhiteboardEditorServices services() { return {&clock, &scheduler, random}; }

    std::unique_ptr<WhiteboardEditorModel> makeModel()
    {
        auto model =
            std::make_unique<WhiteboardEditorModel>(store, Color{0, 0, 0, 1}, 2, 4.0, services());
        model->setOnError([this](const std::string &text) { errors.push_back(text); });
        return model;
    }

    std::filesystem::path libraryFile() const { return store.libraryPath(); }

    // The library file as the store reads it back.
    WhiteboardLibrary savedLibrary() const { return *store.load(); }
};

inline WhiteboardElement rectangle(const Uuid &id, double x)
{
    WhiteboardElement element;
    element.id = id;
    element.kind = WhiteboardElementKind::rectangle;
    element.setFrame({x, 10, 40, 30});
    element.style.strokeColor = "#000000";
    element.style.strokeWidth = 2;
    element.style.opacity = 1;
    return element;
}

// One committed command, the way creation will add an element: snapshot, mutate, commit.
inline Uuid addRectangle(WhiteboardEditorModel &model, double x = 0)
{
    const Uuid id = model.makeIdentifier();
    WhiteboardEditorModel::ChangeBatch batch(model);
    auto before = model.librarySnapshot();
    WhiteboardLibrary library = model.library();
    library.boards[model.currentBoardIndex()].elements.push_back(makeElement(rectangle(id, x)));
    model.setLibrary(std::move(library));
    model.recordUndoSnapshot(before);
    model.commitChange();
    return id;
}

// Moves every element of the current board without committing, as one step of a drag does.
inline void nudgeAll(WhiteboardEditorModel &model, double dx)
{
    WhiteboardLibrary library = model.library();
    for (ElementPtr &element : library.boards[model.currentBoardIndex()].elements) {
        WhiteboardElement moved = *element;
        moved.translate(dx, 0);
        element = makeElement(std::move(moved));
    }
    model.setLibrary(std::move(library));
}

inline std::vector<std::string> boardNames(const WhiteboardEditorModel &model)
{
    std::vector<std::string> names;
    for (const WhiteboardBoard &board : model.library().boards) {
        names.push_back(board.name);
    }
    return names;
}

// A fresh editor with helpers that put elements straight onto its current board, as a loaded
// file would: without an undo step.
struct EditorFixture : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();

    Uuid place(WhiteboardElement element)
    {
        const Uuid id = element.id;
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].elements.push_back(
            makeElement(std::move(element)));
        model->setLibrary(std::move(library));
        return id;
    }

    WhiteboardElement shape(WhiteboardElementKind kind, RectF frame)
    {
        WhiteboardElement element;
        element.id = model->makeIdentifier();
        element.kind = kind;
        element.setFrame(frame);
        return element;
    }

    void replace(const WhiteboardElement &element)
    {
        WhiteboardLibrary library = model->library();
        for (ElementPtr &slot : library.boards[model->currentBoardIndex()].elements) {
            if (slot->id == element.id) {
                slot = makeElement(element);
            }
        }
        model->setLibrary(std::move(library));
    }

    const WhiteboardElement &element(const Uuid &id) const
    {
        for (const ElementPtr &e : model->currentBoard().elements) {
            if (e->id == id) {
                return *e;
            }
        }
        static const WhiteboardElement missing;
        ADD_FAILURE() << "no element " << id.text();
        return missing;
    }

    void lock(const Uuid &id)
    {
        WhiteboardElement locked = element(id);
        locked.isLocked = true;
        replace(locked);
    }
};

} // namespace zentrel::testing
