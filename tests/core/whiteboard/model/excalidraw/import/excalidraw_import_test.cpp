#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include "core/whiteboard/model/excalidraw/excalidraw_test_support.h"
#include "whiteboard/model/excalidraw/excalidraw_values.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_document_scanner.h"
#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"
#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"
#include "whiteboard/model/whiteboard_element_json.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <utility>

using namespace zentrel;
using nlohmann::json;

namespace {

ExcalidrawImportResult imported(const json &elements, const json &appState = nullptr)
{
    json document{{"type", "excalidraw"}, {"elements", elements}};
    if (!appState.is_null()) {
        document["appState"] = appState;
    }
    FakeClock clock(Timestamp{} + std::chrono::milliseconds(1000));
    auto result = importExcalidrawDocument(document.dump(), "Board", clock, countingRandom());
    EXPECT_TRUE(result.has_value());
    return result ? std::move(*result) : ExcalidrawImportResult{};
}

const WhiteboardElement &only(const ExcalidrawImportResult &result)
{
    EXPECT_EQ(result.board.elements.size(), 1u);
    return *result.board.elements.at(0);
}

WhiteboardElement single(const char *objectText)
{
    return only(imported(json::array({json::parse(objectText)})));
}

ExcalidrawError failure(std::string_view data)
{
    FakeClock clock;
    auto result = importExcalidrawDocument(data, "Board", clock, countingRandom());
    EXPECT_FALSE(result.has_value());
    return result ? ExcalidrawError{} : result.error();
}

} // namespace

TEST(ExcalidrawImport, UnreadableInputFailsCleanly)
{
    EXPECT_EQ(failure("{not json").kind, ExcalidrawError::Kind::notJson);
    // The parser refuses a literal that overflows, so it never becomes a number.
    EXPECT_EQ(failure(R"({"type":"excalidraw","elements":[{"x":1e999}]})").kind,
              ExcalidrawError::Kind::notJson);
    for (const char *text : {"[]",
                             R"({"type":"excalidraw"})",
                             R"({"type":"other","elements":[]})",
                             R"({"type":"excalidraw","elements":[1]})"}) {
        const ExcalidrawError error = failure(text);
        EXPECT_EQ(error.kind, ExcalidrawError::Kind::notExcalidraw) << text;
        EXPECT_EQ(message(error),
                  "The file couldn't be opened because it isn't in the correct format.");
    }
}

TEST(ExcalidrawImport, HostileInputIsBounded)
{
    const std::string deep = std::string(600, '[') + std::string(600, ']');
    EXPECT_EQ(failure(deep).kind, ExcalidrawError::Kind::nestedTooDeeply);
    const std::string fine = std::string(500, '[') + std::string(500, ']');
    EXPECT_TRUE(parseBoundedJson(fine).has_value());
    EXPECT_EQ(parseBoundedJson(std::string(2000, ' '), 1000).error().kind,
              ExcalidrawError::Kind::tooLarge);
    const std::string huge(excalidrawMaxDocumentBytes + 1, ' ');
    EXPECT_EQ(failure(huge).kind, ExcalidrawError::Kind::tooLarge);
}

// More than a board can open, paint and save within bounds is refused whole, saying which limit.
TEST(ExcalidrawImport, ContentPastItsLimitsIsRefusedWhole)
{
    const auto document = [](int elements, const std::string &points) {
        std::string text = R"({"type":"excalidraw","elements":[)";
        for (int i = 0; i < elements; ++i) {
            text +=
                (i == 0 ? "" : ",") + std::string(R"({"type":"line","points":[)") + points + "]}";
        }
        return text + "]}";
    };
    const ExcalidrawContentLimits limits{3, 5};
    const auto scan = [&limits](const std::string &text) {
        return scanExcalidrawDocument(
            text, excalidrawMaxDocumentBytes, excalidrawMaxNestingDepth, limits);
    };
    EXPECT_TRUE(scan(document(3, "[0,0]")));
    const auto elements = scan(document(4, ""));
    ASSERT_FALSE(elements);
    EXPECT_EQ(elements.error().kind, ExcalidrawError::Kind::tooManyElements);
    EXPECT_EQ(message(elements.error()),
              "The file couldn't be opened because it has more than 3 elements.");
    EXPECT_TRUE(scan(document(1, "[0,0],[1,1],[2,2],[3,3],[4,4]")));
    const auto points = scan(document(2, "[0,0],[1,1],[2,2]"));
    ASSERT_FALSE(points);
    EXPECT_EQ(points.error().kind, ExcalidrawError::Kind::tooManyPoints);

    std::string manyPoints = "[0,0]";
    for (std::size_t i = 0; i < ExcalidrawContentLimits{}.points; ++i) {
        manyPoints += ",[1,1]";
    }
    EXPECT_EQ(message(failure(document(1, manyPoints))),
              "The file couldn't be opened because its lines and strokes have more than "
              "2,000,000 points.");
}

