#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Ids = WhiteboardSelection;

struct Selection : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();
    int publishedSelections = 0;
    ScopedConnection connection = model->changed.connect([this](WhiteboardEditorChange change) {
        publishedSelections += touches(change, WhiteboardEditorChange::selection);
    });

    Uuid newID() { return model->makeIdentifier(); }

    // Puts the elements on the current board as a plain write, as a loaded file would.
    void setElements(const std::vector<WhiteboardElement> &elements, double scale = 1)
    {
        WhiteboardLibrary library = model->library();
        WhiteboardBoard &board = library.boards[model->currentBoardIndex()];
        board.elements.clear();
        for (const WhiteboardElement &element : elements) {
            board.elements.push_back(makeElement(element));
        }
        board.viewport.scale = scale;
        model->setLibrary(std::move(library));
    }
};

WhiteboardElement box(const Uuid &id, RectF frame)
{
    WhiteboardElement element = rectangle(id, 0);
    element.setFrame(frame);
    return element;
}

WhiteboardElement label(const Uuid &id, const Uuid &container)
{
    WhiteboardElement element = box(id, {5, 5, 10, 10});
    element.kind = WhiteboardElementKind::text;
    element.text = "label";
    element.containerID = container;
    return element;
}

WhiteboardElement grouped(WhiteboardElement element, std::vector<Uuid> groups)
{
    element.groupIDs = std::move(groups);
    return element;
}

// --- Hit testing ---

TEST_F(Selection, TopmostOfOverlappingElementsIsHit)
{
    const Uuid below = newID(), above = newID();
    setElements({box(below, {0, 0, 100, 100}), box(above, {50, 50, 100, 100})});
    EXPECT_EQ(elementAtPoint(*model, {75, 75}), above);
    EXPECT_EQ(elementAtPoint(*model, {10, 10}), below);
    EXPECT_EQ(elementAtPoint(*model, {500, 500}), std::nullopt);
}

TEST_F(Selection, ToleranceIsTenViewPointsAtAnyZoom)
{
    const Uuid id = newID();
    setElements({box(id, {0, 0, 100, 100})}, 0.5);
    EXPECT_EQ(elementAtPoint(*model, {119, 50}), id); // 20 scene units at scale 0.5
    setElements({box(id, {0, 0, 100, 100})}, 2);
    EXPECT_EQ(elementAtPoint(*model, {106, 50}), std::nullopt); // 5 scene units at scale 2
    EXPECT_EQ(elementAtPoint(*model, {104, 50}), id);
}

TEST_F(Selection, DamagedScaleHitsWithTheToleranceOfScaleOne)
{
    const Uuid id = newID();
    for (double scale : {0.0, -2.0, std::nan("")}) {
        setElements({box(id, {0, 0, 100, 100})}, scale);
        EXPECT_EQ(elementAtPoint(*model, {109, 50}), id) << scale;
        EXPECT_EQ(elementAtPoint(*model, {111, 50}), std::nullopt) << scale;
    }
}

TEST_F(Selection, LockedElementsAndPlaceholdersAreHitAndSelectable)
{
    const Uuid locked = newID(), placeholder = newID();
    WhiteboardElement lockedBox = box(locked, {0, 0, 50, 50});
    lockedBox.isLocked = true;
    WhiteboardElement unknown = box(placeholder, {200, 0, 50, 50});
    unknown.kind = WhiteboardElementKind::unsupported;
    setElements({lockedBox, unknown});
    EXPECT_EQ(elementAtPoint(*model, {25, 25}), locked);
    EXPECT_EQ(elementAtPoint(*model, {225, 25}), placeholder);
    selectElement(*model, elementAtPoint(*model, {25, 25}), false);
    EXPECT_EQ(model->selection(), (Ids{locked}));
}

