#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"

#include "common/clock.h"
#include "whiteboard/model/excalidraw/excalidraw_members.h"
#include "whiteboard/model/excalidraw/export/excalidraw_element_writer.h"
#include "whiteboard/model/excalidraw/import/excalidraw_scan_keys.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace zentrel {
namespace {

using json = nlohmann::json;
using Key = ExcalidrawScalarKey;

// A key the writer writes beyond the model's fields and the compact JSON text of the value it
// gives it (an unframed "frameId", a plain "verticalAlign").
struct WrittenDefault
{
    std::string key;
    std::string value;
};

// Taken from the writer itself, per kind, so that import keeps exactly what export would not give
// back.
const std::vector<WrittenDefault> &writtenDefaults(WhiteboardElementKind kind)
{
    using Defaults = std::array<std::vector<WrittenDefault>, allWhiteboardElementKinds.size()>;
    static const Defaults defaults = [] {
        const SystemClock clock;
        const UuidRandomSource random = [] {
            return std::uint64_t{0};
        };
        const ExcalidrawWriteContext context{clock, random};
        Defaults all;
        for (std::size_t i = 0; i < all.size(); ++i) {
            WhiteboardElement element;
            element.kind = allWhiteboardElementKinds[i];
            element.excalidrawUpdated = 0;
            const ExcalidrawObject written = excalidrawElementFields(element, nullptr, context);
            for (const ExcalidrawObject::Member &member : written) {
                if (excalidrawElementKey(member.key) == excalidrawIgnoredKey) {
                    all[i].push_back({std::string(member.key), member.value.toJson().dump()});
                }
            }
        }
        return all;
    }();
    return defaults[static_cast<std::size_t>(kind)];
}

// Numbers are checked on the value the scan read, which holds the last of repeated keys; an
// earlier repeat is never kept anyway.
bool isSameNumber(const json &read, double written)
{
    return read.is_number() && read.get<double>() == written;
}

bool isNotNegative(const json &read)
{
    return read.is_number() && read.get<double>() >= 0;
}

// Integers are written as integers, which a whole number in any spelling reads back as.
bool isWholeNumber(const json &read)
{
    if (read.is_number_integer()) {
        return true;
    }
    const double number = read.is_number_float() ? read.get<double>() : 0.5;
    return std::trunc(number) == number && std::abs(number) < 0x1p53;
}

bool isString(std::string_view value)
{
    return value.size() >= 2 && value.front() == '"';
}

// Whether a string value holds `text`; most values need no unescaping, so most compare in place.
bool holdsString(std::string_view value, std::string_view text)
{
    if (!isString(value)) {
        return false;
    }
    const std::string_view inner = value.substr(1, value.size() - 2);
    if (inner.find('\\') == std::string_view::npos) {
        return inner == text;
    }
    return excalidrawRawString(value) == text;
}

template <typename Enum, std::size_t Count>
bool isWrittenWord(std::string_view value,
                   const std::optional<Enum> &read,
                   const EnumText<Enum, Count> &table)
{
    return read && holdsString(value, table.text(*read));
}

bool isUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Text that export writes back for an id: a UUID's own upper-case text.
bool isCanonicalId(std::string_view text)
{
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !isUpperHex(text[i])) {
            return false;
        }
    }
    return true;
}

bool holdsCanonicalId(std::string_view value)
{
    return value.size() == 38 && value.front() == '"' && value.back() == '"'
           && isCanonicalId(value.substr(1, 36));
}

bool isWrittenGroups(std::string_view value, const std::vector<std::string> &groups)
{
    std::string written = "[";
    for (const std::string &group : groups) {
        if (!isCanonicalId(group)) {
            return false;
        }
        written += written.size() > 1 ? ",\"" : "\"";
        written += group + '"';
    }
    return isMinifiedJson(value, written + ']');
}

bool isWrittenBinding(std::string_view value, const std::optional<std::string> &target)
{
    if (value == "null") {
        return true;
    }
    // As excalidrawBinding writes it, keys sorted.
    return target && isCanonicalId(*target)
           && isMinifiedJson(value, "{\"elementId\":\"" + *target + "\",\"focus\":0,\"gap\":1}");
}

bool isWrittenRoundness(std::string_view value, const std::optional<std::int64_t> &type)
{
    if (value == "null") {
        return !type;
    }
    return type && isMinifiedJson(value, "{\"type\":" + std::to_string(*type) + "}");
}

bool isWrittenPath(const ExcalidrawElementFields &fields, const ExcalidrawPath &path)
{
    if (!fields.pointsExact || fields.points.size() != path.points.size()) {
        return false;
    }
    for (std::size_t i = 0; i < path.points.size(); ++i) {
        if (fields.points[i] != path.points[i]) {
            return false;
        }
    }
    return true;
}

bool isTextKey(Key key)
{
    return key == Key::text || key == Key::fontSize || key == Key::fontFamily
           || key == Key::textAlign || key == Key::lineHeight || key == Key::containerId;
}

