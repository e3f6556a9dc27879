#include "whiteboard/model/excalidraw/excalidraw_kept_merge.h"

#include "whiteboard/model/excalidraw/excalidraw_json_reader.h"
#include "whiteboard/model/excalidraw/excalidraw_kept_keys.h"
#include "whiteboard/model/excalidraw/excalidraw_scan_keys.h"
#include "whiteboard/model/excalidraw/excalidraw_values.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

namespace zentrel {
namespace {

using json = nlohmann::json;

// Members that follow from the element's shape: where a stroke's pressure falls, the point a
// line was last drawn to, how an arrow meets what it is bound to, an elbow's route.
constexpr std::array<std::string_view, 6> shapeDerivedKeys{"baseline",
                                                           "endIsSpecial",
                                                           "fixedSegments",
                                                           "lastCommittedPoint",
                                                           "pressures",
                                                           "startIsSpecial"};

// Written members that hold the element's shape; the others hold its style.
constexpr std::array<std::string_view, 12> shapeKeys{"angle",
                                                     "containerId",
                                                     "fontFamily",
                                                     "fontSize",
                                                     "height",
                                                     "lineHeight",
                                                     "points",
                                                     "text",
                                                     "textAlign",
                                                     "width",
                                                     "x",
                                                     "y"};

template <std::size_t Count>
bool isOneOf(const std::array<std::string_view, Count> &keys, std::string_view key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

json parsed(std::string_view value)
{
    return json::parse(value, nullptr, false);
}

const ExcalidrawRawMember *findMember(std::span<const ExcalidrawRawMember> members,
                                      std::string_view key)
{
    for (const ExcalidrawRawMember &member : members) {
        if (member.key == key) {
            return &member;
        }
    }
    return nullptr;
}

bool sameEntry(const json &a, const json &b)
{
    return a.is_object() && b.is_object() && a.value("id", json()) == b.value("id", json())
           && a.value("type", json()) == b.value("type", json());
}

bool listed(const json &entries, const json &entry)
{
    return std::any_of(entries.begin(), entries.end(), [&entry](const json &candidate) {
        return sameEntry(candidate, entry);
    });
}

// The list read says the same as the list written: every element bound now was bound then, and
// every element of the board bound then still is. Entries naming nothing on the board (deleted
// or foreign elements) are the document's own business and stay.
bool boundElementsAgree(std::string_view keptValue,
                        const json &written,
                        const ExcalidrawIdentities &identities)
{
    json kept = parsed(keptValue);
    if (kept.is_null()) {
        kept = json::array();
    }
    const json now = written.is_array() ? written : json::array();
    if (!kept.is_array()) {
        return false;
    }
    for (const json &entry : now) {
        if (!listed(kept, entry)) {
            return false;
        }
    }
    for (const json &entry : kept) {
        const json id = entry.is_object() ? entry.value("id", json()) : json();
        if (id.is_string() && identities.namesElement(id.get<std::string>())
            && !listed(now, entry)) {
            return false;
        }
    }
    return true;
}

// A binding as read names the element that the binding written now names.
bool sameTarget(std::string_view keptValue, const json &written)
{
    const json kept = parsed(keptValue);
    return kept.is_object() && written.is_object() && kept.contains("elementId")
           && kept["elementId"] == written.value("elementId", json());
}

struct Unchanged
{
    bool shape;
    bool text;
    bool style;
    bool identity;

    bool all() const { return shape && text && style && identity; }
};

// The fill style import reads from a value: a word it knows, none for any other word, solid for
// what is no word.
std::optional<WhiteboardFillStyle> readFillStyle(std::string_view value)
{
    const std::optional<std::string> word = excalidrawRawString(value);
    return word ? whiteboardFillStyleText.parse(*word) : WhiteboardFillStyle::solid;
}

// A value the model holds only as what it reads as (a fill style or arrowhead it does not know)
// stays until that field itself is edited: an unknown fill survives a new stroke colour. None
// for the other keys.
std::optional<bool> heldAsRead(const ExcalidrawRawMember &member, const WhiteboardElement &element)
{
    if (member.key == "fillStyle") {
        return element.style.fillStyle == readFillStyle(member.value);
    }
    const bool start = member.key == "startArrowhead";
    if (element.kind == WhiteboardElementKind::arrow && (start || member.key == "endArrowhead")) {
        const Arrowheads heads = arrowheadsOf(element);
        return (start ? heads.start : heads.end) == excalidrawArrowheadFromText(member.value);
    }
    return std::nullopt;
}

// An edited element is a newer version of the one read, changed when the edit was made, as
// Excalidraw stamps an element it changes.
void stampEdit(json &written, const WhiteboardElement &element)
{
    const std::int64_t version = element.excalidrawVersion.value_or(1);
    written["version"] = version < std::numeric_limits<std::int64_t>::max() ? version + 1 : version;
    if (element.excalidrawEditedAt) {
        written["updated"] = *element.excalidrawEditedAt;
    }
}

// `written` is the writer's object; `writesAsText` says whether it wrote the key as text instead.
bool stillHolds(const ExcalidrawRawMember &member,
                const json &written,
                bool writesAsText,
                const Unchanged &unchanged,
                const WhiteboardElement &element,
                const ExcalidrawIdentities &identities)
{
    const std::string_view key = member.key;
    // Ids and groups are written with the texts they were read with already.
    if (key == "id" || key == "groupIds") {
        return false;
    }
    if (const std::optional<bool> held = heldAsRead(member, element)) {
        return *held;
    }
    if (key == "version" || key == "updated") {
        return unchanged.all();
    }
    const auto found = written.find(key);
    if (key == "boundElements") {
        return boundElementsAgree(
            member.value, found != written.end() ? *found : json(), identities);
    }
    if (key == "startBinding" || key == "endBinding") {
        // An arrow moved here still meets the same element; how it met it is the best there is.
        return unchanged.shape || (found != written.end() && sameTarget(member.value, *found));
    }
    if (key == "originalText") {
        return unchanged.text;
    }
    if (isOneOf(shapeDerivedKeys, key)) {
        return unchanged.shape;
    }
    // A member the model holds; the others (a frame, arrowheads, custom data) are the element's
    // whatever is edited.
    if ((found != written.end() || writesAsText)
        && excalidrawElementKey(key) != excalidrawIgnoredKey) {
        return isOneOf(shapeKeys, key) ? unchanged.shape : unchanged.style;
    }
    return true;
}

void appendIndented(std::string &out, std::string_view text, std::string_view indent)
{
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos;
         end = text.find('\n', start)) {
        out.append(text.substr(start, end + 1 - start));
        out.append(indent);
        start = end + 1;
    }
    out.append(text.substr(start));
}

// The key of the top-level member whose line starts at `at` in an object dumped with an indent
// of two: the writer's own keys, which need no unescaping.
std::string_view dumpedKey(std::string_view text, std::size_t at)
{
    const std::size_t start = at + 4; // past the line feed, the indent and the quote
    return text.substr(start, text.find('"', start) - start);
}

// The key as it was read is JSON text already.
void appendMember(std::string &out, std::string_view start, const ExcalidrawRawMember &member)
{
    out += start;
    out += member.key;
    out += "\": ";
    out += member.value;
}

// Puts the kept members, in key order, into the writer's object dumped with an indent of two,
// where its own members would have been: one dump of the whole object is much cheaper than one
// per member.
std::string spliced(const std::string &dumped,
                    const std::vector<const ExcalidrawRawMember *> &restored)
{
    constexpr std::string_view memberStart = "\n  \"";
    std::string text;
    text.reserve(dumped.size() + restored.size() * 64);
    std::size_t copied = 0;
    auto next = restored.begin();
    for (std::size_t at = dumped.find(memberStart);
         at != std::string::npos && next != restored.end();
         at = dumped.find(memberStart, at + 1)) {
        const std::string_view key = dumpedKey(dumped, at);
        text.append(dumped, copied, at - copied);
        copied = at;
        for (; next != restored.end() && (*next)->key < key; ++next) {
            appendMember(text, "\n  \"", **next);
            text += ',';
        }
    }
    // Past the writer's last member: before the closing brace, after a comma. An object left
    // empty is dumped "{}" on one line.
    const bool empty = dumped == "{}";
    const std::size_t closing = empty ? 1 : dumped.rfind('\n');
    text.append(dumped, copied, closing - copied);
    for (bool first = empty; next != restored.end(); ++next, first = false) {
        appendMember(text, first ? "\n  \"" : ",\n  \"", **next);
    }
    text += empty ? "\n}" : dumped.substr(closing);
    return text;
}

// The string entries of a kept "groupIds" array, in order, as import read them.
std::vector<std::string> groupTexts(std::string_view value)
{
    std::vector<std::string> texts;
    for (std::size_t at = value.find('"'); at != std::string_view::npos;) {
        std::size_t end = at + 1;
        while (end < value.size() && value[end] != '"') {
            end += value[end] == '\\' ? 2 : 1;
        }
        if (std::optional<std::string> text = excalidrawRawString(value.substr(at, end + 1 - at))) {
            texts.push_back(std::move(*text));
        }
        at = value.find('"', end + 1);
    }
    return texts;
}

} // namespace

ExcalidrawIdentities::ExcalidrawIdentities(const WhiteboardBoard &board)
    : m_placeholders(board.elements.size())
{
    const std::size_t count = board.elements.size();
    m_elements.reserve(count);
    m_readTexts.reserve(count);
    m_boardIds.reserve(count);
    m_keptStart.reserve(count + 1);
    // Placeholders are written as kept, so their ids are taken first.
    std::vector<std::optional<std::string>> readTexts(count);
    for (std::size_t i = 0; i < count; ++i) {
        const WhiteboardElement &element = *board.elements[i];
        m_boardIds.insert(element.id);
        m_keptStart.push_back(m_kept.size());
        if (element.kind == WhiteboardElementKind::unsupported && element.opaqueExcalidrawJSON) {
            readPlaceholder(i, element);
            continue;
        }
        if (!element.excalidrawSource) {
            continue;
        }
        const std::size_t start = m_kept.size();
        appendRawMembers(m_kept, element.excalidrawSource->json);
        if (excalidrawIdentityHash(element.id) != element.excalidrawSource->identityHash) {
            continue; // a copy: its id and groups are its own
        }
        const std::span<const ExcalidrawRawMember> kept(m_kept.data() + start,
                                                        m_kept.size() - start);
        if (const ExcalidrawRawMember *id = findMember(kept, "id")) {
            readTexts[i] = excalidrawRawString(id->value);
        }
        if (const ExcalidrawRawMember *groups = findMember(kept, "groupIds")) {
            std::vector<std::string> texts = groupTexts(groups->value);
            for (std::size_t g = 0; g < std::min(texts.size(), element.groupIDs.size()); ++g) {
                m_groups.try_emplace(element.groupIDs[g], std::move(texts[g]));
            }
        }
    }
    m_keptStart.push_back(m_kept.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Uuid &id = board.elements[i]->id;
        if (readTexts[i] && !m_elements.contains(id) && m_readTexts.insert(*readTexts[i]).second) {
            m_elements.emplace(id, std::move(*readTexts[i]));
        }
    }
}

void ExcalidrawIdentities::readPlaceholder(std::size_t index, const WhiteboardElement &element)
{
    auto object = parseBoundedJson(*element.opaqueExcalidrawJSON);
    if (!object || !object->is_object()) {
        return;
    }
    const json id = object->value("id", json());
    if (id.is_string()) {
        m_readTexts.insert(id.get<std::string>());
        m_elements.emplace(element.id, id.get<std::string>());
    }
    const json fileId = object->value("fileId", json());
    if (fileId.is_string()) {
        m_fileIds.insert(fileId.get<std::string>());
    }
    m_placeholders[index] = std::move(*object);
}

std::string ExcalidrawIdentities::elementText(const Uuid &id) const
{
    const auto found = m_elements.find(id);
    return found == m_elements.end() ? id.text() : found->second;
}

bool ExcalidrawIdentities::namesElement(const std::string &text) const
{
    if (m_readTexts.contains(text)) {
        return true;
    }
    const std::optional<Uuid> id = Uuid::parse(text);
    return id && id->text() == text && m_boardIds.contains(*id) && !m_elements.contains(*id);
}

std::string ExcalidrawIdentities::groupText(const Uuid &group) const
{
    const auto found = m_groups.find(group);
    return found == m_groups.end() ? group.text() : found->second;
}

std::span<const ExcalidrawRawMember> ExcalidrawIdentities::keptMembers(std::size_t index) const
{
    return {m_kept.data() + m_keptStart[index], m_keptStart[index + 1] - m_keptStart[index]};
}

const std::optional<json> &ExcalidrawIdentities::placeholderObject(std::size_t index) const
{
    return m_placeholders[index];
}

void appendIndentedJson(std::string &out, const json &value, std::string_view indent)
{
    // Raw line breaks only occur between tokens; inside strings they are escaped.
    appendIndented(out, value.dump(2, ' ', false, json::error_handler_t::replace), indent);
}

void appendExcalidrawElement(std::string &out,
                             json written,
                             const std::vector<ExcalidrawRawMember> &computed,
                             const WhiteboardElement &element,
                             const ExcalidrawIdentities &identities,
                             std::size_t index)
{
    std::vector<const ExcalidrawRawMember *> restored;
    if (const ExcalidrawSourceKeys *source =
            element.excalidrawSource ? &*element.excalidrawSource : nullptr) {
        const Unchanged unchanged{excalidrawShapeHash(element) == source->shapeHash,
                                  excalidrawTextHash(element) == source->textHash,
                                  excalidrawStyleHash(element) == source->styleHash,
                                  excalidrawIdentityHash(element.id) == source->identityHash};
        if (!unchanged.all()) {
            stampEdit(written, element);
        }
        for (const ExcalidrawRawMember &member : identities.keptMembers(index)) {
            const bool asText = findMember(computed, member.key) != nullptr;
            if (stillHolds(member, written, asText, unchanged, element, identities)) {
                restored.push_back(&member);
                written.erase(member.key);
            }
        }
    }
    for (const ExcalidrawRawMember &member : computed) {
        const bool kept =
            std::any_of(restored.begin(), restored.end(), [&member](const auto *other) {
                return other->key == member.key;
            });
        if (!kept) {
            restored.push_back(&member);
        }
    }
    std::sort(restored.begin(), restored.end(), [](const auto *a, const auto *b) {
        return a->key < b->key;
    });
    // Sorted like the writer's own keys, so the object comes out sorted as a whole.
    const std::string dumped = written.dump(2, ' ', false, json::error_handler_t::replace);
    appendIndented(out, spliced(dumped, restored), "    ");
}

} // namespace zentrel
