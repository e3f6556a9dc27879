#include "shell/command_message.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <utility>

namespace zentrel {
namespace {

constexpr std::string_view giveUpKey = "give-up-at=";
constexpr std::string_view revealMenuLine = "request=revealMenu";

std::optional<Timestamp> parseMilliseconds(std::string_view text)
{
    std::int64_t milliseconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return Timestamp{} + std::chrono::milliseconds(milliseconds);
}

} // namespace

std::string encodeCommandMessage(const CommandMessage &message)
{
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(message.giveUpAt.time_since_epoch());
    std::string text = std::string(giveUpKey) + std::to_string(milliseconds.count()) + '\n';
    if (message.request == CommandMessage::Request::revealMenu) {
        return text + std::string(revealMenuLine) + '\n';
    }
    for (const std::string &url : message.urls) {
        text += url + '\n';
    }
    return text;
}

std::optional<CommandMessage> decodeCommandMessage(std::string_view text)
{
    std::size_t lineEnd = text.find('\n');
    const std::string_view first = text.substr(0, lineEnd);
    if (first.substr(0, giveUpKey.size()) != giveUpKey) {
        return std::nullopt;
    }
    const std::optional<Timestamp> giveUpAt = parseMilliseconds(first.substr(giveUpKey.size()));
    if (!giveUpAt) {
        return std::nullopt;
    }
    CommandMessage message{{}, *giveUpAt};
    while (lineEnd != std::string_view::npos) {
        const std::size_t start = lineEnd + 1;
        lineEnd = text.find('\n', start);
        const std::string_view line = text.substr(start, lineEnd - start);
        if (line == revealMenuLine && message.request == CommandMessage::Request::runUrls) {
            message.request = CommandMessage::Request::revealMenu;
        } else if (!line.empty()) {
            message.urls.emplace_back(line);
        }
    }
    if (message.request == CommandMessage::Request::revealMenu && !message.urls.empty()) {
        return std::nullopt;
    }
    return message;
}

CommandMessage startMessage(std::vector<std::string> urls, Timestamp giveUpAt)
{
    const auto request =
        urls.empty() ? CommandMessage::Request::revealMenu : CommandMessage::Request::runUrls;
    return CommandMessage{std::move(urls), giveUpAt, request};
}

bool isCommandMessageCurrent(const CommandMessage &message, Timestamp now)
{
    return now < message.giveUpAt;
}

} // namespace zentrel
