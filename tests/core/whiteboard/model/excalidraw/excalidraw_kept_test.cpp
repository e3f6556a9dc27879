#include "excalidraw_test_support.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

using namespace zentrel;
using nlohmann::json;

namespace {

WhiteboardBoard imported(const json &elements, const json &files = json::object())
{
    const json document{{"type", "excalidraw"}, {"elements", elements}, {"files", files}};
    FakeClock clock;
    auto result = importExcalidrawDocument(document.dump(2), "Kept", clock, countingRandom());
    EXPECT_TRUE(result.has_value());
    return result ? std::move(result->board) : WhiteboardBoard{};
}

std::string exportedText(const WhiteboardBoard &board)
{
    FakeClock clock;
    auto data = exportExcalidrawDocument(board, clock, countingRandom());
    EXPECT_TRUE(data.has_value());
    return data.value_or("");
}

json exported(const WhiteboardBoard &board)
{
    return json::parse(exportedText(board));
}

// The board with one element changed as an edit in the editor would change it.
WhiteboardBoard edited(WhiteboardBoard board,
                       std::size_t index,
                       const std::function<void(WhiteboardElement &)> &edit)
{
    WhiteboardElement element = *board.elements.at(index);
    edit(element);
    board.elements[index] = makeElement(std::move(element));
    return board;
}

const json shapes = json::parse(R"([
    {"id": "box-1", "type": "rectangle", "x": 10, "y": 20, "width": 100, "height": 50,
     "groupIds": ["g-outer"], "frameId": "frame-1", "customData": {"owner": "ana"},
     "fillStyle": "zigzag", "roundness": {"type": 3, "value": 32}, "opacity": 60,
     "strokeColor": "#1e1e1e", "boundElements": [{"type": "arrow", "id": "arrow-1"}]},
    {"id": "label-1", "type": "text", "x": 15, "y": 30, "width": 60, "height": 50,
     "text": "searc\nh", "originalText": "search", "verticalAlign": "middle",
     "containerId": null, "autoResize": false, "groupIds": ["g-outer"]},
    {"id": "arrow-1", "type": "arrow", "x": 200, "y": 45, "width": 90, "height": 30,
     "points": [[0, 0], [-45, 30], [-90, 0]], "startArrowhead": "dot", "endArrowhead": "triangle",
     "startBinding": null,
     "endBinding": {"elementId": "box-1", "focus": 0.25, "gap": 4.5, "fixedPoint": [1, 0.5]}},
    {"id": "stroke-1", "type": "freedraw", "x": 50, "y": 50, "width": 10, "height": 20,
     "points": [[0, 5], [10, 25]], "pressures": [0.25, 0.75], "simulatePressure": false}
])");

} // namespace

TEST(ExcalidrawKeptKeys, AnUneditedElementComesBackAsItWasRead)
{
    const json written = exported(imported(shapes))["elements"];
    ASSERT_EQ(written.size(), shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        for (auto it = shapes[i].begin(); it != shapes[i].end(); ++it) {
            EXPECT_EQ(written[i].value(it.key(), json("missing")), it.value())
                << shapes[i]["id"] << " " << it.key();
        }
    }
}

