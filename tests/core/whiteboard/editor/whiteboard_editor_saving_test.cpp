#include "editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

// Holds each save until the test runs it, as a worker thread would later.
class FakeSaveExecutor final : public SaveExecutor
{
public:
    void run(SaveJob job, Scheduler &scheduler, SaveCompletion done) override
    {
        m_jobs.push_back(Job{std::move(job), &scheduler, std::move(done)});
    }

    void drain() override
    {
        ++drainCount;
        while (runNext()) {
        }
    }

    std::size_t pendingCount() const { return m_jobs.size(); }

    // Runs the oldest held job and posts its completion, as the worker does.
    bool runNext()
    {
        if (m_jobs.empty()) {
            return false;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        job.scheduler->post([done = std::move(job.done), result = job.work()] { done(result); });
        return true;
    }

    int drainCount = 0;

private:
    struct Job
    {
        SaveJob work;
        Scheduler *scheduler;
        SaveCompletion done;
    };

    std::deque<Job> m_jobs;
};

struct WhiteboardEditorSaving : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();

    void SetUp() override
    {
        // The first load writes a fresh library; start each test without a file.
        std::filesystem::remove(harness.libraryFile());
    }

    bool written() const { return std::filesystem::exists(harness.libraryFile()); }

    // Time passes for the model's clock and its scheduler alike, as it does in the program.
    void pass(std::chrono::milliseconds time)
    {
        harness.clock.advance(time);
        harness.scheduler.advance(time);
    }

    // The file keeps whole seconds of each change stamp, so compare what was drawn.
    static std::vector<Uuid> elementIds(const WhiteboardLibrary &library)
    {
        std::vector<Uuid> ids;
        for (const ElementPtr &element : library.boards[0].elements) {
            ids.push_back(element->id);
        }
        return ids;
    }
};

TEST_F(WhiteboardEditorSaving, BurstIsWrittenOnceAfterTheLastChange)
{
    for (int i = 0; i < 5; ++i) {
        addRectangle(*model, i * 10);
        pass(340ms);
        ASSERT_FALSE(written()) << "after change " << i;
    }
    pass(10ms);
    ASSERT_TRUE(written());
    EXPECT_EQ(elementIds(harness.savedLibrary()), elementIds(model->library()));
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 5u);

    std::filesystem::remove(harness.libraryFile());
    harness.scheduler.advance(5s);
    EXPECT_FALSE(written()) << "the cancelled saves write nothing";
}

// A rectangle every 14 ms for 3 s: without a pause the library is still written every 2 s, so
// a crash in the middle loses at most the last 2 s.
TEST_F(WhiteboardEditorSaving, ChangesThatNeverPauseAreWrittenAtLeastEveryTwoSeconds)
{
    std::size_t lastWritten = 0;
    for (int i = 0; i < 215; ++i) {
        addRectangle(*model, i);
        pass(14ms);
        if (written()) {
            lastWritten = harness.savedLibrary().boards[0].elements.size();
        }
        ASSERT_GE(lastWritten + 2000 / 14 + 1, model->currentBoard().elements.size())
            << "after change " << i;
    }
    EXPECT_GT(lastWritten, 100u);
    pass(350ms);
    EXPECT_EQ(elementIds(harness.savedLibrary()), elementIds(model->library()))
        << "the pause after the burst saves it";
}

TEST_F(WhiteboardEditorSaving, WritesTheLibraryOfTheScheduledMoment)
{
    addRectangle(*model);
    const WhiteboardLibrary committed = model->library();
    // Pan without a commit after the save was scheduled: it waits for the next save.
    WhiteboardLibrary panned = model->library();
    panned.boards[0].viewport.translation = {90, 90};
    model->setLibrary(panned);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary(), committed);
}

TEST_F(WhiteboardEditorSaving, SaveNowWritesAtOnceAndCancelsThePendingSave)
{
    addRectangle(*model);
    model->saveNow();
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), model->library());
    std::filesystem::remove(harness.libraryFile());
    harness.scheduler.advance(1s);
    EXPECT_FALSE(written());
}

// Closing a large board would write seconds' worth of a library the last save just wrote.
TEST_F(WhiteboardEditorSaving, SaveNowLeavesTheLibraryTheLastSaveWrote)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    ASSERT_TRUE(written());
    std::filesystem::remove(harness.libraryFile());
    model->saveNow();
    EXPECT_FALSE(written());

    addRectangle(*model, 50);
    model->saveNow();
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), model->library());
}

TEST_F(WhiteboardEditorSaving, ReleasedModelDoesNotWriteLater)
{
    addRectangle(*model);
    model.reset();
    harness.scheduler.advance(1s);
    EXPECT_FALSE(written());
}