TEST_F(Selection, QuickRejectionNeverDropsARealHit)
{
    // Every kind, flat, rotated and stroked, probed on a grid around it: the board scan must
    // agree with the element's own exact test.
    int hits = 0;
    for (WhiteboardElementKind kind : allWhiteboardElementKinds) {
        for (double rotation : {0.0, 0.7, 2.5}) {
            for (RectF frame : {RectF{0, 0, 60, 30}, RectF{60, 30, -60, -30}, RectF{0, 0, 0, 40}}) {
                WhiteboardElement element = box(newID(), frame);
                element.kind = kind;
                element.rotation = rotation;
                element.style.strokeWidth = 6;
                if (kind == WhiteboardElementKind::freedraw) {
                    element.points = {{0, 0}, {30, 40}, {70, 10}};
                }
                // A polyline bends well outside the segment between its ends.
                if (isSegmentKind(kind)) {
                    element.points = {{frame.x, frame.y},
                                      {30, 70},
                                      {-20, 50},
                                      {frame.x + frame.width, frame.y + frame.height}};
                }
                setElements({element}, 0.7);
                const double tolerance = whiteboardHitTolerance / 0.7;
                for (double x = -60; x <= 130; x += 2.5) {
                    for (double y = -60; y <= 100; y += 2.5) {
                        const bool exact = element.hitTest({x, y}, tolerance);
                        hits += exact;
                        ASSERT_EQ(elementAtPoint(*model, {x, y}).has_value(), exact)
                            << static_cast<int>(kind) << " " << rotation << " " << x << "," << y;
                    }
                }
            }
        }
    }
    EXPECT_GT(hits, 1000);
}

TEST_F(Selection, EmptyBoardHasNoHitNoBoundsAndNoElement)
{
    EXPECT_EQ(elementAtPoint(*model, {0, 0}), std::nullopt);
    EXPECT_EQ(elementWithID(*model, newID()), nullptr);
    model->setSelection({newID()});
    EXPECT_EQ(selectionBounds(*model), std::nullopt);
}

TEST_F(Selection, ElementWithIDFindsTheFirstInBoardOrder)
{
    const Uuid id = newID();
    setElements({box(id, {1, 0, 10, 10}), box(id, {2, 0, 10, 10})});
    ASSERT_NE(elementWithID(*model, id), nullptr);
    EXPECT_EQ(elementWithID(*model, id)->x, 1);
}

// --- Hit testing after changes: the flat index of a board is never stale ---

TEST_F(Selection, HitsAndMarqueesFollowAMovedElementAndItsUndo)
{
    const Uuid id = newID();
    setElements({box(id, {0, 0, 50, 50})});
    ASSERT_EQ(elementAtPoint(*model, {25, 25}), id);
    selectInMarquee(*model, {200, 0, 10, 10}, false);
    ASSERT_TRUE(model->selection().empty());

    const WhiteboardLibrarySnapshot before = model->librarySnapshot();
    nudgeAll(*model, 200);
    model->recordUndoSnapshot(before);
    model->commitChange();
    EXPECT_EQ(elementAtPoint(*model, {25, 25}), std::nullopt);
    EXPECT_EQ(elementAtPoint(*model, {225, 25}), id);
    selectInMarquee(*model, {200, 0, 10, 10}, false);
    EXPECT_EQ(model->selection(), (Ids{id}));

    model->undo(); // back to a library that was indexed before
    EXPECT_EQ(elementAtPoint(*model, {25, 25}), id);
    EXPECT_EQ(elementAtPoint(*model, {225, 25}), std::nullopt);
}

TEST_F(Selection, ALibraryAtAFreedOnesAddressIsIndexedAfresh)
{
    // Libraries made without make_shared free their memory as soon as the model lets go, so the
    // next one tends to land at the same address.
    const Uuid id = newID();
    for (int step = 0; step < 20; ++step) {
        WhiteboardLibrary library = model->library();
        library.boards[model->currentBoardIndex()].elements = {
            makeElement(box(id, {step * 100.0, 0, 50, 50}))};
        model->setLibrary(WhiteboardLibrarySnapshot(new WhiteboardLibrary(std::move(library))));
        EXPECT_EQ(elementAtPoint(*model, {step * 100.0 + 25, 25}), id) << step;
        EXPECT_EQ(elementAtPoint(*model, {step * 100.0 - 75, 25}), std::nullopt) << step;
    }
}

