#include "whiteboard/model/store/whiteboard_library_store.h"

#include "common/json/json_file.h"
#include "core/common/files/killed_save.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/folder_names.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/model/store/library_set_aside.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace zentrel;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

const Timestamp start = *parseIsoDate("2026-03-04T05:06:07Z");
constexpr long long startSeconds = 1772600767;

void writeText(const fs::path &path, const std::string &text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path &path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

const char *legacyDocument = R"({
  "version": 1,
  "background": "white",
  "annotations": [
    {"type": "line", "line": {"start": {"x": 100, "y": 100}, "end": {"x": 50, "y": 150},
                              "color": "#ff0000", "lineWidth": 3}},
    {"type": "marker", "marker": {"point": {"x": 40, "y": 40}, "number": 3, "color": "#00FF00"}}
  ],
  "showsGrid": false
})";

class WhiteboardLibraryStoreTest : public testing::Test
{
protected:
    WhiteboardLibraryStore makeStore()
    {
        return {folder.path() / "Zentrel", clock, countingRandom()};
    }

    fs::path libraryFile() const { return folder.path() / "Zentrel" / "WhiteboardLibrary.json"; }

    fs::path legacyFile() const { return folder.path() / "Zentrel" / "Whiteboard.json"; }

    fs::path setAside(int attempt = 0) const
    {
        return librarySetAsidePath(libraryFile(), start, attempt);
    }

    TemporaryDirectory folder;
    FakeClock clock{start};
};

TEST_F(WhiteboardLibraryStoreTest, FreshStartWritesOneUntitledBoard)
{
    auto library = makeStore().load();
    ASSERT_TRUE(library) << message(library.error());
    ASSERT_EQ(library->boards.size(), 1u);
    const WhiteboardBoard &board = library->boards.front();
    EXPECT_EQ(board.name, "Untitled Board");
    EXPECT_TRUE(board.elements.empty());
    EXPECT_EQ(board.background, WhiteboardBackground::white());
    EXPECT_TRUE(board.showsGrid);
    EXPECT_EQ(board.viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_EQ(board.createdAt, start);
    EXPECT_EQ(library->currentBoardID, board.id);
    EXPECT_TRUE(library->migrationCompleted);
    EXPECT_EQ(library->version, 1);
    ASSERT_TRUE(fs::exists(libraryFile()));
    EXPECT_EQ(*makeStore().load(), *library);
}

TEST_F(WhiteboardLibraryStoreTest, SaveAndReloadKeepsTheLibraryPrettyAndSorted)
{
    WhiteboardStoreResult<WhiteboardLibrary> library = makeStore().load();
    ASSERT_TRUE(library);
    WhiteboardBoard second = makeStore().defaultBoard();
    second.name = "Second";
    library->boards.push_back(second);
    library->currentBoardID = second.id;
    library->version = 0;
    ASSERT_TRUE(makeStore().save(*library));

    const std::string text = readText(libraryFile());
    EXPECT_NE(text.find("\n  \"boards\""), std::string::npos);
    EXPECT_LT(text.find("\"boards\""), text.find("\"version\""));
    EXPECT_NE(text.find("\"createdAt\": \"2026-03-04T05:06:07Z\""), std::string::npos);
    EXPECT_EQ(json::parse(text)["version"], 1);

    auto reloaded = makeStore().load();
    ASSERT_TRUE(reloaded);
    library->version = 1;
    EXPECT_EQ(*reloaded, *library);
}

TEST_F(WhiteboardLibraryStoreTest, DecodingRepairsBoardsAndCurrentBoardWithoutWriting)
{
    WhiteboardLibrary library = *makeStore().load();
    json stored = *encodeWhiteboardLibrary(library);
    stored["currentBoardID"] = "00000000-0000-4000-8000-00000000FFFF";
    writeText(libraryFile(), stored.dump());
    auto repaired = makeStore().load();
    ASSERT_TRUE(repaired);
    EXPECT_EQ(repaired->currentBoardID, library.boards.front().id);

    stored["boards"] = json::array();
    writeText(libraryFile(), stored.dump());
    auto refilled = makeStore().load();
    ASSERT_TRUE(refilled);
    ASSERT_EQ(refilled->boards.size(), 1u);
    EXPECT_EQ(refilled->currentBoardID, refilled->boards.front().id);
    EXPECT_EQ(readText(libraryFile()), stored.dump());
}

TEST_F(WhiteboardLibraryStoreTest, CorruptFileIsSetAsideAndSecondOneDoesNotReplaceIt)
{
    writeText(libraryFile(), "{ not json");
    auto first = makeStore().load();
    ASSERT_TRUE(first) << message(first.error());
    EXPECT_EQ(setAside().filename().string(),
              "WhiteboardLibrary.corrupt-" + std::to_string(startSeconds) + ".json");
    EXPECT_EQ(readText(setAside()), "{ not json");
    EXPECT_EQ(first->boards.front().name, "Untitled Board");

    writeText(libraryFile(), "second bad file");
    ASSERT_TRUE(makeStore().load());
    EXPECT_EQ(readText(setAside()), "{ not json");
    EXPECT_EQ(readText(setAside(1)), "second bad file");
    EXPECT_EQ(setAside(1).filename().string(),
              "WhiteboardLibrary.corrupt-" + std::to_string(startSeconds) + "-1.json");
}

TEST_F(WhiteboardLibraryStoreTest, NewerVersionIsSetAsideAndLegacyDocumentTakesItsPlace)
{
    json newer = *encodeWhiteboardLibrary(*makeStore().load());
    newer["version"] = 2;
    writeText(libraryFile(), newer.dump());
    writeText(legacyFile(), legacyDocument);
    auto library = makeStore().load();
    ASSERT_TRUE(library) << message(library.error());
    EXPECT_EQ(library->boards.front().name, "Migrated Board");
    EXPECT_EQ(json::parse(readText(setAside()))["version"], 2);

    auto decoded = makeStore().decodeLibrary(newer.dump());
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().kind, WhiteboardLibraryStoreError::Kind::newerVersion);
}