TEST(ExcalidrawImport, EmptyDocumentGivesEmptyBoard)
{
    const ExcalidrawImportResult result = imported(json::array());
    EXPECT_TRUE(result.board.elements.empty());
    EXPECT_EQ(result.unsupportedElementCount, 0);
    EXPECT_EQ(result.board.name, "Board");
    EXPECT_EQ(result.board.background, WhiteboardBackground::white());
    EXPECT_FALSE(result.board.showsGrid);
    EXPECT_EQ(result.board.viewport, WhiteboardViewport{});
}

TEST(ExcalidrawImport, EveryTypeMapsToItsKind)
{
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "rectangle"}, {"type": "ellipse"}, {"type": "diamond"}, {"type": "line"},
        {"type": "arrow"}, {"type": "freedraw"}, {"type": "draw"}, {"type": "text"},
        {"type": "marker", "width": 10}, {"type": "image"}, {"x": 1}, {"type": 3},
        {"type": "rectangle", "isDeleted": true}])"));
    using K = WhiteboardElementKind;
    const std::vector<K> expected{K::rectangle,
                                  K::ellipse,
                                  K::diamond,
                                  K::line,
                                  K::arrow,
                                  K::freedraw,
                                  K::freedraw,
                                  K::text,
                                  K::unsupported,
                                  K::unsupported};
    ASSERT_EQ(result.board.elements.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.board.elements[i]->kind, expected[i]) << i;
    }
    EXPECT_EQ(result.unsupportedElementCount, 2);
}

TEST(ExcalidrawImport, PlaceholderKeepsItsObjectAndIsLocked)
{
    const json image = json::parse(R"({"type": "image", "id": "img", "x": 5, "width": 10})");
    const WhiteboardElement e = only(imported(json::array({image})));
    EXPECT_EQ(e.frame(), (RectF{5, 0, 40, 80}));
    EXPECT_TRUE(e.isLocked);
    EXPECT_EQ(e.style, excalidrawImportDefaultStyle());
    EXPECT_EQ(e.style.strokeWidth, 2);
    ASSERT_TRUE(e.opaqueExcalidrawJSON.has_value());
    EXPECT_EQ(json::parse(*e.opaqueExcalidrawJSON), image);
    EXPECT_FALSE(e.excalidrawSeed.has_value());
    EXPECT_FALSE(e.fontSize.has_value());
}

