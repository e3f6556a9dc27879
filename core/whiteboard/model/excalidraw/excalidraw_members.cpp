#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <nlohmann/json.hpp>

namespace zentrel {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

std::size_t skipSpaces(std::string_view text, std::size_t at)
{
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    return at;
}

// One past the closing quote of the string that opens at `at`; the text's end when unclosed.
// Quotes are searched for, not every byte looked at: a quote is escaped when an odd run of
// backslashes stands right before it.
std::size_t stringEnd(std::string_view text, std::size_t at)
{
    std::size_t from = at + 1;
    for (std::size_t quote = text.find('"', from); quote != std::string_view::npos;
         quote = text.find('"', from)) {
        std::size_t slashes = 0;
        while (quote - slashes > from && text[quote - slashes - 1] == '\\') {
            ++slashes;
        }
        if (slashes % 2 == 0) {
            return quote + 1;
        }
        from = quote + 1;
    }
    return text.size();
}

// One past the value that starts at `at`: a string, or everything up to the comma or brace that
// ends it at its own depth.
std::size_t valueEnd(std::string_view text, std::size_t at)
{
    int depth = 0;
    std::size_t i = at;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            i = stringEnd(text, i);
            continue;
        }
        if (c == '[' || c == '{') {
            ++depth;
        } else if (c == ']' || c == '}') {
            if (depth == 0) {
                break;
            }
            --depth;
        } else if (c == ',' && depth == 0) {
            break;
        }
        ++i;
    }
    while (i > at && isSpace(text[i - 1])) {
        --i;
    }
    return i;
}

} // namespace

std::optional<std::string> excalidrawRawString(std::string_view value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::nullopt;
    }
    const std::string_view inner = value.substr(1, value.size() - 2);
    if (inner.find('\\') == std::string_view::npos) {
        return std::string(inner);
    }
    const nlohmann::json parsed = nlohmann::json::parse(value, nullptr, false);
    if (!parsed.is_string()) {
        return std::nullopt;
    }
    return parsed.get<std::string>();
}

std::optional<ExcalidrawRawMember> excalidrawRawMember(std::string_view memberText)
{
    if (memberText.empty() || memberText.front() != '"') {
        return std::nullopt;
    }
    const std::size_t keyEnd = stringEnd(memberText, 0);
    std::size_t at = skipSpaces(memberText, keyEnd);
    if (keyEnd < 2 || at >= memberText.size() || memberText[at] != ':') {
        return std::nullopt;
    }
    at = skipSpaces(memberText, at + 1);
    std::string_view value = memberText.substr(at);
    while (!value.empty() && isSpace(value.back())) {
        value.remove_suffix(1);
    }
    return ExcalidrawRawMember{memberText.substr(1, keyEnd - 2), value};
}

std::vector<ExcalidrawRawMember> excalidrawRawMembers(std::string_view objectText)
{
    std::vector<ExcalidrawRawMember> members;
    appendRawMembers(members, objectText);
    return members;
}

void appendRawMembers(std::vector<ExcalidrawRawMember> &members, std::string_view objectText)
{
    std::size_t at = skipSpaces(objectText, 0);
    if (at >= objectText.size() || objectText[at] != '{') {
        return;
    }
    at = skipSpaces(objectText, at + 1);
    while (at < objectText.size() && objectText[at] == '"') {
        const std::size_t keyEnd = stringEnd(objectText, at);
        std::size_t valueStart = skipSpaces(objectText, keyEnd);
        if (valueStart >= objectText.size() || objectText[valueStart] != ':') {
            break;
        }
        valueStart = skipSpaces(objectText, valueStart + 1);
        const std::size_t end = valueEnd(objectText, valueStart);
        if (auto member = excalidrawRawMember(objectText.substr(at, end - at))) {
            members.push_back(*member);
        }
        at = skipSpaces(objectText, end);
        if (at < objectText.size() && objectText[at] == ',') {
            at = skipSpaces(objectText, at + 1);
        }
    }
}

void appendMinifiedJson(std::string &out, std::string_view text)
{
    // Runs of tokens and whole strings go over at once; only white space is left behind.
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t run = i;
        while (run < text.size() && text[run] != '"' && !isSpace(text[run])) {
            ++run;
        }
        if (run < text.size() && text[run] == '"') {
            run = stringEnd(text, run);
        }
        out.append(text.substr(i, run - i));
        i = run;
        while (i < text.size() && isSpace(text[i])) {
            ++i;
        }
    }
}

bool isMinifiedJson(std::string_view text, std::string_view minified)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const std::size_t end = stringEnd(text, i);
            if (minified.substr(at, end - i) != text.substr(i, end - i)) {
                return false;
            }
            at += end - i;
            i = end - 1;
        } else if (!isSpace(c)) {
            if (at >= minified.size() || minified[at] != c) {
                return false;
            }
            ++at;
        }
    }
    return at == minified.size();
}

} // namespace zentrel
