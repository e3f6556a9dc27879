#include "whiteboard/model/excalidraw/export/excalidraw_object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace zentrel;
using nlohmann::json;

namespace {

// An entry of the "elements" array as the tree's own dump writes it.
std::string dumpedEntry(const json &object)
{
    std::string text = object.dump(2, ' ', false, json::error_handler_t::replace);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        text.insert(at + 1, "    ");
    }
    return text;
}

ExcalidrawObject sampleObject()
{
    ExcalidrawObject object;
    object["type"] = "text";
    object["x"] = 12.5;
    object["angle"] = 0.0;
    object["groupIds"] = json::array({"A", "B"});
    object["roundness"] = json{{"type", 3}};
    object["boundElements"] = json::array();
    object["text"] = "Grüße\n\"quoted\"";
    object["seed"] = -42;
    object["version"] = std::uint64_t{18446744073709551615u};
    object["width"] = 100.0;
    object["locked"] = true;
    object["link"] = nullptr;
    object["x"] = 7; // set again: replaces, keeps its place
    return object;
}

} // namespace

TEST(ExcalidrawObject, WritesWhatItsTreeDumps)
{
    const ExcalidrawObject object = sampleObject();
    EXPECT_EQ(object.size(), 12u);
    EXPECT_EQ(object.find("x")->toJson(), 7);
    EXPECT_TRUE(object.find("text")->isText());
    EXPECT_EQ(object.find("missing"), nullptr);
    std::string written;
    appendExcalidrawObject(written, object);
    EXPECT_EQ(written, dumpedEntry(object.toJson()));
    written.clear();
    appendExcalidrawObject(written, ExcalidrawObject());
    EXPECT_EQ(written, "{}");
}

TEST(ExcalidrawObject, PutsTextMembersInKeyOrderInPlaceOfItsOwn)
{
    ExcalidrawObject object;
    object["type"] = "line";
    object["x"] = 1.5;
    object["groupIds"] = json::array({"A"});
    const ExcalidrawRawMember points{"points", "[[0,0],[1,2]]"};
    const ExcalidrawRawMember custom{"customData", R"({"a":1})"};
    const ExcalidrawRawMember x{"x", "2"};
    std::string written;
    appendExcalidrawObject(written, object, {&points, &x, &custom});
    EXPECT_EQ(written,
              "{\n"
              "      \"customData\": {\"a\":1},\n"
              "      \"groupIds\": [\n"
              "        \"A\"\n"
              "      ],\n"
              "      \"points\": [[0,0],[1,2]],\n"
              "      \"type\": \"line\",\n"
              "      \"x\": 2\n"
              "    }");
}