TEST(ExcalidrawImport, SupportedElementReadsEveryKey)
{
    const WhiteboardElement e = single(R"({
        "type": "text", "id": "123e4567-e89b-12d3-a456-426614174000", "x": 1, "y": 2,
        "width": -30, "height": 40, "angle": 0.5, "strokeColor": "#ABC", "backgroundColor": "Red",
        "strokeWidth": 4, "opacity": 50, "roughness": 2.9, "strokeStyle": "dashed",
        "fillStyle": "hachure", "roundness": {"type": 3}, "fontFamily": 3, "text": "Hi",
        "fontSize": 20, "textAlign": "center", "lineHeight": 1.5, "link": "https://x.org",
        "locked": true, "seed": 7, "version": 9, "versionNonce": -4, "index": "a5",
        "updated": 1700000000000})");
    EXPECT_EQ(e.id.text(), "123E4567-E89B-12D3-A456-426614174000");
    EXPECT_EQ(e.frame(), (RectF{1, 2, 30, 40}));
    EXPECT_EQ(e.rotation, 0.5);
    EXPECT_EQ(e.style,
              (WhiteboardElementStyle{"#ABC",
                                      "Red",
                                      4,
                                      0.5,
                                      2,
                                      WhiteboardStrokeStyle::dashed,
                                      WhiteboardFillStyle::hachure,
                                      3}));
    EXPECT_EQ(e.fontFamily, WhiteboardFontFamily::monospace);
    EXPECT_EQ(e.fontFamilyID, 3);
    EXPECT_EQ(e.text, "Hi");
    EXPECT_EQ(e.fontSize, 20);
    EXPECT_EQ(e.textAlignment, WhiteboardTextAlignment::center);
    EXPECT_EQ(e.lineHeight, 1.5);
    EXPECT_EQ(e.link, "https://x.org");
    EXPECT_TRUE(e.isLocked);
    EXPECT_EQ(e.excalidrawSeed, 7);
    EXPECT_EQ(e.excalidrawVersion, 9);
    EXPECT_EQ(e.excalidrawVersionNonce, -4);
    EXPECT_EQ(e.excalidrawIndex, "a5");
    EXPECT_EQ(e.excalidrawUpdated, 1700000000000);
}

TEST(ExcalidrawImport, MissingKeysGiveDefaults)
{
    const WhiteboardElement e = single(R"({"type": "rectangle", "roundness": {},
        "strokeStyle": "wavy", "fillStyle": "zigzag", "backgroundColor": "transparent",
        "fontFamily": 1})");
    EXPECT_EQ(e.style.strokeColor, "#1b1b1f");
    EXPECT_FALSE(e.style.fillColor.has_value());
    EXPECT_EQ(e.style.strokeWidth, 2);
    EXPECT_EQ(e.style.opacity, 1);
    EXPECT_EQ(e.style.roughness, 1);
    EXPECT_FALSE(e.style.strokeStyle.has_value());
    EXPECT_FALSE(e.style.fillStyle.has_value());
    EXPECT_EQ(e.style.roundnessType, 0);
    EXPECT_EQ(e.fontSize, 24);
    EXPECT_EQ(e.lineHeight, 1.25);
    EXPECT_EQ(e.fontFamilyID, 1);
    EXPECT_FALSE(e.fontFamily.has_value());
    EXPECT_EQ(e.textAlignment, WhiteboardTextAlignment::left);
    EXPECT_EQ(e.excalidrawVersion, 1);
    EXPECT_EQ(single(R"({"type": "ellipse"})").fontFamily, WhiteboardFontFamily::handDrawn);
    EXPECT_FALSE(single(R"({"type": "ellipse", "roundness": null})").style.roundnessType);
}

