#include "whiteboard/editor/unsaved_whiteboard_library.h"

#include "editor_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

// Whiteboard runs one after another, as the program makes them, over a data folder that can be
// made unwritable: a folder where the library file goes cannot be replaced, even by root.
struct UnsavedWhiteboardRuns : ::testing::Test
{
    EditorHarness harness;
    UnsavedWhiteboardLibrary unsaved;
    std::vector<std::filesystem::path> keptAside;

    std::unique_ptr<WhiteboardEditorModel> openWhiteboard()
    {
        return openWhiteboard(harness.store);
    }

    std::unique_ptr<WhiteboardEditorModel> openWhiteboard(const WhiteboardLibraryStore &store)
    {
        WhiteboardEditorServices services = harness.services();
        services.unsaved = &unsaved;
        auto model =
            std::make_unique<WhiteboardEditorModel>(store, Color{0, 0, 0, 1}, 2, 4.0, services);
        model->setOnError([this](const std::string &text) { harness.errors.push_back(text); });
        return model;
    }

    // A store of its own, as the program makes for each run; `stuck`: in a folder that lets
    // no bad file be set aside.
    WhiteboardLibraryStore runStore(bool stuck = false)
    {
        WhiteboardLibraryStore store(harness.folder.path(), harness.clock, harness.random);
        store.setConflictHandler(
            [this](const std::filesystem::path &keptAt) { keptAside.push_back(keptAt); });
        if (stuck) {
            const auto refuse = [](const std::filesystem::path &file, Timestamp) {
                return tl::expected<std::filesystem::path, FileError>(
                    tl::unexpect, FileError{FileError::Kind::moveFailed, file, "refused"});
            };
            store.setSetAsideOperations(refuse, refuse);
        }
        return store;
    }

    // Another program writes the library, as it likes.
    void writeTheirs() const
    {
        WhiteboardLibrary theirs = harness.store.canonical({});
        theirs.boards[0].name = "Theirs";
        ASSERT_TRUE(WhiteboardLibraryStore(harness.folder.path(), harness.clock, harness.random)
                        .save(theirs));
    }

    static std::string textOf(const std::filesystem::path &file)
    {
        std::ifstream stream(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }

    void fillDisk() const
    {
        std::filesystem::remove(harness.libraryFile());
        std::filesystem::create_directories(harness.libraryFile());
    }

    void makeRoom() const { std::filesystem::remove(harness.libraryFile()); }

    static void draw(WhiteboardEditorModel &model, int shapes)
    {
        for (int i = 0; i < shapes; ++i) {
            addRectangle(model, i * 10);
        }
    }

    static std::size_t shapeCount(const WhiteboardLibrary &library)
    {
        return library.boards[0].elements.size();
    }
};

TEST_F(UnsavedWhiteboardRuns, WhatAClosedRunCouldNotWriteIsEditedNextAndWrittenOnceThereIsRoom)
{
    auto model = openWhiteboard();
    fillDisk();
    draw(*model, 1);
    harness.scheduler.advance(350ms);
    draw(*model, 2);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.errors.size(), 1u) << "one alert while the failure lasts";
    model->saveNow();
    ASSERT_EQ(harness.errors.size(), 2u) << "closing always tells";
    for (const std::string &error : harness.errors) {
        EXPECT_EQ(error.rfind("The whiteboard could not be saved: ", 0), 0u);
        EXPECT_TRUE(error.ends_with(". Your changes are kept in memory until Zentrel quits."))
            << error;
    }
    model.reset();
    ASSERT_TRUE(unsaved.hasLibrary());
    EXPECT_EQ(shapeCount(unsaved.library()), 3u);

    // Still no room: the kept shapes come back, not the file, and a new one goes on top.
    model = openWhiteboard();
    EXPECT_EQ(shapeCount(model->library()), 3u);
    harness.scheduler.advance(350ms);
    draw(*model, 1);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.errors.size(), 2u) << "the user already heard of this failure";
    model->saveNow();
    EXPECT_EQ(harness.errors.size(), 3u);
    model.reset();
    EXPECT_EQ(shapeCount(unsaved.library()), 4u);

    // With room, opening alone writes them, and closing lets the kept copy go.
    makeRoom();
    model = openWhiteboard();
    harness.scheduler.advance(350ms);
    ASSERT_TRUE(std::filesystem::is_regular_file(harness.libraryFile()));
    EXPECT_EQ(harness.savedLibrary(), model->library());
    model->saveNow();
    model.reset();
    EXPECT_FALSE(unsaved.hasLibrary());
    EXPECT_EQ(harness.errors.size(), 3u);
    EXPECT_EQ(shapeCount(openWhiteboard()->library()), 4u) << "read from the file again";

    // The system's reason comes without a full stop, as "No space left on device" does: it
    // ends its sentence before the note.
    const std::filesystem::path notAFolder = harness.folder.path() / "not-a-folder";
    std::ofstream(notAFolder) << "";
    const WhiteboardLibraryStore blocked(notAFolder, harness.clock, harness.random);
    model = openWhiteboard(blocked);
    draw(*model, 1);
    harness.scheduler.advance(350ms);
    model.reset();
    ASSERT_FALSE(harness.errors.empty());
    const std::string &error = harness.errors.back();
    EXPECT_EQ(error.rfind("The whiteboard could not be saved: Could not write ", 0), 0u) << error;
    EXPECT_TRUE(error.ends_with(". Your changes are kept in memory until Zentrel quits.")) << error;
    EXPECT_EQ(error.find(".."), std::string::npos) << error;
}

