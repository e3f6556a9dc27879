#pragma once

#include "common/json/json_events.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// Every SAX call a reader makes, one line each, so that two readers' reports compare as text.
// Numbers keep their type and their exact bits; strings their length, so no text can pass for
// another line.
class JsonEventLog
{
public:
    std::string text;

    bool null() { return add("null"); }

    bool boolean(bool value) { return add(value ? "true" : "false"); }

    bool number_integer(std::int64_t value) { return add("integer " + std::to_string(value)); }

    bool number_unsigned(std::uint64_t value) { return add("unsigned " + std::to_string(value)); }

    bool number_float(double value, const std::string &)
    {
        return add("float " + std::to_string(std::bit_cast<std::uint64_t>(value)));
    }

    bool string(std::string &value) { return add("string", value); }

    bool binary(nlohmann::json::binary_t &) { return add("binary"); }

    bool key(std::string &value) { return add("key", value); }

    bool start_object(std::size_t) { return add("{"); }

    bool end_object() { return add("}"); }

    bool start_array(std::size_t) { return add("["); }

    bool end_array() { return add("]"); }

    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &)
    {
        add("error");
        return false;
    }

private:
    bool add(std::string_view line)
    {
        text.append(line).append("\n");
        return true;
    }

    bool add(std::string_view kind, const std::string &value)
    {
        return add(std::string(kind) + " " + std::to_string(value.size()) + ":" + value);
    }
};

// What nlohmann/json reports for `text`, and what readJsonEvents does.
inline std::string libraryEvents(std::string_view text)
{
    JsonEventLog log;
    nlohmann::json::sax_parse(text, &log);
    return log.text;
}

inline std::string readerEvents(std::string_view text)
{
    JsonEventLog log;
    if (!readJsonEvents(text, log)) {
        log.text += "error\n";
    }
    return log.text;
}

// Texts at the edges of the grammar, of number ranges and of UTF-8, good and bad.
inline const std::vector<std::string> &jsonEdgeTexts()
{
    using namespace std::string_literals;
    static const std::vector<std::string> texts = {
        "{}",
        "[]",
        " \t\r\n[ ] \t\r\n",
        R"({"a": {"b": [true, false, null, {}, []]}, "a": 1, "": ""})",
        "[0, -0, 1, -1, 1.5, -0.0, 0.1, 1e5, 1E+5, 2e-3, 1.25E-2, 123456789012345678901234567890]",
        "[18446744073709551615, 18446744073709551616, -9223372036854775808, -9223372036854775809]",
        "[1e-400, -1e-400, 4.9e-324, 2.4703282292062327e-324, 1.7976931348623157e308]",
        R"(["a\"b\\c\/d\b\f\n\r\t", "\u0000\u00e9\u20AC\ud83d\ude00", "\uD834\uDD1E"])",
        "[\"Grüße — 你好 😀 \x7f\"]",
        "\xEF\xBB\xBF{\"bom\": 1}",
        "{}\0 anything after a NUL byte"s,
        "7",
        "\"alone\"",
        // Malformed: every one of these fails.
        "",
        " ",
        "{",
        "[1,]",
        "[,1]",
        "[1 2]",
        "[1]]",
        "{}{}",
        R"({"a" 1})",
        R"({"a":})",
        R"({"a":1,})",
        "{1: 2}",
        "01",
        "-",
        "-a",
        "1.",
        ".5",
        "+1",
        "1e",
        "1e+",
        "1e400",
        "[-1e400]",
        "tru",
        "truex",
        "nul",
        "NaN",
        "/* comment */ 1",
        "[\"a\"\"b\"]",
        "\"unclosed",
        R"("\x")",
        R"("\u12")",
        R"("\ud800")",
        R"("\ud800\u0041")",
        R"("\udc00")",
        "\"\x01\"",
        "\"a\0b\""s,
        "[1,\0]"s,
        "\"\xC0\x80\"",
        "\"\xC3\"",
        "\"\xE0\x80\x80\"",
        "\"\xED\xA0\x80\"",
        "\"\xF4\x90\x80\x80\"",
        "\"\xF8\x88\x80\x80\x80\"",
        "\xEF\xBB{}",
        "\xEF",
    };
    return texts;
}

} // namespace zentrel