TEST(ExcalidrawValues, NumbersAreReadLeniently)
{
    const auto number = [](const json &value) {
        return excalidrawNumber(&value, -1);
    };
    EXPECT_EQ(number(50), 50);
    EXPECT_EQ(number("50"), 50);
    EXPECT_EQ(number("2.5e1"), 25);
    EXPECT_EQ(number("+5"), 5);
    EXPECT_EQ(number("-.5"), -0.5);
    EXPECT_EQ(number("0x10"), 16);
    for (const char *bad : {"",
                            " 50",
                            "\t5",
                            "5 ",
                            "5px",
                            "1,5",
                            "--5",
                            "1e999",
                            "-1e999",
                            "nan",
                            "inf",
                            "Infinity"}) {
        EXPECT_EQ(number(bad), -1) << bad;
    }
    EXPECT_EQ(number(true), -1);
    EXPECT_EQ(number(nullptr), -1);
    EXPECT_EQ(excalidrawNumber(nullptr, 3), 3);

    const auto integer = [](const json &value) {
        return excalidrawInteger(&value, -1);
    };
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(integer(-2.9), -2);
    EXPECT_EQ(integer("7.9"), 7);
    EXPECT_EQ(integer(1e300), max);
    EXPECT_EQ(integer(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(integer(std::uint64_t{18446744073709551615ull}), max);
    EXPECT_EQ(integer(9007199254740993), 9007199254740993); // exact beyond double precision
    EXPECT_EQ(integer("nan"), -1);
}

TEST(ExcalidrawImport, NonFiniteTextFallsBackToDefaults)
{
    const WhiteboardElement e = single(R"({"type": "text", "x": "1e999", "width": "inf",
        "opacity": "NaN", "fontSize": "-1e999", "seed": "1e999", "angle": "nan",
        "points": [["1e999", "inf"]]})");
    EXPECT_EQ(e.frame(), (RectF{0, 0, 0, 0}));
    EXPECT_EQ(e.style.opacity, 1);
    EXPECT_EQ(e.fontSize, 24);
    EXPECT_EQ(e.excalidrawSeed, 0);
    EXPECT_EQ(e.rotation, 0);
    EXPECT_EQ(e.points, (std::vector<WhiteboardPoint>{{0, 0}}));
    EXPECT_EQ(single(R"({"type": "ellipse", "opacity": " 50"})").style.opacity, 1);
    EXPECT_EQ(single(R"({"type": "ellipse", "opacity": "50"})").style.opacity, 0.5);
}

// Every value is finite as read, but the board could not hold it, or what import makes of it
// (points moved by the position, a line's frame from its ends) would overflow: one such element
// would make every later save fail, so the document is refused, naming the element.
TEST(ExcalidrawImport, GeometryBeyondTheBoardsRangeIsRefusedWithTheFormatMessage)
{
    const std::pair<const char *, const char *> cases[] = {
        {R"({"type": "line", "points": [[-1e308, 0], [1e308, 0]]})", "elements[0].x"},
        {R"({"type": "line", "points": [[-9e11, 0], [9e11, 0]]})", "elements[0].width"},
        {R"({"type": "arrow", "x": 9e11, "points": [[0, 0], [2e11, 0]]})", "elements[0].points[1]"},
        {R"({"type": "draw", "x": 9e11, "points": [[0, 0], [9e11, 0]]})", "elements[0].points[1]"},
        {R"({"type": "rectangle", "x": 1e308})", "elements[0].x"},
        {R"({"type": "rectangle", "y": "-2e12"})", "elements[0].y"},
        {R"({"type": "ellipse", "width": 1e300})", "elements[0].width"},
        {R"({"type": "diamond", "height": -1e300})", "elements[0].height"},
        {R"({"type": "rectangle", "angle": 1e300})", "elements[0].rotation"},
        {R"({"type": "line", "strokeWidth": 1e300})", "elements[0].strokeWidth"},
        {R"({"type": "text", "fontSize": 1e300})", "elements[0].fontSize"},
        {R"({"type": "text", "lineHeight": 1e300})", "elements[0].lineHeight"},
        {R"({"type": "image", "width": 1e300})", "elements[0].width"},
    };
    for (const auto &[element, where] : cases) {
        const std::string document =
            std::string(R"({"type": "excalidraw", "elements": [)") + element + "]}";
        const ExcalidrawError error = failure(document);
        EXPECT_EQ(error, (ExcalidrawError{ExcalidrawError::Kind::geometryOutOfRange, where}))
            << element;
    }
    const ExcalidrawError second = failure(R"({"type": "excalidraw", "elements": [
        {"type": "rectangle"}, {"type": "line", "isDeleted": true, "x": 1e300},
        {"type": "line", "points": [[-1e308, 0], [1e308, 0]]}]})");
    EXPECT_EQ(message(second),
              "The file couldn't be opened because it isn't in the correct "
              "format. (elements[2].x is out of range)");
}

