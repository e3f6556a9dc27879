#include "shell/commands/command_url.h"

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

using Action = PresentationAction;
using Command = PresentationCommand;

struct UrlCase
{
    const char *url;
    std::optional<Command> expected;
};

void PrintTo(const UrlCase &urlCase, std::ostream *out)
{
    *out << urlCase.url;
}

class CommandUrlGrammar : public testing::TestWithParam<UrlCase>
{};

TEST_P(CommandUrlGrammar, ParsesToExpectedCommand)
{
    const auto &[url, expected] = GetParam();
    EXPECT_EQ(parseCommandUrl(commandUrlParts(QUrl(QString::fromUtf8(url)))), expected);
}

INSTANTIATE_TEST_SUITE_P(
    AcceptedForms,
    CommandUrlGrammar,
    testing::Values(
        UrlCase{"zentrel://activate/draw", Command::activate(PresentationFeature::drawing)},
        UrlCase{"zentrel://toggle/loupe", Command::toggle(PresentationFeature::zooming)},
        UrlCase{"zentrel://stop", Command::stop()},
        UrlCase{"zentrel://stop/", Command::stop()},
        UrlCase{"zentrel:///stop", Command::stop()},
        UrlCase{"zentrel:stop", Command::stop()},
        UrlCase{"ZENTREL://STOP", Command::stop()},
        UrlCase{"zentrel://ACTIVATE/Whiteboard",
                Command::activate(PresentationFeature::whiteboard)},
        UrlCase{"zentrel://toggle/BreakTimer", Command::toggle(PresentationFeature::breakTimer)},
        UrlCase{"zentrel://toggle/cursor-halo", Command::toggle(PresentationFeature::cursorHalo)},
        UrlCase{"zentrel:///activate/board", Command::activate(PresentationFeature::whiteboard)},
        UrlCase{"zentrel://activate/draw?x=1#frag",
                Command::activate(PresentationFeature::drawing)},
        UrlCase{"zentrel://action/tool/pen",
                Command::perform(Action::selectTool(PresentationTool::pen))},
        UrlCase{"zentrel://action/tool/Pen",
                Command::perform(Action::selectTool(PresentationTool::pen))},
        UrlCase{"zentrel://action/color/green",
                Command::perform(Action::selectColor(PresentationColor::green))},
        UrlCase{"zentrel://action/undo", Command::perform(Action::plain(Action::Kind::undo))},
        UrlCase{"zentrel://action/copy",
                Command::perform(Action::plain(Action::Kind::copyCurrentCanvas))},
        UrlCase{"zentrel://action/timer-add-minute",
                Command::perform(Action::plain(Action::Kind::addTimerMinute))},
        UrlCase{"zentrel://action/TIMER-PAUSE",
                Command::perform(Action::plain(Action::Kind::toggleTimerPause))},
        UrlCase{"zentrel://activate/%64raw", Command::activate(PresentationFeature::drawing)}));

INSTANTIATE_TEST_SUITE_P(RejectedForms,
                         CommandUrlGrammar,
                         testing::Values(UrlCase{"zentrel://stop/now", std::nullopt},
                                         UrlCase{"zentrel://activate", std::nullopt},
                                         UrlCase{"zentrel://activate/draw/extra", std::nullopt},
                                         UrlCase{"zentrel://toggle/break_timer", std::nullopt},
                                         UrlCase{"zentrel://action/tool/marker", std::nullopt},
                                         UrlCase{"zentrel://action/tool", std::nullopt},
                                         UrlCase{"zentrel://action/colour/red", std::nullopt},
                                         UrlCase{"zentrel://action/color/purple", std::nullopt},
                                         UrlCase{"zentrel://action/undo/now", std::nullopt},
                                         UrlCase{"zentrel://action", std::nullopt},
                                         UrlCase{"zentrel://", std::nullopt},
                                         UrlCase{"zentrel://launch/draw", std::nullopt},
                                         UrlCase{"https://activate/draw", std::nullopt},
                                         UrlCase{"activate/draw", std::nullopt},
                                         UrlCase{"zentrel://activate/dr%2Faw", std::nullopt}));

} // namespace