// Debounced saves that meet the same unwritable folder make one alert, and another only for a
// failure after a save has worked again; the save on closing always tells.
TEST_F(WhiteboardEditorSaving, AFailureIsReportedOnceUntilASaveWorksOrTheRunClosesAndTheEditIsKept)
{
    std::filesystem::create_directories(harness.libraryFile()); // nothing can replace a folder
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_EQ(harness.errors[0].rfind("The whiteboard could not be saved: ", 0), 0u);
    EXPECT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_TRUE(model->canUndo());

    addRectangle(*model, 30);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.errors.size(), 1u);
    model->saveNow();
    ASSERT_EQ(harness.errors.size(), 2u);
    EXPECT_EQ(harness.errors[1].rfind("The whiteboard could not be saved: ", 0), 0u);

    std::filesystem::remove(harness.libraryFile());
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 3u) << "the next change retries";

    std::filesystem::remove(harness.libraryFile());
    std::filesystem::create_directories(harness.libraryFile());
    addRectangle(*model, 90);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.errors.size(), 3u) << "a new failure after a save worked";
    model->saveNow();
    EXPECT_EQ(harness.errors.size(), 4u);
}

// No command makes such a value; should one get in, the save names the element, the file keeps
// the last library that could be written, and every change tries again.
TEST_F(WhiteboardEditorSaving, AnUnwritableElementIsNamedAndTheLastGoodFileKept)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    const WhiteboardLibrary good = harness.savedLibrary();
    WhiteboardLibrary broken = model->library();
    WhiteboardElement infinite = *broken.boards[0].elements[0];
    infinite.id = model->makeIdentifier();
    infinite.width = std::numeric_limits<double>::infinity();
    broken.boards[0].elements.push_back(makeElement(infinite));
    model->updateLibrary(broken);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_NE(harness.errors[0].find("boards[0].elements[1].width"), std::string::npos)
        << harness.errors[0];
    EXPECT_EQ(harness.savedLibrary(), good);

    model->undo();
    harness.scheduler.advance(350ms);
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary(), model->library());
}

TEST_F(WhiteboardEditorSaving, UndoAndRedoAreSaved)
{
    addRectangle(*model);
    harness.scheduler.advance(1s);
    model->undo();
    harness.scheduler.advance(350ms);
    EXPECT_TRUE(harness.savedLibrary().boards[0].elements.empty());
}

struct WhiteboardEditorBackgroundSaving : ::testing::Test
{
    EditorHarness harness;
    FakeSaveExecutor executor;
    std::unique_ptr<WhiteboardEditorModel> model = makeModel();

    std::unique_ptr<WhiteboardEditorModel> makeModel()
    {
        WhiteboardEditorServices services = harness.services();
        services.saveExecutor = &executor;
        auto made = std::make_unique<WhiteboardEditorModel>(
            harness.store, Color{0, 0, 0, 1}, 2, 4.0, services);
        made->setOnError([this](const std::string &text) { harness.errors.push_back(text); });
        return made;
    }

    void SetUp() override { std::filesystem::remove(harness.libraryFile()); }

    bool written() const { return std::filesystem::exists(harness.libraryFile()); }
};

TEST_F(WhiteboardEditorBackgroundSaving, DebouncedSaveRunsOnTheExecutorNotInline)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    EXPECT_FALSE(written());
    ASSERT_EQ(executor.pendingCount(), 1u);

    executor.runNext();
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), model->library());
}

TEST_F(WhiteboardEditorBackgroundSaving, FailureArrivesThroughTheScheduler)
{
    std::filesystem::create_directories(harness.libraryFile()); // nothing can replace a folder
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    executor.runNext();
    EXPECT_TRUE(harness.errors.empty()) << "not on the executor's thread";

    harness.scheduler.runPending();
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_EQ(harness.errors[0].rfind("The whiteboard could not be saved: ", 0), 0u);

    std::filesystem::remove(harness.libraryFile());
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    executor.runNext();
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 2u) << "the next change retries";
}

TEST_F(WhiteboardEditorBackgroundSaving, AFailedSaveAndTheSaveOnCloseMakeOneAlert)
{
    std::filesystem::create_directories(harness.libraryFile());
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    executor.runNext(); // fails; its completion waits in the scheduler
    model->saveNow();
    harness.scheduler.runPending();
    EXPECT_EQ(harness.errors.size(), 1u);
}

