#include "whiteboard/model/excalidraw/excalidraw_element_reader.h"

#include <cmath>
#include <string>

namespace zentrel {
namespace {

using json = nlohmann::json;

const json *field(const json &object, std::string_view key)
{
    return excalidrawField(object, key);
}

std::optional<std::string> stringField(const json &object, std::string_view key)
{
    const json *value = field(object, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::string stringOr(const json &object, std::string_view key, const char *fallback)
{
    return stringField(object, key).value_or(fallback);
}

double numberOr(const json &object, std::string_view key, double fallback)
{
    return excalidrawNumber(field(object, key), fallback);
}

std::optional<Uuid> mappedIdentifier(const json *value, const ExcalidrawIdentifierMap &map)
{
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    const auto found = map.find(value->get_ref<const std::string &>());
    return found == map.end() ? std::nullopt : std::optional<Uuid>(found->second);
}

std::vector<WhiteboardPoint> scenePoints(const json &object, double x, double y)
{
    std::vector<WhiteboardPoint> points;
    const json *list = field(object, "points");
    if (list == nullptr || !list->is_array()) {
        return points;
    }
    points.reserve(list->size());
    for (const json &entry : *list) {
        if (entry.is_array() && entry.size() >= 2) {
            points.push_back(
                {x + excalidrawNumber(&entry[0], 0), y + excalidrawNumber(&entry[1], 0)});
        }
    }
    return points;
}

std::vector<Uuid> groupIdentifiers(const json &object, ExcalidrawReadContext &context)
{
    std::vector<Uuid> groups;
    const json *list = field(object, "groupIds");
    if (list == nullptr || !list->is_array()) {
        return groups;
    }
    for (const json &entry : *list) {
        if (!entry.is_string()) {
            continue;
        }
        const std::string &text = entry.get_ref<const std::string &>();
        auto found = context.groups.find(text);
        if (found == context.groups.end()) {
            found = context.groups.emplace(text, excalidrawUuidFor(text, context.random)).first;
        }
        groups.push_back(found->second);
    }
    return groups;
}

WhiteboardElementStyle readStyle(const json &object)
{
    WhiteboardElementStyle style;
    style.strokeColor = stringOr(object, "strokeColor", "#1b1b1f");
    style.fillColor = stringField(object, "backgroundColor");
    if (style.fillColor == "transparent") {
        style.fillColor.reset();
    }
    style.strokeWidth = numberOr(object, "strokeWidth", 2);
    style.opacity = numberOr(object, "opacity", 100) / 100;
    style.roughness = excalidrawInteger(field(object, "roughness"), 1);
    style.strokeStyle = whiteboardStrokeStyleText.parse(stringOr(object, "strokeStyle", "solid"));
    style.fillStyle = whiteboardFillStyleText.parse(stringOr(object, "fillStyle", "solid"));
    style.roundnessType = excalidrawRoundnessType(field(object, "roundness"));
    return style;
}

// Lines and arrows keep their direction in the signs of width and height. Excalidraw stores a
// positive box and puts the direction in the points, so the points decide when there are two.
void setLineFrame(WhiteboardElement &element, double width, double height)
{
    if (element.points.size() >= 2) {
        const WhiteboardPoint &first = element.points.front();
        const WhiteboardPoint &last = element.points.back();
        element.setFrame({first.x, first.y, last.x - first.x, last.y - first.y});
        return;
    }
    element.width = width;
    element.height = height;
}

void readText(WhiteboardElement &element, const json &object)
{
    const std::int64_t font = excalidrawInteger(field(object, "fontFamily"), 5);
    element.fontFamilyID = font;
    element.fontFamily = whiteboardFontFamilyFromNumber(font);
    element.text = stringField(object, "text");
    element.fontSize = numberOr(object, "fontSize", 24);
    element.textAlignment =
        whiteboardTextAlignmentText.parse(stringOr(object, "textAlign", "left"));
    element.lineHeight = numberOr(object, "lineHeight", 1.25);
}

} // namespace

std::optional<WhiteboardElementKind> excalidrawElementKind(std::string_view type)
{
    if (type == "draw") {
        return WhiteboardElementKind::freedraw;
    }
    const std::optional<WhiteboardElementKind> kind = whiteboardElementKindText.parse(type);
    if (kind == WhiteboardElementKind::marker || kind == WhiteboardElementKind::unsupported) {
        return std::nullopt;
    }
    return kind;
}

WhiteboardElement readExcalidrawElement(const json &object,
                                        WhiteboardElementKind kind,
                                        ExcalidrawReadContext &context)
{
    WhiteboardElement element;
    element.kind = kind;
    element.x = numberOr(object, "x", 0);
    element.y = numberOr(object, "y", 0);
    const double width = numberOr(object, "width", 0);
    const double height = numberOr(object, "height", 0);
    element.width = std::abs(width);
    element.height = std::abs(height);
    element.points = scenePoints(object, element.x, element.y);
    if (kind == WhiteboardElementKind::line || kind == WhiteboardElementKind::arrow) {
        setLineFrame(element, width, height);
    }
    element.groupIDs = groupIdentifiers(object, context);
    element.startBindingID =
        excalidrawBindingElementID(field(object, "startBinding"), context.identifiers);
    element.endBindingID =
        excalidrawBindingElementID(field(object, "endBinding"), context.identifiers);
    element.containerID = mappedIdentifier(field(object, "containerId"), context.identifiers);
    element.style = readStyle(object);
    readText(element, object);
    const std::optional<Uuid> id = mappedIdentifier(field(object, "id"), context.identifiers);
    element.id = id ? *id : Uuid::generate(context.random);
    element.rotation = numberOr(object, "angle", 0);
    element.link = stringField(object, "link");
    const json *locked = field(object, "locked");
    element.isLocked = locked != nullptr && locked->is_boolean() && locked->get<bool>();
    element.excalidrawSeed = excalidrawInteger(field(object, "seed"), 0);
    element.excalidrawVersion = excalidrawInteger(field(object, "version"), 1);
    element.excalidrawVersionNonce = excalidrawInteger(field(object, "versionNonce"), 0);
    element.excalidrawIndex = stringField(object, "index");
    element.excalidrawUpdated = excalidrawInteger(field(object, "updated"), 0);
    return element;
}

} // namespace zentrel
