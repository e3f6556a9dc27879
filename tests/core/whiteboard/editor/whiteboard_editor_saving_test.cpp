#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

struct WhiteboardEditorSaving : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();

    void SetUp() override
    {
        // The first load writes a fresh library; start each test without a file.
        std::filesystem::remove(harness.libraryFile());
    }

    bool written() const { return std::filesystem::exists(harness.libraryFile()); }
};

TEST_F(WhiteboardEditorSaving, BurstIsWrittenOnceAfterTheLastChange)
{
    for (int i = 0; i < 10; ++i) {
        addRectangle(*model, i * 10);
        harness.scheduler.advance(340ms);
        ASSERT_FALSE(written()) << "after change " << i;
    }
    harness.scheduler.advance(10ms);
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), model->library());
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 10u);

    std::filesystem::remove(harness.libraryFile());
    harness.scheduler.advance(5s);
    EXPECT_FALSE(written()) << "the cancelled saves write nothing";
}

TEST_F(WhiteboardEditorSaving, WritesTheLibraryOfTheScheduledMoment)
{
    addRectangle(*model);
    const WhiteboardLibrary committed = model->library();
    // Pan without a commit after the save was scheduled: it waits for the next save.
    WhiteboardLibrary panned = model->library();
    panned.boards[0].viewport.translation = {90, 90};
    model->setLibrary(panned);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary(), committed);
}

TEST_F(WhiteboardEditorSaving, SaveNowWritesAtOnceAndCancelsThePendingSave)
{
    addRectangle(*model);
    model->saveNow();
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), model->library());
    std::filesystem::remove(harness.libraryFile());
    harness.scheduler.advance(1s);
    EXPECT_FALSE(written());
}

TEST_F(WhiteboardEditorSaving, ReleasedModelDoesNotWriteLater)
{
    addRectangle(*model);
    model.reset();
    harness.scheduler.advance(1s);
    EXPECT_FALSE(written());
}

TEST_F(WhiteboardEditorSaving, FailuresAreReportedAndTheEditKept)
{
    std::filesystem::create_directories(harness.libraryFile()); // nothing can replace a folder
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_EQ(harness.errors[0].rfind("The whiteboard could not be saved: ", 0), 0u);
    EXPECT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_TRUE(model->canUndo());

    model->saveNow();
    ASSERT_EQ(harness.errors.size(), 2u);
    EXPECT_EQ(harness.errors[1].rfind("The whiteboard could not be saved: ", 0), 0u);

    std::filesystem::remove(harness.libraryFile());
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 2u) << "the next change retries";
}

TEST_F(WhiteboardEditorSaving, UndoAndRedoAreSaved)
{
    addRectangle(*model);
    harness.scheduler.advance(1s);
    model->undo();
    harness.scheduler.advance(350ms);
    EXPECT_TRUE(harness.savedLibrary().boards[0].elements.empty());
}

} // namespace
