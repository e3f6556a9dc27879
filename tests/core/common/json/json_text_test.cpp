#include "common/json/json_text.h"

#include "common/json/json_reindent.h"
#include "json_event_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace zentrel;
using nlohmann::json;

namespace {

std::vector<json> sampleValues()
{
    std::vector<json> values;
    for (const std::string &text : jsonEdgeTexts()) {
        json value = json::parse(text, nullptr, false);
        if (!value.is_discarded()) {
            values.push_back(std::move(value));
        }
    }
    // Strings the library escapes, and ill-formed UTF-8 it replaces.
    for (const char *text : {"\x01\x1f\x7f \"\\/\b\f\n\r\t",
                             "caf\xC3\xA9 \xF0\x9F\x98\x80",
                             "\xC3(",
                             "a\xFF",
                             "abc\xE2\x82",
                             "\xED\xA0\x80 tail",
                             ""}) {
        values.push_back(text);
        values.push_back(json::object({{text, json::array({text, 1})}}));
    }
    constexpr double infinity = std::numeric_limits<double>::infinity();
    values.push_back(json::array({0.1,
                                  1e21,
                                  1e-7,
                                  -0.0,
                                  100.0,
                                  1.5e300,
                                  5e-324,
                                  1e15,
                                  1e16,
                                  123456.789,
                                  std::nan(""),
                                  infinity,
                                  -infinity}));
    values.push_back(json::array({std::numeric_limits<std::int64_t>::min(),
                                  std::numeric_limits<std::uint64_t>::max(),
                                  0,
                                  -1}));
    values.push_back(json::object({{"empty", json::object()},
                                   {"list", json::array({json::array(), json::object(), nullptr})},
                                   {"flag", true}}));
    return values;
}

} // namespace

TEST(JsonText, WritesWhatDumpWrites)
{
    for (const json &value : sampleValues()) {
        const std::string dumped = value.dump(-1, ' ', false, json::error_handler_t::replace);
        for (const int indent : {-1, 0, 2, 4}) {
            std::string written = "prefix";
            appendJsonText(written, value, indent);
            EXPECT_EQ(written,
                      "prefix" + value.dump(indent, ' ', false, json::error_handler_t::replace))
                << dumped << " at indent " << indent;
        }
        // Nested at some depth, every line after the first moves in.
        std::string nested;
        appendJsonText(nested, value, 2, 6);
        std::string expected = value.dump(2, ' ', false, json::error_handler_t::replace);
        for (std::size_t at = expected.find('\n'); at != std::string::npos;
             at = expected.find('\n', at + 1)) {
            expected.insert(at + 1, 6, ' ');
        }
        EXPECT_EQ(nested, expected) << dumped;
    }
}

TEST(JsonText, ReindentsWhatDumpWroteAsDumpWouldIndentIt)
{
    std::vector<json> values = sampleValues();
    // An escaped key, then enough nesting to move the open objects before the next key.
    values.push_back(json::parse(R"({"\t": {"a": {"b": {"c": {"d": {"e": [[[1]]]}}}}}, "z": 1})"));
    for (const json &value : values) {
        const std::string compact = value.dump(-1, ' ', false, json::error_handler_t::replace);
        std::string written = "prefix";
        ASSERT_TRUE(appendReindentedDump(written, compact, 2, 4, 512)) << compact;
        std::string expected = value.dump(2, ' ', false, json::error_handler_t::replace);
        for (std::size_t at = expected.find('\n'); at != std::string::npos;
             at = expected.find('\n', at + 1)) {
            expected.insert(at + 1, 4, ' ');
        }
        EXPECT_EQ(written, "prefix" + expected) << compact;
    }
}

TEST(JsonText, LeavesToTheTreeWhatDumpWouldWriteOtherwise)
{
    // Each is valid JSON whose dump differs from it, or nests too deep.
    for (const std::string text : {R"({"b":1,"a":2})",
                                   R"({"a":1,"a":2})",
                                   R"({ "a":1})",
                                   R"([1, 2])",
                                   R"({"\u0061":1})",
                                   R"({"b":1,"\n":2})",
                                   R"(["\/"])",
                                   R"(["\u0041"])",
                                   R"(["\u001F"])",
                                   R"(["\u0008"])",
                                   "[1e5]",
                                   "[1.50]",
                                   "[-0]",
                                   "[18446744073709551616]",
                                   "[\"\xC3\"]",
                                   "[[[[1]]]]",
                                   "[[[[]]]]",
                                   "[1]x",
                                   "",
                                   "[1,]",
                                   "{\"a\"}"}) {
        std::string written = "kept";
        EXPECT_FALSE(appendReindentedDump(written, text, 2, 0, 3)) << text;
        EXPECT_EQ(written, "kept");
    }
}
