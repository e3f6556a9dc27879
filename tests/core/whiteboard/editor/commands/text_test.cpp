#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"
#include "whiteboard/editor/commands/whiteboard_text.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Kind = WhiteboardElementKind;
using Align = WhiteboardTextAlignment;

struct Text : EditorFixture
{
    WhiteboardElement marker(std::int64_t number)
    {
        WhiteboardElement made = shape(Kind::marker, {0, 0, 30, 30});
        made.markerNumber = number;
        return made;
    }

    // A text typed earlier, already on the board.
    WhiteboardElement placedText(std::string text, double fontSize = 20)
    {
        WhiteboardElement made = shape(Kind::text, {10, 10, 100, 30});
        made.text = std::move(text);
        made.fontSize = fontSize;
        place(made);
        return made;
    }

    const WhiteboardElement &last() const { return *model->currentBoard().elements.back(); }

    std::size_t count() const { return model->currentBoard().elements.size(); }

    std::vector<std::optional<std::int64_t>> markerNumbers() const
    {
        std::vector<std::optional<std::int64_t>> numbers;
        for (const ElementPtr &e : model->currentBoard().elements) {
            numbers.push_back(e->markerNumber);
        }
        return numbers;
    }
};

// New texts

TEST_F(Text, NewTextTakesTheDefaultsAndBecomesTheSelection)
{
    model->setTextFontSize(48);
    model->setDrawingColor({0, 0, 1, 1});
    model->setFillColor(Color{1, 1, 0, 1});
    commitText(*model, "Hello", {40, 50}, std::nullopt, {120, -30}, Align::center, std::nullopt);
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().kind, Kind::text);
    EXPECT_EQ(last().text, "Hello");
    EXPECT_EQ(last().frame(), (RectF{40, 50, 120, 30})) << "the size is taken without sign";
    EXPECT_EQ(last().fontSize, 48);
    EXPECT_EQ(last().textAlignment, Align::center);
    EXPECT_EQ(last().style.strokeColor, "#0000FF");
    EXPECT_EQ(last().style.fillColor, "#FFFF00");
    EXPECT_FALSE(last().fontFamily);
    EXPECT_FALSE(last().lineHeight);
    EXPECT_EQ(model->selection(), WhiteboardSelection{last().id});
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(Text, BlankNewTextIsDropped)
{
    commitText(*model, " \n\t \r\n", {0, 0}, std::nullopt, {10, 10}, Align::left, std::nullopt);
    EXPECT_EQ(count(), 0u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Text, OuterBlankLinesAreTrimmedInnerOnesKept)
{
    commitText(*model,
               "\n\n  first\n\nsecond \xC2\xA0\n",
               {0, 0},
               std::nullopt,
               {10, 10},
               Align::left,
               std::nullopt);
    EXPECT_EQ(last().text, "first\n\nsecond");
}

TEST_F(Text, MeasuredCommitUsesTheFontSizeOfTheText)
{
    model->setTextFontSize(40);
    double measuredAt = 0;
    std::string measured;
    const WhiteboardTextMeasure measure = [&](std::string_view text, double size) {
        measured = text;
        measuredAt = size;
        return SizeF{size * static_cast<double>(text.size()), size};
    };
    commitText(*model, " ab ", {0, 0}, std::nullopt, measure, Align::left, std::nullopt);
    EXPECT_EQ(measured, "ab");
    EXPECT_EQ(measuredAt, 40);
    EXPECT_EQ(last().frame(), (RectF{0, 0, 80, 40}));
    const WhiteboardElement old = placedText("x", 12);
    commitText(*model, "abc", {0, 0}, old.id, measure, Align::left, std::nullopt);
    EXPECT_EQ(measuredAt, 12);
    EXPECT_EQ(last().frame(), (RectF{10, 10, 36, 12}));
}

// Editing texts

TEST_F(Text, EditingKeepsFontSizeStyleAndOriginAndSelection)
{
    model->setTextFontSize(100);
    const WhiteboardElement old = placedText("old");
    model->setSelection({});
    commitText(*model, "new ", {500, 500}, old.id, {80, 40}, Align::right, std::nullopt);
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().text, "new");
    EXPECT_EQ(last().fontSize, 20);
    EXPECT_EQ(last().frame(), (RectF{10, 10, 80, 40}));
    EXPECT_EQ(last().textAlignment, Align::right);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(Text, ASizeBeyondTheGeometryLimitIsKeptWithinIt)
{
    const WhiteboardElement old = placedText("old", 9e11);
    commitText(*model, "new", {0, 0}, old.id, {1e13, 1.44e12}, Align::left, std::nullopt);
    EXPECT_EQ(last().width, whiteboardGeometryLimit);
    EXPECT_EQ(last().height, whiteboardGeometryLimit);
    commitText(
        *model, "x", {0, 0}, std::nullopt, {std::nan(""), -1e300}, Align::left, std::nullopt);
    EXPECT_EQ(last().width, 0);
    EXPECT_EQ(last().height, whiteboardGeometryLimit);
    EXPECT_FALSE(geometryOutOfRange(last()));
}

TEST_F(Text, ClearingAnEditedTextRemovesItAsOneStep)
{
    const WhiteboardElement old = placedText("keep me");
    model->setSelection({old.id});
    commitText(*model, "  \n", {0, 0}, old.id, {10, 10}, Align::left, std::nullopt);
    EXPECT_EQ(count(), 0u);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_EQ(model->undoCount(), 1u);
    model->undo();
    ASSERT_EQ(count(), 1u);
    EXPECT_EQ(last().text, "keep me");
}

TEST_F(Text, EditOfAVanishedElementChangesNothing)
{
    commitText(*model, "x", {0, 0}, model->makeIdentifier(), {10, 10}, Align::left, std::nullopt);
    EXPECT_EQ(count(), 0u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Text, EditingWithoutAContainerClearsIt)
{
    const WhiteboardElement box = shape(Kind::rectangle, {0, 0, 200, 100});
    place(box);
    WhiteboardElement label = shape(Kind::text, {12, 35, 176, 30});
    label.text = "label";
    label.containerID = box.id;
    place(label);
    commitText(*model, "free", {0, 0}, label.id, {50, 20}, Align::left, std::nullopt);
    EXPECT_FALSE(last().containerID);
    EXPECT_EQ(last().frame(), (RectF{12, 35, 50, 20}));
}

// Labels

TEST_F(Text, NewLabelIsFittedIntoItsShape)
{
    const WhiteboardElement box = shape(Kind::rectangle, {0, 0, 200, 100});
    place(box);
    commitText(*model, "label", {90, 40}, std::nullopt, {50, 30}, Align::center, box.id);
    EXPECT_EQ(last().frame(), (RectF{12, 35, 176, 30}));
    EXPECT_EQ(last().containerID, box.id);
    EXPECT_EQ(last().rotation, 0);
}

TEST_F(Text, NewLabelTakesTheRotationOfItsShapeAsAnEditedOneDoes)
{
    WhiteboardElement box = shape(Kind::ellipse, {0, 0, 200, 100});
    box.rotation = std::numbers::pi / 6;
    place(box);
    commitText(*model, "new", {0, 0}, std::nullopt, {50, 30}, Align::center, box.id);
    EXPECT_DOUBLE_EQ(last().rotation, std::numbers::pi / 6);
    const WhiteboardElement plain = placedText("plain");
    commitText(*model, "edited", {0, 0}, plain.id, {50, 30}, Align::center, box.id);
    EXPECT_DOUBLE_EQ(last().rotation, std::numbers::pi / 6);
    EXPECT_EQ(last().frame(), (RectF{12, 35, 176, 30}));
}

TEST_F(Text, LabelOnAnArrowIsCentredClampedAndUpright)
{
    WhiteboardElement arrow = shape(Kind::arrow, {0, 0, 400, 100});
    arrow.rotation = 1;
    place(arrow);
    commitText(*model, "a", {0, 0}, std::nullopt, {20, 30}, Align::center, arrow.id);
    EXPECT_EQ(last().frame(), (RectF{160, 35, 80, 30}));
    EXPECT_EQ(last().rotation, 0);
    commitText(*model, "b", {0, 0}, std::nullopt, {500, 30}, Align::center, arrow.id);
    EXPECT_EQ(last().frame(), (RectF{90, 35, 220, 30}));
}

TEST_F(Text, LabelOfAMissingContainerStaysWhereTyped)
{
    const Uuid gone = model->makeIdentifier();
    commitText(*model, "x", {7, 8}, std::nullopt, {50, 30}, Align::left, gone);
    EXPECT_EQ(last().frame(), (RectF{7, 8, 50, 30}));
    EXPECT_EQ(last().containerID, gone);
}

TEST_F(Text, TextInContainerFindsTheFirstTextLabel)
{
    const WhiteboardElement box = shape(Kind::rectangle, {0, 0, 100, 100});
    place(box);
    WhiteboardElement notText = shape(Kind::rectangle, {0, 0, 10, 10});
    notText.containerID = box.id;
    place(notText);
    WhiteboardElement first = shape(Kind::text, {0, 0, 10, 10});
    first.containerID = box.id;
    WhiteboardElement second = first;
    second.id = model->makeIdentifier();
    place(first);
    place(second);
    const auto found = textInContainer(*model, box.id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->id, first.id);
    EXPECT_FALSE(textInContainer(*model, first.id));
}

// Markers

TEST_F(Text, HasMarkersLooksForTheKind)
{
    EXPECT_FALSE(hasMarkers(*model));
    WhiteboardElement numbered = shape(Kind::rectangle, {0, 0, 1, 1});
    numbered.markerNumber = 3;
    place(numbered);
    EXPECT_FALSE(hasMarkers(*model));
    addMarker(*model, {0, 0});
    EXPECT_TRUE(hasMarkers(*model));
}

TEST_F(Text, RenumberingFollowsTheStackingOrder)
{
    place(marker(1));
    place(shape(Kind::rectangle, {0, 0, 5, 5}));
    place(marker(4));
    place(marker(2));
    renumberMarkers(*model);
    EXPECT_EQ(markerNumbers(), (std::vector<std::optional<std::int64_t>>{1, std::nullopt, 2, 3}));
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(Text, RenumberingAnOrderedBoardRecordsNoStep)
{
    place(marker(1));
    place(marker(2));
    place(marker(3));
    renumberMarkers(*model);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Text, RenumberingTamesNumbersNearTheIntegerLimit)
{
    place(marker(std::numeric_limits<std::int64_t>::max()));
    place(marker(std::numeric_limits<std::int64_t>::max()));
    renumberMarkers(*model);
    EXPECT_EQ(markerNumbers(), (std::vector<std::optional<std::int64_t>>{1, 2}));
    addMarker(*model, {0, 0});
    EXPECT_EQ(last().markerNumber, 3);
}

} // namespace
