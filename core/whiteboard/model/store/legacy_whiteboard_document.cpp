#include "whiteboard/model/store/legacy_whiteboard_document.h"

#include "whiteboard/model/store/drawing_json.h"
#include "whiteboard/model/whiteboard_board_json.h"
#include "whiteboard/model/whiteboard_element_json.h"

#include <string_view>

namespace zentrel {
namespace {

ModelDecoded<WhiteboardStroke> decodeStroke(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardStroke stroke;
    reader.readRequired("tool", stroke.tool, decodeDrawingTool);
    reader.readRequired("points", stroke.points, modelArrayDecoder(decodeWhiteboardPoint));
    reader.readRequired("color", stroke.color, decodeModelString);
    reader.readRequired("lineWidth", stroke.lineWidth, decodeModelDouble);
    return reader.finish(std::move(stroke));
}

ModelDecoded<WhiteboardMarker> decodeMarker(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardMarker marker;
    reader.readRequired("point", marker.point, decodeWhiteboardPoint);
    reader.readRequired("number", marker.number, decodeModelInt);
    reader.readRequired("color", marker.color, decodeModelString);
    return reader.finish(std::move(marker));
}

ModelDecoded<WhiteboardTextItem> decodeText(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardTextItem text;
    reader.readRequired("point", text.point, decodeWhiteboardPoint);
    reader.readRequired("text", text.text, decodeModelString);
    reader.readRequired("color", text.color, decodeModelString);
    reader.readRequired("fontSize", text.fontSize, decodeModelDouble);
    return reader.finish(std::move(text));
}

ModelDecoded<WhiteboardSize> decodeSize(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardSize size;
    reader.readRequired("width", size.width, decodeModelDouble);
    reader.readRequired("height", size.height, decodeModelDouble);
    return reader.finish(size);
}

ModelDecoded<WhiteboardRect> decodeRect(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardRect rect;
    reader.readRequired("origin", rect.origin, decodeWhiteboardPoint);
    reader.readRequired("size", rect.size, decodeSize);
    return reader.finish(rect);
}

ModelDecoded<WhiteboardDiamond> decodeDiamond(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardDiamond diamond;
    reader.readRequired("rect", diamond.rect, decodeRect);
    reader.readRequired("color", diamond.color, decodeModelString);
    reader.readRequired("lineWidth", diamond.lineWidth, decodeModelDouble);
    return reader.finish(std::move(diamond));
}

ModelDecoded<WhiteboardLine> decodeLine(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardLine line;
    reader.readRequired("start", line.start, decodeWhiteboardPoint);
    reader.readRequired("end", line.end, decodeWhiteboardPoint);
    reader.readRequired("color", line.color, decodeModelString);
    reader.readRequired("lineWidth", line.lineWidth, decodeModelDouble);
    return reader.finish(std::move(line));
}

template <typename Payload, typename Decode>
ModelDecoded<WhiteboardAnnotation>
payload(const nlohmann::json &value, std::string_view key, const std::string &path, Decode decode)
{
    ModelObjectReader reader(value, path);
    Payload item;
    reader.readRequired(key, item, decode);
    return reader.finish(std::move(item)).map([](Payload p) { return WhiteboardAnnotation(p); });
}

ModelDecoded<WhiteboardAnnotation> decodeAnnotation(const nlohmann::json &value,
                                                    const std::string &path)
{
    ModelObjectReader reader(value, path);
    std::string type;
    reader.readRequired("type", type, decodeModelString);
    if (auto failed = reader.finish(0); !failed) {
        return tl::unexpected(failed.error());
    }
    // The payload stands under the key named by "type"; the other keys are ignored.
    if (type == "stroke") {
        return payload<WhiteboardStroke>(value, type, path, decodeStroke);
    }
    if (type == "marker") {
        return payload<WhiteboardMarker>(value, type, path, decodeMarker);
    }
    if (type == "text") {
        return payload<WhiteboardTextItem>(value, type, path, decodeText);
    }
    if (type == "diamond") {
        return payload<WhiteboardDiamond>(value, type, path, decodeDiamond);
    }
    if (type == "line") {
        return payload<WhiteboardLine>(value, type, path, decodeLine);
    }
    return tl::unexpected(ModelDecodeError{modelKeyPath(path, "type"), "unknown value"});
}

} // namespace

ModelDecoded<WhiteboardDocument> decodeWhiteboardDocument(const nlohmann::json &value,
                                                          const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardDocument document;
    reader.readRequired("version", document.version, decodeModelInteger);
    reader.readRequiredOrNull("background", document.background, decodeWhiteboardBackground);
    reader.readRequired("annotations", document.annotations, modelArrayDecoder(decodeAnnotation));
    reader.readOptional("viewport", document.viewport, decodeWhiteboardViewport);
    reader.readOptional("showsGrid", document.showsGrid, decodeModelBool);
    return reader.finish(std::move(document));
}

} // namespace zentrel
