#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Change = WhiteboardEditorChange;

struct WhiteboardStyles : EditorFixture
{
    using EditorFixture::place;

    std::vector<Change> notices;
    ScopedConnection connection =
        model->changed.connect([this](Change change) { notices.push_back(change); });

    // Puts elements on the current board without an undo step and returns their ids.
    std::vector<Uuid> place(std::vector<WhiteboardElementKind> kinds)
    {
        std::vector<Uuid> ids;
        WhiteboardLibrary library = model->library();
        auto &elements = library.boards[model->currentBoardIndex()].elements;
        for (WhiteboardElementKind kind : kinds) {
            ids.push_back(model->makeIdentifier());
            WhiteboardElement element = rectangle(ids.back(), 0);
            element.kind = kind;
            elements.push_back(makeElement(std::move(element)));
        }
        model->setLibrary(std::move(library));
        return ids;
    }

    std::vector<Uuid> placeRectangles(std::size_t count)
    {
        return place(std::vector<WhiteboardElementKind>(count, WhiteboardElementKind::rectangle));
    }
};

// --- Colours -------------------------------------------------------------------------------

TEST_F(WhiteboardStyles, StrokeColourIsRoundedUpperCaseText)
{
    const auto ids = placeRectangles(2);
    model->setSelection({ids[0], ids[1]});
    // 0.5 × 255 = 127.5 rounds up; truncation would give 7F.
    setStrokeColor(*model, Color{1.0, 0.5, 0.2, 0.3});
    EXPECT_EQ(element(ids[0]).style.strokeColor, "#FF8033");
    EXPECT_EQ(element(ids[1]).style.strokeColor, "#FF8033");
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(WhiteboardStyles, TheSameColourAgainLeavesNoUndoStep)
{
    const auto ids = placeRectangles(1);
    model->setSelection({ids[0]});
    setStrokeColor(*model, Color{0, 0, 0, 1}); // the rectangle is already "#000000"
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

TEST_F(WhiteboardStyles, TransparentFillMakesFillAbsent)
{
    const auto ids = placeRectangles(2);
    model->setSelection({ids[0], ids[1]});
    setFillColor(*model, Color{0, 0, 1, 1});
    EXPECT_EQ(element(ids[1]).style.fillColor, "#0000FF");
    setFillColor(*model, std::nullopt);
    EXPECT_FALSE(element(ids[0]).style.fillColor);
    EXPECT_FALSE(element(ids[1]).style.fillColor);
    EXPECT_EQ(model->undoCount(), 2u);
}

// --- Guarded setters -----------------------------------------------------------------------

TEST_F(WhiteboardStyles, NothingSelectedPublishesTheNewDefault)
{
    const auto ids = placeRectangles(1);
    notices.clear();
    model->setLineWidth(8);
    setStrokeWidth(*model, 8);
    EXPECT_EQ(element(ids[0]).style.strokeWidth, 2);
    EXPECT_FALSE(model->canUndo());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices.front(), Change::defaults);
    EXPECT_EQ(effectiveStyle(*model).strokeWidth, 8);
    // The same value again is no change.
    model->setLineWidth(8);
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(WhiteboardStyles, ALockedElementRefusesEverySetterButKeepsTheDefault)
{
    const auto ids = placeRectangles(2);
    lock(ids[1]);
    model->setSelection({ids[0], ids[1]});
    model->setLineWidth(8);
    setStrokeWidth(*model, 8);
    setRoughness(*model, 3);
    setOpacity(*model, 0.5);
    setStrokeStyle(*model, WhiteboardStrokeStyle::dashed);
    setFillStyle(*model, WhiteboardFillStyle::hachure);
    toggleRoundedCorners(*model, true);
    applyFontFamily(*model, WhiteboardFontFamily::monospace);
    EXPECT_EQ(element(ids[0]).style, rectangle(ids[0], 0).style);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(model->lineWidth(), 8) << "the next new shape takes the width";
}

TEST_F(WhiteboardStyles, SettersWriteEverySelectedElementInOneStep)
{
    const auto ids = placeRectangles(3);
    model->setSelection({ids[0], ids[2]});
    setStrokeStyle(*model, WhiteboardStrokeStyle::dotted);
    setFillStyle(*model, WhiteboardFillStyle::crossHatch);
    setRoughness(*model, 1);
    EXPECT_EQ(element(ids[0]).style.strokeStyle, WhiteboardStrokeStyle::dotted);
    EXPECT_EQ(element(ids[2]).style.fillStyle, WhiteboardFillStyle::crossHatch);
    EXPECT_EQ(element(ids[2]).style.roughness, 1);
    EXPECT_FALSE(element(ids[1]).style.strokeStyle);
    EXPECT_EQ(model->undoCount(), 3u);
}

TEST_F(WhiteboardStyles, RoundedCornersToggleOnThenOff)
{
    const auto ids = placeRectangles(2);
    model->setSelection({ids[0], ids[1]});
    toggleRoundedCorners(*model, !effectiveStyle(*model).roundnessType);
    EXPECT_EQ(element(ids[1]).style.roundnessType, 3);
    toggleRoundedCorners(*model, !effectiveStyle(*model).roundnessType);
    EXPECT_FALSE(element(ids[0]).style.roundnessType);
    EXPECT_FALSE(element(ids[1]).style.roundnessType);
}

// --- Continuous changes --------------------------------------------------------------------

TEST_F(WhiteboardStyles, OneOpacityDragIsOneUndoStep)
{
    const auto ids = placeRectangles(1);
    model->setSelection({ids[0]});
    beginContinuousStyleChange(*model);
    for (double value : {0.9, 0.7, 0.5, 0.3}) {
        setOpacity(*model, value);
    }
    EXPECT_FALSE(model->canUndo()) << "no step while the slider moves";
    endContinuousStyleChange(*model);
    EXPECT_EQ(element(ids[0]).style.opacity, 0.3);
    EXPECT_EQ(model->undoCount(), 1u);
    model->undo();
    EXPECT_EQ(element(ids[0]).style.opacity, 1.0);
}

TEST_F(WhiteboardStyles, ADragBackToTheStartLeavesNoStep)
{
    const auto ids = placeRectangles(1);
    model->setSelection({ids[0]});
    beginContinuousStyleChange(*model);
    setOpacity(*model, 0.4);
    setOpacity(*model, 1.0);
    endContinuousStyleChange(*model);
    EXPECT_FALSE(model->canUndo());
}

// --- Text ----------------------------------------------------------------------------------

TEST_F(WhiteboardStyles, TextSizeIsClampedAndOnlyTextsChange)
{
    const auto ids = place({WhiteboardElementKind::rectangle, WhiteboardElementKind::text});
    model->setSelection({ids[0], ids[1]});
    setTextFontSize(*model, 200);
    EXPECT_EQ(model->textFontSize(), 144);
    EXPECT_EQ(element(ids[1]).fontSize, 144);
    EXPECT_FALSE(element(ids[0]).fontSize);
    setTextFontSize(*model, 4);
    EXPECT_EQ(element(ids[1]).fontSize, 8);
    EXPECT_EQ(model->undoCount(), 2u);
}

TEST_F(WhiteboardStyles, TextSizeRefitsLabelsIntoTheirContainers)
{
    WhiteboardElement box = shape(WhiteboardElementKind::rectangle, {0, 0, 100, 60});
    box.rotation = 0.3;
    const Uuid boxID = EditorFixture::place(box);
    const Uuid link = EditorFixture::place(shape(WhiteboardElementKind::arrow, {0, 0, 300, 0}));
    const auto texts = place(
        {WhiteboardElementKind::text, WhiteboardElementKind::text, WhiteboardElementKind::text});
    const RectF offCentre{30, 5, 50, 20};
    const std::optional<Uuid> containers[] = {boxID, link, model->makeIdentifier()};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        WhiteboardElement label = element(texts[i]);
        label.setFrame(offCentre);
        label.containerID = containers[i];
        label.rotation = 0.7;
        replace(label);
    }
    model->setSelection({texts.begin(), texts.end()});
    setTextFontSize(*model, 48);

    // Inside the shape inset by 12, from the label's present size; the shape's rotation.
    EXPECT_EQ(element(texts[0]).frame(), (RectF{12, 18, 76, 24}));
    EXPECT_DOUBLE_EQ(element(texts[0]).rotation, 0.3);
    // On the arrow: centred on its middle, at least 80 wide, upright.
    EXPECT_EQ(element(texts[1]).frame(), (RectF{110, -10, 80, 20}));
    EXPECT_EQ(element(texts[1]).rotation, 0);
    // A container the board lacks leaves the label where it was.
    EXPECT_EQ(element(texts[2]).frame(), offCentre);
    EXPECT_EQ(element(texts[2]).rotation, 0.7);
    EXPECT_EQ(element(texts[2]).fontSize, 48);
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(WhiteboardStyles, EffectiveTextSizeTakesOnlyTheFirstSelectedText)
{
    const auto ids = place({WhiteboardElementKind::text, WhiteboardElementKind::text});
    WhiteboardElement later = element(ids[1]);
    later.fontSize = 48;
    replace(later);
    model->setSelection({ids[0], ids[1]});
    EXPECT_EQ(effectiveTextFontSize(*model), 32);
    model->setSelection({ids[1]});
    EXPECT_EQ(effectiveTextFontSize(*model), 48);
}

TEST_F(WhiteboardStyles, FontFamilyWritesItsNumberAsOneStep)
{
    const auto ids = place({WhiteboardElementKind::text, WhiteboardElementKind::rectangle});
    model->setSelection({ids[0], ids[1]});
    applyFontFamily(*model, WhiteboardFontFamily::handDrawn);
    applyTextAlignment(*model, WhiteboardTextAlignment::right);
    EXPECT_EQ(element(ids[0]).fontFamily, WhiteboardFontFamily::handDrawn);
    EXPECT_EQ(element(ids[0]).fontFamilyID, 5);
    EXPECT_EQ(element(ids[0]).textAlignment, WhiteboardTextAlignment::right);
    EXPECT_FALSE(element(ids[1]).fontFamily);
    EXPECT_EQ(model->undoCount(), 2u);
    applyFontFamily(*model, WhiteboardFontFamily::handDrawn);
    EXPECT_EQ(model->undoCount(), 2u);
}

// --- Links ---------------------------------------------------------------------------------

TEST_F(WhiteboardStyles, EmptyLinkRemovesIt)
{
    const auto ids = placeRectangles(1);
    model->setSelection({ids[0]});
    setLink(*model, "https://example.com");
    EXPECT_EQ(element(ids[0]).link, "https://example.com");
    setLink(*model, "");
    EXPECT_FALSE(element(ids[0]).link);
    EXPECT_EQ(model->undoCount(), 2u);
}

// --- Board properties ----------------------------------------------------------------------

TEST_F(WhiteboardStyles, BackgroundCommandCyclesWhiteAndBlack)
{
    mutateCurrentBoard(
        *model, [](WhiteboardBoard &b) { b.background = WhiteboardBackground::withImage(1); });
    toggleBackground(*model);
    EXPECT_EQ(model->currentBoard().background.kind, WhiteboardBackground::Kind::white);
    toggleBackground(*model);
    EXPECT_EQ(model->currentBoard().background.kind, WhiteboardBackground::Kind::black);
    EXPECT_EQ(model->undoCount(), 2u);
}

TEST_F(WhiteboardStyles, GridTwiceIsTwoStepsBackToTheStart)
{
    const bool shown = model->currentBoard().showsGrid;
    toggleGrid(*model);
    EXPECT_NE(model->currentBoard().showsGrid, shown);
    toggleGrid(*model);
    EXPECT_EQ(model->currentBoard().showsGrid, shown);
    EXPECT_EQ(model->undoCount(), 2u);
}

// --- What the panel shows ------------------------------------------------------------------

TEST_F(WhiteboardStyles, EffectiveStyleIsTheLowestSelectedElement)
{
    const auto ids = placeRectangles(2);
    WhiteboardElement upper = element(ids[1]);
    upper.style.strokeWidth = 9;
    replace(upper);
    model->setSelection({ids[1], ids[0]});
    EXPECT_EQ(effectiveStyle(*model).strokeWidth, 2);
}

TEST_F(WhiteboardStyles, EffectiveStyleFallsBackToTheDefaults)
{
    model->setDrawingColor(Color{0.2, 0.4, 0.6, 1});
    model->setFillColor(Color{1, 1, 1, 1});
    model->setOpacity(0.25);
    const WhiteboardElementStyle style = effectiveStyle(*model);
    EXPECT_EQ(style.strokeColor, "#336699");
    EXPECT_EQ(style.fillColor, "#FFFFFF");
    EXPECT_EQ(style.strokeWidth, 4);
    EXPECT_EQ(style.roughness, 2);
    EXPECT_EQ(style.opacity, 0.25);
    EXPECT_FALSE(style.roundnessType);
}

TEST_F(WhiteboardStyles, EachStoredRoughnessKeepsItsOwnLook)
{
    EXPECT_EQ(elementRoughnessLevel(0), RoughnessLevel::none);
    EXPECT_EQ(elementRoughnessLevel(1), RoughnessLevel::low);
    EXPECT_EQ(elementRoughnessLevel(2), RoughnessLevel::medium);
    EXPECT_EQ(elementRoughnessLevel(3), RoughnessLevel::high);
    EXPECT_EQ(elementRoughnessLevel(7), RoughnessLevel::medium);
}

} // namespace