// Whether the writer gives back a member of a key the scanner reads as one value (`read`).
bool writesScalarBack(Key key,
                      std::string_view value,
                      const json &read,
                      const WhiteboardElement &e,
                      const ExcalidrawPath *path)
{
    if (isTextKey(key) && e.kind != WhiteboardElementKind::text) {
        return false;
    }
    const WhiteboardElementStyle &style = e.style;
    switch (key) {
    case Key::id:
        return holdsCanonicalId(value);
    case Key::type:
        return holdsString(value, whiteboardElementKindText.text(e.kind));
    case Key::isDeleted:
        return value == "false";
    case Key::x:
        return path ? isSameNumber(read, path->x) : read.is_number();
    case Key::y:
        return path ? isSameNumber(read, path->y) : read.is_number();
    case Key::width:
        return path ? isSameNumber(read, path->width) : isNotNegative(read);
    case Key::height:
        return path ? isSameNumber(read, path->height) : isNotNegative(read);
    case Key::angle:
    case Key::strokeWidth:
    case Key::fontSize:
    case Key::lineHeight:
        return read.is_number();
    case Key::strokeColor:
    case Key::backgroundColor:
    case Key::index:
    case Key::text:
        return isString(value);
    case Key::opacity:
        return isSameNumber(read, excalidrawOpacity(style.opacity));
    case Key::roughness:
    case Key::seed:
    case Key::version:
    case Key::versionNonce:
    case Key::updated:
    case Key::fontFamily:
        return isWholeNumber(read);
    case Key::strokeStyle:
        return isWrittenWord(value, style.strokeStyle, whiteboardStrokeStyleText);
    case Key::fillStyle:
        return isWrittenWord(value, style.fillStyle, whiteboardFillStyleText);
    case Key::textAlign:
        return isWrittenWord(value, e.textAlignment, whiteboardTextAlignmentText);
    case Key::link:
        return isString(value) || value == "null";
    case Key::locked:
        return value == "true" || value == "false";
    case Key::containerId:
        return value == "null" || holdsCanonicalId(value);
    case Key::strokeSharpness:
    case Key::count:
        return false;
    }
    return false;
}

bool writesBack(const ExcalidrawMember &member,
                const ExcalidrawElementFields &fields,
                const WhiteboardElement &e,
                const ExcalidrawPath *path)
{
    const std::string_view value = member.value();
    if (member.key < excalidrawPointsKey) {
        return writesScalarBack(
            static_cast<Key>(member.key), value, *fields[static_cast<Key>(member.key)], e, path);
    }
    switch (member.key) {
    case excalidrawPointsKey:
        return path && isWrittenPath(fields, *path);
    case excalidrawGroupIdsKey:
        return isWrittenGroups(value, fields.groupIds);
    case excalidrawStartBindingKey:
        return isSegmentKind(e.kind) && isWrittenBinding(value, fields.startBinding);
    case excalidrawEndBindingKey:
        return isSegmentKind(e.kind) && isWrittenBinding(value, fields.endBinding);
    case excalidrawRoundnessKey:
        return isWrittenRoundness(value, e.style.roundnessType);
    default:
        break;
    }
    const std::string_view name = member.name();
    if (name == "originalText") {
        return e.kind == WhiteboardElementKind::text && e.text && holdsString(value, *e.text);
    }
    if (e.kind == WhiteboardElementKind::arrow
        && (name == "startArrowhead" || name == "endArrowhead")) {
        const Arrowheads heads = arrowheadsOf(e);
        const WhiteboardArrowhead head = name == "startArrowhead" ? heads.start : heads.end;
        return isMinifiedJson(value, excalidrawArrowhead(head).dump());
    }
    for (const WrittenDefault &written : writtenDefaults(e.kind)) {
        if (written.key == name) {
            return isMinifiedJson(value, written.value);
        }
    }
    return false;
}

// Later duplicates win, as they do when the document is read.
bool isRepeatedLater(const std::vector<ExcalidrawMember> &members, std::size_t index)
{
    const ExcalidrawMember &member = members[index];
    for (std::size_t i = index + 1; i < members.size(); ++i) {
        if (members[i].key == member.key
            && (member.key != excalidrawIgnoredKey || members[i].name() == member.name())) {
            return true;
        }
    }
    return false;
}

// An FNV-style hash folded to 32 bits: the hashes are stored, so they must not change between
// runs (std::hash may).
class Hasher
{
public:
    // Eight bytes at a time: every imported element is hashed four times.
    void add(const void *data, std::size_t size)
    {
        const auto *bytes = static_cast<const unsigned char *>(data);
        for (std::size_t i = 0; i < size; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + i, std::min<std::size_t>(8, size - i));
            m_hash = (m_hash ^ word) * 0x100000001B3ULL;
            m_hash ^= m_hash >> 29;
        }
    }

    void add(double value)
    {
        // Both zeros are the same number to the writer.
        const double normal = value == 0 ? 0.0 : value;
        std::uint64_t bits = 0;
        std::memcpy(&bits, &normal, sizeof bits);
        add(&bits, sizeof bits);
    }

    void add(std::int64_t value) { add(&value, sizeof value); }

    void add(std::string_view text)
    {
        add(static_cast<std::int64_t>(text.size()));
        add(text.data(), text.size());
    }

    template <typename T>
    void add(const std::optional<T> &value)
    {
        add(static_cast<std::int64_t>(value.has_value()));
        if (value) {
            add(*value);
        }
    }

    void add(const Uuid &id) { add(id.bytes.data(), id.bytes.size()); }

    std::uint32_t result() const { return static_cast<std::uint32_t>(m_hash ^ (m_hash >> 32)); }