TEST(ExcalidrawKeptKeys, AnEditedElementWritesWhatItNowIs)
{
    const WhiteboardBoard board = imported(shapes);
    // Recoloured: its style is written new, the rest of what it held stays, its fill style
    // unknown here included.
    const json box = exported(edited(
        board, 0, [](WhiteboardElement &e) { e.style.strokeColor = "#e03131"; }))["elements"][0];
    EXPECT_EQ(box["strokeColor"], "#e03131");
    EXPECT_EQ(box["fillStyle"], "zigzag");
    EXPECT_EQ(box["roundness"], json::parse(R"({"type": 3})"));
    EXPECT_EQ(box["customData"], json::parse(R"({"owner": "ana"})"));
    EXPECT_EQ(box["frameId"], "frame-1");
    EXPECT_EQ(box["id"], "box-1");
    EXPECT_EQ(box["groupIds"], json::array({"g-outer"}));

    // Retyped: its text is what it says now; moved only: its unwrapped text still holds.
    const json retyped =
        exported(edited(board, 1, [](WhiteboardElement &e) { e.text = "find"; }))["elements"][1];
    EXPECT_EQ(retyped["originalText"], "find");
    EXPECT_EQ(retyped["verticalAlign"], "middle");
    const json moved =
        exported(edited(board, 1, [](WhiteboardElement &e) { e.translate(5, 5); }))["elements"][1];
    EXPECT_EQ(moved["originalText"], "search");
    EXPECT_EQ(moved["x"], 20.0);

    // A moved stroke: its points move, its pressures no longer fit them.
    const json stroke = exported(
        edited(board, 3, [](WhiteboardElement &e) { e.translate(100, 0); }))["elements"][3];
    EXPECT_EQ(stroke["x"], 150.0);
    EXPECT_EQ(stroke["y"], 55.0);
    EXPECT_EQ(stroke["points"], json::parse("[[0, 0], [10, 20]]"));
    EXPECT_EQ(stroke["pressures"], json::array());
    EXPECT_EQ(stroke["simulatePressure"], false);

    // A moved arrow keeps its heads and how it meets the box it is still bound to.
    const json arrow =
        exported(edited(board, 2, [](WhiteboardElement &e) { e.translate(0, 10); }))["elements"][2];
    EXPECT_EQ(arrow["y"], 55.0);
    EXPECT_EQ(arrow["startArrowhead"], "dot");
    EXPECT_EQ(arrow["endArrowhead"], "triangle");
    EXPECT_EQ(arrow["endBinding"]["fixedPoint"], json::parse("[1, 0.5]"));
}

TEST(ExcalidrawKeptKeys, ACopyIsWrittenWithIdsOfItsOwn)
{
    WhiteboardBoard board = imported(shapes);
    // As the editor pastes: fresh ids for the element and its groups.
    WhiteboardElement copy = *board.elements[0];
    copy.id = uuid("C0000000-0000-4000-8000-000000000001");
    copy.groupIDs = {uuid("C0000000-0000-4000-8000-000000000002")};
    board.elements.push_back(makeElement(copy));
    const json written = exported(board)["elements"];
    EXPECT_EQ(written[0]["id"], "box-1");
    EXPECT_EQ(written[0]["groupIds"], json::array({"g-outer"}));
    EXPECT_EQ(written[4]["id"], copy.id.text());
    EXPECT_EQ(written[4]["groupIds"], json::array({copy.groupIDs[0].text()}));
    EXPECT_EQ(written[4]["customData"], written[0]["customData"]);
}

TEST(ExcalidrawKeptKeys, ReferencesAgreeWithTheObjectsWrittenForKeptForeignElements)
{
    const json elements = json::parse(R"([
        {"id": "frame-1", "type": "frame", "x": 0, "y": 0, "width": 400, "height": 300,
         "name": "Plan"},
        {"id": "image-1", "type": "image", "x": 10, "y": 10, "width": 50, "height": 50,
         "fileId": "file-a", "frameId": "frame-1",
         "boundElements": [{"id": "arrow-1", "type": "arrow"}]},
        {"id": "arrow-1", "type": "arrow", "x": 100, "y": 100, "width": 40, "height": 40,
         "points": [[0, 0], [-40, -40]], "frameId": "frame-1",
         "startBinding": null, "endBinding": {"elementId": "image-1", "focus": 0, "gap": 2}}
    ])");
    WhiteboardBoard board = imported(elements);
    ASSERT_EQ(board.elements.size(), 3u);
    // Even once the arrow is edited and its binding written from the model.
    board = edited(board, 2, [](WhiteboardElement &e) { e.translate(1, 1); });
    const json written = exported(board)["elements"];
    EXPECT_EQ(written[0], elements[0]);
    EXPECT_EQ(written[1], elements[1]);
    EXPECT_EQ(written[2]["id"], "arrow-1");
    EXPECT_EQ(written[2]["endBinding"]["elementId"], "image-1");
    EXPECT_EQ(written[2]["frameId"], "frame-1");
}

