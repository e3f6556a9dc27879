#include "whiteboard/model/excalidraw/export/excalidraw_element_writer.h"

#include "whiteboard/model/excalidraw/export/excalidraw_kept_merge.h"

#include <algorithm>
#include <array>
#include <charconv>
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

// Built member by member, as are the bindings: an initializer list builds each pair as an array
// first, which costs more than the rest of the element.
json roundnessJson(const std::optional<std::int64_t> &type)
{
    if (!type) {
        return nullptr;
    }
    json roundness = json::object();
    roundness["type"] = *type;
    return roundness;
}

std::int64_t fontNumber(const WhiteboardElement &element)
{
    if (element.fontFamilyID) {
        return *element.fontFamilyID;
    }
    return element.fontFamily ? fontFamilyNumber(*element.fontFamily) : handDrawnFontNumber;
}

json pointsJson(const std::vector<WhiteboardPoint> &points)
{
    json array = json::array();
    for (const WhiteboardPoint &point : points) {
        array.push_back(pointJson(point.x, point.y));
    }
    return array;
}

void addPathFields(ExcalidrawObject &object,
                   const ExcalidrawPath &path,
                   const ExcalidrawWriteContext &context)
{
    object["x"] = path.x;
    object["y"] = path.y;
    object["width"] = path.width;
    object["height"] = path.height;
    if (!context.leavesPointsOut) {
        object["points"] = pointsJson(path.points);
    }
}

void appendNumber(std::string &out, double value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

void addLineFields(ExcalidrawObject &object,
                   const WhiteboardElement &element,
                   const ExcalidrawWriteContext &context)
{
    const ExcalidrawIdentities *identities = context.identities;
    addPathFields(object, excalidrawPath(element), context);
    object["lastCommittedPoint"] = nullptr;
    object["startBinding"] = excalidrawBinding(element.startBindingID, identities);
    object["endBinding"] = excalidrawBinding(element.endBindingID, identities);
    const Arrowheads heads = arrowheadsOf(element);
    object["startArrowhead"] = excalidrawArrowhead(heads.start);
    object["endArrowhead"] = excalidrawArrowhead(heads.end);
}

void addFreedrawFields(ExcalidrawObject &object,
                       const WhiteboardElement &element,
                       const ExcalidrawWriteContext &context)
{
    addPathFields(object, excalidrawPath(element), context);
    object["pressures"] = json::array();
    object["simulatePressure"] = true;
}

// Points relative to the first, and the extent of their box.
ExcalidrawPath pathFrom(const std::vector<PointF> &points)
{
    ExcalidrawPath path;
    if (points.empty()) {
        return path;
    }
    path.x = points.front().x;
    path.y = points.front().y;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    path.points.reserve(points.size());
    for (const PointF &point : points) {
        const double dx = point.x - path.x;
        const double dy = point.y - path.y;
        minX = std::min(minX, dx);
        maxX = std::max(maxX, dx);
        minY = std::min(minY, dy);
        maxY = std::max(maxY, dy);
        path.points.push_back({dx, dy});
    }
    path.width = maxX - minX;
    path.height = maxY - minY;
    return path;
}

void addTextFields(ExcalidrawObject &object,
                   const WhiteboardElement &element,
                   const ExcalidrawIdentities *identities)
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
    object["containerId"] = element.containerID
                                ? json(excalidrawIdText(*element.containerID, identities))
                                : json(nullptr);
}

} // namespace

ExcalidrawPath excalidrawPath(const WhiteboardElement &element)
{
    if (element.kind == WhiteboardElementKind::freedraw) {
        return pathFrom(element.scenePoints());
    }
    if (element.points.size() >= 2) {
        return pathFrom(element.linePoints());
    }
    // Only the straight segment; its signs carry the direction.
    ExcalidrawPath path{element.x, element.y, element.width, element.height, {}};
    path.points = {{0, 0}, {element.width, element.height}};
    return path;
}

