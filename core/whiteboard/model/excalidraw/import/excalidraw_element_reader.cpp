#include "whiteboard/model/excalidraw/import/excalidraw_element_reader.h"

#include "common/json/json_text.h"
#include "common/json/limited_json.h"
#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zentrel {
namespace {

using json = nlohmann::json;
using Key = ExcalidrawScalarKey;

// Moves the text out: every field is cleared before the next element reuses it.
std::optional<std::string> takeString(ExcalidrawElementFields &fields, Key key)
{
    std::string *text = fields.text(key);
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::move(*text);
}

std::string stringOr(ExcalidrawElementFields &fields, Key key, const char *fallback)
{
    std::optional<std::string> text = takeString(fields, key);
    return text ? std::move(*text) : std::string(fallback);
}

double numberOr(const ExcalidrawElementFields &fields, Key key, double fallback)
{
    return excalidrawNumber(fields[key], fallback);
}

bool isTrue(const ExcalidrawElementFields &fields, Key key)
{
    const json *value = fields[key];
    return value->is_boolean() && value->get<bool>();
}

// Documents from before "roundness" say "strokeSharpness": "round"; Excalidraw reads that as its
// legacy corner for rectangles and as proportional rounding for everything else.
std::optional<std::int64_t> roundnessType(ExcalidrawElementFields &fields,
                                          WhiteboardElementKind kind)
{
    if (fields.roundnessType) {
        return fields.roundnessType;
    }
    if (stringOr(fields, Key::strokeSharpness, "") != "round") {
        return std::nullopt;
    }
    constexpr std::int64_t legacy = 1;
    constexpr std::int64_t proportional = 2;
    return kind == WhiteboardElementKind::rectangle ? legacy : proportional;
}

WhiteboardElementStyle readStyle(ExcalidrawElementFields &fields, WhiteboardElementKind kind)
{
    WhiteboardElementStyle style;
    style.strokeColor = stringOr(fields, Key::strokeColor, "#1b1b1f");
    style.fillColor = takeString(fields, Key::backgroundColor);
    if (style.fillColor == "transparent") {
        style.fillColor.reset();
    }
    style.strokeWidth = numberOr(fields, Key::strokeWidth, 2);
    style.opacity = numberOr(fields, Key::opacity, 100) / 100;
    style.roughness = excalidrawInteger(fields[Key::roughness], 1);
    style.strokeStyle =
        whiteboardStrokeStyleText.parse(stringOr(fields, Key::strokeStyle, "solid"));
    style.fillStyle = whiteboardFillStyleText.parse(stringOr(fields, Key::fillStyle, "solid"));
    style.roundnessType = roundnessType(fields, kind);
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

// An arrow's heads, held only where they differ from those of an arrow drawn here. A missing
// head is that default, as Excalidraw restores an arrow without one.
void readArrowheads(WhiteboardElement &element, const ExcalidrawElementFields &fields)
{
    for (const ExcalidrawMember &member : fields.members) {
        const std::string_view name = member.name();
        const bool start = name == "startArrowhead";
        if (!start && name != "endArrowhead") {
            continue;
        }
        const WhiteboardArrowhead head = excalidrawArrowheadFromText(member.value());
        const WhiteboardArrowhead usual =
            start ? WhiteboardArrowhead::none : WhiteboardArrowhead::arrow;
        (start ? element.startArrowhead : element.endArrowhead) =
            head == usual ? std::nullopt : std::optional(head);
    }
}

void readText(WhiteboardElement &element, ExcalidrawElementFields &fields)
{
    const std::int64_t font = excalidrawInteger(fields[Key::fontFamily], 5);
    element.fontFamilyID = font;
    element.fontFamily = whiteboardFontFamilyFromNumber(font);
    element.text = takeString(fields, Key::text);
    element.fontSize = numberOr(fields, Key::fontSize, 24);
    element.textAlignment =
        whiteboardTextAlignmentText.parse(stringOr(fields, Key::textAlign, "left"));
    element.lineHeight = numberOr(fields, Key::lineHeight, 1.25);
}

void readSupported(WhiteboardElement &element,
                   ExcalidrawElementFields &fields,
                   WhiteboardElementKind kind)
{
    element.kind = kind;
    element.x = numberOr(fields, Key::x, 0);
    element.y = numberOr(fields, Key::y, 0);
    const double width = numberOr(fields, Key::width, 0);
    const double height = numberOr(fields, Key::height, 0);
    element.width = std::abs(width);
    element.height = std::abs(height);
    element.points.reserve(fields.points.size());
    for (const WhiteboardPoint &offset : fields.points) {
        element.points.push_back({element.x + offset.x, element.y + offset.y});
    }
    if (isSegmentKind(kind)) {
        setLineFrame(element, width, height);
    }
    element.style = readStyle(fields, kind);
    if (kind == WhiteboardElementKind::arrow) {
        readArrowheads(element, fields);
    }
    readText(element, fields);
    element.rotation = numberOr(fields, Key::angle, 0);
    element.link = takeString(fields, Key::link);
    element.isLocked = isTrue(fields, Key::locked);
    element.excalidrawSeed = excalidrawInteger(fields[Key::seed], 0);
    element.excalidrawVersion = excalidrawInteger(fields[Key::version], 1);
    element.excalidrawVersionNonce = excalidrawInteger(fields[Key::versionNonce], 0);
    element.excalidrawIndex = takeString(fields, Key::index);
    element.excalidrawUpdated = excalidrawInteger(fields[Key::updated], 0);
}

// A foreign element kept whole, at its position but at least 40 by 30. Only these few objects
// are parsed into a tree, from their own bytes, to be written back in the library's key order.
void readPlaceholder(ExcalidrawPendingElement &pending, const ExcalidrawElementFields &fields)
{
    WhiteboardElement &element = *pending.element;
    element.kind = WhiteboardElementKind::unsupported;
    element.setFrame({numberOr(fields, Key::x, 0),
                      numberOr(fields, Key::y, 0),
                      std::max(numberOr(fields, Key::width, 120), 40.0),
                      std::max(numberOr(fields, Key::height, 80), 30.0)});
    element.style = excalidrawImportDefaultStyle();
    const json object = parseLimitedJson(fields.bytes).value_or(json());
    // Infinite numbers cannot occur here: the parser refuses them, so the bytes re-read cleanly.
    std::string text;
    appendJsonText(text, object);
    element.opaqueExcalidrawJSON = std::move(text);
    element.isLocked = true;
    const auto fileId = object.find("fileId");
    if (fileId != object.end() && fileId->is_string()) {
        pending.fileId = fileId->get<std::string>();
    }
}

} // namespace

std::string_view ExcalidrawMember::text() const
{
    return afterSeparators(start, end, ',');
}

std::string_view ExcalidrawMember::name() const
{
    const char *quote = text().data();
    return std::string_view(quote + 1, static_cast<std::size_t>(keyEnd - quote - 2));
}

std::string_view ExcalidrawMember::value() const
{
    return afterSeparators(keyEnd, end, ':');
}

bool ExcalidrawElementFields::isStringKey(std::uint8_t key)
{
    switch (static_cast<Key>(key)) {
    case Key::id:
    case Key::type:
    case Key::strokeColor:
    case Key::backgroundColor:
    case Key::strokeStyle:
    case Key::fillStyle:
    case Key::text:
    case Key::textAlign:
    case Key::link:
    case Key::index:
    case Key::containerId:
    case Key::strokeSharpness:
        return true;
    default:
        return false;
    }
}

void ExcalidrawElementFields::setText(std::uint8_t key, const std::string &text)
{
    set(key, nullptr);
    texts[key].assign(text);
    textKeys |= std::uint32_t{1} << key;
}

std::string *ExcalidrawElementFields::text(ExcalidrawScalarKey key)
{
    const auto index = static_cast<std::size_t>(key);
    return (textKeys >> index & 1) != 0 ? &texts[index] : nullptr;
}

void ExcalidrawElementFields::clear()
{
    for (std::size_t key = 0; key < scalars.size(); ++key) {
        if ((setKeys >> key & 1) != 0) {
            scalars[key] = nullptr;
        }
    }
    setKeys = 0;
    textKeys = 0;
    points.clear();
    pointsExact = true;
    groupIds.clear();
    startBinding.reset();
    endBinding.reset();
    roundnessType.reset();
    bytes = {};
    members.clear();
}

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

ExcalidrawPendingElement readExcalidrawElement(ExcalidrawElementFields &fields)
{
    ExcalidrawPendingElement pending;
    pending.id = takeString(fields, Key::id);
    const std::string *type = fields.text(Key::type);
    if (isTrue(fields, Key::isDeleted) || type == nullptr) {
        return pending;
    }
    pending.element = std::make_shared<WhiteboardElement>();
    const std::optional<WhiteboardElementKind> kind = excalidrawElementKind(*type);
    if (!kind) {
        readPlaceholder(pending, fields);
        return pending;
    }
    pending.supported = true;
    readSupported(*pending.element, fields, *kind);
    pending.keptMembers = excalidrawKeptMembers(fields, *pending.element);
    pending.groupIds = std::move(fields.groupIds);
    pending.containerId = takeString(fields, Key::containerId);
    pending.startBinding = std::move(fields.startBinding);
    pending.endBinding = std::move(fields.endBinding);
    return pending;
}

} // namespace zentrel
