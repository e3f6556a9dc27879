#include "editor_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

TEST(WhiteboardEditorConstruction, StartsIdleWithTheGivenDefaults)
{
    EditorHarness harness;
    auto model = harness.makeModel();
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::selection);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_EQ(model->interaction(), WhiteboardInteraction::Kind::idle);
    EXPECT_FALSE(model->canUndo());
    EXPECT_FALSE(model->canRedo());
    EXPECT_EQ(model->textFontSize(), 32);
    EXPECT_EQ(model->opacity(), 1.0);
    EXPECT_FALSE(model->fillColor());
    EXPECT_EQ(model->lineWidth(), 4.0);
    EXPECT_EQ(model->roughness(), 2);
    EXPECT_TRUE(model->isPersistent());
    EXPECT_FALSE(model->isViewportBounded());
    EXPECT_FALSE(model->loadFailure());
    EXPECT_EQ(model->library().boards.size(), 1u);
}

TEST(WhiteboardEditorConstruction, EditsTheSavedLibrary)
{
    EditorHarness harness;
    WhiteboardLibrary saved;
    WhiteboardBoard first = harness.store.defaultBoard();
    first.name = "Plan";
    WhiteboardBoard second = harness.store.defaultBoard();
    second.name = "Sketch";
    saved.boards = {first, second};
    saved.currentBoardID = second.id;
    saved.migrationCompleted = true;
    ASSERT_TRUE(harness.store.save(saved));

    auto model = harness.makeModel();
    EXPECT_EQ(model->library(), saved);
    EXPECT_EQ(model->currentBoard().name, "Sketch");
    EXPECT_EQ(model->currentBoardIndex(), 1u);
}

TEST(WhiteboardEditorConstruction, UnusableStoredScalesBecomeOne)
{
    EditorHarness harness;
    WhiteboardLibrary saved;
    WhiteboardBoard zero = harness.store.defaultBoard();
    zero.viewport = {0, {12, -7}};
    WhiteboardBoard negative = harness.store.defaultBoard();
    negative.viewport = {-2, {0, 0}};
    saved.boards = {zero, negative};
    saved.currentBoardID = zero.id;
    ASSERT_TRUE(harness.store.save(saved));

    auto model = harness.makeModel();
    EXPECT_EQ(model->library().boards[0].viewport, (WhiteboardViewport{1, {12, -7}}));
    EXPECT_EQ(model->library().boards[1].viewport.scale, 1);
}

TEST(WhiteboardEditorConstruction, NonFiniteViewportValuesAreReplaced)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(sanitizedViewport({nan, {inf, -inf}}), (WhiteboardViewport{1, {0, 0}}));
    EXPECT_EQ(sanitizedViewport({inf, {nan, 3}}), (WhiteboardViewport{1, {0, 3}}));
    EXPECT_EQ(sanitizedViewport({0.25, {-4, 5}}), (WhiteboardViewport{0.25, {-4, 5}}));
}

// The older document stays as it is, whether it cannot be read (here a folder, as a permission
// error would) or does not decode; the board drawn instead is saved from its first change on.
TEST(WhiteboardEditorConstruction, UnreadableOlderDocumentIsReportedAndNeverReplaced)
{
    for (const bool isFolder : {true, false}) {
        EditorHarness harness;
        if (isFolder) {
            std::filesystem::create_directories(harness.store.legacyPath());
        } else {
            std::ofstream(harness.store.legacyPath()) << "{ not a document";
        }

        auto model = std::make_unique<WhiteboardEditorModel>(
            harness.store, Color{}, 1, 2.0, harness.services());
        EXPECT_TRUE(model->isPersistent());
        ASSERT_TRUE(model->loadFailure());
        model->setOnError([&](const std::string &text) { harness.errors.push_back(text); });
        ASSERT_EQ(harness.errors.size(), 1u);
        EXPECT_EQ(harness.errors[0].rfind("The whiteboard library could not be loaded: ", 0), 0u);
        model->setOnError([&](const std::string &text) { harness.errors.push_back(text); });
        EXPECT_EQ(harness.errors.size(), 1u) << "the load failure is reported once";

        EXPECT_EQ(boardNames(*model), std::vector<std::string>{"Untitled Board"});
        EXPECT_TRUE(model->library().migrationCompleted);
        model->saveNow();
        EXPECT_FALSE(std::filesystem::exists(harness.libraryFile())) << "nothing drawn yet";
        addRectangle(*model);
        harness.scheduler.advance(std::chrono::seconds(2));
        EXPECT_EQ(harness.savedLibrary(), model->library());
        EXPECT_EQ(harness.errors.size(), 1u);
        if (isFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(harness.store.legacyPath()));
        } else {
            std::ifstream stream(harness.store.legacyPath());
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), {}), "{ not a document");
        }
        EXPECT_FALSE(std::filesystem::exists(harness.store.legacyBackupPath()));
    }
}

TEST(WhiteboardEditorConstruction, BadFileThatCouldNotBeSetAsideIsKept)
{
    EditorHarness harness;
    {
        std::ofstream(harness.libraryFile()) << "{ damaged";
    }
    const auto refuse = [](const std::filesystem::path &file, Timestamp) {
        return tl::expected<std::filesystem::path, FileError>(
            tl::unexpect, FileError{FileError::Kind::moveFailed, file, "refused"});
    };
    harness.store.setSetAsideOperations(refuse, refuse);

    auto model = harness.makeModel();
    ASSERT_EQ(harness.errors.size(), 1u);
    addRectangle(*model);
    harness.scheduler.advance(std::chrono::seconds(1));
    model->saveNow();
    EXPECT_EQ(harness.errors.size(), 3u) << "the refused save, then closing";
    std::ifstream stream(harness.libraryFile());
    std::string contents((std::istreambuf_iterator<char>(stream)), {});
    EXPECT_EQ(contents, "{ damaged");
}

TEST(WhiteboardEditorConstruction, FreezeModelShowsTheImageAndNeverSaves)
{
    FakeClock clock;
    FakeScheduler scheduler;
    auto model = makeFreezeEditorModel(std::any(42),
                                       Color{1, 0, 0, 1},
                                       3,
                                       SizeF{1440, 900},
                                       5.0,
                                       {&clock, &scheduler, countingRandom()});

    EXPECT_FALSE(model->isPersistent());
    EXPECT_TRUE(model->isViewportBounded());
    EXPECT_EQ(model->sceneSize(), (SizeF{1440, 900}));
    EXPECT_EQ(std::any_cast<int>(model->backgroundImage()), 42);
    EXPECT_EQ(model->drawingColor(), (Color{1, 0, 0, 1}));
    EXPECT_EQ(model->roughness(), 3);
    EXPECT_EQ(model->lineWidth(), 5.0);
    const WhiteboardBoard &board = model->currentBoard();
    EXPECT_EQ(board.name, "Freeze");
    EXPECT_EQ(board.background.kind, WhiteboardBackground::Kind::image);
    EXPECT_FALSE(board.showsGrid);
    EXPECT_EQ(board.viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_TRUE(model->library().migrationCompleted);

    const auto folder = model->store().libraryPath().parent_path();
    EXPECT_EQ(folder.filename().string().rfind("ZentrelFreeze-", 0), 0u);
    EXPECT_EQ(folder.filename().string().size(), std::string("ZentrelFreeze-").size() + 36);
    EXPECT_EQ(model->store().libraryPath().filename(), "FreezeLibrary.json");
    EXPECT_EQ(model->store().legacyPath().filename(), "FreezeLegacy.json");

    addRectangle(*model);
    model->addBoard();
    model->undo();
    model->saveNow();
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

} // namespace
