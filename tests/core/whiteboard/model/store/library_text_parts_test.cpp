#include "whiteboard/model/store/library_text_parts.h"

#include "common/json/json_file.h"
#include "common/json/limited_json.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/store/whiteboard_library_store.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <gtest/gtest.h>

#include <string>

using namespace zentrel;
using nlohmann::json;

namespace {

WhiteboardElement element(std::size_t number, WhiteboardElementKind kind)
{
    WhiteboardElement made;
    made.id = *Uuid::parse("E0000000-0000-4000-8000-00000000000" + std::to_string(number));
    made.kind = kind;
    made.setFrame({10.0 * number, 5, 40, 30});
    // Braces, brackets, quotes and escapes inside strings must not cut anything.
    made.text = "a } ] \" [ { \\ \u00e9 \n" + std::to_string(number);
    made.points = {{1, 2}, {3, 4}};
    return made;
}

WhiteboardBoard board(const char *id, std::vector<WhiteboardElement> elements)
{
    WhiteboardBoard made;
    made.id = *Uuid::parse(id);
    made.name = "Board {[\"";
    for (WhiteboardElement &element : elements) {
        made.elements.push_back(makeElement(std::move(element)));
    }
    made.excalidrawFiles = {{"f1", R"({"elements": [1, 2]})"}};
    return made;
}

WhiteboardLibrary library()
{
    using Kind = WhiteboardElementKind;
    WhiteboardLibrary made;
    made.boards = {board("B0000000-0000-4000-8000-000000000001",
                         {element(1, Kind::rectangle), element(2, Kind::freedraw)}),
                   board("B0000000-0000-4000-8000-000000000002", {}),
                   board("B0000000-0000-4000-8000-000000000003", {element(3, Kind::text)})};
    made.currentBoardID = made.boards[2].id;
    made.migrationCompleted = true;
    return made;
}

json libraryJson()
{
    return *encodeWhiteboardLibrary(library());
}

// What reading the whole text gives, the way the store always read it.
std::optional<WhiteboardLibrary> readWhole(std::string_view text)
{
    const auto parsed = parseLimitedJson(text);
    if (!parsed) {
        return std::nullopt;
    }
    auto decoded = decodeWhiteboardLibrary(*parsed);
    return decoded ? std::optional(std::move(*decoded)) : std::nullopt;
}

// The text with the first occurrence of `from` replaced.
std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(LibraryTextParts, StoredLibrarySplitsIntoItsElementsAndTheRest)
{
    const json whole = libraryJson();
    const std::string text = prettyJson(whole);
    const auto parts = splitLibraryText(text);
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->boardElements.size(), 3u);
    json rest = whole;
    for (std::size_t b = 0; b < 3; ++b) {
        const json &elements = whole["boards"][b]["elements"];
        ASSERT_EQ(parts->boardElements[b].size(), elements.size()) << b;
        for (std::size_t e = 0; e < elements.size(); ++e) {
            EXPECT_EQ(json::parse(parts->boardElements[b][e]), elements[e]) << b << ", " << e;
        }
        rest["boards"][b]["elements"] = json::array();
    }
    EXPECT_EQ(json::parse(parts->skeleton), rest);
    EXPECT_EQ(decodeLibraryInParts(text, runInOrder), library());
}

TEST(LibraryTextParts, ReadsWhatTheWholeTextReadsInAnyLayout)
{
    json unknown = libraryJson();
    // Names that matter only where they stand: inside other values they are data.
    unknown["extra"] = {{"boards", json::array({{{"elements", json::array({1})}}})}};
    unknown["boards"][0]["extra"] = {{"elements", {{"x", "]"}}}};
    unknown["boards"][0]["elements"][0]["extra"] = {{"elements", json::array({{{"y", 1}}})}};
    const std::string stored = prettyJson(libraryJson());
    std::string spaced = replaced(stored, "\"elements\": [", "\"elements\" :\r\n\t[\t ");
    spaced = replaced(spaced, "},\n", "}\t\r\n ,\n  ");
    for (const std::string &text : {stored,
                                    libraryJson().dump(),
                                    spaced,
                                    prettyJson(unknown),
                                    unknown.dump(),
                                    "  " + libraryJson().dump() + " \n"}) {
        const auto inParts = decodeLibraryInParts(text, runInOrder);
        ASSERT_TRUE(inParts) << text;
        EXPECT_EQ(inParts, readWhole(text)) << text;
    }
}

