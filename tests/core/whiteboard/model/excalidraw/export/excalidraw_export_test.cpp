#include "whiteboard/model/excalidraw/export/excalidraw_export.h"

#include "core/whiteboard/model/excalidraw/excalidraw_test_support.h"
#include "fakes/piece_text_sink.h"
#include "whiteboard/model/excalidraw/export/excalidraw_element_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

constexpr std::int64_t nowMs = 1'700'000'000'123;
const Timestamp now = Timestamp{} + std::chrono::milliseconds(nowMs);
const Uuid rectID = uuid("11111111-1111-4111-8111-111111111111");
const Uuid arrowID = uuid("22222222-2222-4222-8222-222222222222");
const Uuid textID = uuid("33333333-3333-4333-8333-333333333333");

WhiteboardElement element(WhiteboardElementKind kind, const Uuid &id = Uuid{})
{
    WhiteboardElement e;
    e.kind = kind;
    e.id = id;
    e.setFrame({10, 20, 30, 40});
    return e;
}

json exported(const WhiteboardBoard &board)
{
    FakeClock clock(now);
    auto data = exportExcalidrawDocument(board, clock, countingRandom());
    EXPECT_TRUE(data.has_value());
    return data ? json::parse(*data) : json();
}

json exportedElements(std::vector<WhiteboardElement> elements)
{
    WhiteboardBoard board;
    for (auto &e : elements) {
        board.elements.push_back(makeElement(std::move(e)));
    }
    return exported(board)["elements"];
}

} // namespace

TEST(ExcalidrawExport, EmptyBoardHasTheSixKeysAndAppState)
{
    WhiteboardBoard board;
    board.background = WhiteboardBackground::black();
    const json document = exported(board);
    EXPECT_EQ(document.size(), 6u);
    EXPECT_EQ(document["type"], "excalidraw");
    EXPECT_TRUE(document["version"].is_number_integer());
    EXPECT_EQ(document["version"], 2);
    EXPECT_EQ(document["source"], excalidrawDocumentSource);
    EXPECT_EQ(document["elements"], json::array());
    EXPECT_EQ(document["files"], json::object());
    EXPECT_EQ(document["appState"],
              (json{{"viewBackgroundColor", "#000000"}, {"gridSize", nullptr}}));
}

TEST(ExcalidrawExport, ImageBackgroundIsWhiteAndGridIsTwenty)
{
    WhiteboardBoard board;
    board.background = WhiteboardBackground::withImage(42);
    board.showsGrid = true;
    const json appState = exported(board)["appState"];
    EXPECT_EQ(appState["viewBackgroundColor"], "#ffffff");
    EXPECT_EQ(appState["gridSize"], 20);
}

TEST(ExcalidrawExport, OutputIsPrettyWithSortedKeys)
{
    WhiteboardBoard board;
    board.elements.push_back(makeElement(element(WhiteboardElementKind::rectangle, rectID)));
    FakeClock clock(now);
    const std::string text = *exportExcalidrawDocument(board, clock, countingRandom());
    EXPECT_NE(text.find("\n  \"appState\""), std::string::npos);
    EXPECT_LT(text.find("\"angle\""), text.find("\"backgroundColor\""));
    EXPECT_LT(text.find("\"appState\""), text.find("\"elements\""));
}

TEST(ExcalidrawExport, EveryElementHasTheRequiredFieldsTyped)
{
    std::vector<WhiteboardElement> all;
    const UuidRandomSource random = countingRandom();
    for (WhiteboardElementKind kind : allWhiteboardElementKinds) {
        all.push_back(element(kind, Uuid::generate(random)));
    }
    const json elements = exportedElements(all);
    ASSERT_EQ(elements.size(), all.size() + 1); // a marker writes two objects
    for (const json &object : elements) {
        SCOPED_TRACE(object.dump());
        for (const char *key : {"id",
                                "type",
                                "strokeColor",
                                "backgroundColor",
                                "fillStyle",
                                "strokeStyle",
                                "index"}) {
            EXPECT_TRUE(object[key].is_string()) << key;
        }
        for (const char *key : {"x", "y", "width", "height", "angle", "strokeWidth", "opacity"}) {
            EXPECT_TRUE(object[key].is_number()) << key;
        }
        for (const char *key : {"roughness", "seed", "version", "versionNonce", "updated"}) {
            EXPECT_TRUE(object[key].is_number_integer()) << key;
        }
        EXPECT_TRUE(object["groupIds"].is_array());
        EXPECT_TRUE(object["frameId"].is_null());
        EXPECT_TRUE(object["roundness"].is_null());
        EXPECT_EQ(object["isDeleted"], false);
        EXPECT_TRUE(object["boundElements"].is_null());
        EXPECT_TRUE(object["link"].is_null());
        EXPECT_EQ(object["locked"], false);
        EXPECT_EQ(object["updated"], nowMs);
        EXPECT_NE(object["type"], "marker");
        EXPECT_GE(object.size(), 26u);
    }
    EXPECT_EQ(elements[0].size(), 26u);
    EXPECT_EQ(elements[3]["endArrowhead"], nullptr);
    EXPECT_EQ(elements[4]["endArrowhead"], "arrow");
    EXPECT_EQ(elements[5]["simulatePressure"], true);
    EXPECT_EQ(elements[6]["verticalAlign"], "top");
    EXPECT_EQ(elements[9]["type"], "unsupported");
}

