#include "shell/commands/instance_lock.h"

#include "shell/commands/folder_lock.h"
#include "shell/commands/instance_lock_watch.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace zentrel;

namespace {

class InstanceLockTest : public testing::Test
{
protected:
    QTemporaryDir folder;
    QString lockPath = folder.filePath(QStringLiteral("zentrel.lock"));
};

TEST_F(InstanceLockTest, ALockFileRemovedWhileHeldIsLockedAgain)
{
    InstanceLock running(lockPath);
    ASSERT_EQ(running.tryAcquire(), true);
    ASSERT_TRUE(QFile::remove(lockPath));
    EXPECT_TRUE(running.holdAgainIfReplaced());
    EXPECT_TRUE(QFile::exists(lockPath));

    InstanceLock second(lockPath);
    EXPECT_EQ(second.tryAcquire(), false);
    // Checked again with nothing changed, it keeps what it holds.
    EXPECT_TRUE(running.holdAgainIfReplaced());
}

TEST_F(InstanceLockTest, AFileAnotherHoldsAlreadyIsLeftToIt)
{
    InstanceLock running(lockPath);
    ASSERT_EQ(running.tryAcquire(), true);
    ASSERT_TRUE(QFile::remove(lockPath));
    InstanceLock second(lockPath);
    ASSERT_EQ(second.tryAcquire(), true);
    EXPECT_FALSE(running.holdAgainIfReplaced());

    InstanceLock notStarted(folder.filePath(QStringLiteral("other.lock")));
    EXPECT_FALSE(notStarted.holdAgainIfReplaced());
}

TEST_F(InstanceLockTest, TheWatchLocksARemovedFileAgainWhileTheEventLoopRuns)
{
    InstanceLock running(lockPath);
    ASSERT_EQ(running.tryAcquire(), true);
    const InstanceLockWatch watch({&running});
    ASSERT_TRUE(QFile::remove(lockPath));
    EXPECT_TRUE(QTest::qWaitFor([this] { return QFile::exists(lockPath); }, 5000));
    InstanceLock second(lockPath);
    EXPECT_EQ(second.tryAcquire(), false);
}

TEST_F(InstanceLockTest, AFolderLockOutlastsTheLockFileInTheFolder)
{
    std::optional<FolderLock> running(std::in_place, folder.path().toStdString());
    ASSERT_EQ(running->tryAcquire(), true);
    InstanceLock fileLock(lockPath);
    ASSERT_EQ(fileLock.tryAcquire(), true);
    ASSERT_TRUE(QFile::remove(lockPath));

    FolderLock second(folder.path().toStdString());
    EXPECT_EQ(second.tryAcquire(), false);
    // A program started while it was held does not keep it once this process lets it go.
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted());
    running.reset();
    EXPECT_EQ(second.tryAcquire(), true);
    child.kill();
    child.waitForFinished();
}

} // namespace
