#include "editor_test_support.h"
#include "whiteboard/editor/whiteboard_viewport.h"

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