TEST_F(WhiteboardEditorBackgroundSaving, QueuedSavesStayInOrderAndAnOvertakenOneSkipsItsWrite)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(executor.pendingCount(), 2u);

    executor.runNext();
    EXPECT_FALSE(written()) << "a newer library is queued behind it";
    executor.runNext();
    EXPECT_EQ(harness.savedLibrary(), model->library());
    harness.scheduler.runPending();
    EXPECT_TRUE(harness.errors.empty());
}

TEST_F(WhiteboardEditorBackgroundSaving, SaveNowWaitsForQueuedSavesThenWritesLast)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    addRectangle(*model, 60); // its debounced save is still waiting
    ASSERT_EQ(executor.pendingCount(), 1u);

    model->saveNow();
    EXPECT_EQ(executor.drainCount, 1);
    EXPECT_EQ(executor.pendingCount(), 0u);
    EXPECT_EQ(harness.savedLibrary(), model->library());
    EXPECT_EQ(harness.savedLibrary().boards[0].elements.size(), 2u);

    std::filesystem::remove(harness.libraryFile());
    harness.scheduler.advance(1s);
    EXPECT_EQ(executor.pendingCount(), 0u) << "the waiting save was cancelled";
    EXPECT_FALSE(written()) << "nothing writes after saveNow";
}

TEST_F(WhiteboardEditorBackgroundSaving, ReleasedModelsQueuedSaveStillWritesItsOwnCopy)
{
    addRectangle(*model);
    const WhiteboardLibrary committed = model->library();
    harness.scheduler.advance(350ms);
    model.reset();

    executor.runNext();
    harness.scheduler.runPending();
    ASSERT_TRUE(written());
    EXPECT_EQ(harness.savedLibrary(), committed);
}

TEST_F(WhiteboardEditorBackgroundSaving, ReleasedModelsFailedSaveReportsToNoOne)
{
    std::filesystem::create_directories(harness.libraryFile());
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    executor.runNext();
    model.reset();

    harness.scheduler.runPending();
    EXPECT_TRUE(harness.errors.empty());
}

} // namespace

TEST_F(WhiteboardEditorBackgroundSaving, ViewStepsWaitForTheNextSaveWhichTakesTheLastView)
{
    addRectangle(*model);
    harness.scheduler.advance(350ms);
    executor.drain();
    harness.scheduler.runPending();
    std::filesystem::remove(harness.libraryFile());

    // A burst of pan and zoom steps schedules, hands over and writes nothing.
    for (int step = 0; step < 100; ++step) {
        panBy(*model, 3, 2);
        zoom(*model, step % 2 == 0 ? 1.25 : 0.8, {500, 300});
    }
    const WhiteboardViewport last = model->currentBoard().viewport;
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
    harness.scheduler.advance(1s);
    EXPECT_EQ(executor.pendingCount(), 0u);
    EXPECT_FALSE(written());

    // The next committed change is saved once, with the view of the last step.
    addRectangle(*model, 60);
    harness.scheduler.advance(350ms);
    ASSERT_EQ(executor.pendingCount(), 1u);
    executor.runNext();
    EXPECT_EQ(harness.savedLibrary().boards[0].viewport, last);

    // So is the view when the whiteboard closes.
    panBy(*model, -7, 0);
    model->saveNow();
    EXPECT_EQ(harness.savedLibrary().boards[0].viewport, model->currentBoard().viewport);
    EXPECT_EQ(executor.pendingCount(), 0u);
}

TEST_F(WhiteboardEditorBackgroundSaving, AViewChangedAfterItsLibraryWasWrittenIsWrittenOnClosing)
{
    addRectangle(*model);
    panBy(*model, 30, 40);
    model->scheduleSave();
    harness.scheduler.advance(350ms);
    executor.runNext();
    ASSERT_TRUE(written());
    // The steps change the written library where it is, as nothing else holds it now.
    panBy(*model, 5, 5);
    model->saveNow();
    EXPECT_EQ(harness.savedLibrary().boards[0].viewport, model->currentBoard().viewport);
}

TEST_F(WhiteboardEditorBackgroundSaving, ViewStepsLeaveAWaitingSavesLibraryAlone)
{
    addRectangle(*model);
    panBy(*model, 30, 40);
    zoom(*model, 2, {0, 0});
    // The library the steps made is now the one a save holds, before and after its hand-over.
    model->scheduleSave();
    const WhiteboardLibrary scheduled = model->library();
    panBy(*model, 30, 40);
    harness.scheduler.advance(350ms);
    zoom(*model, 0.5, {10, 10});
    executor.runNext();
    EXPECT_EQ(harness.savedLibrary(), scheduled);
    EXPECT_NE(model->currentBoard().viewport, scheduled.boards[0].viewport);
}