TEST(ExcalidrawImport, GeometryAtTheEdgeOfTheRangeIsKeptAndStaysSaveable)
{
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "line", "x": -5e11, "points": [[0, 0], [1e12, 0]], "strokeWidth": 1e12},
        {"type": "rectangle", "x": 1e12, "y": -1e12, "width": 1e12, "height": 1e12},
        {"type": "text", "text": "big", "fontSize": 1e12, "lineHeight": 1e12, "angle": -1e12}])"));
    ASSERT_EQ(result.board.elements.size(), 3u);
    EXPECT_EQ(result.board.elements[0]->width, 1e12);
    for (const ElementPtr &element : result.board.elements) {
        EXPECT_TRUE(encodeWhiteboardElement(*element).has_value());
        EXPECT_TRUE(isFinite(element->bounds()));
    }
    FakeClock clock;
    EXPECT_TRUE(exportExcalidrawDocument(result.board, clock, countingRandom()).has_value());
}

TEST(ExcalidrawImport, GeometryOfShapesLinesAndStrokes)
{
    const WhiteboardElement rect = single(R"({"type": "rectangle", "x": 7, "width": -20})");
    EXPECT_EQ(rect.frame(), (RectF{7, 0, 20, 0}));
    const WhiteboardElement line =
        single(R"({"type": "line", "x": 100, "y": 50, "points": [[0, 0], [30, 40]]})");
    EXPECT_EQ(line.points, (std::vector<WhiteboardPoint>{{100, 50}, {130, 90}}));
    EXPECT_EQ(line.frame(), (RectF{100, 50, 30, 40}));
    // Excalidraw stores a positive box; the points say the arrow runs up and to the left.
    const WhiteboardElement arrow = single(R"({"type": "arrow", "x": 100, "y": 50,
        "width": 50, "height": 20, "points": [[0, 0], [-50, -20], [1]]})");
    EXPECT_EQ(arrow.frame(), (RectF{100, 50, -50, -20}));
    EXPECT_EQ(single(R"({"type": "line", "width": -20, "height": 5})").frame(),
              (RectF{0, 0, -20, 5}));
    const WhiteboardElement stroke = single(R"({"type": "draw", "x": 1, "y": 1,
        "width": -4, "points": [[0, 0], [2, 3]]})");
    EXPECT_EQ(stroke.points, (std::vector<WhiteboardPoint>{{1, 1}, {3, 4}}));
    EXPECT_EQ(stroke.width, 4);
    EXPECT_TRUE(single(R"({"type": "line", "points": [1, 2]})").points.empty());
}

TEST(ExcalidrawImport, IdentifiersGroupsAndReferencesResolve)
{
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "rectangle", "id": "box", "groupIds": ["g1", "g2"]},
        {"type": "rectangle", "id": "gone", "isDeleted": true},
        {"type": "image", "id": "pic"},
        {"type": "text", "id": "label", "containerId": "box", "groupIds": ["g1"]},
        {"type": "arrow", "id": "a", "startBinding": {"elementId": "gone"},
         "endBinding": {"elementId": "pic"}},
        {"type": "arrow", "startBinding": {"elementId": "nowhere"}, "endBinding": "box"}])"));
    const auto &elements = result.board.elements;
    ASSERT_EQ(elements.size(), 5u);
    EXPECT_EQ(elements[2]->containerID, elements[0]->id);
    EXPECT_EQ(elements[0]->groupIDs.size(), 2u);
    EXPECT_EQ(elements[2]->groupIDs, std::vector<Uuid>{elements[0]->groupIDs[0]});
    EXPECT_NE(elements[0]->groupIDs[0], elements[0]->groupIDs[1]);
    // The deleted element is gone, but its mapped id is still what the binding names.
    ASSERT_TRUE(elements[3]->startBindingID.has_value());
    for (const ElementPtr &e : elements) {
        EXPECT_NE(e->id, *elements[3]->startBindingID);
    }
    // A placeholder keeps its mapped id, so a binding to it still finds it.
    EXPECT_EQ(elements[3]->endBindingID, elements[1]->id);
    EXPECT_FALSE(elements[4]->startBindingID.has_value());
    EXPECT_FALSE(elements[4]->endBindingID.has_value());
}

