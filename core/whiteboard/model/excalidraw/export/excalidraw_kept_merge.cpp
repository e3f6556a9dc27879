#include "whiteboard/model/excalidraw/export/excalidraw_kept_merge.h"

#include "common/json/json_reindent.h"
#include "common/json/json_text.h"
#include "common/json/limited_json.h"
#include "whiteboard/model/excalidraw/excalidraw_values.h"
#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"
#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"
#include "whiteboard/model/excalidraw/import/excalidraw_scan_keys.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Kept values were read as JSON when they were kept, so they read again.
json parsed(std::string_view value)
{
    return parseLimitedJson(value).value_or(json(json::value_t::discarded));
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
        if (id.is_string() && identities.namesElement(id.get_ref<const std::string &>())
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
// Excalidraw stamps an element it changes: the texts of its "version" and, when the edit's time
// is known, "updated", which replace the writer's own.
struct EditStamp
{
    std::string version;
    std::string updated;
    std::vector<ExcalidrawRawMember> members;

    explicit EditStamp(const WhiteboardElement &element)
    {
        const std::int64_t read = element.excalidrawVersion.value_or(1);
        version = std::to_string(read < std::numeric_limits<std::int64_t>::max() ? read + 1 : read);
        members.push_back({"version", version});
        if (element.excalidrawEditedAt) {
            updated = std::to_string(*element.excalidrawEditedAt);
            members.push_back({"updated", updated});
        }
    }

    EditStamp(const EditStamp &) = delete; // the members view the strings
    EditStamp &operator=(const EditStamp &) = delete;
};

// `written` is the writer's object; `writesAsText` says whether it wrote the key as text instead.
bool stillHolds(const ExcalidrawRawMember &member,
                const ExcalidrawObject &written,
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
    const ExcalidrawMemberValue *found = written.find(key);
    // Lists and bindings are never written as plain text.
    static const json none;
    const json &tree = found != nullptr ? found->tree() : none;
    if (key == "boundElements") {
        return boundElementsAgree(member.value, tree, identities);
    }
    if (key == "startBinding" || key == "endBinding") {
        // An arrow moved here still meets the same element; how it met it is the best there is.
        return unchanged.shape || sameTarget(member.value, tree);
    }
    if (key == "originalText") {
        return unchanged.text;
    }
    if (isOneOf(shapeDerivedKeys, key)) {
        return unchanged.shape;
    }
    // A member the model holds; the others (a frame, arrowheads, custom data) are the element's
    // whatever is edited.
    if ((found != nullptr || writesAsText) && excalidrawElementKey(key) != excalidrawIgnoredKey) {
        return isOneOf(shapeKeys, key) ? unchanged.shape : unchanged.style;
    }
    return true;
}

// The string a JSON string value holds, as a view: of the value itself when it holds no escapes
// (almost always), else of its unescaped text kept in `store`. None when it is no string.
std::optional<std::string_view> stringView(std::string_view value, std::deque<std::string> &store)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::nullopt;
    }
    const std::string_view inner = value.substr(1, value.size() - 2);
    if (inner.find('\\') == std::string_view::npos) {
        return inner;
    }
    std::optional<std::string> text = excalidrawRawString(value);
    if (!text) {
        return std::nullopt;
    }
    return store.emplace_back(std::move(*text));
}

// The string entries of a kept "groupIds" array, in order, as import read them.
std::vector<std::string_view> groupTexts(std::string_view value, std::deque<std::string> &store)
{
    std::vector<std::string_view> texts;
    for (std::size_t at = value.find('"'); at != std::string_view::npos;) {
        std::size_t end = at + 1;
        while (end < value.size() && value[end] != '"') {
            end += value[end] == '\\' ? 2 : 1;
        }
        if (const auto text = stringView(value.substr(at, end + 1 - at), store)) {
            texts.push_back(*text);
        }
        at = value.find('"', end + 1);
    }
    return texts;
}

// The string member `key` of a JSON object, as a view of the object's own text.
std::optional<std::string_view> stringMember(const json &object, const char *key)
{
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    return found->get_ref<const std::string &>();
}

} // namespace

