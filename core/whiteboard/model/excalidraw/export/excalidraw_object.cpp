#include "whiteboard/model/excalidraw/export/excalidraw_object.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zentrel {
namespace {

// A member on its way out: the object's own value, or JSON text to write as it is.
struct OutgoingMember
{
    std::uint64_t prefix;
    std::string_view key;
    const ExcalidrawMemberValue *value;
    std::string_view text;
};

bool keyBefore(const OutgoingMember &a, const OutgoingMember &b)
{
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.key < b.key;
}

} // namespace

std::uint64_t ExcalidrawObject::keyPrefix(std::string_view key)
{
    // Big-endian, so that the numbers order as the bytes do; short keys are padded with zeros.
    std::uint64_t word = 0;
    std::memcpy(&word, key.data(), std::min<std::size_t>(key.size(), sizeof word));
    if constexpr (std::endian::native == std::endian::little) {
        word = __builtin_bswap64(word);
    }
    return word;
}

std::size_t ExcalidrawObject::slotOf(std::string_view key, std::uint64_t prefix) const
{
    std::size_t slot =
        static_cast<std::size_t>((prefix ^ key.size()) * 0x9E3779B97F4A7C15ULL >> 58);
    while (m_slots[slot] != 0) {
        const Member &member = m_members[m_slots[slot] - 1];
        if (member.prefix == prefix && member.key == key) {
            break;
        }
        slot = (slot + 1) % slotCount;
    }
    return slot;
}

std::size_t
ExcalidrawObject::indexOf(std::string_view key, std::uint64_t prefix, std::size_t slot) const
{
    if (m_slots[slot] != 0) {
        return m_slots[slot] - 1u;
    }
    // Members past the table's share are found by looking at each.
    for (std::size_t i = maxIndexed; i < m_members.size(); ++i) {
        if (m_members[i].prefix == prefix && m_members[i].key == key) {
            return i;
        }
    }
    return m_members.size();
}

const ExcalidrawMemberValue *ExcalidrawObject::find(std::string_view key) const
{
    const std::uint64_t prefix = keyPrefix(key);
    const std::size_t index = indexOf(key, prefix, slotOf(key, prefix));
    return index < m_members.size() ? &m_members[index].value : nullptr;
}

nlohmann::json ExcalidrawObject::toJson() const
{
    nlohmann::json object = nlohmann::json::object();
    for (const Member &m : m_members) {
        object[std::string(m.key)] = m.value.toJson();
    }
    return object;
}

ExcalidrawMemberValue &ExcalidrawObject::member(std::string_view key)
{
    const std::uint64_t prefix = keyPrefix(key);
    const std::size_t slot = slotOf(key, prefix);
    if (const std::size_t index = indexOf(key, prefix, slot); index < m_members.size()) {
        return m_members[index].value;
    }
    if (m_members.empty()) {
        // Room for every member of an element at once.
        m_members.reserve(40);
    }
    if (m_members.size() < maxIndexed) {
        m_slots[slot] = static_cast<std::uint8_t>(m_members.size() + 1);
    }
    return m_members.emplace_back(key, prefix).value;
}

void appendExcalidrawObject(std::string &out,
                            const ExcalidrawObject &object,
                            const std::vector<const ExcalidrawRawMember *> &text)
{
    // An element has some forty members at most; only more than that go to the heap.
    std::array<OutgoingMember, 64> local;
    const std::size_t most = object.size() + text.size();
    std::vector<OutgoingMember> spilled(most > local.size() ? most : 0);
    OutgoingMember *members = spilled.empty() ? local.data() : spilled.data();
    std::size_t count = 0;
    for (const ExcalidrawRawMember *member : text) {
        members[count++] = {
            ExcalidrawObject::keyPrefix(member->key), member->key, nullptr, member->value};
    }
    const std::size_t textCount = count;
    for (const ExcalidrawObject::Member &member : object) {
        const OutgoingMember own{member.prefix, member.key, &member.value, {}};
        const bool replaced = std::any_of(members, members + textCount, [&own](const auto &other) {
            return other.prefix == own.prefix && other.key == own.key;
        });
        if (!replaced) {
            members[count++] = own;
        }
    }
    std::sort(members, members + count, keyBefore);
    // An entry of the array sits four spaces in, its members six.
    constexpr int indent = 2;
    constexpr int memberLevel = 6;
    out += count == 0 ? "{" : "{\n      \"";
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out += ",\n      \"";
        }
        // The writer's keys and kept keys as read need no escaping.
        out += members[i].key;
        out += "\": ";
        if (const ExcalidrawMemberValue *value = members[i].value; value == nullptr) {
            out += members[i].text;
        } else {
            value->appendTo(out, indent, memberLevel);
        }
    }
    out += count == 0 ? "}" : "\n    }";
}

} // namespace zentrel
