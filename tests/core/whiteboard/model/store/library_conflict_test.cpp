#include "core/common/files/killed_save.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/folder_names.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/model/store/library_set_aside.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace zentrel;
namespace fs = std::filesystem;

namespace {

const Timestamp start = *parseIsoDate("2026-03-04T05:06:07Z");

std::string readText(const fs::path &path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

// Two programs with the same data folder, each with its own store, as two Zentrels of one user
// started from different sessions would be.
class LibraryConflictTest : public testing::Test
{
protected:
    WhiteboardLibraryStore makeStore()
    {
        WhiteboardLibraryStore store(folder.path(), clock, countingRandom());
        store.setConflictHandler([this](const fs::path &keptAt) { told.push_back(keptAt); });
        return store;
    }

    static WhiteboardLibrary renamed(WhiteboardLibrary library, const std::string &name)
    {
        library.boards.front().name = name;
        return library;
    }

    fs::path libraryFile() const { return folder.path() / "WhiteboardLibrary.json"; }

    // Another store, loaded after `loaded`, writes the library as "Theirs".
    void saveTheirs(const WhiteboardLibrary &loaded)
    {
        const WhiteboardLibraryStore theirs = makeStore();
        ASSERT_TRUE(theirs.load());
        ASSERT_TRUE(theirs.save(renamed(loaded, "Theirs")));
    }

    TemporaryDirectory folder;
    FakeClock clock{start};
    std::vector<fs::path> told;
};

TEST_F(LibraryConflictTest, AVersionWrittenElsewhereSinceTheLoadIsKeptAndToldOnce)
{
    const WhiteboardLibraryStore mine = makeStore();
    const auto loaded = mine.load();
    ASSERT_TRUE(loaded);
    ASSERT_NO_FATAL_FAILURE(saveTheirs(*loaded));
    const std::string theirBytes = readText(libraryFile());

    ASSERT_TRUE(mine.save(renamed(*loaded, "Mine")));
    const fs::path keptAt = libraryConflictPath(libraryFile(), start);
    EXPECT_EQ(told, std::vector<fs::path>{keptAt});
    EXPECT_EQ(readText(keptAt), theirBytes);
    EXPECT_EQ(mine.load()->boards.front().name, "Mine");

    // What it wrote itself is no conflict: later saves just replace it.
    ASSERT_TRUE(mine.save(renamed(*loaded, "Mine again")));
    EXPECT_EQ(told.size(), 1u);
    EXPECT_EQ(namesIn(folder.path()),
              (std::vector<std::string>{keptAt.filename().string(), "WhiteboardLibrary.json"}));
}

TEST_F(LibraryConflictTest, ACopySavingOnAnotherThreadKnowsWhatTheLoadRead)
{
    WhiteboardLibraryStore mine = makeStore();
    const auto loaded = mine.load();
    ASSERT_TRUE(loaded);
    const WhiteboardLibraryStore copy = mine;
    ASSERT_TRUE(copy.save(renamed(*loaded, "First")));
    ASSERT_TRUE(mine.save(renamed(*loaded, "Second")));
    EXPECT_TRUE(told.empty());

    ASSERT_NO_FATAL_FAILURE(saveTheirs(*loaded));
    ASSERT_TRUE(copy.save(renamed(*loaded, "Third")));
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(LibraryConflictTest, ASaveKilledWhileKeepingTheirVersionLeavesNoPartOfIt)
{
    const WhiteboardLibraryStore mine = makeStore();
    const auto loaded = mine.load();
    ASSERT_TRUE(loaded);
    {
        // Larger than the child below may write before it is killed.
        const WhiteboardLibraryStore theirs = makeStore();
        ASSERT_TRUE(theirs.load());
        ASSERT_TRUE(theirs.save(renamed(*loaded, std::string(64 * 1024, 't'))));
    }
    const std::string theirBytes = readText(libraryFile());

    killWhileWriting([&] { (void)mine.save(renamed(*loaded, "Mine")); });
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"WhiteboardLibrary.json"});
    EXPECT_EQ(readText(libraryFile()), theirBytes);

    ASSERT_TRUE(mine.save(renamed(*loaded, "Mine")));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(readText(told.front()), theirBytes);
}

TEST_F(LibraryConflictTest, AVersionThatCannotBeKeptIsNotSavedOver)
{
    const WhiteboardLibraryStore mine = makeStore();
    const auto loaded = mine.load();
    ASSERT_TRUE(loaded);
    ASSERT_NO_FATAL_FAILURE(saveTheirs(*loaded));
    // Every conflict name of this second is taken.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::ofstream(libraryConflictPath(libraryFile(), start, attempt)) << "taken";
    }

    const auto saved = mine.save(renamed(*loaded, "Mine"));
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, WhiteboardLibraryStoreError::Kind::changedElsewhere);
    EXPECT_EQ(mine.load()->boards.front().name, "Theirs");
    EXPECT_TRUE(told.empty());
}

TEST_F(LibraryConflictTest, AStoreThatNeverReadTheFileReplacesItAsBefore)
{
    ASSERT_TRUE(makeStore().load());
    const WhiteboardLibraryStore writer = makeStore();
    WhiteboardLibrary library = *makeStore().load();
    ASSERT_TRUE(writer.save(renamed(library, "Written")));
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"WhiteboardLibrary.json"});
}

} // namespace
