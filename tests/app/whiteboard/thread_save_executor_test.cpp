#include "whiteboard/editor/thread_save_executor.h"

#include "core/whiteboard/editor/editor_test_support.h"
#include "fakes/fake_scheduler.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

struct ThreadSaveExecutorTest : ::testing::Test
{
    QObject context;
    FakeScheduler scheduler;
    const std::thread::id mainThread = std::this_thread::get_id();

    // Completions cross to the context by queued invocation, then wait in the scheduler.
    void deliverCompletions()
    {
        QCoreApplication::processEvents();
        scheduler.runPending();
    }
};

TEST_F(ThreadSaveExecutorTest, RunsJobsInOrderOneAtATimeOffTheMainThread)
{
    constexpr int jobCount = 20;
    std::mutex mutex;
    std::vector<int> ran;
    std::vector<int> completed;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> ranOnMainThread{false};
    {
        ThreadSaveExecutor executor(&context);
        for (int index = 0; index < jobCount; ++index) {
            executor.run(
                [&, index] {
                    overlapped = overlapped || running.fetch_add(1) != 0;
                    ranOnMainThread = ranOnMainThread || std::this_thread::get_id() == mainThread;
                    {
                        const std::lock_guard lock(mutex);
                        ran.push_back(index);
                    }
                    running.fetch_sub(1);
                    return WhiteboardStoreResult<void>{};
                },
                scheduler,
                [&, index](const WhiteboardStoreResult<void> &result) {
                    EXPECT_TRUE(result.has_value());
                    EXPECT_EQ(std::this_thread::get_id(), mainThread);
                    completed.push_back(index);
                });
        }
        executor.drain();
        EXPECT_EQ(ran.size(), static_cast<std::size_t>(jobCount));
        deliverCompletions();
    }
    std::vector<int> expected;
    for (int index = 0; index < jobCount; ++index) {
        expected.push_back(index);
    }
    EXPECT_EQ(ran, expected);
    EXPECT_EQ(completed, expected);
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(ranOnMainThread);
}

TEST_F(ThreadSaveExecutorTest, DrainWaitsForTheRunningJob)
{
    ThreadSaveExecutor executor(&context);
    std::atomic<bool> finished{false};
    executor.run(
        [&] {
            // Long enough that drain is surely called while the job still runs.
            std::this_thread::sleep_for(50ms);
            finished = true;
            return WhiteboardStoreResult<void>{};
        },
        scheduler,
        [](const WhiteboardStoreResult<void> &) {});
    executor.drain();
    EXPECT_TRUE(finished);
}

TEST_F(ThreadSaveExecutorTest, DestructionFinishesTheQueuedJobs)
{
    std::atomic<int> ran{0};
    {
        ThreadSaveExecutor executor(&context);
        for (int index = 0; index < 5; ++index) {
            executor.run(
                [&] {
                    std::this_thread::sleep_for(5ms);
                    ++ran;
                    return WhiteboardStoreResult<void>{};
                },
                scheduler,
                [](const WhiteboardStoreResult<void> &) {});
        }
    }
    EXPECT_EQ(ran, 5);
}

TEST_F(ThreadSaveExecutorTest, FailureReachesTheCompletionOnTheMainThread)
{
    ThreadSaveExecutor executor(&context);
    const WhiteboardLibraryStoreError error{
        WhiteboardLibraryStoreError::Kind::file, "/nowhere/WhiteboardLibrary.json", "full"};
    std::optional<WhiteboardStoreResult<void>> received;
    executor.run([&] { return WhiteboardStoreResult<void>(tl::unexpected(error)); },
                 scheduler,
                 [&](const WhiteboardStoreResult<void> &result) { received = result; });
    executor.drain();
    EXPECT_FALSE(received.has_value()) << "only through the scheduler";
    deliverCompletions();
    ASSERT_TRUE(received.has_value());
    ASSERT_FALSE(received->has_value());
    EXPECT_EQ(received->error(), error);
}

TEST_F(ThreadSaveExecutorTest, EditorSaveNowWritesTheNewestLibraryAfterTheWorker)
{
    EditorHarness harness;
    ThreadSaveExecutor executor(&context);
    WhiteboardEditorServices services = harness.services();
    services.saveExecutor = &executor;
    WhiteboardEditorModel model(harness.store, Color{0, 0, 0, 1}, 2, 4.0, services);
    model.setOnError([&](const std::string &text) { harness.errors.push_back(text); });

    for (int index = 0; index < 5; ++index) {
        addRectangle(model, index * 10);
        harness.scheduler.advance(350ms); // each burst hands a save to the worker
    }
    addRectangle(model, 60);
    model.saveNow();
    EXPECT_EQ(harness.savedLibrary(), model.library());

    std::filesystem::remove(harness.libraryFile());
    deliverCompletions();
    harness.scheduler.advance(1s);
    EXPECT_FALSE(std::filesystem::exists(harness.libraryFile())) << "nothing writes after it";
    EXPECT_TRUE(harness.errors.empty());
}

} // namespace
