#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Change = WhiteboardEditorChange;

struct ViewportFixture : ::testing::Test
{
    EditorHarness harness;
    std::vector<Change> notices;

    void setViewport(WhiteboardEditorModel &model, WhiteboardViewport viewport)
    {
        WhiteboardLibrary library = model.library();
        library.boards[model.currentBoardIndex()].viewport = viewport;
        model.setLibrary(std::move(library));
    }

    static const WhiteboardViewport &viewport(const WhiteboardEditorModel &model)
    {
        return model.currentBoard().viewport;
    }

    // Where a view point lands in the scene under the current viewport.
    static PointF sceneAt(const WhiteboardEditorModel &model, PointF view)
    {
        const WhiteboardViewport &v = viewport(model);
        return {(view.x - v.translation.x) / v.scale, (view.y - v.translation.y) / v.scale};
    }
};

struct WhiteboardViewportTest : ViewportFixture
{
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();
    ScopedConnection connection =
        model->changed.connect([this](Change change) { notices.push_back(change); });
};

struct FreezeViewportTest : ViewportFixture
{
    std::unique_ptr<WhiteboardEditorModel> model =
        makeFreezeEditorModel({}, Color{}, 1, SizeF{1000, 600}, 2, harness.services());
};

// --- Whiteboard: unbounded pan, zoom between 0.1 and 5 ---

TEST_F(WhiteboardViewportTest, ZoomAboutAPointMovesTheOffset)
{
    zoom(*model, 2, {100, 100});
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{2, {-100, -100}}));
}

TEST_F(WhiteboardViewportTest, ZoomInStopsAtFiveWithTheAnchorFixed)
{
    setViewport(*model, {4.5, {-37, 12}});
    const PointF anchor{300, 200};
    const PointF before = sceneAt(*model, anchor);
    zoom(*model, 1.25, anchor);
    EXPECT_EQ(viewport(*model).scale, 5.0);
    EXPECT_NEAR(sceneAt(*model, anchor).x, before.x, 1e-9);
    EXPECT_NEAR(sceneAt(*model, anchor).y, before.y, 1e-9);
}

TEST_F(WhiteboardViewportTest, ZoomOutStopsAtATenthAndThenChangesNothing)
{
    setViewport(*model, {0.12, {40, -40}});
    const PointF anchor{-20, 500};
    const PointF before = sceneAt(*model, anchor);
    zoom(*model, 0.8, anchor);
    EXPECT_EQ(viewport(*model).scale, 0.1);
    EXPECT_NEAR(sceneAt(*model, anchor).x, before.x, 1e-9);
    EXPECT_NEAR(sceneAt(*model, anchor).y, before.y, 1e-9);

    const WhiteboardViewport atLimit = viewport(*model);
    notices.clear();
    zoom(*model, 0.8, {700, 3});
    EXPECT_EQ(viewport(*model), atLimit);
    EXPECT_TRUE(notices.empty());
}

TEST_F(WhiteboardViewportTest, PanHasNoLimit)
{
    setViewport(*model, {1, {5, 5}});
    panBy(*model, 10, -20);
    EXPECT_EQ(viewport(*model).translation, (WhiteboardPoint{15, -15}));
    panBy(*model, -1e7, 1e7);
    EXPECT_EQ(viewport(*model).translation, (WhiteboardPoint{15 - 1e7, -15 + 1e7}));
}

TEST_F(WhiteboardViewportTest, PanAndZoomLeaveHistoryStampsAndSavingAlone)
{
    addRectangle(*model);
    model->saveNow();
    const std::size_t undoSteps = model->undoCount();
    const Timestamp stamped = model->currentBoard().updatedAt;
    const std::size_t pending = harness.scheduler.pendingCount();
    notices.clear();
    harness.clock.advance(std::chrono::seconds(5));

    panBy(*model, 3, 4);
    zoom(*model, 1.25, {0, 0});
    EXPECT_EQ(model->undoCount(), undoSteps);
    EXPECT_EQ(model->currentBoard().updatedAt, stamped);
    EXPECT_EQ(harness.scheduler.pendingCount(), pending);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(touches(notices[0], Change::viewport));
    EXPECT_FALSE(touches(notices[0], Change::history | Change::geometry));
}

TEST_F(WhiteboardViewportTest, OnlyTheCurrentBoardMoves)
{
    model->addBoard();
    panBy(*model, 7, 8);
    zoom(*model, 2, {0, 0});
    EXPECT_EQ(model->library().boards[0].viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_EQ(model->library().boards[1].viewport, (WhiteboardViewport{2, {14, 16}}));
}

TEST_F(WhiteboardViewportTest, NonFiniteArgumentsChangeNothing)
{
    setViewport(*model, {2, {1, 1}});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    zoom(*model, nan, {0, 0});
    zoom(*model, inf, {0, 0});
    zoom(*model, 2, {nan, 0});
    panBy(*model, inf, 0);
    panBy(*model, 0, nan);
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{2, {1, 1}}));
}

TEST_F(WhiteboardViewportTest, ZeroOrNegativeFactorsZoomToTheMinimum)
{
    zoom(*model, 0, {0, 0});
    EXPECT_EQ(viewport(*model).scale, 0.1);
    zoom(*model, -3, {0, 0});
    EXPECT_EQ(viewport(*model).scale, 0.1);
}

// --- Steps at pointer rate copy nothing, and never change what others hold ---

