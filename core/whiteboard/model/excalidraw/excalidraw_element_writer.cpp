#include "whiteboard/model/excalidraw/excalidraw_element_writer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

namespace zentrel {
namespace {

using json = nlohmann::json;

constexpr double defaultFontSize = 24;
constexpr double defaultLineHeight = 1.25;
constexpr std::int64_t handDrawnFontNumber = 5;

std::int64_t nowMilliseconds(const Clock &clock)
{
    using std::chrono::milliseconds;
    return std::chrono::duration_cast<milliseconds>(clock.now().time_since_epoch()).count();
}

json pointJson(double x, double y)
{
    return json::array({x, y});
}

std::int64_t fontNumber(const WhiteboardElement &element)
{
    if (element.fontFamilyID) {
        return *element.fontFamilyID;
    }
    return element.fontFamily ? fontFamilyNumber(*element.fontFamily) : handDrawnFontNumber;
}

void addLineFields(json &object, const WhiteboardElement &element)
{
    // Only the straight segment is written; its signs carry the direction.
    object["points"] = json::array({pointJson(0, 0), pointJson(element.width, element.height)});
    object["lastCommittedPoint"] = nullptr;
    object["startBinding"] = excalidrawBinding(element.startBindingID);
    object["endBinding"] = excalidrawBinding(element.endBindingID);
    object["startArrowhead"] = nullptr;
    object["endArrowhead"] =
        element.kind == WhiteboardElementKind::arrow ? json("arrow") : json(nullptr);
}

void addFreedrawFields(json &object, const WhiteboardElement &element)
{
    const WhiteboardPoint first = element.points.empty() ? WhiteboardPoint{} : element.points[0];
    json points = json::array();
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const WhiteboardPoint &point : element.points) {
        const double dx = point.x - first.x;
        const double dy = point.y - first.y;
        minX = std::min(minX, dx);
        maxX = std::max(maxX, dx);
        minY = std::min(minY, dy);
        maxY = std::max(maxY, dy);
        points.push_back(pointJson(dx, dy));
    }
    object["x"] = first.x;
    object["y"] = first.y;
    // Other tools size and cull a stroke by these, so they give the points' real extent.
    object["width"] = maxX - minX;
    object["height"] = maxY - minY;
    object["points"] = std::move(points);
    object["pressures"] = json::array();
    object["simulatePressure"] = true;
}

void addTextFields(json &object, const WhiteboardElement &element)
{
    const std::string text = element.text.value_or("");
    object["text"] = text;
    object["originalText"] = text;
    object["fontSize"] = element.fontSize.value_or(defaultFontSize);
    object["fontFamily"] = fontNumber(element);
    object["textAlign"] =
        element.textAlignment ? whiteboardTextAlignmentText.text(*element.textAlignment) : "left";
    object["verticalAlign"] = "top";
    object["lineHeight"] = element.lineHeight.value_or(defaultLineHeight);
    object["containerId"] = element.containerID ? json(element.containerID->text()) : json(nullptr);
}

} // namespace

std::int64_t excalidrawIdentifierHash(const Uuid &id, std::uint32_t start)
{
    std::uint32_t hash = start;
    for (const std::uint8_t byte : id.bytes) {
        hash = (hash ^ byte) * 435u;
    }
    return hash & 0x7FFFFFFFu;
}

json excalidrawBinding(const std::optional<Uuid> &id)
{
    if (!id) {
        return nullptr;
    }
    return {{"elementId", id->text()}, {"focus", 0}, {"gap", 1}};
}

std::optional<json> excalidrawBoundElements(const WhiteboardElement &other,
                                            const WhiteboardElement &element)
{
    if (other.startBindingID == element.id || other.endBindingID == element.id) {
        return json{{"id", other.id.text()}, {"type", "arrow"}};
    }
    if (other.containerID == element.id) {
        return json{{"id", other.id.text()}, {"type", "text"}};
    }
    return std::nullopt;
}