TEST(ExcalidrawImport, LabelsOfLinesAndArrowsAreCentredOnThemWhateverTheyStore)
{
    // Labels come before their containers, as documents may order them; the second arrow runs
    // right to left and up, in its points.
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "text", "containerId": "a", "x": 0, "y": 0, "width": 300, "height": 20},
        {"type": "text", "containerId": "l", "x": 5, "y": 5, "width": 30, "height": 10},
        {"type": "text", "containerId": "box", "x": 7, "y": 8, "width": 30, "height": 10},
        {"type": "arrow", "id": "a", "x": 1000, "y": 500, "points": [[0, 0], [-200, -100]]},
        {"type": "line", "id": "l", "x": 10, "y": 10, "points": [[0, 0], [40, 0], [40, 40]]},
        {"type": "rectangle", "id": "box", "x": 100, "y": 100, "width": 50, "height": 50}])"));
    const auto &elements = result.board.elements;
    ASSERT_EQ(elements.size(), 6u);
    EXPECT_EQ(elements[0]->frame(), (RectF{750, 440, 300, 20})); // size kept, past 220
    EXPECT_EQ(elements[1]->frame(), (RectF{15, 25, 30, 10}));
    EXPECT_EQ(elements[2]->frame(), (RectF{7, 8, 30, 10})); // shapes' labels are left alone
    EXPECT_FALSE(isExcalidrawEdited(*elements[0]));
}

TEST(ExcalidrawImport, RepeatedIdsKeepTheFirstAndFreshenTheRest)
{
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "rectangle", "id": "same", "x": 1},
        {"type": "ellipse", "id": "same", "x": 2},
        {"type": "image", "id": "same"},
        {"type": "text", "containerId": "same"},
        {"type": "ellipse", "id": "AAAAAAAA-0000-4000-8000-000000000000"},
        {"type": "ellipse", "id": "aaaaaaaa-0000-4000-8000-000000000000"}])"));
    const auto &elements = result.board.elements;
    ASSERT_EQ(elements.size(), 6u);
    EXPECT_EQ(elements[3]->containerID, elements[0]->id);
    EXPECT_NE(elements[1]->id, elements[0]->id);
    EXPECT_NE(elements[2]->id, elements[0]->id);
    EXPECT_NE(elements[2]->id, elements[1]->id);
    EXPECT_EQ(elements[4]->id.text(), "AAAAAAAA-0000-4000-8000-000000000000");
    EXPECT_NE(elements[5]->id, elements[4]->id);
}

