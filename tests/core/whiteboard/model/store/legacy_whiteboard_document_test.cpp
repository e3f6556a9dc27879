#include "whiteboard/model/store/legacy_whiteboard_document.h"

#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

json documentWith(json annotations)
{
    return {{"version", 1}, {"background", "black"}, {"annotations", std::move(annotations)}};
}

json point(double x, double y)
{
    return {{"x", x}, {"y", y}};
}

json stroke(const char *tool, json points)
{
    return {
        {"type", "stroke"},
        {"stroke",
         {{"tool", tool}, {"points", std::move(points)}, {"color", "#abcdef"}, {"lineWidth", 4}}}};
}

class LegacyMigrationTest : public testing::Test
{
protected:
    WhiteboardBoard migrate(const json &document)
    {
        auto decoded = decodeWhiteboardDocument(document);
        EXPECT_TRUE(decoded) << message(decoded.error());
        auto board = migratedLegacyBoard(*decoded, clock, random, {});
        EXPECT_TRUE(board) << message(board.error());
        return *board;
    }

    FakeClock clock{*parseIsoDate("2026-01-01T00:00:00Z")};
    UuidRandomSource random = countingRandom();
};

TEST_F(LegacyMigrationTest, MissingViewportAndGridGiveDefaults)
{
    WhiteboardBoard board = migrate(documentWith(json::array()));
    EXPECT_EQ(board.name, "Migrated Board");
    EXPECT_EQ(board.viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_TRUE(board.showsGrid);
    EXPECT_EQ(board.background, WhiteboardBackground::black());
    EXPECT_EQ(board.createdAt, clock.now());

    json document = documentWith(json::array());
    document["showsGrid"] = false;
    document["background"] = nullptr;
    document["viewport"] = {{"scale", 2}, {"translation", point(3, 4)}};
    board = migrate(document);
    EXPECT_FALSE(board.showsGrid);
    EXPECT_EQ(board.viewport, (WhiteboardViewport{2, {3, 4}}));
}

TEST_F(LegacyMigrationTest, BadDocumentsFailWhole)
{
    json misplaced = documentWith({{{"type", "stroke"}, {"marker", json::object()}}});
    EXPECT_FALSE(decodeWhiteboardDocument(misplaced));
    EXPECT_FALSE(decodeWhiteboardDocument(documentWith({{{"type", "ellipse"}}})));
    EXPECT_FALSE(decodeWhiteboardDocument(documentWith({stroke("pen", json::array())})));
    json noBackground = documentWith(json::array());
    noBackground.erase("background");
    EXPECT_FALSE(decodeWhiteboardDocument(noBackground));
    json infinite = documentWith(json::array());
    infinite["viewport"] = {{"scale", std::numeric_limits<double>::infinity()},
                            {"translation", point(0, 0)}};
    EXPECT_FALSE(decodeWhiteboardDocument(infinite));
}

TEST_F(LegacyMigrationTest, MarkerBecomesThirtyPointBadge)
{
    json marker = {{"type", "marker"},
                   {"marker", {{"point", point(40, 40)}, {"number", 3}, {"color", "#00ff00"}}}};
    WhiteboardBoard board = migrate(documentWith({marker}));
    const WhiteboardElement &element = *board.elements.at(0);
    EXPECT_EQ(element.kind, WhiteboardElementKind::marker);
    EXPECT_EQ(element.frame(), (RectF{25, 25, 30, 30}));
    EXPECT_EQ(element.markerNumber, 3);
    EXPECT_EQ(element.style.strokeColor, "#00FF00");
    EXPECT_EQ(element.style.fillColor, "#00FF00");
    EXPECT_EQ(element.style.strokeWidth, 2);
    EXPECT_EQ(element.style.roughness, 1);
}

TEST_F(LegacyMigrationTest, ArrowsAndLinesKeepTheirDirection)
{
    WhiteboardBoard board =
        migrate(documentWith({stroke("arrow", {point(10, 10), point(5, 20), point(0, 0)}),
                              {{"type", "line"},
                               {"line",
                                {{"start", point(100, 100)},
                                 {"end", point(50, 150)},
                                 {"color", "#000000"},
                                 {"lineWidth", 2}}}}}));
    const WhiteboardElement &arrow = *board.elements.at(0);
    EXPECT_EQ(arrow.kind, WhiteboardElementKind::arrow);
    EXPECT_EQ(arrow.frame(), (RectF{10, 10, -10, -10}));
    EXPECT_TRUE(arrow.points.empty());
    EXPECT_EQ(arrow.style.strokeWidth, 4);
    const WhiteboardElement &line = *board.elements.at(1);
    EXPECT_EQ(line.kind, WhiteboardElementKind::line);
    EXPECT_EQ(line.frame(), (RectF{100, 100, -50, 50}));
    // The segment runs from (x, y) to (x + width, y + height): up and to the left here.
    EXPECT_EQ(line.x + line.width, 50);
    EXPECT_EQ(line.y + line.height, 150);
}

TEST_F(LegacyMigrationTest, FreehandKeepsPointsAndShapesAreNormalised)
{
    WhiteboardBoard board =
        migrate(documentWith({stroke("freehand", {point(10, 10), point(50, 90), point(0, 0)}),
                              stroke("rectangle", {point(30, 40), point(10, 0)}),
                              stroke("eraser", json::array())}));
    const WhiteboardElement &freehand = *board.elements.at(0);
    EXPECT_EQ(freehand.kind, WhiteboardElementKind::freedraw);
    EXPECT_EQ(freehand.frame(), (RectF{0, 0, 10, 10}));
    EXPECT_EQ(freehand.points.size(), 3u);
    EXPECT_EQ(freehand.style.strokeColor, "#ABCDEF");
    EXPECT_EQ(board.elements.at(1)->frame(), (RectF{10, 0, 20, 40}));
    EXPECT_EQ(board.elements.at(2)->kind, WhiteboardElementKind::freedraw);
    EXPECT_EQ(board.elements.at(2)->frame(), (RectF{0, 0, 0, 0}));
}

TEST_F(LegacyMigrationTest, BadColoursFallBackAndTextIsMeasured)
{
    json text = {
        {"type", "text"},
        {"text", {{"point", point(5, 6)}, {"text", "ab\nc"}, {"color", "blue"}, {"fontSize", 20}}}};
    json diamond = {{"type", "diamond"},
                    {"diamond",
                     {{"rect", {{"origin", point(1, 2)}, {"size", {{"width", -8}, {"height", 6}}}}},
                      {"color", "#12345"},
                      {"lineWidth", 3}}}};
    auto document = *decodeWhiteboardDocument(documentWith({text, diamond}));
    auto measure = [](const std::string &, double fontSize) {
        return SizeF{fontSize, 7};
    };
    WhiteboardBoard board = *migratedLegacyBoard(document, clock, random, measure);
    const WhiteboardElement &label = *board.elements.at(0);
    EXPECT_EQ(label.kind, WhiteboardElementKind::text);
    EXPECT_EQ(label.frame(), (RectF{5, 6, 20, 7}));
    EXPECT_EQ(label.text, "ab\nc");
    EXPECT_EQ(label.fontSize, 20);
    EXPECT_EQ(label.style.strokeColor, hexString(legacyFallbackTextColor));
    const WhiteboardElement &shape = *board.elements.at(1);
    EXPECT_EQ(shape.frame(), (RectF{1, 2, 8, 6}));
    EXPECT_EQ(shape.style.strokeColor, hexString(legacyFallbackColor));
    EXPECT_EQ(estimatedTextSize("ab\nc", 20).height, 50);
}

TEST_F(LegacyMigrationTest, OverflowingFramesAreRefused)
{
    const double huge = std::numeric_limits<double>::max();
    auto document = *decodeWhiteboardDocument(
        documentWith({stroke("line", {point(-huge, 0), point(huge, 0)})}));
    auto board = migratedLegacyBoard(document, clock, random, {});
    ASSERT_FALSE(board);
    EXPECT_EQ(board.error().path.rfind("annotations[0]", 0), 0u);
    auto measured = migratedLegacyBoard(
        *decodeWhiteboardDocument(documentWith(
            {{{"type", "text"},
              {"text",
               {{"point", point(0, 0)}, {"text", "x"}, {"color", "#000000"}, {"fontSize", 12}}}}})),
        clock,
        random,
        [](const std::string &, double) {
            return SizeF{NAN, 1};
        });
    EXPECT_FALSE(measured);
}

} // namespace
