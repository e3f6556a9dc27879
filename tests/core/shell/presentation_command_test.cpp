#include "shell/presentation_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace zentrel;

namespace {

using Kind = PresentationAction::Kind;
using Feature = PresentationFeature;
using Words = std::vector<std::string>;
using Command = PresentationCommand;

// "zentrel://<host>/<path…>"
CommandUrlParts hostUrl(std::string host, Words path = {})
{
    return {"zentrel", std::move(host), std::move(path)};
}

// "zentrel:///<path…>"
CommandUrlParts pathUrl(Words path)
{
    return {"zentrel", std::nullopt, std::move(path)};
}

// How the URL would be written, for failure messages.
std::string text(const CommandUrlParts &url)
{
    std::string result = url.scheme + "://" + url.host.value_or("");
    for (const auto &word : url.pathComponents) {
        result += (word == "/" ? "" : "/") + word;
    }
    return result;
}

Command tool(PresentationTool tool)
{
    return Command::perform(PresentationAction::selectTool(tool));
}

Command color(PresentationColor color)
{
    return Command::perform(PresentationAction::selectColor(color));
}

Command plain(Kind kind)
{
    return Command::perform(PresentationAction::plain(kind));
}

} // namespace

TEST(CommandUrl, ReadsHostAndPathFormsInAnyCase)
{
    const std::pair<CommandUrlParts, Command> cases[] = {
        {hostUrl("activate", {"draw"}), Command::activate(Feature::drawing)},
        {pathUrl({"/", "toggle", "loupe"}), Command::toggle(Feature::zooming)},
        {hostUrl("stop"), Command::stop()},
        {hostUrl("stop", {"/"}), Command::stop()},
        {pathUrl({"stop"}), Command::stop()},
        {hostUrl("action", {"tool", "pen"}), tool(PresentationTool::pen)},
        {pathUrl({"action", "color", "green"}), color(PresentationColor::green)},
        {hostUrl("action", {"timer-add-minute"}), plain(Kind::addTimerMinute)},
        {{"ZenTrel", "stop", {}}, Command::stop()},
        {hostUrl("ACTIVATE", {"Whiteboard"}), Command::activate(Feature::whiteboard)},
        {hostUrl("toggle", {"BreakTimer"}), Command::toggle(Feature::breakTimer)},
        {hostUrl("Action", {"TOOL", "Pen"}), tool(PresentationTool::pen)},
        {hostUrl("action", {"Color", "RED"}), color(PresentationColor::red)},
    };
    for (const auto &[url, expected] : cases) {
        EXPECT_EQ(parseCommandUrl(url), expected) << text(url);
    }
}

TEST(CommandUrl, AcceptsEveryFeatureAlias)
{
    const std::pair<const char *, Feature> aliases[] = {{"draw", Feature::drawing},
                                                        {"drawing", Feature::drawing},
                                                        {"zoom", Feature::zooming},
                                                        {"zooming", Feature::zooming},
                                                        {"LOUPE", Feature::zooming},
                                                        {"spotlight", Feature::spotlight},
                                                        {"freeze", Feature::freeze},
                                                        {"whiteboard", Feature::whiteboard},
                                                        {"board", Feature::whiteboard},
                                                        {"timer", Feature::breakTimer},
                                                        {"break-timer", Feature::breakTimer},
                                                        {"breaktimer", Feature::breakTimer},
                                                        {"halo", Feature::cursorHalo},
                                                        {"cursor-halo", Feature::cursorHalo},
                                                        {"cursorHalo", Feature::cursorHalo}};
    for (const auto &[word, feature] : aliases) {
        EXPECT_EQ(parseCommandUrl(hostUrl("toggle", {word})), Command::toggle(feature)) << word;
    }
    for (const char *word : {"", "break_timer", "drawings", " draw", "cursor halo"}) {
        EXPECT_EQ(parseCommandUrl(hostUrl("activate", {word})), std::nullopt) << word;
    }
}

TEST(CommandUrl, MapsEveryPlainActionWordWithoutArguments)
{
    const std::pair<const char *, Kind> words[] = {{"undo", Kind::undo},
                                                   {"redo", Kind::redo},
                                                   {"clear", Kind::clear},
                                                   {"copy", Kind::copyCurrentCanvas},
                                                   {"save", Kind::saveCurrentCanvas},
                                                   {"reset", Kind::resetViewport},
                                                   {"Timer-Pause", Kind::toggleTimerPause},
                                                   {"timer-add-minute", Kind::addTimerMinute}};
    for (const auto &[word, kind] : words) {
        EXPECT_EQ(parseCommandUrl(hostUrl("action", {word})), plain(kind)) << word;
        EXPECT_EQ(parseCommandUrl(hostUrl("action", {word, "now"})), std::nullopt) << word;
    }
}

TEST(CommandUrl, RejectsMalformedForeignAndIncompleteUrls)
{
    const CommandUrlParts invalid[] = {
        hostUrl("stop", {"now"}),
        hostUrl("activate"),
        hostUrl("activate", {"draw", "extra"}),
        pathUrl({"/", "toggle", "/"}),
        hostUrl("action", {"tool", "marker"}),
        hostUrl("action", {"tool"}),
        hostUrl("action", {"tool", "pen", "extra"}),
        hostUrl("action", {"colour", "red"}),
        hostUrl("action", {"color", "purple"}),
        hostUrl("action"),
        hostUrl("action", {"dance"}),
        hostUrl("open", {"draw"}),
        {"http", "stop", {}},
        {"zentrels", "stop", {}},
        {"", "stop", {}},
        pathUrl({}),
        pathUrl({"/"}),
    };
    for (const auto &url : invalid) {
        EXPECT_EQ(parseCommandUrl(url), std::nullopt) << text(url);
    }
}
