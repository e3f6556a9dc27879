#include "whiteboard/model/whiteboard_element_json.h"

#include "whiteboard/model/base64.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;
using nlohmann::json;

namespace {

const Uuid elementID = *Uuid::parse("11111111-2222-3333-4444-555555555555");
const Uuid groupID = *Uuid::parse("AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE");

json minimalElementJson()
{
    return json::parse(R"({
        "id": "11111111-2222-3333-4444-555555555555", "kind": "rectangle",
        "x": 1, "y": 2, "width": 3, "height": 4, "rotation": 0, "points": [],
        "style": {"strokeColor": "#1E1E1E", "strokeWidth": 2, "opacity": 1, "roughness": 1},
        "groupIDs": [], "isLocked": false})");
}

WhiteboardElement fullElement()
{
    WhiteboardElement element;
    element.id = elementID;
    element.kind = WhiteboardElementKind::text;
    element.setFrame({1.5, -2, -30, 40});
    element.rotation = 0.25;
    element.points = {{0, 1}, {2.5, -3}};
    element.text = "Hello";
    element.fontSize = 20;
    element.textAlignment = WhiteboardTextAlignment::center;
    element.lineHeight = 1.25;
    element.fontFamily = WhiteboardFontFamily::handDrawn;
    element.fontFamilyID = 8;
    element.link = "https://example.com";
    element.style = {"#FF0000",
                     "#00FF00",
                     3,
                     0.5,
                     2,
                     WhiteboardStrokeStyle::dashed,
                     WhiteboardFillStyle::crossHatch,
                     3};
    element.groupIDs = {groupID, elementID};
    element.containerID = groupID;
    element.startBindingID = groupID;
    element.endBindingID = elementID;
    element.startArrowhead = WhiteboardArrowhead::triangleOutline;
    element.endArrowhead = WhiteboardArrowhead::none;
    element.markerNumber = 7;
    element.opaqueExcalidrawJSON = std::string("{\"type\":\"frame\"}\0\xFF", 18);
    element.isLocked = true;
    element.excalidrawSeed = 12345;
    element.excalidrawVersion = 3;
    element.excalidrawVersionNonce = -99;
    element.excalidrawIndex = "a0";
    element.excalidrawUpdated = 1700000000123;
    element.excalidrawEditedAt = 1700000000456;
    element.excalidrawSource = {R"({"customData":{"a":[1,"\n"]},"id":"x1"})", 1, 0xFFFFFFFF, 0, 42};
    return element;
}

} // namespace

TEST(WhiteboardElement, EveryFieldRoundTripsThroughJson)
{
    const WhiteboardElement element = fullElement();
    const auto encoded = encodeWhiteboardElement(element);
    ASSERT_TRUE(encoded);
    EXPECT_EQ((*encoded)["id"], "11111111-2222-3333-4444-555555555555");
    EXPECT_EQ((*encoded)["style"]["fillStyle"], "cross-hatch");
    EXPECT_EQ((*encoded)["fontFamily"], 5);
    EXPECT_EQ((*encoded)["startArrowhead"], "triangle_outline");
    EXPECT_EQ((*encoded)["endArrowhead"], "none");
    EXPECT_EQ((*encoded)["excalidrawSource"],
              R"(00000001:ffffffff:00000000:0000002a:{"customData":{"a":[1,"\n"]},"id":"x1"})");
    // Through text as well, as the file and the pasteboard carry it.
    const auto decoded = decodeWhiteboardElement(json::parse(encoded->dump()));
    ASSERT_TRUE(decoded) << message(decoded.error());
    EXPECT_EQ(*decoded, element);
}

TEST(WhiteboardElement, AbsentOptionalsStayAbsentAndAreNotWritten)
{
    json input = minimalElementJson();
    input["text"] = nullptr;
    input["style"]["fillColor"] = nullptr;
    input["unknownKey"] = {1, 2};
    const auto decoded = decodeWhiteboardElement(input);
    ASSERT_TRUE(decoded) << message(decoded.error());
    EXPECT_FALSE(decoded->text);
    EXPECT_FALSE(decoded->fontSize);
    EXPECT_FALSE(decoded->style.strokeStyle);
    EXPECT_FALSE(decoded->style.fillColor);
    EXPECT_EQ(decoded->id, elementID);

    const json written = *encodeWhiteboardElement(*decoded);
    input.erase("text");
    input["style"].erase("fillColor");
    input.erase("unknownKey");
    EXPECT_EQ(written, input);
}

TEST(WhiteboardElement, EveryRequiredKeyIsRequired)
{
    for (const char *key : {"id",
                            "kind",
                            "x",
                            "y",
                            "width",
                            "height",
                            "rotation",
                            "points",
                            "style",
                            "groupIDs",
                            "isLocked"}) {
        json input = minimalElementJson();
        input.erase(key);
        EXPECT_FALSE(decodeWhiteboardElement(input)) << key;
        input[key] = nullptr;
        EXPECT_FALSE(decodeWhiteboardElement(input)) << key;
    }
    for (const char *key : {"strokeColor", "strokeWidth", "opacity", "roughness"}) {
        json input = minimalElementJson();
        input["style"].erase(key);
        const auto decoded = decodeWhiteboardElement(input);
        ASSERT_FALSE(decoded) << key;
        EXPECT_EQ(decoded.error().path, std::string("style.") + key);
    }
    EXPECT_FALSE(decodeWhiteboardPoint(json{{"x", 1}}));
}