TEST(ExcalidrawKeptKeys, KeptImagesBringTheirFilesBackByteForByte)
{
    const json elements = json::parse(R"([
        {"id": "i1", "type": "image", "fileId": "file-a"},
        {"id": "i2", "type": "image", "fileId": "file-b"},
        {"id": "i3", "type": "image", "fileId": "file-a", "isDeleted": true}
    ])");
    const json files = json::parse(R"({
        "file-a": {"mimeType": "image/png", "id": "file-a", "dataURL": "data:image/png;base64,AAA="},
        "file-b": {"mimeType": "image/svg+xml", "id": "file-b", "dataURL": "data:image/svg+xml,%3Csvg%2F%3E"},
        "file-c": {"mimeType": "image/png", "id": "file-c", "dataURL": "data:image/png;base64,CCC="}
    })");
    WhiteboardBoard board = imported(elements, files);
    ASSERT_EQ(board.excalidrawFiles.size(), 2u); // nothing kept uses file-c
    EXPECT_EQ(json::parse(board.excalidrawFiles.at("file-a")), files["file-a"]);

    // The board comes back from the library file just as it went in.
    const auto saved = encodeWhiteboardBoard(board);
    ASSERT_TRUE(saved);
    const auto loaded = decodeWhiteboardBoard(json::parse(saved->dump()));
    ASSERT_TRUE(loaded);
    const std::string text = exportedText(*loaded);
    EXPECT_NE(text.find(board.excalidrawFiles.at("file-b")), std::string::npos);
    EXPECT_EQ(json::parse(text)["files"],
              (json{{"file-a", files["file-a"]}, {"file-b", files["file-b"]}}));

    // A file no image on the board shows any more is not written.
    board.elements.erase(board.elements.begin() + 1);
    EXPECT_EQ(exported(board)["files"], (json{{"file-a", files["file-a"]}}));
}

TEST(ExcalidrawKeptKeys, LegacySharpnessRoundsCorners)
{
    const WhiteboardBoard board = imported(json::parse(R"([
        {"type": "rectangle", "strokeSharpness": "round"},
        {"type": "arrow", "strokeSharpness": "round"},
        {"type": "rectangle", "strokeSharpness": "sharp"},
        {"type": "rectangle", "strokeSharpness": "round", "roundness": {"type": 3}},
        {"type": "diamond", "strokeSharpness": "round", "roundness": null}
    ])"));
    ASSERT_EQ(board.elements.size(), 5u);
    EXPECT_EQ(board.elements[0]->style.roundnessType, 1); // Excalidraw's legacy corner
    EXPECT_EQ(board.elements[1]->style.roundnessType, 2);
    EXPECT_EQ(board.elements[2]->style.roundnessType, std::nullopt);
    EXPECT_EQ(board.elements[3]->style.roundnessType, 3);
    EXPECT_EQ(board.elements[4]->style.roundnessType, 2);
    const json written = exported(board)["elements"];
    EXPECT_EQ(written[0]["strokeSharpness"], "round");
    EXPECT_EQ(written[4]["roundness"], nullptr); // as read: null, which Excalidraw reads alike
}

TEST(ExcalidrawKeptKeys, EveryPointOfALineIsWrittenAndAClosedOneStaysClosed)
{
    const json elements = json::parse(R"([
        {"id": "zig", "type": "line", "x": 10, "y": 10, "width": 40, "height": 20,
         "points": [[0, 0], [10, 20], [20, 0], [30, 20], [40, 0]]},
        {"id": "tri", "type": "line", "x": 100, "y": 100, "width": 20, "height": 20,
         "points": [[0, 0], [20, 0], [10, 20], [0, 0]], "backgroundColor": "#ffc9c9"}
    ])");
    WhiteboardBoard board = imported(elements);
    board = edited(board, 0, [](WhiteboardElement &e) { e.translate(5, 0); });
    board = edited(board, 1, [](WhiteboardElement &e) {
        e.resize({100, 100, 20, 20}, {100, 100, 40, 40});
    });
    const json written = exported(board)["elements"];
    EXPECT_EQ(written[0]["x"], 15.0);
    EXPECT_EQ(written[0]["points"], elements[0]["points"]);
    EXPECT_EQ(written[0]["width"], 40.0);
    EXPECT_EQ(written[1]["points"], json::parse("[[0, 0], [40, 0], [20, 40], [0, 0]]"));
    EXPECT_EQ(written[1]["width"], 40.0);
    EXPECT_EQ(written[1]["height"], 40.0);
}