TEST_F(Selection, SwitchingBoardsHitsTheElementsOfTheCurrentOne)
{
    const Uuid first = newID(), second = newID();
    setElements({box(first, {0, 0, 20, 20})});
    const Uuid firstBoard = model->currentBoard().id;
    ASSERT_EQ(elementAtPoint(*model, {10, 10}), first);
    model->addBoard();
    EXPECT_EQ(elementAtPoint(*model, {10, 10}), std::nullopt);
    setElements({box(second, {100, 100, 20, 20})});
    EXPECT_EQ(elementAtPoint(*model, {110, 110}), second);
    EXPECT_EQ(elementAtPoint(*model, {10, 10}), std::nullopt);
    model->selectBoard(firstBoard);
    EXPECT_EQ(elementAtPoint(*model, {10, 10}), first);
    EXPECT_EQ(elementAtPoint(*model, {110, 110}), std::nullopt);
    selectInMarquee(*model, {105, 105, 1, 1}, false);
    EXPECT_TRUE(model->selection().empty());
}

TEST_F(Selection, ModelsTakenInTurnAndDestroyedEachHitTheirOwnElements)
{
    // More models than any small cache keeps, visited round robin, then one destroyed and replaced.
    std::vector<std::unique_ptr<WhiteboardEditorModel>> models;
    std::vector<Uuid> ids;
    for (int m = 0; m < 7; ++m) {
        models.push_back(harness.makeModel());
        ids.push_back(models.back()->makeIdentifier());
        WhiteboardLibrary library = models.back()->library();
        library.boards[models.back()->currentBoardIndex()].elements = {
            makeElement(box(ids.back(), {m * 100.0, 0, 50, 50}))};
        models.back()->setLibrary(std::move(library));
    }
    for (int round = 0; round < 2; ++round) {
        for (std::size_t m = 0; m < models.size(); ++m) {
            EXPECT_EQ(elementAtPoint(*models[m], {m * 100.0 + 25, 25}), ids[m]) << m;
            EXPECT_EQ(elementAtPoint(*models[m], {(m + 1) * 100.0 + 25, 25}), std::nullopt) << m;
        }
    }
    models[3] = harness.makeModel();
    EXPECT_EQ(elementAtPoint(*models[3], {325, 25}), std::nullopt);
    EXPECT_EQ(elementAtPoint(*models[2], {225, 25}), ids[2]);
}

// --- Selection bounds ---

TEST_F(Selection, BoundsOfOneUnrotatedElementAreItsBounds)
{
    const Uuid id = newID();
    setElements({box(id, {50, 40, -30, -20})});
    model->setSelection({id});
    EXPECT_EQ(selectionBounds(*model), (RectF{20, 20, 30, 20}));
}

TEST_F(Selection, StaleIdsAreSkippedAndTheUnionCoversTheRest)
{
    const Uuid a = newID(), b = newID(), c = newID();
    setElements({box(a, {0, 0, 10, 10}), box(b, {100, 50, 10, 10}), box(c, {500, 500, 1, 1})});
    model->setSelection({a, b, newID()});
    EXPECT_EQ(selectionBounds(*model), (RectF{0, 0, 110, 60}));
    model->setSelection({newID()});
    EXPECT_EQ(selectionBounds(*model), std::nullopt);
}

TEST_F(Selection, RotatedElementGrowsItsAxisAlignedBox)
{
    const Uuid id = newID();
    WhiteboardElement square = box(id, {0, 0, 40, 40});
    square.rotation = std::numbers::pi / 4;
    setElements({square});
    model->setSelection({id});
    const RectF bounds = *selectionBounds(*model);
    const double half = 20 * std::sqrt(2.0);
    EXPECT_NEAR(bounds.x, 20 - half, 1e-9);
    EXPECT_NEAR(bounds.y, 20 - half, 1e-9);
    EXPECT_NEAR(bounds.width, 2 * half, 1e-9);
    EXPECT_NEAR(bounds.height, 2 * half, 1e-9);
}

