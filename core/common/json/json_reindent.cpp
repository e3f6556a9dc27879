#include "common/json/json_reindent.h"

#include "common/text.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

namespace zentrel {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The escapes dump writes: the short ones, and \u00xx in lower case for other control bytes.
bool isDumpedEscape(std::string_view text, std::size_t at, std::size_t &length)
{
    constexpr std::string_view shortForms = "\"\\bfnrt";
    if (at + 1 < text.size() && shortForms.find(text[at + 1]) != std::string_view::npos) {
        length = 2;
        return true;
    }
    if (at + 6 > text.size() || text.substr(at, 4) != "\\u00") {
        return false;
    }
    constexpr std::string_view lowerHex = "0123456789abcdef";
    const std::size_t high = lowerHex.find(text[at + 4]);
    const std::size_t low = lowerHex.find(text[at + 5]);
    if (high > 1 || low == std::string_view::npos) {
        return false;
    }
    const std::size_t code = high * 16 + low;
    length = 6;
    return code != '\b' && code != '\t' && code != '\n' && code != '\f' && code != '\r';
}

// One past the string that opens at `at` when dump would spell its value so; 0 otherwise.
std::size_t dumpedStringEnd(std::string_view text, std::size_t at, bool &escaped)
{
    escaped = false;
    std::size_t i = at + 1;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (c == '"') {
            return i + 1;
        }
        if (c == '\\') {
            escaped = true;
            if (!isDumpedEscape(text, i, length)) {
                return 0;
            }
        } else if (c < 0x20) {
            return 0;
        } else if (c >= 0x80) {
            length = utf8SequenceLength(text.substr(i));
            if (length == 0) {
                return 0; // dump would have replaced it
            }
        }
        i += length;
    }
    return 0;
}

// One past the number that starts at `at` when dump would spell its value so; 0 otherwise.
std::size_t dumpedNumberEnd(std::string_view text, std::size_t at)
{
    std::size_t end = at + (text[at] == '-' ? 1 : 0);
    const std::size_t digits = end;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
    }
    bool whole = true;
    while (end < text.size()
           && (isDigit(text[end]) || text[end] == '.' || text[end] == 'e' || text[end] == 'E'
               || text[end] == '+' || text[end] == '-')) {
        whole = false;
        ++end;
    }
    if (end == digits || (text[digits] == '0' && end > digits + 1 && whole)) {
        return 0;
    }
    const char *first = text.data() + at;
    const char *last = text.data() + end;
    if (whole) {
        // Integers are written in plain decimal; "-0" reads as the integer 0, written "0".
        std::int64_t integer = 0;
        std::uint64_t natural = 0;
        const auto read = text[at] == '-' ? std::from_chars(first, last, integer)
                                          : std::from_chars(first, last, natural);
        const bool fits = read.ec == std::errc() && read.ptr == last;
        return fits && text.substr(at, end - at) != "-0" ? end : 0;
    }
    double value = 0;
    const auto read = std::from_chars(first, last, value);
    if (read.ec != std::errc() || read.ptr != last) {
        return 0;
    }
    std::array<char, 64> buffer{};
    const char *written =
        nlohmann::detail::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    const std::string_view spelled(buffer.data(),
                                   static_cast<std::size_t>(written - buffer.data()));
    return spelled == text.substr(at, end - at) ? end : 0;
}

// One past the string, number or literal that starts at `at` when dump would spell it so; 0
// otherwise.
std::size_t dumpedScalarEnd(std::string_view text, std::size_t at)
{
    const char c = text[at];
    if (c == '"') {
        bool escaped = false;
        return dumpedStringEnd(text, at, escaped);
    }
    if (c == '-' || isDigit(c)) {
        return dumpedNumberEnd(text, at);
    }
    for (const std::string_view literal : {"true", "false", "null"}) {
        if (text.substr(at, literal.size()) == literal) {
            return at + literal.size();
        }
    }
    return 0;
}