TEST(LibraryTextParts, LeavesToTheWholeReadingWhatItCannotSplitOrRead)
{
    const std::string text = libraryJson().dump();
    const std::vector<std::string> cases{
        // The whole reading refuses these.
        replaced(text, "}],\"excalidrawFiles\"", "},],\"excalidrawFiles\""),
        replaced(text, "},{\"groupIDs\"", "}{\"groupIDs\""),
        replaced(text, "\"elements\":[{", "\"elements\":[null,{"),
        replaced(text, "\"kind\":\"rectangle\"", "\"kind\":\"hexagon\""),
        replaced(text, "\"kind\":\"rectangle\"", "\"kind\":rectangle"),
        replaced(text, "\"isLocked\":false", "\"isLocked\":nope"),
        text.substr(0, text.size() / 2),
        text + "]",
        "[" + text + "]",
        // The whole reading takes these, this one cannot.
        replaced(text, "\"elements\":[", "\"elements\":[],\"elements\":["),
        replaced(text, "\"boards\":[", "\"boards\":[],\"boards\":["),
        replaced(text, "\"elements\":[", "\"\\u0065lements\":["),
        "\xEF\xBB\xBF" + text,
    };
    for (const std::string &broken : cases) {
        EXPECT_FALSE(decodeLibraryInParts(broken, runInOrder)) << broken;
    }
    // The store then reads the whole text and comes to its verdict as before.
    const FakeClock clock;
    const WhiteboardLibraryStore store("/nonexistent", clock, countingRandom());
    const auto duplicated = store.decodeLibrary(cases[9]);
    ASSERT_TRUE(duplicated);
    EXPECT_EQ(duplicated->boards[0].elements.size(), 2u);
    const auto badKind = store.decodeLibrary(cases[3]);
    ASSERT_FALSE(badKind);
    EXPECT_EQ(badKind.error().detail, "boards[0].elements[0].kind: unknown value");
    EXPECT_EQ(store.decodeLibrary(cases[0]).error().kind,
              WhiteboardLibraryStoreError::Kind::malformedJson);
}

TEST(LibraryTextParts, TheWholeTextsNestingLimitStillHolds)
{
    // An element lies five levels deep; the arrays of its "extra" go the rest of the way.
    const auto nestedTo = [](std::size_t depth) {
        const std::size_t inner = depth - libraryElementDepth;
        json text = libraryJson();
        text["boards"][0]["elements"][0]["extra"] =
            json::parse(std::string(inner, '[') + std::string(inner, ']'));
        return text.dump();
    };
    const FakeClock clock;
    const WhiteboardLibraryStore store("/nonexistent", clock, countingRandom());
    EXPECT_TRUE(decodeLibraryInParts(nestedTo(jsonMaxNestingDepth), runInOrder));
    EXPECT_TRUE(store.decodeLibrary(nestedTo(jsonMaxNestingDepth)));
    EXPECT_FALSE(decodeLibraryInParts(nestedTo(jsonMaxNestingDepth + 1), runInOrder));
    EXPECT_EQ(store.decodeLibrary(nestedTo(jsonMaxNestingDepth + 1)).error().kind,
              WhiteboardLibraryStoreError::Kind::malformedJson);
}

TEST(LibraryTextParts, ElementsReadInAnyOrderLandInTheirPlaces)
{
    std::size_t calls = 0;
    const ParallelWork backwards = [&calls](std::size_t count, const auto &work) {
        ++calls;
        for (std::size_t i = count; i > 0; --i) {
            work(i - 1);
        }
    };
    EXPECT_EQ(decodeLibraryInParts(prettyJson(libraryJson()), backwards), library());
    EXPECT_EQ(calls, 1u);
}