TEST_F(Selection, FreehandStrokeBoundsGrowByItsWidth)
{
    const Uuid id = newID();
    WhiteboardElement stroke = box(id, {0, 0, 1, 1});
    stroke.kind = WhiteboardElementKind::freedraw;
    stroke.style.strokeWidth = 4;
    stroke.points = {{0, 0}, {60, 20}, {100, 50}};
    setElements({stroke});
    model->setSelection({id});
    EXPECT_EQ(selectionBounds(*model), (RectF{-4, -4, 108, 58}));
}

// --- Expansion: what a click selects ---

TEST_F(Selection, LabelStandsForItsContainer)
{
    const Uuid shape = newID(), text = newID(), other = newID();
    setElements({box(shape, {0, 0, 20, 20}), label(text, shape), box(other, {50, 0, 5, 5})});
    EXPECT_EQ(expandedSelectionIDs(*model, text), (Ids{shape, text}));
    EXPECT_EQ(expandedSelectionIDs(*model, shape), (Ids{shape, text}));
}

TEST_F(Selection, NestedGroupsExpandToTheOutermostGroupWithAllLabels)
{
    const Uuid inner = newID(), outer = newID(), unrelated = newID();
    const Uuid a = newID(), b = newID(), c = newID(), labelOfC = newID(), d = newID();
    setElements({grouped(box(a, {0, 0, 5, 5}), {inner, outer}),
                 grouped(box(b, {10, 0, 5, 5}), {inner, outer}),
                 grouped(box(c, {20, 0, 5, 5}), {outer}),
                 label(labelOfC, c),
                 grouped(box(d, {30, 0, 5, 5}), {unrelated})});
    EXPECT_EQ(expandedSelectionIDs(*model, a), (Ids{a, b, c, labelOfC}));
    EXPECT_EQ(expandedSelectionIDs(*model, labelOfC), (Ids{a, b, c, labelOfC}));
}

TEST_F(Selection, MissingElementsExpandToThemselvesAndLabelsOfLabelsAreNotFollowed)
{
    const Uuid gone = newID(), orphan = newID(), shape = newID(), first = newID(), second = newID();
    setElements(
        {label(orphan, gone), box(shape, {0, 0, 9, 9}), label(first, shape), label(second, first)});
    EXPECT_EQ(expandedSelectionIDs(*model, gone), (Ids{gone}));
    EXPECT_EQ(expandedSelectionIDs(*model, orphan), (Ids{orphan}));
    EXPECT_EQ(expandedSelectionIDs(*model, shape), (Ids{shape, first}));
}

// --- Clicks ---

TEST_F(Selection, PlainClickReplacesAndEmptyClickClears)
{
    const Uuid a = newID(), b = newID();
    setElements({box(a, {0, 0, 5, 5}), box(b, {10, 0, 5, 5})});
    selectElement(*model, a, false);
    selectElement(*model, b, false);
    EXPECT_EQ(model->selection(), (Ids{b}));
    selectElement(*model, std::nullopt, true);
    EXPECT_EQ(model->selection(), (Ids{b}));
    selectElement(*model, std::nullopt, false);
    EXPECT_TRUE(model->selection().empty());
}

TEST_F(Selection, ClickOnTheSelectedGroupPublishesNothing)
{
    const Uuid g = newID(), a = newID(), b = newID();
    setElements({grouped(box(a, {0, 0, 5, 5}), {g}), grouped(box(b, {10, 0, 5, 5}), {g})});
    selectElement(*model, a, false);
    const int before = publishedSelections;
    selectElement(*model, b, false);
    EXPECT_EQ(publishedSelections, before);
    EXPECT_EQ(model->selection(), (Ids{a, b}));
}

TEST_F(Selection, ShiftClickCompletesAPartlySelectedGroupBeforeRemovingIt)
{
    const Uuid g = newID(), a = newID(), b = newID(), c = newID();
    setElements({grouped(box(a, {0, 0, 5, 5}), {g}),
                 grouped(box(b, {10, 0, 5, 5}), {g}),
                 box(c, {20, 0, 5, 5})});
    model->setSelection({a, c});
    selectElement(*model, a, true);
    EXPECT_EQ(model->selection(), (Ids{a, b, c}));
    selectElement(*model, b, true);
    EXPECT_EQ(model->selection(), (Ids{c}));
}