TEST(ExcalidrawKeptKeys, OpacityIsWrittenAsTheWholeNumberItWasRead)
{
    const json written = exported(imported(json::parse(R"([
        {"type": "rectangle", "opacity": 60}, {"type": "rectangle", "opacity": 55.5},
        {"type": "rectangle", "opacity": 7}])")))["elements"];
    EXPECT_EQ(written[0]["opacity"].dump(), "60.0");
    EXPECT_EQ(written[1]["opacity"], 55.5);
    EXPECT_EQ(written[2]["opacity"].dump(), "7.0");
}

TEST(ExcalidrawKeptKeys, AnUnknownFillStyleGivesWayOnlyToAnotherFillStyle)
{
    const WhiteboardBoard board = imported(shapes);
    EXPECT_EQ(board.elements[0]->style.fillStyle, std::nullopt);
    const WhiteboardBoard restyled = edited(board, 0, [](WhiteboardElement &e) {
        e.style.strokeColor = "#e03131";
        e.style.fillColor = "#ffc9c9";
        e.style.opacity = 1;
        e.translate(10, 0);
    });
    EXPECT_EQ(exported(restyled)["elements"][0]["fillStyle"], "zigzag");
    for (const WhiteboardFillStyle fill : allWhiteboardFillStyles) {
        const json box = exported(edited(restyled, 0, [fill](WhiteboardElement &e) {
            e.style.fillStyle = fill;
        }))["elements"][0];
        EXPECT_EQ(box["fillStyle"], whiteboardFillStyleText.text(fill));
    }

    // The same with a real document's zigzag ellipse, recoloured.
    std::ifstream file(std::filesystem::path(ZENTREL_TESTDATA_DIR) / "excalidraw"
                       / "29-fixture-fill-styles-zigzag.excalidraw");
    if (!file) {
        GTEST_SKIP() << "no test document";
    }
    FakeClock clock;
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    auto document = importExcalidrawDocument(text, "Fills", clock, countingRandom());
    ASSERT_TRUE(document);
    const json fills = exported(edited(document->board, 3, [](WhiteboardElement &e) {
        e.style.strokeColor = "#2f9e44";
    }))["elements"];
    EXPECT_EQ(fills[3]["id"], "zigzag");
    EXPECT_EQ(fills[3]["strokeColor"], "#2f9e44");
    EXPECT_EQ(fills[3]["fillStyle"], "zigzag");
}

TEST(ExcalidrawKeptKeys, ArrowheadsAreReadIntoTheModelAndKeptOnlyWhenUnknown)
{
    const json elements = json::parse(R"([
        {"id": "a", "type": "arrow", "startArrowhead": "dot", "endArrowhead": "triangle"},
        {"id": "b", "type": "arrow", "startArrowhead": null, "endArrowhead": null},
        {"id": "c", "type": "arrow"},
        {"id": "d", "type": "arrow", "startArrowhead": "crowfoot_many",
         "endArrowhead": "diamond_outline"},
        {"id": "e", "type": "arrow", "startArrowhead": null, "endArrowhead": "arrow"},
        {"id": "f", "type": "line", "startArrowhead": null, "endArrowhead": "bar"}
    ])");
    const WhiteboardBoard board = imported(elements);
    ASSERT_EQ(board.elements.size(), 6u);
    const auto heads = [&board](std::size_t i) {
        return arrowheadsOf(*board.elements[i]);
    };
    EXPECT_EQ(heads(0), (Arrowheads{WhiteboardArrowhead::dot, WhiteboardArrowhead::triangle}));
    EXPECT_EQ(heads(1), (Arrowheads{}));
    // A missing head is an arrow's usual one, as Excalidraw restores it.
    EXPECT_EQ(heads(2), (Arrowheads{WhiteboardArrowhead::none, WhiteboardArrowhead::arrow}));
    // A head Zentrel does not draw is drawn as an arrow.
    EXPECT_EQ(heads(3),
              (Arrowheads{WhiteboardArrowhead::arrow, WhiteboardArrowhead::diamondOutline}));
    // The usual heads are no fields of their own, as on an arrow drawn here; a line has none.
    for (const std::size_t i : {2, 4, 5}) {
        EXPECT_FALSE(board.elements[i]->startArrowhead) << i;
        EXPECT_FALSE(board.elements[i]->endArrowhead) << i;
    }
    EXPECT_EQ(heads(5), (Arrowheads{}));

    // Kept once: a head the model holds is not kept as well, one it cannot hold is.
    for (const std::size_t i : {0, 1, 2, 4}) {
        const auto &source = board.elements[i]->excalidrawSource;
        EXPECT_TRUE(!source || source->json.find("Arrowhead") == std::string::npos) << i;
    }
    const std::string &keptD = board.elements[3]->excalidrawSource->json;
    EXPECT_NE(keptD.find(R"("startArrowhead":"crowfoot_many")"), std::string::npos);
    EXPECT_EQ(keptD.find("endArrowhead"), std::string::npos);

    // Written back as read, also once edited.
    const WhiteboardBoard moved = edited(board, 3, [](WhiteboardElement &e) {
        e.translate(5, 5);
        e.style.strokeColor = "#e03131";
    });
    const json written = exported(moved)["elements"];
    for (std::size_t i = 0; i < elements.size(); ++i) {
        for (const char *key : {"startArrowhead", "endArrowhead"}) {
            EXPECT_EQ(
                written[i][key],
                elements[i].value(key, i == 2 && key[0] == 'e' ? json("arrow") : json(nullptr)))
                << i << " " << key;
        }
    }

    // A head changed in the model is written as it now is.
    const json rehead = exported(edited(moved, 3, [](WhiteboardElement &e) {
        e.startArrowhead = WhiteboardArrowhead::bar;
    }))["elements"][3];
    EXPECT_EQ(rehead["startArrowhead"], "bar");
    EXPECT_EQ(rehead["endArrowhead"], "diamond_outline");
}