private:
    std::uint64_t m_hash = 0xCBF29CE484222325ULL;
};

std::int64_t number(WhiteboardElementKind kind)
{
    return static_cast<std::int64_t>(kind);
}

template <typename Enum>
std::optional<std::int64_t> number(const std::optional<Enum> &value)
{
    return value ? std::optional<std::int64_t>(static_cast<std::int64_t>(*value)) : std::nullopt;
}

} // namespace

std::string excalidrawKeptMembers(const ExcalidrawElementFields &fields,
                                  const WhiteboardElement &element)
{
    const bool hasPath =
        isSegmentKind(element.kind) || element.kind == WhiteboardElementKind::freedraw;
    const std::optional<ExcalidrawPath> path =
        hasPath ? std::optional<ExcalidrawPath>(excalidrawPath(element)) : std::nullopt;
    // The texts are gathered first, so that the string is allocated once at its full size.
    std::vector<std::string_view> texts;
    std::size_t size = 1;
    for (std::size_t i = 0; i < fields.members.size(); ++i) {
        const ExcalidrawMember &member = fields.members[i];
        if (writesBack(member, fields, element, path ? &*path : nullptr)
            || isRepeatedLater(fields.members, i)) {
            continue;
        }
        texts.push_back(member.text());
        size += texts.back().size() + 1;
    }
    std::string kept;
    if (texts.empty()) {
        return kept;
    }
    kept.reserve(size);
    for (const std::string_view text : texts) {
        kept += kept.empty() ? '{' : ',';
        appendMinifiedJson(kept, text);
    }
    kept += '}';
    return kept;
}

ExcalidrawSourceKeys excalidrawSourceKeys(std::string members, const WhiteboardElement &element)
{
    return {std::move(members),
            excalidrawIdentityHash(element.id),
            excalidrawShapeHash(element),
            excalidrawTextHash(element),
            excalidrawStyleHash(element)};
}

bool isExcalidrawEdited(const WhiteboardElement &element)
{
    const std::optional<ExcalidrawSourceKeys> &source = element.excalidrawSource;
    return source
           && (excalidrawIdentityHash(element.id) != source->identityHash
               || excalidrawShapeHash(element) != source->shapeHash
               || excalidrawTextHash(element) != source->textHash
               || excalidrawStyleHash(element) != source->styleHash);
}

std::uint32_t excalidrawIdentityHash(const Uuid &id)
{
    Hasher hasher;
    hasher.add(id);
    return hasher.result();
}

std::uint32_t excalidrawShapeHash(const WhiteboardElement &e)
{
    Hasher hasher;
    hasher.add(number(e.kind));
    for (const double value : {e.x, e.y, e.width, e.height, e.rotation}) {
        hasher.add(value);
    }
    hasher.add(static_cast<std::int64_t>(e.points.size()));
    for (const WhiteboardPoint &point : e.points) {
        hasher.add(point.x);
        hasher.add(point.y);
    }
    hasher.add(e.fontSize);
    hasher.add(e.fontFamilyID);
    hasher.add(e.lineHeight);
    hasher.add(number(e.textAlignment));
    hasher.add(e.containerID);
    hasher.add(e.startBindingID);
    hasher.add(e.endBindingID);
    return hasher.result();
}

std::uint32_t excalidrawTextHash(const WhiteboardElement &element)
{
    Hasher hasher;
    hasher.add(element.text);
    return hasher.result();
}

std::uint32_t excalidrawStyleHash(const WhiteboardElement &e)
{
    const WhiteboardElementStyle &style = e.style;
    Hasher hasher;
    hasher.add(number(e.kind));
    hasher.add(style.strokeColor);
    hasher.add(style.fillColor);
    hasher.add(style.strokeWidth);
    hasher.add(style.opacity);
    hasher.add(style.roughness);
    hasher.add(number(style.strokeStyle));
    hasher.add(number(style.fillStyle));
    hasher.add(style.roundnessType);
    hasher.add(e.link);
    hasher.add(static_cast<std::int64_t>(e.isLocked));
    hasher.add(e.excalidrawSeed);
    hasher.add(e.excalidrawVersion);
    hasher.add(e.excalidrawVersionNonce);
    hasher.add(e.excalidrawIndex);
    hasher.add(e.excalidrawUpdated);
    return hasher.result();
}

} // namespace zentrel