TEST_F(Selection, SelectingNeverTouchesHistoryOrSaving)
{
    const Uuid a = newID();
    setElements({box(a, {0, 0, 5, 5})});
    selectElement(*model, a, false);
    selectInMarquee(*model, {-10, -10, 100, 100}, true);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

// --- Marquee ---

TEST_F(Selection, MarqueeNeedsOnlyToTouchABoxNotEncloseIt)
{
    const Uuid a = newID(), b = newID();
    setElements({box(a, {0, 0, 100, 100}), box(b, {300, 0, 10, 10})});
    selectInMarquee(*model, {90, 90, 50, 50}, false);
    EXPECT_EQ(model->selection(), (Ids{a}));
    selectInMarquee(*model, {100, 100, 5, 5}, false); // shares only the corner
    EXPECT_EQ(model->selection(), (Ids{a}));
}

TEST_F(Selection, MarqueeOverTheCornerOfARotatedBoxSelectsItWithoutTheOutline)
{
    const Uuid id = newID();
    WhiteboardElement square = box(id, {0, 0, 40, 40});
    square.rotation = std::numbers::pi / 4;
    setElements({square});
    // The corner of the axis-aligned box lies outside the turned square's outline.
    const RectF corner{20 - 28, 20 - 28, 3, 3};
    ASSERT_FALSE(square.hitTest({corner.x + 1, corner.y + 1}, 0));
    selectInMarquee(*model, corner, false);
    EXPECT_EQ(model->selection(), (Ids{id}));
}

TEST_F(Selection, MarqueeExpandsGroupsAndLabelsAndTakesReversedRectangles)
{
    const Uuid g = newID(), a = newID(), b = newID(), text = newID(), far = newID();
    setElements({grouped(box(a, {0, 0, 5, 5}), {g}),
                 grouped(box(b, {500, 0, 5, 5}), {g}),
                 label(text, b),
                 box(far, {900, 900, 5, 5})});
    selectInMarquee(*model, {10, 10, -20, -20}, false);
    EXPECT_EQ(model->selection(), (Ids{a, b, text}));
}

TEST_F(Selection, MarqueeOverALabelSelectsItsContainer)
{
    const Uuid shape = newID(), text = newID();
    WhiteboardElement tag = label(text, shape);
    tag.setFrame({200, 200, 10, 10});
    setElements({box(shape, {0, 0, 20, 20}), tag});
    selectInMarquee(*model, {195, 195, 20, 20}, false);
    EXPECT_EQ(model->selection(), (Ids{shape, text}));
}

TEST_F(Selection, ShiftMarqueeOnlyAddsAndPlainMarqueeOverNothingClears)
{
    const Uuid a = newID(), b = newID();
    setElements({box(a, {0, 0, 5, 5}), box(b, {100, 0, 5, 5})});
    model->setSelection({a});
    selectInMarquee(*model, {1000, 1000, 10, 10}, true);
    EXPECT_EQ(model->selection(), (Ids{a}));
    selectInMarquee(*model, {99, -1, 10, 10}, true);
    EXPECT_EQ(model->selection(), (Ids{a, b}));
    selectInMarquee(*model, {99, -1, 10, 10}, true); // never toggles off
    EXPECT_EQ(model->selection(), (Ids{a, b}));
    selectInMarquee(*model, {1000, 1000, 10, 10}, false);
    EXPECT_TRUE(model->selection().empty());
}

TEST_F(Selection, MarqueeSelectsLockedElements)
{
    const Uuid id = newID();
    WhiteboardElement locked = box(id, {0, 0, 5, 5});
    locked.isLocked = true;
    setElements({locked});
    selectInMarquee(*model, {-1, -1, 10, 10}, false);
    EXPECT_EQ(model->selection(), (Ids{id}));
}

} // namespace