TEST(ExcalidrawExport, StyleFieldsAreWrittenInDocumentWords)
{
    WhiteboardElement e = element(WhiteboardElementKind::rectangle, rectID);
    e.style = {"#123456",
               "#abcdef",
               3.5,
               0.25,
               2,
               WhiteboardStrokeStyle::dotted,
               WhiteboardFillStyle::crossHatch,
               3};
    e.excalidrawIndex = "b7";
    e.link = "https://example.com";
    e.isLocked = true;
    const json object = exportedElements({e})[0];
    EXPECT_EQ(object["backgroundColor"], "#abcdef");
    EXPECT_EQ(object["fillStyle"], "cross-hatch");
    EXPECT_EQ(object["strokeStyle"], "dotted");
    EXPECT_EQ(object["opacity"], 25.0);
    EXPECT_EQ(object["roundness"], (json{{"type", 3}}));
    EXPECT_EQ(object["index"], "b7");
    EXPECT_EQ(object["link"], "https://example.com");
    EXPECT_EQ(object["locked"], true);
}

TEST(ExcalidrawExport, IdentifierHashMatchesKnownValues)
{
    const Uuid zero;
    EXPECT_EQ(excalidrawIdentifierHash(zero, excalidrawSeedHashStart), 368127043);
    EXPECT_EQ(excalidrawIdentifierHash(zero, excalidrawNonceHashStart), 679508154);
    const Uuid sample = uuid("123E4567-E89B-12D3-A456-426614174000");
    EXPECT_EQ(excalidrawIdentifierHash(sample, excalidrawSeedHashStart), 116432998);
    EXPECT_EQ(excalidrawIdentifierHash(sample, excalidrawNonceHashStart), 7609227);
}

TEST(ExcalidrawExport, LineKeepsItsDirectionInThePoints)
{
    WhiteboardElement line = element(WhiteboardElementKind::line, arrowID);
    line.setFrame({5, 6, 120, -40});
    line.startBindingID = rectID;
    const json object = exportedElements({line})[0];
    EXPECT_EQ(object["points"], json::parse("[[0.0, 0.0], [120.0, -40.0]]"));
    EXPECT_EQ(object["height"], -40.0);
    EXPECT_EQ(object["startBinding"],
              (json{{"elementId", rectID.text()}, {"focus", 0}, {"gap", 1}}));
    EXPECT_EQ(object["endBinding"], nullptr);
    EXPECT_EQ(object["lastCommittedPoint"], nullptr);
}

TEST(ExcalidrawExport, FreedrawPointsAreRelativeAndSizeIsTheirExtent)
{
    WhiteboardElement stroke = element(WhiteboardElementKind::freedraw);
    stroke.points = {{10, 10}, {15, 20}, {5, 12}};
    WhiteboardElement empty = element(WhiteboardElementKind::freedraw);
    const json elements = exportedElements({stroke, empty});
    EXPECT_EQ(elements[0]["x"], 10.0);
    EXPECT_EQ(elements[0]["y"], 10.0);
    EXPECT_EQ(elements[0]["points"], json::parse("[[0.0, 0.0], [5.0, 10.0], [-5.0, 2.0]]"));
    EXPECT_EQ(elements[0]["width"], 10.0);
    EXPECT_EQ(elements[0]["height"], 10.0);
    EXPECT_EQ(elements[0]["pressures"], json::array());
    EXPECT_EQ(elements[1]["x"], 0.0);
    EXPECT_EQ(elements[1]["points"], json::array());
    EXPECT_EQ(elements[1]["width"], 0.0);
}

TEST(ExcalidrawExport, TextDefaultsAndStoredFontNumberWins)
{
    WhiteboardElement plain = element(WhiteboardElementKind::text);
    WhiteboardElement numbered = element(WhiteboardElementKind::text);
    numbered.fontFamilyID = 8;
    numbered.fontFamily = WhiteboardFontFamily::monospace;
    numbered.containerID = rectID;
    const json elements = exportedElements({plain, numbered});
    EXPECT_EQ(elements[0]["text"], "");
    EXPECT_EQ(elements[0]["originalText"], "");
    EXPECT_EQ(elements[0]["fontSize"], 24.0);
    EXPECT_EQ(elements[0]["textAlign"], "left");
    EXPECT_EQ(elements[0]["lineHeight"], 1.25);
    EXPECT_EQ(elements[0]["fontFamily"], 5);
    EXPECT_EQ(elements[0]["containerId"], nullptr);
    EXPECT_EQ(elements[1]["fontFamily"], 8);
    EXPECT_EQ(elements[1]["containerId"], rectID.text());
}