TEST_F(WhiteboardLibraryStoreTest, LegacyDocumentIsMigratedWithOneTimeBackup)
{
    writeText(legacyFile(), legacyDocument);
    auto library = makeStore().load();
    ASSERT_TRUE(library) << message(library.error());
    EXPECT_TRUE(library->migrationCompleted);
    ASSERT_EQ(library->boards.size(), 1u);
    const WhiteboardBoard &board = library->boards.front();
    EXPECT_EQ(board.name, "Migrated Board");
    EXPECT_FALSE(board.showsGrid);
    EXPECT_EQ(board.background, WhiteboardBackground::white());
    ASSERT_EQ(board.elements.size(), 2u);
    // Drawn down and to the left: the direction survives in the signs.
    EXPECT_EQ(board.elements[0]->frame(), (RectF{100, 100, -50, 50}));
    EXPECT_EQ(board.elements[0]->style.strokeColor, "#FF0000");
    EXPECT_EQ(board.elements[1]->markerNumber, 3);

    EXPECT_EQ(readText(legacyFile()), legacyDocument);
    EXPECT_EQ(readText(fs::path(legacyFile().string() + ".legacy")), legacyDocument);
    EXPECT_EQ(*makeStore().load(), *library);
}

TEST_F(WhiteboardLibraryStoreTest, ExistingLegacyBackupIsLeftAlone)
{
    writeText(legacyFile(), legacyDocument);
    writeText(legacyFile().string() + ".legacy", "older backup");
    auto library = makeStore().load();
    ASSERT_TRUE(library) << message(library.error());
    EXPECT_EQ(library->boards.front().elements.size(), 2u);
    EXPECT_EQ(readText(legacyFile().string() + ".legacy"), "older backup");
}

TEST_F(WhiteboardLibraryStoreTest, ABackupCutShortLeavesNoPartOfItAndTheNextLoadMakesItWhole)
{
    // Larger than a migration killed while copying it may write.
    const std::string document = legacyDocument + std::string(64 * 1024, ' ');
    writeText(legacyFile(), document);
    killWhileWriting([this] { (void)makeStore().load(); });
    EXPECT_FALSE(fs::exists(legacyFile().string() + ".legacy"));

    ASSERT_TRUE(makeStore().load());
    EXPECT_EQ(readText(legacyFile().string() + ".legacy"), document);
    EXPECT_EQ(namesIn(folder.path() / "Zentrel"),
              (std::vector<std::string>{
                  "Whiteboard.json", "Whiteboard.json.legacy", "WhiteboardLibrary.json"}));
}

TEST_F(WhiteboardLibraryStoreTest, MalformedLegacyDocumentFailsAndWritesNothing)
{
    writeText(legacyFile(), "{ broken");
    auto library = makeStore().load();
    ASSERT_FALSE(library);
    EXPECT_EQ(library.error().kind, WhiteboardLibraryStoreError::Kind::malformedJson);
    EXPECT_FALSE(fs::exists(libraryFile()));
    EXPECT_FALSE(message(library.error()).empty());
}

