#include "whiteboard/model/whiteboard_board_json.h"

#include <gtest/gtest.h>

using namespace zentrel;
using nlohmann::json;

namespace {

const Uuid boardID = *Uuid::parse("B0000000-0000-4000-8000-000000000001");

WhiteboardElement elementWithID(const char *id)
{
    WhiteboardElement element;
    element.id = *Uuid::parse(id);
    element.setFrame({0, 0, 10, 10});
    return element;
}

WhiteboardLibrary sampleLibrary()
{
    WhiteboardBoard board;
    board.id = boardID;
    board.name = "Sketches";
    board.elements = {makeElement(elementWithID("E0000000-0000-4000-8000-000000000001")),
                      makeElement(elementWithID("E0000000-0000-4000-8000-000000000002"))};
    board.viewport = {2.5, {-10, 20}};
    board.background = WhiteboardBackground::white();
    board.showsGrid = true;
    board.createdAt = *parseIsoDate("2026-01-02T03:04:05Z");
    board.updatedAt = *parseIsoDate("2026-02-03T04:05:06Z");
    return {1, {board}, boardID, true};
}

json boardJsonWith(const json &background)
{
    json board = *encodeWhiteboardBoard(sampleLibrary().boards.front());
    board["background"] = background;
    return board;
}

} // namespace

TEST(WhiteboardBoard, LibraryRoundTripsThroughJson)
{
    const WhiteboardLibrary library = sampleLibrary();
    const auto encoded = encodeWhiteboardLibrary(library);
    ASSERT_TRUE(encoded);
    EXPECT_EQ((*encoded)["boards"][0]["createdAt"], "2026-01-02T03:04:05Z");
    EXPECT_EQ((*encoded)["boards"][0]["background"], "white");
    EXPECT_EQ((*encoded)["currentBoardID"], boardID.text());
    const auto decoded = decodeWhiteboardLibrary(json::parse(encoded->dump()));
    ASSERT_TRUE(decoded) << message(decoded.error());
    EXPECT_EQ(*decoded, library);
    EXPECT_EQ(decoded->currentBoard()->name, "Sketches");
}

TEST(WhiteboardBoard, ExcalidrawFilesAreWrittenOnlyWhenThereAreAny)
{
    WhiteboardLibrary library = sampleLibrary();
    // A board without images writes what it always wrote, and older files read as before.
    const json plain = *encodeWhiteboardBoard(library.boards.front());
    EXPECT_FALSE(plain.contains("excalidrawFiles"));
    EXPECT_EQ(decodeWhiteboardBoard(plain)->excalidrawFiles.size(), 0u);

    library.boards.front().excalidrawFiles = {
        {"f1", R"({ "dataURL": "data:image/png;base64,iVBO" })"}};
    const auto encoded = encodeWhiteboardLibrary(library);
    ASSERT_TRUE(encoded);
    EXPECT_EQ((*encoded)["boards"][0]["excalidrawFiles"]["f1"],
              R"({ "dataURL": "data:image/png;base64,iVBO" })");
    const auto decoded = decodeWhiteboardLibrary(json::parse(encoded->dump()));
    ASSERT_TRUE(decoded) << message(decoded.error());
    EXPECT_EQ(*decoded, library);

    json bad = (*encoded)["boards"][0];
    bad["excalidrawFiles"]["f1"] = json::object();
    const auto refused = decodeWhiteboardBoard(bad, "boards[0]");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().path, "boards[0].excalidrawFiles.f1");
}

TEST(WhiteboardBoard, ImageBackgroundIsWrittenAsBlack)
{
    WhiteboardBoard board = sampleLibrary().boards.front();
    board.background = WhiteboardBackground::withImage(42);
    EXPECT_EQ(board.background.id(), "image");
    const json encoded = *encodeWhiteboardBoard(board);
    EXPECT_EQ(encoded["background"], "black");
    EXPECT_EQ(decodeWhiteboardBoard(encoded)->background.kind, WhiteboardBackground::Kind::black);
}

TEST(WhiteboardBoard, BackgroundReadsOnlyExactWhiteAsWhite)
{
    using Kind = WhiteboardBackground::Kind;
    EXPECT_EQ(decodeWhiteboardBoard(boardJsonWith(nullptr))->background.kind, Kind::black);
    EXPECT_EQ(decodeWhiteboardBoard(boardJsonWith("White"))->background.kind, Kind::black);
    EXPECT_EQ(decodeWhiteboardBoard(boardJsonWith("red"))->background.kind, Kind::black);
    EXPECT_EQ(decodeWhiteboardBoard(boardJsonWith("white"))->background.kind, Kind::white);
    EXPECT_FALSE(decodeWhiteboardBoard(boardJsonWith(1)));
    json missing = boardJsonWith("white");
    missing.erase("background");
    EXPECT_FALSE(decodeWhiteboardBoard(missing));
}

