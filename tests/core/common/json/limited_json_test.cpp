#include "common/json/limited_json.h"

#include "common/json/json_file.h"
#include "fakes/temporary_directory.h"
#include "json_event_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace zentrel;

namespace {

std::string nestedArrays(std::size_t depth)
{
    return std::string(depth, '[') + "1" + std::string(depth, ']');
}

// One value 50,000 objects deep, as a hostile settings file holds it.
std::string nestedObjects(std::size_t depth)
{
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += "{\"a\":";
    }
    return text + "1" + std::string(depth, '}');
}

} // namespace

TEST(LimitedJson, TakesNestingUpToTheLimitAndRefusesDeeper)
{
    EXPECT_TRUE(parseLimitedJson(nestedArrays(jsonMaxNestingDepth)).has_value());
    for (const std::string &deep : {nestedArrays(jsonMaxNestingDepth + 1), nestedObjects(50'000)}) {
        const auto parsed = parseLimitedJson(deep);
        ASSERT_FALSE(parsed.has_value());
        EXPECT_EQ(parsed.error().kind, JsonParseError::Kind::nestedTooDeeply);
    }
    const auto malformed = parseLimitedJson("{\"a\": [1, 2");
    ASSERT_FALSE(malformed.has_value());
    EXPECT_EQ(malformed.error().kind, JsonParseError::Kind::malformed);
    EXPECT_FALSE(malformed.error().detail.empty());
}

TEST(JsonFile, ReadsAFileNestedTooDeeplyAsMalformed)
{
    TemporaryDirectory folder;
    std::ofstream(folder / "deep.json") << "{\"k\": " << nestedObjects(50'000) << "}";
    const auto read = readJsonFile(folder / "deep.json");
    ASSERT_FALSE(read.has_value());
    EXPECT_EQ(read.error().kind, JsonFileError::Kind::malformed);
    EXPECT_EQ(read.error().file.reason, "the file is nested too deeply");
}

TEST(LimitedJson, SaysWhyInTheLibrarysWords)
{
    const auto parsed = parseLimitedJson("[1,\n ]");
    ASSERT_FALSE(parsed.has_value());
    EXPECT_EQ(parsed.error().detail,
              "[json.exception.parse_error.101] parse error at line 2, column 2: syntax error "
              "while parsing value - unexpected ']'; expected '[', '{', or a literal");
    for (const std::string &text : jsonEdgeTexts()) {
        const auto limited = parseLimitedJson(text);
        const auto library = nlohmann::json::parse(text, nullptr, false);
        ASSERT_EQ(limited.has_value(), !library.is_discarded()) << text;
        if (limited) {
            EXPECT_EQ(*limited, library) << text;
        }
    }
}