TEST_F(WhiteboardLibraryStoreTest, UnwritableFolderFailsLoadAndSave)
{
    writeText(folder.path() / "file", "a regular file");
    WhiteboardLibraryStore store(folder.path() / "file" / "Zentrel", clock, countingRandom());
    auto library = store.load();
    ASSERT_FALSE(library);
    EXPECT_EQ(library.error().kind, WhiteboardLibraryStoreError::Kind::file);
    EXPECT_FALSE(message(library.error()).empty());
    EXPECT_FALSE(store.save(WhiteboardLibrary{}));
}

TEST_F(WhiteboardLibraryStoreTest, NonFiniteNumbersAreNotSaved)
{
    WhiteboardLibrary library = *makeStore().load();
    const std::string before = readText(libraryFile());
    library.boards.front().viewport.scale = std::numeric_limits<double>::infinity();
    auto saved = makeStore().save(library);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, WhiteboardLibraryStoreError::Kind::unencodable);
    EXPECT_EQ(readText(libraryFile()), before);

    writeText(libraryFile(), R"({"version": 1e999})");
    ASSERT_TRUE(makeStore().load());
    EXPECT_TRUE(fs::exists(setAside()));
}

tl::expected<fs::path, FileError> refuse(const fs::path &file, Timestamp)
{
    return tl::unexpected(FileError{FileError::Kind::moveFailed, file, "refused"});
}

TEST_F(WhiteboardLibraryStoreTest, CorruptFileThatCannotMoveIsCopiedAside)
{
    writeText(libraryFile(), "garbage");
    WhiteboardLibraryStore store = makeStore();
    store.setSetAsideOperations(refuse, copyLibraryAside);
    auto library = store.load();
    ASSERT_TRUE(library) << message(library.error());
    EXPECT_EQ(readText(setAside()), "garbage");
    EXPECT_EQ(*makeStore().load(), *library);
}

TEST_F(WhiteboardLibraryStoreTest, CorruptFileThatCannotBeSetAsideIsNeverSavedOver)
{
    writeText(libraryFile(), "garbage");
    WhiteboardLibraryStore store = makeStore();
    store.setSetAsideOperations(refuse, refuse);
    auto library = store.load();
    ASSERT_FALSE(library);
    EXPECT_EQ(library.error().kind, WhiteboardLibraryStoreError::Kind::corruptFileStuck);
    EXPECT_NE(message(library.error()).find("refused"), std::string::npos);

    const WhiteboardLibrary fallback = makeStore().canonical({});
    WhiteboardLibraryStore copy = store;
    for (const WhiteboardLibraryStore *saver : {&store, &copy}) {
        auto saved = saver->save(fallback);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().kind, WhiteboardLibraryStoreError::Kind::saveRefused);
    }
    EXPECT_EQ(readText(libraryFile()), "garbage");
    EXPECT_FALSE(fs::exists(setAside()));

    // A later store that takes over what this one knows refuses too, until the folder lets the
    // file be set aside.
    WhiteboardLibraryStore later = makeStore();
    later.adoptLibraryFileStamp(store.libraryFileStamp());
    later.setSetAsideOperations(refuse, refuse);
    EXPECT_FALSE(later.save(fallback));
    later.setSetAsideOperations(moveLibraryAside, copyLibraryAside);
    ASSERT_TRUE(later.save(fallback));
    EXPECT_EQ(readText(setAside()), "garbage");
    EXPECT_EQ(makeStore().load()->currentBoardID, fallback.currentBoardID);
}

} // namespace

TEST_F(WhiteboardLibraryStoreTest, LibraryNestedTooDeeplyOrOutOfRangeIsSetAside)
{
    json deep = *encodeWhiteboardLibrary(*makeStore().load());
    deep["notes"] = json::parse(std::string(5000, '[') + std::string(5000, ']'));
    json future = *encodeWhiteboardLibrary(*makeStore().load());
    future["boards"][0]["createdAt"] = "2300-01-01T00:00:00Z";
    for (const json &bad : {deep, future}) {
        fs::remove_all(folder.path() / "Zentrel");
        writeText(libraryFile(), bad.dump());
        auto library = makeStore().load();
        ASSERT_TRUE(library) << message(library.error());
        EXPECT_EQ(library->boards.front().name, "Untitled Board");
        EXPECT_EQ(readText(setAside()), bad.dump()) << "the file was not kept as it was";
    }
}

TEST_F(WhiteboardLibraryStoreTest, AKilledSaveLeavesNothingOnceTheLibraryLoads)
{
    const WhiteboardLibrary saved = *makeStore().load();
    killDuringSave(libraryFile());
    auto library = makeStore().load();
    ASSERT_TRUE(library) << message(library.error());
    EXPECT_EQ(*library, saved);
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(libraryFile().parent_path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"WhiteboardLibrary.json"});
}
