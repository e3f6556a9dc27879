#pragma once

#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// An element object as the writer builds it: its members in the order they are set, each found
// by its key. Every element has some thirty members, which a JSON tree keeps as nodes of a sorted
// map; here they sit in one vector and are sorted once, when written.
class ExcalidrawObject
{
public:
    struct Member
    {
        std::string_view key; // one of the writer's own literals
        nlohmann::json value;
    };

    // The member's value, added as null when missing. Only string literals are keys, so the
    // object may keep views of them.
    template <std::size_t Size>
    nlohmann::json &operator[](const char (&key)[Size])
    {
        return member(std::string_view(key, Size - 1));
    }

    // The member's value; none when there is no such member.
    const nlohmann::json *find(std::string_view key) const;

    bool contains(std::string_view key) const { return find(key) != nullptr; }

    std::size_t size() const { return m_members.size(); }

    // In the order the members were first set.
    auto begin() const { return m_members.begin(); }

    auto end() const { return m_members.end(); }

    // The same object as a JSON tree.
    nlohmann::json toJson() const;

    // A key's first eight bytes as one number, in the keys' byte order: most keys differ in them,
    // so most are found and sorted by one comparison.
    static std::uint64_t keyPrefix(std::string_view key);

private:
    nlohmann::json &member(std::string_view key);
    std::size_t indexOf(std::string_view key) const;

    std::vector<Member> m_members;
    std::vector<std::uint64_t> m_prefixes; // of the members' keys, side by side for the search
};

// Appends the object as one entry of a document's "elements" array: pretty-printed with its keys
// sorted, as a JSON tree's dump writes it, indented one level in. Members given as `text` (kept or
// computed JSON text) go in as they are, in key order with the others, and replace any member of
// the object with the same key.
void appendExcalidrawObject(std::string &out,
                            const ExcalidrawObject &object,
                            const std::vector<const ExcalidrawRawMember *> &text = {});

} // namespace zentrel
