#include "common/json/json_text.h"

#include "common/json/json_plain_bytes.h"
#include "common/text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace zentrel {
namespace {

using json = nlohmann::json;

void appendEscaped(std::string &out, unsigned char c)
{
    switch (c) {
    case '"':
        out += "\\\"";
        break;
    case '\\':
        out += "\\\\";
        break;
    case '\b':
        out += "\\b";
        break;
    case '\f':
        out += "\\f";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    default: {
        constexpr std::string_view digits = "0123456789abcdef";
        out += "\\u00";
        out += digits[c >> 4];
        out += digits[c & 0xF];
        break;
    }
    }
}

template <typename Integer>
void appendInteger(std::string &out, Integer value)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

void newLine(std::string &out, int level)
{
    out += '\n';
    out.append(static_cast<std::size_t>(level), ' ');
}

void appendObject(std::string &out, const json &value, int indent, int level)
{
    if (value.empty()) {
        out += "{}";
        return;
    }
    out += '{';
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) {
            out += ',';
        }
        first = false;
        if (indent >= 0) {
            newLine(out, level + indent);
        }
        appendJsonString(out, it.key());
        out += indent >= 0 ? ": " : ":";
        appendJsonText(out, it.value(), indent, level + indent);
    }
    if (indent >= 0) {
        newLine(out, level);
    }
    out += '}';
}

void appendArray(std::string &out, const json &value, int indent, int level)
{
    if (value.empty()) {
        out += "[]";
        return;
    }
    out += '[';
    bool first = true;
    for (const json &item : value) {
        if (!first) {
            out += ',';
        }
        first = false;
        if (indent >= 0) {
            newLine(out, level + indent);
        }
        appendJsonText(out, item, indent, level + indent);
    }
    if (indent >= 0) {
        newLine(out, level);
    }
    out += ']';
}

// Binary values never come from JSON text; they are left to the library, lines indented after.
void appendBinary(std::string &out, const json &value, int indent, int level)
{
    const std::string text = value.dump(indent, ' ', false, json::error_handler_t::replace);
    for (const char c : text) {
        out += c;
        if (c == '\n') {
            out.append(static_cast<std::size_t>(level), ' ');
        }
    }
}

} // namespace

void appendJsonString(std::string &out, std::string_view text)
{
    const std::size_t start = out.size();
    out += '"';
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t run = at;
        while (at < text.size() && isPlainJsonStringByte(text[at])) {
            ++at;
        }
        out.append(text.substr(run, at - run));
        if (at == text.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            appendEscaped(out, c);
            ++at;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text.substr(at));
        if (length == 0) {
            // Ill-formed UTF-8: the library's replacement rules decide, for the whole string.
            out.resize(start);
            out += json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
            return;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    out += '"';
}

void appendJsonNumber(std::string &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    std::array<char, 64> buffer{};
    char *end = nlohmann::detail::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), end);
}

void appendJsonNumber(std::string &out, std::int64_t value)
{
    appendInteger(out, value);
}

void appendJsonNumber(std::string &out, std::uint64_t value)
{
    appendInteger(out, value);
}

void appendJsonText(std::string &out, const json &value, int indent, int level)
{
    switch (value.type()) {
    case json::value_t::object:
        appendObject(out, value, indent, level);
        break;
    case json::value_t::array:
        appendArray(out, value, indent, level);
        break;
    case json::value_t::string:
        appendJsonString(out, value.get_ref<const std::string &>());
        break;
    case json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        break;
    case json::value_t::number_integer:
        appendJsonNumber(out, value.get<std::int64_t>());
        break;
    case json::value_t::number_unsigned:
        appendJsonNumber(out, value.get<std::uint64_t>());
        break;
    case json::value_t::number_float:
        appendJsonNumber(out, value.get<double>());
        break;
    case json::value_t::binary:
        appendBinary(out, value, indent, level);
        break;
    case json::value_t::discarded:
        out += "<discarded>";
        break;
    case json::value_t::null:
        out += "null";
        break;
    }
}

std::string_view afterSeparators(const char *begin, const char *end, char separator)
{
    while (begin < end
           && (*begin == ' ' || *begin == '\n' || *begin == '\t' || *begin == '\r'
               || *begin == separator)) {
        ++begin;
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

} // namespace zentrel