TEST(ExcalidrawImport, AppStateGivesBackgroundAndGrid)
{
    const auto board = [](const char *appState) {
        return imported(json::array(), json::parse(appState)).board;
    };
    const WhiteboardBoard black = board(R"({"viewBackgroundColor": "#000000", "gridSize": null})");
    EXPECT_EQ(black.background, WhiteboardBackground::black());
    EXPECT_FALSE(black.showsGrid);
    EXPECT_EQ(board(R"({"viewBackgroundColor": "#000000"})").background,
              WhiteboardBackground::black());
    EXPECT_TRUE(board(R"({"gridSize": 0})").showsGrid);
    EXPECT_FALSE(board(R"({"gridSize": "20"})").showsGrid);
    // Any dark colour in any spelling is dark, so white ink stays readable on it.
    for (const char *dark : {"#121212", "#0000", "#000", "#1E1E1EFF", "rgb(20, 20, 30)", "Black"}) {
        SCOPED_TRACE(dark);
        EXPECT_EQ(
            board(("{\"viewBackgroundColor\": \"" + std::string(dark) + "\"}").c_str()).background,
            WhiteboardBackground::black());
    }
    for (const char *light :
         {"#ffffff", "#FFF", "#ffc9c9", "rgba(255, 255, 255, 0)", "#12", "transparent"}) {
        SCOPED_TRACE(light);
        EXPECT_EQ(
            board(("{\"viewBackgroundColor\": \"" + std::string(light) + "\"}").c_str()).background,
            WhiteboardBackground::white());
    }
    EXPECT_EQ(board("[]").background, WhiteboardBackground::white());
}

namespace {

ExcalidrawImportResult importedText(const std::string &data)
{
    FakeClock clock;
    auto result = importExcalidrawDocument(data, "Board", clock, countingRandom());
    EXPECT_TRUE(result.has_value());
    return result ? std::move(*result) : ExcalidrawImportResult{};
}

} // namespace

TEST(ExcalidrawImport, LaterDuplicateKeysWin)
{
    const WhiteboardElement e = only(importedText(R"({"type": "excalidraw", "elements": [
        {"type": "rectangle", "x": 1, "x": 2, "groupIds": ["a"], "groupIds": [],
         "roundness": {"type": 2}, "roundness": null, "strokeColor": "#111",
         "strokeColor": {"a": 1}, "opacity": 10, "opacity": "20", "id": "a", "id": 5,
         "link": 3, "link": "later"}]})"));
    EXPECT_EQ(e.x, 2);
    EXPECT_EQ(e.link, "later");
    EXPECT_TRUE(e.groupIDs.empty());
    EXPECT_FALSE(e.style.roundnessType.has_value());
    EXPECT_EQ(e.style.strokeColor, "#1b1b1f");
    EXPECT_EQ(e.style.opacity, 0.2);

    const ExcalidrawImportResult result = importedText(R"({"type": "other",
        "elements": [{"type": "ellipse"}], "appState": {"gridSize": 1}, "type": "excalidraw",
        "elements": [{"type": "diamond"}, {"type": "text"}], "appState": {"x": 1}})");
    ASSERT_EQ(result.board.elements.size(), 2u);
    EXPECT_EQ(result.board.elements[0]->kind, WhiteboardElementKind::diamond);
    EXPECT_FALSE(result.board.showsGrid);
    EXPECT_EQ(failure(R"({"type": "excalidraw", "elements": [], "elements": {}})").kind,
              ExcalidrawError::Kind::notExcalidraw);
    EXPECT_EQ(failure(R"({"type": "excalidraw", "type": ["excalidraw"], "elements": []})").kind,
              ExcalidrawError::Kind::notExcalidraw);
}

TEST(ExcalidrawImport, NothingOfOneElementCarriesOverToTheNext)
{
    const ExcalidrawImportResult result = importedText(R"({"type": "excalidraw", "elements": [
        {"type": "text", "id": "first", "text": "Hello", "link": "https://a.example",
         "strokeColor": "#123456", "index": "a5", "x": 3},
        {"type": "text"}]})");
    ASSERT_EQ(result.board.elements.size(), 2u);
    const WhiteboardElement &second = *result.board.elements[1];
    EXPECT_FALSE(second.text.has_value());
    EXPECT_FALSE(second.link.has_value());
    EXPECT_FALSE(second.excalidrawIndex.has_value());
    EXPECT_EQ(second.style.strokeColor, "#1b1b1f");
    EXPECT_EQ(second.x, 0);
    EXPECT_NE(second.id, result.board.elements[0]->id);
}

TEST(ExcalidrawImport, ContainersWhereValuesBelongReadAsMissing)
{
    const ExcalidrawImportResult result = imported(json::parse(R"([
        {"type": "rectangle", "id": "box", "x": 4},
        {"type": "text", "id": ["box"], "x": [1], "text": {"a": "b"}, "locked": [true],
         "fontSize": {"v": 3}, "startBinding": [{"elementId": "box"}],
         "containerId": {"id": "box"}, "points": {"0": [1, 2]}, "groupIds": {"g": 1},
         "roundness": [1], "isDeleted": [true], "link": ["x"]},
        {"type": {"name": "rectangle"}, "id": "ignored"},
        {"type": "arrow", "startBinding": {"elementId": "box", "elementId": 5},
         "endBinding": {"focus": {"elementId": "nowhere"}, "elementId": "box"},
         "groupIds": ["g", ["h"], {"g": 1}, 7, "g"]}])"));
    const auto &elements = result.board.elements;
    ASSERT_EQ(elements.size(), 3u);
    const WhiteboardElement &text = *elements[1];
    EXPECT_NE(text.id, elements[0]->id);
    EXPECT_EQ(text.x, 0);
    EXPECT_FALSE(text.text.has_value());
    EXPECT_FALSE(text.isLocked);
    EXPECT_EQ(text.fontSize, 24);
    EXPECT_FALSE(text.startBindingID.has_value());
    EXPECT_FALSE(text.containerID.has_value());
    EXPECT_TRUE(text.points.empty());
    EXPECT_TRUE(text.groupIDs.empty());
    EXPECT_FALSE(text.style.roundnessType.has_value());
    EXPECT_FALSE(text.link.has_value());
    const WhiteboardElement &arrow = *elements[2];
    EXPECT_FALSE(arrow.startBindingID.has_value());
    EXPECT_EQ(arrow.endBindingID, elements[0]->id);
    ASSERT_EQ(arrow.groupIDs.size(), 2u);
    EXPECT_EQ(arrow.groupIDs[0], arrow.groupIDs[1]);
}

