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

TEST(ErrorAlertQueue, ATextNotShownComesBackAfterTheNextTextWithoutHoldingItBack)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report("lost");
    presenter.giveUp();
    // Not tried again on its own: an alert that cannot reach the screen would loop.
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_FALSE(queue.isPresenting());
    EXPECT_EQ(queue.notShownText(), "lost");

    // The next text comes first; the lost one follows once it is answered.
    queue.report("next");
    EXPECT_EQ(presenter.presented, (Texts{"lost", "next"}));
    presenter.dismiss();
    EXPECT_EQ(presenter.presented, (Texts{"lost", "next", "lost"}));
    presenter.dismiss();
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_FALSE(queue.notShownText().has_value());
}

TEST(ErrorAlertQueue, ATextNotShownNeverBlocksTheTextsWaitingBehindIt)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);

    queue.report("lost");
    queue.report("waiting");
    presenter.giveUp();
    EXPECT_EQ(presenter.presented, (Texts{"lost", "waiting"}));

    // Given up on again, the lost one waits for a later text once more.
    presenter.dismiss();
    EXPECT_EQ(presenter.presented, (Texts{"lost", "waiting", "lost"}));
    presenter.giveUp();
    EXPECT_FALSE(presenter.isOpen());
    queue.report("later");
    EXPECT_EQ(presenter.presented.back(), "later");

    // The same text reported while it is up is answered with it, not shown twice.
    presenter.dismiss();
    EXPECT_EQ(presenter.presented.back(), "lost");
    queue.report("lost");
    presenter.dismiss();
    EXPECT_FALSE(presenter.isOpen());
    EXPECT_EQ(presenter.presented.size(), 5u);
}

TEST(ErrorAlertQueue, TellsATextWasShownOnceItsAlertWasOnScreenAndOnlyThen)
{
    FakeAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);
    Texts told;
    const auto tell = [&](const std::string &text) {
        queue.report(text, [&told, text] { told.push_back(text); });
    };

    tell("held");
    tell("replaced");
    tell("newest");
    presenter.giveUp();
    EXPECT_TRUE(told.empty());

    // On screen is enough, and it is told once.
    presenter.showOnScreen();
    EXPECT_EQ(told, Texts{"newest"});
    presenter.dismiss();
    EXPECT_EQ(told, Texts{"newest"});

    // Closed without word of the screen counts as shown too.
    presenter.dismiss();
    EXPECT_EQ(told, (Texts{"newest", "held"}));
    EXPECT_EQ(presenter.presented, (Texts{"held", "newest", "held"}));

    // Seen, then lost off screen: shown again later, but not told twice.
    tell("flicker");
    presenter.showOnScreen();
    presenter.giveUp();
    tell("next");
    presenter.dismiss();
    presenter.dismiss();
    EXPECT_EQ(presenter.presented.back(), "flicker");
    EXPECT_EQ(told, (Texts{"newest", "held", "flicker", "next"}));
}
