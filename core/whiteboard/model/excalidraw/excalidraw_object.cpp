#include "whiteboard/model/excalidraw/excalidraw_object.h"

#include "common/json_text.h"

#include <algorithm>

namespace zentrel {
namespace {

// A member on its way out: the object's own value, or JSON text to write as it is.
struct OutgoingMember
{
    std::string_view key;
    const nlohmann::json *value;
    std::string_view text;
};

} // namespace

const nlohmann::json *ExcalidrawObject::find(std::string_view key) const
{
    const auto found = std::find_if(
        m_members.begin(), m_members.end(), [key](const Member &m) { return m.key == key; });
    return found == m_members.end() ? nullptr : &found->value;
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
    for (Member &m : m_members) {
        if (m.key == key) {
            return m.value;
        }
    }
    // Room for every member of an element at once.
    m_members.reserve(40);
    return m_members.emplace_back(Member{key, nullptr}).value;
}

void appendExcalidrawObject(std::string &out,
                            const ExcalidrawObject &object,
                            const std::vector<const ExcalidrawRawMember *> &text)
{
    std::vector<OutgoingMember> members;
    members.reserve(object.size() + text.size());
    for (const ExcalidrawRawMember *member : text) {
        members.push_back({member->key, nullptr, member->value});
    }
    for (const ExcalidrawObject::Member &member : object) {
        const bool replaced = std::any_of(text.begin(), text.end(), [&member](const auto *other) {
            return other->key == member.key;
        });
        if (!replaced) {
            members.push_back({member.key, &member.value, {}});
        }
    }
    std::sort(
        members.begin(), members.end(), [](const auto &a, const auto &b) { return a.key < b.key; });
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