TEST(ExcalidrawKeptKeys, AnEditedElementIsANewerVersionOfTheOneRead)
{
    const json elements = json::parse(R"([
        {"id": "box", "type": "rectangle", "version": 7, "updated": 1700000000000},
        {"id": "odd", "type": "rectangle", "version": "7", "updated": "soon"}
    ])");
    const WhiteboardBoard board = imported(elements);
    const json untouched = exported(board)["elements"];
    for (std::size_t i = 0; i < elements.size(); ++i) {
        EXPECT_EQ(untouched[i]["version"], elements[i]["version"]) << i;
        EXPECT_EQ(untouched[i]["updated"], elements[i]["updated"]) << i;
    }

    WhiteboardBoard moved = board;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        moved = edited(moved, i, [](WhiteboardElement &e) { e.translate(1, 0); });
    }
    json written = exported(moved)["elements"];
    EXPECT_EQ(written[0]["version"], 8);
    EXPECT_EQ(written[0]["updated"], 1700000000000); // no edit time noted: as read
    // Values written as text are read as numbers, and an edit writes them as numbers too.
    EXPECT_EQ(written[1]["version"], 8);
    EXPECT_EQ(written[1]["updated"], 0);

    moved = edited(moved, 0, [](WhiteboardElement &e) { e.excalidrawEditedAt = 1800000000000; });
    written = exported(moved)["elements"];
    EXPECT_EQ(written[0]["version"], 8);
    EXPECT_EQ(written[0]["updated"], 1800000000000);
}
