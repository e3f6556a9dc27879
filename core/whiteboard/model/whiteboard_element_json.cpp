#include "whiteboard/model/whiteboard_element_json.h"

#include "whiteboard/model/base64.h"

#include <array>
#include <charconv>

namespace zentrel {
namespace {

template <typename T, typename Convert>
void putOptional(nlohmann::json &object,
                 const char *key,
                 const std::optional<T> &value,
                 Convert convert)
{
    if (value) {
        object[key] = convert(*value);
    }
}

template <typename T>
void putOptional(nlohmann::json &object, const char *key, const std::optional<T> &value)
{
    putOptional(object, key, value, [](const T &plain) { return plain; });
}

std::string uuidText(const Uuid &uuid)
{
    return uuid.text();
}

std::string_view arrowheadText(WhiteboardArrowhead head)
{
    return whiteboardArrowheadText.text(head);
}

nlohmann::json styleJson(const WhiteboardElementStyle &style)
{
    nlohmann::json object = nlohmann::json::object();
    object["strokeColor"] = style.strokeColor;
    putOptional(object, "fillColor", style.fillColor);
    object["strokeWidth"] = style.strokeWidth;
    object["opacity"] = style.opacity;
    object["roughness"] = style.roughness;
    putOptional(object, "strokeStyle", style.strokeStyle, [](WhiteboardStrokeStyle value) {
        return whiteboardStrokeStyleText.text(value);
    });
    putOptional(object, "fillStyle", style.fillStyle, [](WhiteboardFillStyle value) {
        return whiteboardFillStyleText.text(value);
    });
    putOptional(object, "roundnessType", style.roundnessType);
    return object;
}

ModelDecoded<WhiteboardFontFamily> decodeFontFamily(const nlohmann::json &value,
                                                    const std::string &path)
{
    return decodeModelInteger(value, path)
        .and_then([&path](std::int64_t number) -> ModelDecoded<WhiteboardFontFamily> {
            if (auto family = whiteboardFontFamilyFromNumber(number)) {
                return *family;
            }
            return tl::unexpected(ModelDecodeError{path, "unknown font family"});
        });
}

ModelDecoded<std::string> decodeBase64(const nlohmann::json &value, const std::string &path)
{
    return decodeModelString(value, path)
        .and_then([&path](const std::string &text) -> ModelDecoded<std::string> {
            if (auto bytes = fromBase64(text)) {
                return std::move(*bytes);
            }
            return tl::unexpected(ModelDecodeError{path, "not Base64 text"});
        });
}

// One string, as the library is saved often and an imported board has one per element: the
// four hashes in eight hexadecimal digits each, each followed by a colon, then the JSON text.
constexpr std::size_t sourceHashCount = 4;
constexpr std::size_t sourceHashDigits = 8;
constexpr std::size_t sourcePrefixSize = sourceHashCount * (sourceHashDigits + 1);

std::string sourceKeysText(const ExcalidrawSourceKeys &source)
{
    std::string text;
    text.reserve(sourcePrefixSize + source.json.size());
    for (const std::uint32_t hash :
         {source.identityHash, source.shapeHash, source.textHash, source.styleHash}) {
        std::array<char, sourceHashDigits> digits{};
        const char *end = std::to_chars(digits.data(), digits.data() + digits.size(), hash, 16).ptr;
        const auto length = static_cast<std::size_t>(end - digits.data());
        text.append(sourceHashDigits - length, '0');
        text.append(digits.data(), length);
        text += ':';
    }
    return text + source.json;
}

ModelDecoded<ExcalidrawSourceKeys> decodeSourceKeys(const nlohmann::json &value,
                                                    const std::string &path)
{
    return decodeModelString(value, path)
        .and_then([&path](const std::string &text) -> ModelDecoded<ExcalidrawSourceKeys> {
            std::array<std::uint32_t, sourceHashCount> hashes{};
            for (std::size_t i = 0; i < hashes.size(); ++i) {
                const char *begin = text.data() + i * (sourceHashDigits + 1);
                const char *end = begin + sourceHashDigits;
                if (text.size() < sourcePrefixSize || *end != ':'
                    || std::from_chars(begin, end, hashes[i], 16).ptr != end) {
                    return tl::unexpected(ModelDecodeError{path, "not kept Excalidraw keys"});
                }
            }
            // Export puts the members into the document as they are, so they must be JSON.
            std::string members = text.substr(sourcePrefixSize);
            if (members.empty() || members.front() != '{' || !nlohmann::json::accept(members)) {
                return tl::unexpected(ModelDecodeError{path, "kept Excalidraw keys are no object"});
            }
            return ExcalidrawSourceKeys{
                std::move(members), hashes[0], hashes[1], hashes[2], hashes[3]};
        });
}

} // namespace

nlohmann::json whiteboardPointJson(const WhiteboardPoint &point)
{
    return {{"x", point.x}, {"y", point.y}};
}

nlohmann::json whiteboardElementJson(const WhiteboardElement &element)
{
    nlohmann::json object = nlohmann::json::object();
    object["id"] = element.id.text();
    object["kind"] = whiteboardElementKindText.text(element.kind);
    object["x"] = element.x;
    object["y"] = element.y;
    object["width"] = element.width;
    object["height"] = element.height;
    object["rotation"] = element.rotation;
    object["points"] = nlohmann::json::array();
    for (const WhiteboardPoint &point : element.points) {
        object["points"].push_back(whiteboardPointJson(point));
    }
    putOptional(object, "text", element.text);
    putOptional(object, "fontSize", element.fontSize);
    putOptional(object, "textAlignment", element.textAlignment, [](WhiteboardTextAlignment value) {
        return whiteboardTextAlignmentText.text(value);
    });
    putOptional(object, "lineHeight", element.lineHeight);
    putOptional(object, "fontFamily", element.fontFamily, fontFamilyNumber);
    putOptional(object, "fontFamilyID", element.fontFamilyID);
    putOptional(object, "link", element.link);
    object["style"] = styleJson(element.style);
    object["groupIDs"] = nlohmann::json::array();
    for (const Uuid &group : element.groupIDs) {
        object["groupIDs"].push_back(group.text());
    }
    putOptional(object, "containerID", element.containerID, uuidText);
    putOptional(object, "startBindingID", element.startBindingID, uuidText);
    putOptional(object, "endBindingID", element.endBindingID, uuidText);
    putOptional(object, "startArrowhead", element.startArrowhead, arrowheadText);
    putOptional(object, "endArrowhead", element.endArrowhead, arrowheadText);
    putOptional(object, "markerNumber", element.markerNumber);
    putOptional(object,
                "opaqueExcalidrawJSON",
                element.opaqueExcalidrawJSON,
                [](const std::string &bytes) { return toBase64(bytes); });
    object["isLocked"] = element.isLocked;
    putOptional(object, "excalidrawSeed", element.excalidrawSeed);
    putOptional(object, "excalidrawVersion", element.excalidrawVersion);
    putOptional(object, "excalidrawVersionNonce", element.excalidrawVersionNonce);
    putOptional(object, "excalidrawIndex", element.excalidrawIndex);
    putOptional(object, "excalidrawUpdated", element.excalidrawUpdated);
    putOptional(object, "excalidrawEditedAt", element.excalidrawEditedAt);
    putOptional(object, "excalidrawSource", element.excalidrawSource, sourceKeysText);
    return object;
}

ModelEncoded encodeWhiteboardElementStyle(const WhiteboardElementStyle &style)
{
    return checkedModelJson(styleJson(style));
}

ModelEncoded encodeWhiteboardElement(const WhiteboardElement &element)
{
    return checkedModelJson(whiteboardElementJson(element));
}

ModelDecoded<WhiteboardPoint> decodeWhiteboardPoint(const nlohmann::json &value,
                                                    const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardPoint point;
    reader.readRequired("x", point.x, decodeModelDouble);
    reader.readRequired("y", point.y, decodeModelDouble);
    return reader.finish(point);
}

ModelDecoded<WhiteboardElementStyle> decodeWhiteboardElementStyle(const nlohmann::json &value,
                                                                  const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardElementStyle style;
    reader.readRequired("strokeColor", style.strokeColor, decodeModelString);
    reader.readOptional("fillColor", style.fillColor, decodeModelString);
    reader.readRequired("strokeWidth", style.strokeWidth, decodeModelDouble);
    reader.readRequired("opacity", style.opacity, decodeModelDouble);
    reader.readRequired("roughness", style.roughness, decodeModelInteger);
    reader.readOptional(
        "strokeStyle", style.strokeStyle, modelEnumDecoder(whiteboardStrokeStyleText));
    reader.readOptional("fillStyle", style.fillStyle, modelEnumDecoder(whiteboardFillStyleText));
    reader.readOptional("roundnessType", style.roundnessType, decodeModelInteger);
    return reader.finish(std::move(style));
}

ModelDecoded<WhiteboardElement> decodeWhiteboardElement(const nlohmann::json &value,
                                                        const std::string &path)
{
    ModelObjectReader reader(value, path);
    WhiteboardElement element;
    reader.readRequired("id", element.id, decodeModelUuid);
    reader.readRequired("kind", element.kind, modelEnumDecoder(whiteboardElementKindText));
    reader.readRequired("x", element.x, decodeModelDouble);
    reader.readRequired("y", element.y, decodeModelDouble);
    reader.readRequired("width", element.width, decodeModelDouble);
    reader.readRequired("height", element.height, decodeModelDouble);
    reader.readRequired("rotation", element.rotation, decodeModelDouble);
    reader.readRequired("points", element.points, modelArrayDecoder(decodeWhiteboardPoint));
    reader.readOptional("text", element.text, decodeModelString);
    reader.readOptional("fontSize", element.fontSize, decodeModelDouble);
    reader.readOptional(
        "textAlignment", element.textAlignment, modelEnumDecoder(whiteboardTextAlignmentText));
    reader.readOptional("lineHeight", element.lineHeight, decodeModelDouble);
    reader.readOptional("fontFamily", element.fontFamily, decodeFontFamily);
    reader.readOptional("fontFamilyID", element.fontFamilyID, decodeModelInteger);
    reader.readOptional("link", element.link, decodeModelString);
    reader.readRequired("style", element.style, decodeWhiteboardElementStyle);
    reader.readRequired("groupIDs", element.groupIDs, modelArrayDecoder(decodeModelUuid));
    reader.readOptional("containerID", element.containerID, decodeModelUuid);
    reader.readOptional("startBindingID", element.startBindingID, decodeModelUuid);
    reader.readOptional("endBindingID", element.endBindingID, decodeModelUuid);
    reader.readOptional(
        "startArrowhead", element.startArrowhead, modelEnumDecoder(whiteboardArrowheadText));
    reader.readOptional(
        "endArrowhead", element.endArrowhead, modelEnumDecoder(whiteboardArrowheadText));
    reader.readOptional("markerNumber", element.markerNumber, decodeModelInteger);
    reader.readOptional("opaqueExcalidrawJSON", element.opaqueExcalidrawJSON, decodeBase64);
    reader.readRequired("isLocked", element.isLocked, decodeModelBool);
    reader.readOptional("excalidrawSeed", element.excalidrawSeed, decodeModelInteger);
    reader.readOptional("excalidrawVersion", element.excalidrawVersion, decodeModelInteger);
    reader.readOptional(
        "excalidrawVersionNonce", element.excalidrawVersionNonce, decodeModelInteger);
    reader.readOptional("excalidrawIndex", element.excalidrawIndex, decodeModelString);
    reader.readOptional("excalidrawUpdated", element.excalidrawUpdated, decodeModelInteger);
    reader.readOptional("excalidrawEditedAt", element.excalidrawEditedAt, decodeModelInteger);
    reader.readOptional("excalidrawSource", element.excalidrawSource, decodeSourceKeys);
    return reader.finish(std::move(element));
}

} // namespace zentrel