json excalidrawCommonFields(const WhiteboardElement &element,
                            std::string_view type,
                            const ExcalidrawWriteContext &context)
{
    const WhiteboardElementStyle &style = element.style;
    json groups = json::array();
    for (const Uuid &group : element.groupIDs) {
        groups.push_back(group.text());
    }
    json object = json::object();
    object["id"] = element.id.text();
    object["type"] = type;
    object["x"] = element.x;
    object["y"] = element.y;
    object["width"] = element.width;
    object["height"] = element.height;
    object["angle"] = element.rotation;
    object["strokeColor"] = style.strokeColor;
    object["backgroundColor"] = style.fillColor.value_or("transparent");
    object["fillStyle"] =
        style.fillStyle ? whiteboardFillStyleText.text(*style.fillStyle) : "solid";
    object["strokeWidth"] = style.strokeWidth;
    object["strokeStyle"] =
        style.strokeStyle ? whiteboardStrokeStyleText.text(*style.strokeStyle) : "solid";
    object["roughness"] = style.roughness;
    object["opacity"] = style.opacity * 100;
    object["groupIds"] = std::move(groups);
    object["frameId"] = nullptr;
    object["index"] = element.excalidrawIndex.value_or("a0");
    object["roundness"] =
        style.roundnessType ? json{{"type", *style.roundnessType}} : json(nullptr);
    object["seed"] = element.excalidrawSeed.value_or(
        excalidrawIdentifierHash(element.id, excalidrawSeedHashStart));
    object["version"] = element.excalidrawVersion.value_or(1);
    object["versionNonce"] = element.excalidrawVersionNonce.value_or(
        excalidrawIdentifierHash(element.id, excalidrawNonceHashStart));
    object["isDeleted"] = false;
    object["boundElements"] = nullptr;
    object["updated"] =
        element.excalidrawUpdated ? *element.excalidrawUpdated : nowMilliseconds(context.clock);
    object["link"] = element.link ? json(*element.link) : json(nullptr);
    object["locked"] = element.isLocked;
    return object;
}

json excalidrawElementFields(const WhiteboardElement &element,
                             json boundElements,
                             const ExcalidrawWriteContext &context)
{
    json object =
        excalidrawCommonFields(element, whiteboardElementKindText.text(element.kind), context);
    object["boundElements"] = std::move(boundElements);
    switch (element.kind) {
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        addLineFields(object, element);
        break;
    case WhiteboardElementKind::freedraw:
        addFreedrawFields(object, element);
        break;
    case WhiteboardElementKind::text:
        addTextFields(object, element);
        break;
    case WhiteboardElementKind::rectangle:
    case WhiteboardElementKind::ellipse:
    case WhiteboardElementKind::diamond:
    case WhiteboardElementKind::marker:
    case WhiteboardElementKind::unsupported:
        break;
    }
    return object;
}

std::pair<json, json> excalidrawMarkerElements(const WhiteboardElement &marker,
                                               const ExcalidrawWriteContext &context)
{
    const Uuid group =
        marker.groupIDs.empty() ? Uuid::generate(context.random) : marker.groupIDs.front();
    const json groups = json::array({group.text()});

    json ellipse = excalidrawCommonFields(marker, "ellipse", context);
    ellipse["groupIds"] = groups;
    ellipse["backgroundColor"] = marker.style.fillColor.value_or(marker.style.strokeColor);
    ellipse["fillStyle"] = "solid";

    json text = excalidrawCommonFields(marker, "text", context);
    const std::string number = std::to_string(marker.markerNumber.value_or(1));
    text["id"] = Uuid::generate(context.random).text();
    text["groupIds"] = groups;
    text["text"] = number;
    text["originalText"] = number;
    text["strokeColor"] = "#ffffff";
    text["fontSize"] = std::abs(marker.height) / 2;
    text["fontFamily"] = handDrawnFontNumber;
    text["textAlign"] = "center";
    text["verticalAlign"] = "middle";
    text["lineHeight"] = defaultLineHeight;
    return {std::move(ellipse), std::move(text)};
}

} // namespace zentrel