ExcalidrawIdentities::ExcalidrawIdentities(const WhiteboardBoard &board)
    : m_elements(board.elements.size())
    , m_placeholders(board.elements.size())
{
    const std::size_t count = board.elements.size();
    m_readTexts.reserve(count);
    m_keptStart.reserve(count + 1);
    // Imported elements keep a few members each.
    m_kept.reserve(count * 8);
    // Placeholders are written as kept, so their ids are taken first.
    std::vector<std::optional<std::string_view>> readTexts(count);
    for (std::size_t i = 0; i < count; ++i) {
        const WhiteboardElement &element = *board.elements[i];
        if (!m_elements.tryEmplace(element.id).second) {
            m_sharedIds.insert(element.id);
        }
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
            readTexts[i] = stringView(id->value, m_unescaped);
        }
        if (const ExcalidrawRawMember *groups = findMember(kept, "groupIds")) {
            const std::vector<std::string_view> texts = groupTexts(groups->value, m_unescaped);
            for (std::size_t g = 0; g < std::min(texts.size(), element.groupIDs.size()); ++g) {
                if (auto [text, added] = m_groups.tryEmplace(element.groupIDs[g]); added) {
                    text = texts[g];
                }
            }
        }
    }
    m_keptStart.push_back(m_kept.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<std::string_view> &text = *m_elements.find(board.elements[i]->id);
        if (readTexts[i] && !text && m_readTexts.insert(*readTexts[i]).second) {
            text = readTexts[i];
        }
    }
}

void ExcalidrawIdentities::readPlaceholder(std::size_t index, const WhiteboardElement &element)
{
    const std::string &kept = *element.opaqueExcalidrawJSON;
    std::string entry;
    std::optional<std::string_view> id;
    std::optional<std::string_view> fileId;
    // Import keeps the object as the library's dump wrote it, which re-indents without a tree.
    if (kept.starts_with('{') && kept.size() <= excalidrawMaxDocumentBytes
        && appendReindentedDump(entry, kept, 2, 4, excalidrawMaxNestingDepth)) {
        for (const ExcalidrawRawMember &member : excalidrawRawMembers(kept)) {
            if (member.key == "id") {
                id = stringView(member.value, m_unescaped);
            } else if (member.key == "fileId") {
                fileId = stringView(member.value, m_unescaped);
            }
        }
    } else {
        const auto object = parseBoundedJson(kept);
        if (!object || !object->is_object()) {
            return;
        }
        appendJsonText(entry, *object, 2, 4);
        // The tree goes, so its texts are kept aside.
        for (const char *key : {"id", "fileId"}) {
            if (const auto text = stringMember(*object, key)) {
                (key == std::string_view("id") ? id : fileId) =
                    m_unescaped.emplace_back(std::string(*text));
            }
        }
    }
    m_placeholders[index] = std::move(entry);
    if (id) {
        m_readTexts.insert(*id);
        std::optional<std::string_view> &text = m_elements.tryEmplace(element.id).first;
        text = text ? text : id;
    }
    if (fileId) {
        m_fileIds.emplace(*fileId);
    }
}

std::string ExcalidrawIdentities::elementText(const Uuid &id) const
{
    const std::optional<std::string_view> *found = m_elements.find(id);
    return found == nullptr || !*found ? id.text() : std::string(**found);
}

bool ExcalidrawIdentities::namesElement(std::string_view text) const
{
    if (m_readTexts.contains(text)) {
        return true;
    }
    const std::optional<Uuid> id = Uuid::parse(text);
    const std::optional<std::string_view> *found = id ? m_elements.find(*id) : nullptr;
    return found != nullptr && !*found && id->text() == text;
}

std::string ExcalidrawIdentities::groupText(const Uuid &group) const
{
    const std::optional<std::string_view> *found = m_groups.find(group);
    return found == nullptr ? group.text() : std::string(**found);
}

std::span<const ExcalidrawRawMember> ExcalidrawIdentities::keptMembers(std::size_t index) const
{
    return {m_kept.data() + m_keptStart[index], m_keptStart[index + 1] - m_keptStart[index]};
}

const std::optional<std::string> &ExcalidrawIdentities::placeholderEntry(std::size_t index) const
{
    return m_placeholders[index];
}

void appendExcalidrawElement(std::string &out,
                             const ExcalidrawObject &written,
                             const std::vector<ExcalidrawRawMember> &computed,
                             const WhiteboardElement &element,
                             const ExcalidrawIdentities &identities,
                             std::size_t index)
{
    std::vector<const ExcalidrawRawMember *> restored;
    std::optional<EditStamp> stamp;
    if (const ExcalidrawSourceKeys *source =
            element.excalidrawSource ? &*element.excalidrawSource : nullptr) {
        const Unchanged unchanged{excalidrawShapeHash(element) == source->shapeHash,
                                  excalidrawTextHash(element) == source->textHash,
                                  excalidrawStyleHash(element) == source->styleHash,
                                  excalidrawIdentityHash(element.id) == source->identityHash};
        for (const ExcalidrawRawMember &member : identities.keptMembers(index)) {
            const bool asText = findMember(computed, member.key) != nullptr;
            if (stillHolds(member, written, asText, unchanged, element, identities)) {
                restored.push_back(&member);
            }
        }
        if (!unchanged.all()) {
            stamp.emplace(element);
            for (const ExcalidrawRawMember &member : stamp->members) {
                restored.push_back(&member);
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
    appendExcalidrawObject(out, written, restored);
}

} // namespace zentrel
