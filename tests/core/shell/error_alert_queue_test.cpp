#include "shell/error_alert_queue.h"

#include "fakes/fake_alert_presenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zentrel;

using Texts = std::vector<std::string>;

TEST(ErrorAlertQueue, ShowsTheTextTrimmedAndForgetsItOnceDismissed)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report(" \tThe whiteboard could not be rendered.\n");
    EXPECT_EQ(presenter.presented, Texts{"The whiteboard could not be rendered."});
    EXPECT_TRUE(queue.isPresenting());

    presenter.dismiss();
    EXPECT_FALSE(queue.isPresenting());
    EXPECT_FALSE(queue.pendingText().has_value());
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_EQ(presenter.presented.size(), 1u);
}

TEST(ErrorAlertQueue, ShowsOneAlertAtATimeAndOnlyTheNewestWaitingText)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report("first");
    queue.report("second");
    queue.report("third");
    EXPECT_EQ(presenter.presented, Texts{"first"});

    presenter.dismiss();
    EXPECT_EQ(presenter.presented, (Texts{"first", "third"}));
    EXPECT_TRUE(queue.isPresenting());

    presenter.dismiss();
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_FALSE(queue.isPresenting());
    EXPECT_EQ(presenter.presented.size(), 2u);
}

TEST(ErrorAlertQueue, DoesNotRepeatTheTextThatIsOnScreen)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report("Screen capture failed: denied");
    queue.report("Screen capture failed: denied");
    presenter.dismiss();
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_EQ(presenter.presented.size(), 1u);

    // Only a repeat during the alert is swallowed; a later one is a new error.
    queue.report("Screen capture failed: denied");
    EXPECT_EQ(presenter.presented.size(), 2u);
}

TEST(ErrorAlertQueue, ShowsNothingForBlankText)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report(" \n\t\r ");
    queue.report("");
    queue.report("\u00A0\u2028\u3000 "); // no-break, line separator, ideographic space
    EXPECT_TRUE(presenter.presented.empty());
    EXPECT_FALSE(queue.isPresenting());

    // A blank text must not block the next real one.
    queue.report("real");
    EXPECT_EQ(presenter.presented, Texts{"real"});

    queue.report("   ");
    presenter.dismiss();
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_FALSE(queue.isPresenting());
    EXPECT_EQ(presenter.presented, Texts{"real"});
}