TEST(ExcalidrawExport, MarkerIsAnEllipseAndANumberInOneGroup)
{
    WhiteboardElement marker = element(WhiteboardElementKind::marker, rectID);
    marker.setFrame({0, 0, 30, -30});
    marker.markerNumber = 7;
    marker.style.strokeColor = "#FF0000";
    const json elements = exportedElements({marker});
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0]["type"], "ellipse");
    EXPECT_EQ(elements[0]["id"], rectID.text());
    EXPECT_EQ(elements[0]["backgroundColor"], "#FF0000");
    EXPECT_EQ(elements[0]["fillStyle"], "solid");
    EXPECT_EQ(elements[1]["type"], "text");
    EXPECT_EQ(elements[1]["text"], "7");
    EXPECT_EQ(elements[1]["strokeColor"], "#ffffff");
    EXPECT_EQ(elements[1]["fontSize"], 15.0);
    EXPECT_EQ(elements[1]["verticalAlign"], "middle");
    EXPECT_FALSE(elements[1].contains("containerId"));
    EXPECT_NE(elements[1]["id"], rectID.text());
    EXPECT_EQ(elements[0]["groupIds"].size(), 1u);
    EXPECT_EQ(elements[0]["groupIds"], elements[1]["groupIds"]);
}

TEST(ExcalidrawExport, BoundElementsListReferrersInBoardOrder)
{
    WhiteboardElement rect = element(WhiteboardElementKind::rectangle, rectID);
    WhiteboardElement arrow = element(WhiteboardElementKind::arrow, arrowID);
    arrow.startBindingID = rectID;
    arrow.endBindingID = rectID;
    WhiteboardElement label = element(WhiteboardElementKind::text, textID);
    label.containerID = rectID;
    const json elements = exportedElements({rect, arrow, label});
    EXPECT_EQ(elements[0]["boundElements"], json::parse(R"([
        {"id": "22222222-2222-4222-8222-222222222222", "type": "arrow"},
        {"id": "33333333-3333-4333-8333-333333333333", "type": "text"}])"));
    EXPECT_EQ(elements[1]["boundElements"], nullptr);
    EXPECT_EQ(excalidrawBoundElements(label, rect),
              (json{{"id", textID.text()}, {"type", "text"}}));
    EXPECT_EQ(excalidrawBoundElements(rect, label), std::nullopt);
}

TEST(ExcalidrawExport, PreservedForeignElementIsWrittenUnchanged)
{
    WhiteboardElement kept = element(WhiteboardElementKind::unsupported, rectID);
    kept.opaqueExcalidrawJSON = R"({"type":"image","x":1,"fileId":"abc"})";
    kept.setFrame({500, 500, 80, 90}); // moved on the board; the kept object wins
    WhiteboardElement broken = element(WhiteboardElementKind::unsupported, arrowID);
    broken.opaqueExcalidrawJSON = "[1, 2";
    const json elements = exportedElements({kept, broken});
    EXPECT_EQ(elements[0], json::parse(*kept.opaqueExcalidrawJSON));
    EXPECT_EQ(elements[1]["type"], "unsupported");
    EXPECT_EQ(elements[1]["id"], arrowID.text());
}

TEST(ExcalidrawExport, NonFiniteNumberFailsWithItsPlace)
{
    WhiteboardElement e = element(WhiteboardElementKind::rectangle);
    e.width = std::numeric_limits<double>::infinity();
    WhiteboardBoard board;
    board.elements.push_back(makeElement(e));
    FakeClock clock(now);
    const auto result = exportExcalidrawDocument(board, clock, countingRandom());
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind, ExcalidrawError::Kind::numberNotEncodable);
    EXPECT_EQ(message(result.error()),
              "The board holds a number that cannot be written (elements[0].width).");
}

TEST(ExcalidrawExport, WritesTheSameDocumentAnElementAtATime)
{
    WhiteboardBoard board;
    for (int i = 0; i < 30; ++i) {
        WhiteboardElement e =
            element(allWhiteboardElementKinds[i % allWhiteboardElementKinds.size()],
                    Uuid::generate(countingRandom()));
        e.points = {{1, 2}, {3.5, -4}};
        board.elements.push_back(makeElement(e));
    }
    FakeClock clock(now);
    const auto whole = exportExcalidrawDocument(board, clock, countingRandom());
    ASSERT_TRUE(whole);
    PieceTextSink sink;
    ASSERT_TRUE(writeExcalidrawDocument(sink, board, clock, countingRandom()));
    EXPECT_EQ(sink.whole(), *whole);
    EXPECT_EQ(sink.pauses(), 30);
    EXPECT_LT(sink.mostHeld(), whole->size() / 10);
}