TEST(WhiteboardElement, WrongTypesAndUnknownWordsFailTheWholeElement)
{
    const std::vector<std::pair<json::json_pointer, json>> faults{
        {json::json_pointer("/kind"), "Rectangle"},
        {json::json_pointer("/kind"), "image"},
        {json::json_pointer("/x"), "1"},
        {json::json_pointer("/isLocked"), 0},
        {json::json_pointer("/id"), "not-a-uuid"},
        {json::json_pointer("/groupIDs"), json::array({"123"})},
        {json::json_pointer("/points"), json::array({json{{"x", 1}}})},
        {json::json_pointer("/fontFamily"), 4},
        {json::json_pointer("/fontFamily"), "5"},
        {json::json_pointer("/textAlignment"), "justify"},
        {json::json_pointer("/markerNumber"), 1.5},
        {json::json_pointer("/opaqueExcalidrawJSON"), "not base64!"},
        {json::json_pointer("/style/strokeStyle"), "wavy"},
        {json::json_pointer("/style/fillStyle"), "crossHatch"},
        {json::json_pointer("/endArrowhead"), "triangleOutline"},
        {json::json_pointer("/startArrowhead"), 3},
        {json::json_pointer("/style/roughness"), true},
        {json::json_pointer("/excalidrawSource"), "{}"},
        {json::json_pointer("/excalidrawSource"), "00000001:ffffffff:00000000:{}"},
        {json::json_pointer("/excalidrawSource"), "00000001:fffffffg:00000000:00000000:{}"},
        {json::json_pointer("/excalidrawSource"), "00000001;ffffffff:00000000:00000000:{}"},
        {json::json_pointer("/excalidrawSource"), json::object()},
        // Export writes the kept members into the document as they are.
        {json::json_pointer("/excalidrawSource"), "00000001:ffffffff:00000000:00000000:"},
        {json::json_pointer("/excalidrawSource"), "00000001:ffffffff:00000000:00000000:[1]"},
        {json::json_pointer("/excalidrawSource"),
         "00000001:ffffffff:00000000:00000000:{\"customData\":}"},
        {json::json_pointer("/excalidrawSource"), "00000001:ffffffff:00000000:00000000:{} x"},
    };
    for (const auto &[pointer, value] : faults) {
        json input = minimalElementJson();
        input[pointer] = value;
        const auto decoded = decodeWhiteboardElement(input, "boards[0].elements[2]");
        ASSERT_FALSE(decoded) << pointer.to_string();
        EXPECT_EQ(decoded.error().path.rfind("boards[0].elements[2].", 0), 0u)
            << decoded.error().path;
    }
    EXPECT_FALSE(decodeWhiteboardElement(json::array()));
}

TEST(WhiteboardElement, NonFiniteNumbersNeitherEnterNorLeave)
{
    // The parser refuses overflowing numbers; a value built in memory may still hold one.
    EXPECT_TRUE(json::parse(R"({"x": 1e400, "y": 0})", nullptr, false).is_discarded());
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(decodeWhiteboardPoint(json{{"x", infinity}, {"y", 0}}));
    EXPECT_FALSE(decodeWhiteboardPoint(json{{"x", 0}, {"y", -infinity}}));

    WhiteboardElement element = fullElement();
    element.style.opacity = std::numeric_limits<double>::quiet_NaN();
    const auto encoded = encodeWhiteboardElement(element);
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.error().path, "style.opacity");
    element = fullElement();
    element.points[1].y = std::numeric_limits<double>::infinity();
    EXPECT_EQ(encodeWhiteboardElement(element).error().path, "points[1].y");
}

TEST(WhiteboardElement, IntegersAcceptWholeFloatsAndUuidsEitherCase)
{
    json input = minimalElementJson();
    input["style"]["roughness"] = 2.0;
    input["id"] = "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee";
    input["excalidrawUpdated"] = 1700000000123;
    const auto decoded = decodeWhiteboardElement(input);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->style.roughness, 2);
    EXPECT_EQ(decoded->id, groupID);
    EXPECT_EQ((*encodeWhiteboardElement(*decoded))["id"], groupID.text());
    input["excalidrawSeed"] = 18446744073709551615ULL;
    EXPECT_FALSE(decodeWhiteboardElement(input));
}

TEST(WhiteboardElement, OpaqueBytesAreStrictBase64)
{
    EXPECT_EQ(toBase64("f"), "Zg==");
    EXPECT_EQ(toBase64("fo"), "Zm8=");
    EXPECT_EQ(toBase64("foo"), "Zm9v");
    EXPECT_EQ(fromBase64("Zm8="), "fo");
    EXPECT_EQ(fromBase64(""), "");
    for (const char *text : {"Zm8", "Z===", "Zm=v", "Zm 8=", "Zg==Zg=="}) {
        EXPECT_FALSE(fromBase64(text)) << text;
    }
}
