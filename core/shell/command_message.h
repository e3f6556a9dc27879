#pragma once

#include "common/iso_date.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// What a start of `zentrel URL…` hands to the running instance: its URLs and the moment it stops
// waiting for an answer. A start that gave up tells its caller the command failed, so the
// instance must never run that message afterwards (after being stopped or swamped, say).
struct CommandMessage
{
    enum class Request {
        runUrls,
        // A start without URLs: bring the way into the menu back, whether or not command URLs
        // are allowed.
        revealMenu,
    };

    std::vector<std::string> urls;
    Timestamp giveUpAt;
    Request request = Request::runUrls;

    bool operator==(const CommandMessage &) const = default;
};

// One "give-up-at=<milliseconds since 1970>" line, then one URL per line, or the line
// "request=revealMenu" (which no URL can be) and nothing more; no end marker.
std::string encodeCommandMessage(const CommandMessage &message);
// The message a start sends: a request to reveal the menu when it has no URLs.
CommandMessage startMessage(std::vector<std::string> urls, Timestamp giveUpAt);
// Nothing for a message without a valid first line, or with URLs beside a reveal request: it
// comes from no start of ours. Empty lines carry no URL.
std::optional<CommandMessage> decodeCommandMessage(std::string_view text);

// Whether the instance may still take and run `message` at `now`: only before its sender gave
// up, so a command its sender reported as failed never runs.
bool isCommandMessageCurrent(const CommandMessage &message, Timestamp now);

} // namespace zentrel