TEST(WhiteboardBoard, EveryKeyIsRequired)
{
    const json library = *encodeWhiteboardLibrary(sampleLibrary());
    for (const char *key :
         {"id", "name", "elements", "viewport", "showsGrid", "createdAt", "updatedAt"}) {
        json broken = library;
        broken["boards"][0].erase(key);
        const auto decoded = decodeWhiteboardLibrary(broken);
        ASSERT_FALSE(decoded) << key;
        EXPECT_EQ(decoded.error().path, std::string("boards[0].") + key);
    }
    for (const char *key : {"version", "boards", "currentBoardID", "migrationCompleted"}) {
        json broken = library;
        broken.erase(key);
        EXPECT_FALSE(decodeWhiteboardLibrary(broken)) << key;
    }
    json badDate = library;
    badDate["boards"][0]["updatedAt"] = "yesterday";
    EXPECT_FALSE(decodeWhiteboardLibrary(badDate));
    json badKind = library;
    badKind["boards"][0]["elements"][1]["kind"] = "hexagon";
    EXPECT_EQ(decodeWhiteboardLibrary(badKind).error().path, "boards[0].elements[1].kind");
    EXPECT_FALSE(decodeWhiteboardViewport(json{{"scale", 1}}));
}

TEST(WhiteboardBoard, ErrorsNameTheWholePathDownToTheBadValue)
{
    const json library = *encodeWhiteboardLibrary(sampleLibrary());
    const auto pathOfError = [&](const json::json_pointer &where, const json &value) {
        json broken = library;
        broken[where] = value;
        const auto decoded = decodeWhiteboardLibrary(broken);
        return decoded ? std::string("no error") : decoded.error().path;
    };
    EXPECT_EQ(pathOfError(json::json_pointer("/boards/0/elements/1/points"), json::array({1})),
              "boards[0].elements[1].points[0]");
    EXPECT_EQ(pathOfError(json::json_pointer("/boards/0/elements/0/style/strokeWidth"), "2"),
              "boards[0].elements[0].style.strokeWidth");
    EXPECT_EQ(pathOfError(json::json_pointer("/boards/0/elements/0/groupIDs"), json{"G"}),
              "boards[0].elements[0].groupIDs[0]");
    EXPECT_EQ(pathOfError(json::json_pointer("/boards/0/viewport/translation/y"), nullptr),
              "boards[0].viewport.translation.y");
    EXPECT_EQ(pathOfError(json::json_pointer("/boards/0"), 7), "boards[0]");
    EXPECT_EQ(decodeWhiteboardBoard(library["boards"][0], "top.board")->name, "Sketches");
    json badBoard = library["boards"][0];
    badBoard["elements"][1]["x"] = "left";
    EXPECT_EQ(decodeWhiteboardBoard(badBoard, "top.board").error().path, "top.board.elements[1].x");
}

TEST(WhiteboardBoard, EqualityComparesElementValuesNotPointers)
{
    const WhiteboardLibrary library = sampleLibrary();
    WhiteboardLibrary copy = library;
    EXPECT_EQ(copy, library);
    EXPECT_EQ(copy.boards[0].elements[0], library.boards[0].elements[0]); // shared, not copied

    copy.boards[0].elements[0] = makeElement(*library.boards[0].elements[0]);
    EXPECT_EQ(copy, library);

    WhiteboardElement changed = *library.boards[0].elements[1];
    changed.excalidrawUpdated = 1;
    copy.boards[0].elements[1] = makeElement(changed);
    EXPECT_NE(copy, library);

    copy = library;
    copy.boards[0].elements.pop_back();
    EXPECT_NE(copy, library);
}

TEST(WhiteboardBoard, ImageBackgroundsAreEqualWhateverTheirImages)
{
    WhiteboardBoard first = sampleLibrary().boards.front();
    WhiteboardBoard second = first;
    first.background = WhiteboardBackground::withImage(std::string("one"));
    second.background = WhiteboardBackground::withImage(2);
    EXPECT_EQ(first, second);
    second.background = WhiteboardBackground::black();
    EXPECT_NE(first, second);
}

TEST(WhiteboardBoard, CurrentBoardFallsBackToTheFirst)
{
    WhiteboardLibrary library = sampleLibrary();
    library.currentBoardID = Uuid{};
    EXPECT_EQ(library.currentBoard(), &library.boards.front());
    library.boards.clear();
    EXPECT_EQ(library.currentBoard(), nullptr);
}

TEST(WhiteboardBoard, ViewportMapsSceneToViewAndBack)
{
    const WhiteboardViewport viewport{0.5, {20, -10}};
    EXPECT_EQ(viewport.toScene(RectF{0, 0, 200, 100}), (RectF{-40, 20, 400, 200}));
    EXPECT_EQ(viewport.toView(RectF{-40, 20, 400, 200}), (RectF{0, 0, 200, 100}));
    EXPECT_EQ(viewport.toView(PointF{10, 30}), (PointF{25, 5}));
    EXPECT_EQ(viewport.toScene(PointF{25, 5}), (PointF{10, 30}));
}