struct OpenValue
{
    bool isObject;
    bool hasKey = false;
    // Keys must come in the order of the tree's sorted map. The last key is a view of the text,
    // or held here when it had escapes (not viewed: the value moves as the stack grows).
    bool lastEscaped = false;
    std::string_view lastWritten;
    std::string lastUnescaped;

    std::string_view lastKey() const
    {
        return lastEscaped ? std::string_view(lastUnescaped) : lastWritten;
    }
};

// An object's key and its colon, written as dump writes them; the key must come after the one
// before it.
bool appendKey(std::string &out, std::string_view text, std::size_t &at, OpenValue &object)
{
    bool escaped = false;
    const std::size_t end =
        at < text.size() && text[at] == '"' ? dumpedStringEnd(text, at, escaped) : 0;
    if (end == 0 || end >= text.size() || text[end] != ':') {
        return false;
    }
    const std::string_view written = text.substr(at, end - at);
    // Keys order by the strings they hold; the rare escaped one is read to know it.
    std::string read;
    if (escaped) {
        const nlohmann::json value = nlohmann::json::parse(written, nullptr, false);
        if (!value.is_string()) {
            return false;
        }
        read = value.get<std::string>();
    }
    const std::string_view key = escaped ? std::string_view(read) : written.substr(1, end - at - 2);
    if (object.hasKey && !(object.lastKey() < key)) {
        return false;
    }
    object.hasKey = true;
    object.lastEscaped = escaped;
    if (escaped) {
        object.lastUnescaped = std::move(read);
    } else {
        object.lastWritten = key;
    }
    out.append(written);
    out += ": ";
    at = end + 1;
    return true;
}

bool reindent(std::string &out, std::string_view text, int indent, int level, std::size_t maxDepth)
{
    std::vector<OpenValue> open;
    const auto newLine = [&out, &open, indent, level] {
        out += '\n';
        out.append(static_cast<std::size_t>(level + static_cast<int>(open.size()) * indent), ' ');
    };
    std::size_t at = 0;
    bool keyNext = false;
    for (;;) {
        if (keyNext && !appendKey(out, text, at, open.back())) {
            return false;
        }
        if (at >= text.size()) {
            return false;
        }
        const char c = text[at];
        if (c == '{' || c == '[') {
            // Empty or not, every array and object counts toward the depth, as in the readers.
            if (open.size() >= maxDepth) {
                return false;
            }
            const char close = c == '{' ? '}' : ']';
            out += c;
            if (at + 1 < text.size() && text[at + 1] == close) {
                out += close;
                at += 2;
            } else {
                open.push_back({c == '{', false, false, {}, {}});
                newLine();
                ++at;
                keyNext = c == '{';
                continue;
            }
        } else {
            const std::size_t end = dumpedScalarEnd(text, at);
            if (end == 0) {
                return false;
            }
            out.append(text.substr(at, end - at));
            at = end;
        }
        // A value has ended: close what ends with it, up to the next value.
        for (;;) {
            if (open.empty()) {
                return at == text.size();
            }
            if (at >= text.size()) {
                return false;
            }
            if (text[at] == ',') {
                out += ',';
                newLine();
                ++at;
                keyNext = open.back().isObject;
                break;
            }
            const char close = open.back().isObject ? '}' : ']';
            if (text[at] != close) {
                return false;
            }
            open.pop_back();
            newLine();
            out += close;
            ++at;
        }
    }
}

} // namespace

bool appendReindentedDump(
    std::string &out, std::string_view compact, int indent, int level, std::size_t maxDepth)
{
    const std::size_t start = out.size();
    // Indenting adds about as much as there is.
    out.reserve(start + compact.size() * 2);
    if (!reindent(out, compact, indent, level, maxDepth)) {
        out.resize(start);
        return false;
    }
    return true;
}

} // namespace zentrel
