#include "whiteboard/model/store/drawing_json.h"

namespace zentrel {

ModelDecoded<DrawingTool> decodeDrawingTool(const nlohmann::json &value, const std::string &path)
{
    return modelEnumDecoder(drawingToolText)(value, path);
}

ModelDecoded<PointF> decodeDrawingPoint(const nlohmann::json &value, const std::string &path)
{
    ModelObjectReader reader(value, path);
    PointF point;
    reader.readRequired("x", point.x, decodeModelDouble);
    reader.readRequired("y", point.y, decodeModelDouble);
    return reader.finish(point);
}

ModelDecoded<Color> decodeDrawingColor(const nlohmann::json &value, const std::string &path)
{
    auto text = decodeModelString(value, path);
    if (!text) {
        return tl::unexpected(text.error());
    }
    if (auto color = colorFromHex(*text)) {
        return *color;
    }
    return tl::unexpected(ModelDecodeError{path, "not a colour"});
}

ModelDecoded<DrawingStroke> decodeDrawingStroke(const nlohmann::json &value,
                                                const std::string &path)
{
    ModelObjectReader reader(value, path);
    DrawingStroke stroke;
    reader.readRequired("tool", stroke.tool, decodeDrawingTool);
    reader.readRequired("points", stroke.points, modelArrayDecoder(decodeDrawingPoint));
    reader.readRequired("color", stroke.color, decodeDrawingColor);
    reader.readRequired("lineWidth", stroke.lineWidth, decodeModelDouble);
    reader.readRequired("createdAt", stroke.createdAt, decodeModelDate);
    reader.readOptional("fadeDuration", stroke.fadeDuration, decodeModelDouble);
    return reader.finish(std::move(stroke));
}

ModelDecoded<NumberedMarker> decodeNumberedMarker(const nlohmann::json &value,
                                                  const std::string &path)
{
    ModelObjectReader reader(value, path);
    NumberedMarker marker;
    reader.readRequired("point", marker.point, decodeDrawingPoint);
    reader.readRequired("number", marker.number, decodeModelInt);
    reader.readRequired("color", marker.color, decodeDrawingColor);
    return reader.finish(marker);
}

} // namespace zentrel