TEST(ExcalidrawImport, PointEntriesReadOnlyTheirFirstTwoValues)
{
    const WhiteboardElement stroke = single(R"({"type": "freedraw", "x": 10, "y": 20,
        "points": [[1, [2]], [{"x": 1}, "3", 9], [[], []], "bad", [4], null, [5, 6, [7]]]})");
    EXPECT_EQ(stroke.points,
              (std::vector<WhiteboardPoint>{{11, 20}, {10, 23}, {10, 20}, {15, 26}}));
}

TEST(ExcalidrawImport, PlaceholderKeepsItsObjectWhateverItHolds)
{
    const std::string image = R"({"type" : "image", "crop": {"x": 1, "y": [1, {"z": 2}]},
        "fileId": "a\"b\u00e9}", "scale": [1,-1], "w": 1e2, "n": null})";
    const ExcalidrawImportResult result =
        importedText(R"({"elements": [ {"type": "rectangle", "points": [[1,2]]} ,)" + image
                     + "\n, {\"type\": \"frame\",\"x\":5}], \"type\": \"excalidraw\"}");
    const auto &elements = result.board.elements;
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(result.unsupportedElementCount, 2);
    EXPECT_EQ(elements[1]->opaqueExcalidrawJSON, json::parse(image).dump());
    EXPECT_EQ(elements[2]->opaqueExcalidrawJSON, R"({"type":"frame","x":5})");
    EXPECT_EQ(elements[2]->frame(), (RectF{5, 0, 120, 80}));
}

TEST(ExcalidrawImport, ErrorsAnywhereInTheDocumentFailIt)
{
    EXPECT_EQ(failure(R"({"type": "excalidraw", "elements": [{"type": "image"}, {)").kind,
              ExcalidrawError::Kind::notJson);
    const std::string deep = R"({"type": "excalidraw", "elements": [{"type": "image", "x": )"
                             + std::string(600, '[') + std::string(600, ']') + "}]}";
    EXPECT_EQ(failure(deep).kind, ExcalidrawError::Kind::nestedTooDeeply);
    const std::string fine = R"({"type": "excalidraw", "elements": [{"type": "image", "x": )"
                             + std::string(500, '[') + std::string(500, ']') + "}]}";
    EXPECT_EQ(importedText(fine).unsupportedElementCount, 1);
    EXPECT_EQ(failure(R"({"type": "excalidraw", "elements": [{}, 5]})").kind,
              ExcalidrawError::Kind::notExcalidraw);
    EXPECT_EQ(failure(R"([{"type": "excalidraw", "elements": []}])").kind,
              ExcalidrawError::Kind::notExcalidraw);
    EXPECT_EQ(failure(R"({"appState": {"type": "excalidraw", "elements": []}})").kind,
              ExcalidrawError::Kind::notExcalidraw);
    const ExcalidrawError error = failure(R"({"type": "excalidraw", "elements": [1, }])");
    EXPECT_EQ(
        error,
        importExcalidrawDocument(R"({"type": "excalidraw", "elements": [1, }])", "Other").error());
    EXPECT_EQ(error.detail,
              "[json.exception.parse_error.101] parse error at line 1, column 40: syntax error "
              "while parsing value - unexpected '}'; expected '[', '{', or a literal");
}
