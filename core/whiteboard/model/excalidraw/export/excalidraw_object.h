#pragma once

#include "whiteboard/model/excalidraw/excalidraw_members.h"
#include "whiteboard/model/excalidraw/export/excalidraw_member_value.h"

#include <nlohmann/json.hpp>

#include <array>
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
        Member(std::string_view key_, std::uint64_t prefix_)
            : key(key_)
            , prefix(prefix_)
        {}

        std::string_view key; // one of the writer's own literals
        std::uint64_t prefix; // keyPrefix(key)
        ExcalidrawMemberValue value;
    };

    // The member's value, added as null when missing. Only string literals are keys, so the
    // object may keep views of them.
    template <std::size_t Size>
    ExcalidrawMemberValue &operator[](const char (&key)[Size])
    {
        return member(std::string_view(key, Size - 1));
    }

    // The member's value; none when there is no such member.
    const ExcalidrawMemberValue *find(std::string_view key) const;

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
    ExcalidrawMemberValue &member(std::string_view key);
    // The slot of `key` in m_slots: its own, or the empty one where it would go.
    std::size_t slotOf(std::string_view key, std::uint64_t prefix) const;
    // The member's index, given the slot its key hashes to; size() when there is none.
    std::size_t indexOf(std::string_view key, std::uint64_t prefix, std::size_t slot) const;

    // Members are found through a small open hash table of their indices (plus one, 0 is free):
    // most keys are set once, and searching every earlier key for each costs more than the rest.
    static constexpr std::size_t slotCount = 64;
    static constexpr std::size_t maxIndexed = slotCount * 3 / 4;
    std::vector<Member> m_members;
    std::array<std::uint8_t, slotCount> m_slots{};
};

// Appends the object as one entry of a document's "elements" array: pretty-printed with its keys
// sorted, as a JSON tree's dump writes it, indented one level in. Members given as `text` (kept or
// computed JSON text) go in as they are, in key order with the others, and replace any member of
// the object with the same key.
void appendExcalidrawObject(std::string &out,
                            const ExcalidrawObject &object,
                            const std::vector<const ExcalidrawRawMember *> &text = {});

} // namespace zentrel
