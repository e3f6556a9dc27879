#include "shell/command_message.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

const Timestamp giveUp = Timestamp{} + 1765000000123ms;

TEST(CommandMessage, RoundTripsUrlsInOrderAndAnEmptyList)
{
    const CommandMessage message{{"zentrel://toggle/draw", "zentrel://action/color/green"}, giveUp};
    const std::string text = encodeCommandMessage(message);
    EXPECT_EQ(text,
              "give-up-at=1765000000123\nzentrel://toggle/draw\nzentrel://action/color/green\n");
    EXPECT_EQ(decodeCommandMessage(text), message);

    const CommandMessage bare{{}, giveUp};
    EXPECT_EQ(decodeCommandMessage(encodeCommandMessage(bare)), bare);
}

TEST(CommandMessage, AMessageWithoutAGiveUpTimeIsNotOurs)
{
    for (const char *text : {"",
                             "zentrel://stop\n",
                             "\n",
                             "give-up-at=\nzentrel://stop",
                             "give-up-at=12x\n",
                             "give-up-at=99999999999999999999999\n",
                             "zentrel://stop\ngive-up-at=1\n"}) {
        EXPECT_EQ(decodeCommandMessage(text), std::nullopt) << text;
    }
}

TEST(CommandMessage, EmptyLinesCarryNoUrl)
{
    const auto message = decodeCommandMessage("give-up-at=5\n\nzentrel://stop\n\n");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->urls, std::vector<std::string>{"zentrel://stop"});
}

// A start without URLs asks for the menu in a message of its own, which no list of URLs can be
// taken for, and which runs no command URL even where those are not allowed.
TEST(CommandMessage, AStartWithoutUrlsAsksToRevealTheMenu)
{
    const CommandMessage reveal = startMessage({}, giveUp);
    EXPECT_EQ(reveal.request, CommandMessage::Request::revealMenu);
    EXPECT_EQ(encodeCommandMessage(reveal), "give-up-at=1765000000123\nrequest=revealMenu\n");
    EXPECT_EQ(decodeCommandMessage(encodeCommandMessage(reveal)), reveal);

    const CommandMessage run = startMessage({"zentrel://stop"}, giveUp);
    EXPECT_EQ(run.request, CommandMessage::Request::runUrls);
    EXPECT_EQ(decodeCommandMessage(encodeCommandMessage(run)), run);

    EXPECT_EQ(decodeCommandMessage("give-up-at=5\nrequest=revealMenu\nzentrel://stop\n"),
              std::nullopt);
    EXPECT_EQ(decodeCommandMessage("give-up-at=5\nzentrel://stop\nrequest=revealMenu\n"),
              std::nullopt);
}

// The sender reports failure once its give-up time has come, so from then on the message never
// runs, however late a stopped or busy instance reads it.
TEST(CommandMessage, RunsOnlyBeforeItsSenderGaveUp)
{
    const CommandMessage message{{"zentrel://toggle/draw"}, giveUp};
    EXPECT_TRUE(isCommandMessageCurrent(message, giveUp - 1ms));
    EXPECT_FALSE(isCommandMessageCurrent(message, giveUp));
    EXPECT_FALSE(isCommandMessageCurrent(message, giveUp + 20s));
}

} // namespace