TEST_F(WhiteboardViewportTest, StepsChangeAnUnsharedLibraryWhereItIs)
{
    addRectangle(*model);
    harness.scheduler.advance(std::chrono::seconds(1)); // the save no longer holds the library
    panBy(*model, 1, 1);
    const std::weak_ptr<const WhiteboardLibrary> stepped = model->librarySnapshot();
    notices.clear();
    for (int step = 0; step < 20; ++step) {
        panBy(*model, 2, -1);
    }
    for (int step = 0; step < 20; ++step) {
        zoom(*model, step % 2 == 0 ? 1.25 : 0.8, {0, 0});
    }
    EXPECT_EQ(stepped.lock(), model->librarySnapshot()) << "a step copied the library";
    EXPECT_NEAR(viewport(*model).scale, 1, 1e-12);
    EXPECT_NEAR(viewport(*model).translation.x, 41, 1e-9);
    EXPECT_NEAR(viewport(*model).translation.y, -19, 1e-9);
    ASSERT_EQ(notices.size(), 40u);
    for (const Change notice : notices) {
        EXPECT_TRUE(touches(notice, Change::viewport));
        EXPECT_FALSE(touches(notice, Change::geometry | Change::boards | Change::history));
    }
}

TEST_F(WhiteboardViewportTest, ALibraryHeldElsewhereIsCopiedOnceAndKeepsItsView)
{
    addRectangle(*model);
    panBy(*model, 5, 5);
    const WhiteboardLibrarySnapshot held = model->librarySnapshot();
    panBy(*model, 1, 0);
    const std::weak_ptr<const WhiteboardLibrary> copy = model->librarySnapshot();
    EXPECT_NE(copy.lock(), held);
    panBy(*model, 1, 0);
    zoom(*model, 2, {0, 0});
    EXPECT_EQ(copy.lock(), model->librarySnapshot()) << "the copy is the model's own to change";
    EXPECT_EQ(held->boards[0].viewport, (WhiteboardViewport{1, {5, 5}}));
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{2, {14, 10}}));
    // The copy shares the elements; only the view differs.
    EXPECT_EQ(held->boards[0].elements, model->currentBoard().elements);
}

TEST_F(WhiteboardViewportTest, HistoryEntriesKeepTheViewTheyWereTakenWith)
{
    addRectangle(*model);
    panBy(*model, 10, 0);
    addRectangle(*model, 60);
    panBy(*model, 0, 10);
    panBy(*model, 0, 10);
    model->undo();
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {10, 0}}));
    panBy(*model, 5, 0);
    model->redo();
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {10, 20}}));
    model->undo();
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {15, 0}}));
    model->undo();
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {0, 0}}));
}

TEST_F(WhiteboardViewportTest, ADragsStartKeepsTheViewItBeganWith)
{
    addRectangle(*model);
    panBy(*model, 10, 0);
    model->beginTransaction();
    panBy(*model, 0, 10); // the wheel turned during the drag
    model->cancelInteraction();
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {10, 0}}));
}

TEST_F(WhiteboardViewportTest, AClickAfterZoomingHitsWithTheNewTolerance)
{
    addRectangle(*model); // 40 × 30 at (0, 10)
    harness.scheduler.advance(std::chrono::seconds(1));
    panBy(*model, 0, 0.5);
    // 10 view points of tolerance: 10 scene units at 100 %, 100 at 10 %.
    const PointF beside{40 + 50, 20};
    EXPECT_FALSE(elementAtPoint(*model, beside));
    const std::weak_ptr<const WhiteboardLibrary> before = model->librarySnapshot();
    zoom(*model, 0.1, {0, 0});
    ASSERT_EQ(before.lock(), model->librarySnapshot()) << "zoomed where it is";
    EXPECT_TRUE(elementAtPoint(*model, beside));
}

// --- Damaged stored viewports are read as scale 1 and offset 0 first ---

TEST_F(WhiteboardViewportTest, DamagedScaleCountsAsOneBeforeZoom)
{
    for (double bad : {0.0, -3.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        setViewport(*model, {bad, {0, 0}});
        zoom(*model, 2, {100, 100});
        EXPECT_EQ(viewport(*model), (WhiteboardViewport{2, {-100, -100}})) << bad;
    }
}

TEST_F(WhiteboardViewportTest, DamagedOffsetCountsAsZeroBeforePan)
{
    const double inf = std::numeric_limits<double>::infinity();
    setViewport(*model, {0, {inf, std::nan("")}});
    panBy(*model, 10, -20);
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {10, -20}}));
}

// --- Zevizu & Vozurir: the captured image always covers the view ---

TEST_F(FreezeViewportTest, NeverZoomsOutPastTheImageNorPansAtScaleOne)
{
    zoom(*model, 0.8, {500, 300});
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {0, 0}}));
    panBy(*model, 40, -40);
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1, {0, 0}}));
}

TEST_F(FreezeViewportTest, PanStaysWithinTheImage)
{
    setViewport(*model, {2, {0, 0}});
    panBy(*model, -5000, 300);
    EXPECT_EQ(viewport(*model).translation, (WhiteboardPoint{-1000, 0}));
    panBy(*model, 0, -5000);
    EXPECT_EQ(viewport(*model).translation, (WhiteboardPoint{-1000, -600}));
}

TEST_F(FreezeViewportTest, ZoomOutClampsTheOffsetForTheNewScale)
{
    setViewport(*model, {3, {-1500, -900}});
    zoom(*model, 0.5, {0, 0});
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{1.5, {-500, -300}}));
}

TEST_F(FreezeViewportTest, ZoomInAboutACornerKeepsThatCornerInPlace)
{
    zoom(*model, 5, {1000, 600});
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{5, {-4000, -2400}}));
    zoom(*model, 4, {0, 0}); // capped at 5: nothing moves
    EXPECT_EQ(viewport(*model), (WhiteboardViewport{5, {-4000, -2400}}));
}

} // namespace
