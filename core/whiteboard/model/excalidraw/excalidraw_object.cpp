#include "whiteboard/model/excalidraw/excalidraw_object.h"

#include "common/json_text.h"

#include <algorithm>

namespace zentrel {
namespace {

// A member on its way out: the object's own value, or JSON text to write as it is.
struct OutgoingMember
{
    std::uint64_t prefix;
    std::string_view key;
    const nlohmann::json *value;
    std::string_view text;
};

bool keyBefore(const OutgoingMember &a, const OutgoingMember &b)
{
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.key < b.key;
}

} // namespace

std::uint64_t ExcalidrawObject::keyPrefix(std::string_view key)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const auto byte = i < key.size() ? static_cast<unsigned char>(key[i]) : 0;
        prefix = prefix << 8 | byte;
    }
    return prefix;
}

std::size_t ExcalidrawObject::indexOf(std::string_view key) const
{
    const std::uint64_t prefix = keyPrefix(key);
    for (std::size_t i = 0; i < m_prefixes.size(); ++i) {
        if (m_prefixes[i] == prefix && m_members[i].key == key) {
            return i;
        }
    }
    return m_members.size();
}

const nlohmann::json *ExcalidrawObject::find(std::string_view key) const
{
    const std::size_t index = indexOf(key);
    return index < m_members.size() ? &m_members[index].value : nullptr;
}

nlohmann::json ExcalidrawObject::toJson() const
{
    nlohmann::json object = nlohmann::json::object();
    for (const Member &m : m_members) {
        object[std::string(m.key)] = m.value;
    }
    return object;
}

nlohmann::json &ExcalidrawObject::member(std::string_view key)
{
    const std::size_t index = indexOf(key);
    if (index < m_members.size()) {
        return m_members[index].value;
    }
    // Room for every member of an element at once.
    constexpr std::size_t elementMembers = 40;
    m_members.reserve(elementMembers);
    m_prefixes.reserve(elementMembers);
    m_prefixes.push_back(keyPrefix(key));
    return m_members.emplace_back(Member{key, nullptr}).value;
}

void appendExcalidrawObject(std::string &out,
                            const ExcalidrawObject &object,
                            const std::vector<const ExcalidrawRawMember *> &text)
{
    std::vector<OutgoingMember> members;
    members.reserve(object.size() + text.size());
    for (const ExcalidrawRawMember *member : text) {
        members.push_back(
            {ExcalidrawObject::keyPrefix(member->key), member->key, nullptr, member->value});
    }
    const std::size_t textCount = members.size();
    for (const ExcalidrawObject::Member &member : object) {
        const OutgoingMember own{
            ExcalidrawObject::keyPrefix(member.key), member.key, &member.value, {}};
        const bool replaced =
            std::any_of(members.begin(), members.begin() + textCount, [&own](const auto &other) {
                return other.prefix == own.prefix && other.key == own.key;
            });
        if (!replaced) {
            members.push_back(own);
        }
    }
    std::sort(members.begin(), members.end(), keyBefore);
    // An entry of the array sits four spaces in, its members six.
    constexpr int indent = 2;
    constexpr int memberLevel = 6;
    out += members.empty() ? "{" : "{\n      \"";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0) {
            out += ",\n      \"";
        }
        // The writer's keys and kept keys as read need no escaping.
        out += members[i].key;
        out += "\": ";
        if (members[i].value != nullptr) {
            appendJsonText(out, *members[i].value, indent, memberLevel);
        } else {
            out += members[i].text;
        }
    }
    out += members.empty() ? "}" : "\n    }";
}

} // namespace zentrel