std::optional<std::string> excalidrawPointsText(const std::vector<WhiteboardPoint> &points)
{
    std::string text = "[";
    text.reserve(points.size() * 24 + 2);
    for (const WhiteboardPoint &point : points) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            return std::nullopt;
        }
        text += text.size() == 1 ? "[" : ",[";
        appendNumber(text, point.x);
        text += ',';
        appendNumber(text, point.y);
        text += ']';
    }
    return text + ']';
}

double excalidrawOpacity(double opacity)
{
    const double percent = opacity * 100;
    const double whole = std::round(percent);
    return whole / 100 == opacity ? whole : percent;
}

json excalidrawArrowhead(WhiteboardArrowhead head)
{
    return head == WhiteboardArrowhead::none ? json(nullptr)
                                             : json(whiteboardArrowheadText.text(head));
}

std::string excalidrawIdText(const Uuid &id, const ExcalidrawIdentities *identities)
{
    return identities ? identities->elementText(id) : id.text();
}

std::int64_t excalidrawIdentifierHash(const Uuid &id, std::uint32_t start)
{
    std::uint32_t hash = start;
    for (const std::uint8_t byte : id.bytes) {
        hash = (hash ^ byte) * 435u;
    }
    return hash & 0x7FFFFFFFu;
}

json excalidrawBinding(const std::optional<Uuid> &id, const ExcalidrawIdentities *identities)
{
    if (!id) {
        return nullptr;
    }
    json binding = json::object();
    binding["elementId"] = excalidrawIdText(*id, identities);
    binding["focus"] = 0;
    binding["gap"] = 1;
    return binding;
}

std::optional<json> excalidrawBoundElements(const WhiteboardElement &other,
                                            const WhiteboardElement &element,
                                            const ExcalidrawIdentities *identities)
{
    if (other.startBindingID == element.id || other.endBindingID == element.id) {
        return json{{"id", excalidrawIdText(other.id, identities)}, {"type", "arrow"}};
    }
    if (other.containerID == element.id) {
        return json{{"id", excalidrawIdText(other.id, identities)}, {"type", "text"}};
    }
    return std::nullopt;
}

ExcalidrawObject excalidrawCommonFields(const WhiteboardElement &element,
                                        std::string_view type,
                                        const ExcalidrawWriteContext &context)
{
    const WhiteboardElementStyle &style = element.style;
    const ExcalidrawIdentities *identities = context.identities;
    json groups = json::array();
    for (const Uuid &group : element.groupIDs) {
        groups.push_back(identities ? identities->groupText(group) : group.text());
    }
    ExcalidrawObject object;
    object["id"] = excalidrawIdText(element.id, identities);
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
    object["opacity"] = excalidrawOpacity(style.opacity);
    object["groupIds"] = std::move(groups);
    object["frameId"] = nullptr;
    object["index"] = element.excalidrawIndex.value_or("a0");
    object["roundness"] = roundnessJson(style.roundnessType);
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

ExcalidrawObject excalidrawElementFields(const WhiteboardElement &element,
                                         json boundElements,
                                         const ExcalidrawWriteContext &context)
{
    ExcalidrawObject object =
        excalidrawCommonFields(element, whiteboardElementKindText.text(element.kind), context);
    object["boundElements"] = std::move(boundElements);
    switch (element.kind) {
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        addLineFields(object, element, context);
        break;
    case WhiteboardElementKind::freedraw:
        addFreedrawFields(object, element, context);
        break;
    case WhiteboardElementKind::text:
        addTextFields(object, element, context.identities);
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

std::pair<ExcalidrawObject, ExcalidrawObject>
excalidrawMarkerElements(const WhiteboardElement &marker, const ExcalidrawWriteContext &context)
{
    const Uuid group =
        marker.groupIDs.empty() ? Uuid::generate(context.random) : marker.groupIDs.front();
    const json groups = json::array({group.text()});

    ExcalidrawObject ellipse = excalidrawCommonFields(marker, "ellipse", context);
    ellipse["groupIds"] = groups;
    ellipse["backgroundColor"] = marker.style.fillColor.value_or(marker.style.strokeColor);
    ellipse["fillStyle"] = "solid";

    ExcalidrawObject text = excalidrawCommonFields(marker, "text", context);
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