TEST_F(UnsavedWhiteboardRuns, ZevizuAndVozurirNeitherTakesNorKeepsTheWhiteboardsLibrary)
{
    auto model = openWhiteboard();
    fillDisk();
    draw(*model, 2);
    model->saveNow();
    ASSERT_TRUE(unsaved.hasLibrary());

    WhiteboardEditorServices services = harness.services();
    services.unsaved = &unsaved;
    auto freeze = makeFreezeEditorModel({}, Color{0, 0, 0, 1}, 2, {640, 400}, 4.0, services);
    EXPECT_TRUE(freeze->currentBoard().elements.empty());
    freeze->saveNow();
    EXPECT_EQ(shapeCount(unsaved.library()), 2u);
}

TEST_F(UnsavedWhiteboardRuns, QuittingTriesOnceMoreAndSaysWhenTheChangesAreLost)
{
    EXPECT_EQ(unsaved.saveBeforeQuit(harness.store), std::nullopt) << "nothing kept";
    EXPECT_FALSE(std::filesystem::exists(harness.libraryFile()));

    auto model = openWhiteboard();
    fillDisk();
    draw(*model, 2);
    model->saveNow();
    model.reset();
    const auto lost = unsaved.saveBeforeQuit(harness.store);
    ASSERT_TRUE(lost.has_value());
    EXPECT_EQ(lost->rfind("The whiteboard's changes could not be saved and are lost: ", 0), 0u)
        << *lost;
    EXPECT_FALSE(unsaved.hasLibrary());

    model = openWhiteboard();
    fillDisk();
    draw(*model, 1);
    model->saveNow();
    model.reset();
    ASSERT_TRUE(unsaved.hasLibrary());
    makeRoom();
    EXPECT_EQ(unsaved.saveBeforeQuit(harness.store), std::nullopt);
    EXPECT_EQ(shapeCount(harness.savedLibrary()), 1u);
}

// Each run has a store of its own, as in the program: the one that takes the kept library never
// read the file, yet sees what another program wrote after the run that could not save.
TEST_F(UnsavedWhiteboardRuns, AKeptLibraryKeepsAsideWhatAnotherProgramWroteMeanwhile)
{
    auto model = openWhiteboard(runStore());
    fillDisk();
    draw(*model, 2);
    model->saveNow();
    model.reset();
    makeRoom();
    ASSERT_NO_FATAL_FAILURE(writeTheirs());
    const std::string theirs = textOf(harness.libraryFile());

    model = openWhiteboard(runStore());
    harness.scheduler.advance(350ms);
    ASSERT_EQ(keptAside.size(), 1u);
    EXPECT_EQ(textOf(keptAside[0]), theirs);
    EXPECT_EQ(shapeCount(harness.savedLibrary()), 2u);

    // So does the last try on quitting.
    fillDisk();
    draw(*model, 1);
    model->saveNow();
    model.reset();
    makeRoom();
    ASSERT_NO_FATAL_FAILURE(writeTheirs());
    const auto told = unsaved.saveBeforeQuit(runStore());
    ASSERT_TRUE(told.has_value());
    EXPECT_EQ(told->rfind("Another program changed the whiteboard library", 0), 0u) << *told;
    EXPECT_EQ(shapeCount(harness.savedLibrary()), 3u);
}

// A bad file that could be neither read nor set aside is never replaced by the board drawn
// instead: that work is kept as after a failed save, and quitting says it is lost.
TEST_F(UnsavedWhiteboardRuns, WorkOverABadFileLeftInPlaceIsKeptAndToldNotWrittenOverIt)
{
    std::ofstream(harness.libraryFile()) << "{ damaged";
    auto model = openWhiteboard(runStore(true));
    ASSERT_EQ(harness.errors.size(), 1u) << "the load failure";
    draw(*model, 1);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(harness.errors.size(), 2u);
    EXPECT_EQ(harness.errors[1],
              "The whiteboard could not be saved: \"" + harness.libraryFile().string()
                  + "\" is damaged and could not be set aside, so the whiteboard is not saved "
                    "over it. Your changes are kept in memory until Zentrel quits.");
    model->saveNow();
    model.reset();
    ASSERT_TRUE(unsaved.hasLibrary());

    model = openWhiteboard(runStore(true));
    EXPECT_EQ(shapeCount(model->library()), 1u);
    model->saveNow();
    model.reset();
    const auto lost = unsaved.saveBeforeQuit(runStore(true));
    ASSERT_TRUE(lost.has_value());
    EXPECT_EQ(lost->rfind("The whiteboard's changes could not be saved and are lost: ", 0), 0u);
    EXPECT_EQ(textOf(harness.libraryFile()), "{ damaged");
}

} // namespace
