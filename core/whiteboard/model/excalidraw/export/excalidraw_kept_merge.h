#pragma once

#include "common/uuid.h"
#include "common/uuid_table.h"
#include "whiteboard/model/excalidraw/excalidraw_members.h"
#include "whiteboard/model/excalidraw/export/excalidraw_object.h"
#include "whiteboard/model/whiteboard_board.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <deque>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zentrel {

// How export names a board's elements and groups, read once per export: an element imported
// from a document keeps the id text it was read with, and so do its groups, so that every
// reference to it (bindings, containers, frames, bound elements, placeholders' own objects)
// agrees with the object written for it.
class ExcalidrawIdentities
{
public:
    explicit ExcalidrawIdentities(const WhiteboardBoard &board);

    // The id text the element was read with while it is that element (a copy made here has a
    // fresh id) and no earlier element took the text; else the UUID's text.
    std::string elementText(const Uuid &id) const;

    // The text a group was read with, else the UUID's text.
    std::string groupText(const Uuid &group) const;

    // Whether an element of the board is written with this id text.
    bool namesElement(std::string_view text) const;

    // Whether more than one element of the board has this id.
    bool isShared(const Uuid &id) const { return m_sharedIds.contains(id); }

    // The kept members of the board's element at `index`, empty when it has none.
    std::span<const ExcalidrawRawMember> keptMembers(std::size_t index) const;

    // The entry of the "elements" array that a placeholder at `index` is written as: the object
    // it keeps, pretty-printed one level in; none when its bytes read as no object.
    const std::optional<std::string> &placeholderEntry(std::size_t index) const;

    // The "fileId" of every kept image on the board.
    const std::set<std::string> &fileIds() const { return m_fileIds; }

private:
    void readPlaceholder(std::size_t index, const WhiteboardElement &element);

    // Every element's id and every group's, with the text it is written with unless that is its
    // UUID's. The texts are views of the board's kept members and placeholder objects, or of
    // m_unescaped for the few that held escapes.
    UuidTable<std::optional<std::string_view>> m_elements;
    UuidTable<std::optional<std::string_view>> m_groups;
    std::unordered_set<std::string_view> m_readTexts; // the texts of m_elements
    std::deque<std::string> m_unescaped;
    std::unordered_set<Uuid> m_sharedIds;
    // Every element's kept members one after another; element i's start at m_keptStart[i].
    std::vector<ExcalidrawRawMember> m_kept;
    std::vector<std::size_t> m_keptStart;
    std::vector<std::optional<std::string>> m_placeholders;
    std::set<std::string> m_fileIds;
};

// Appends the element's object as it sits in the "elements" array: the writer's object and the
// members it wrote as text (`computed`), with the element's kept members put back where they
// still hold. An unedited element comes back as it was read; an edited one keeps what its edit
// left true (its custom data, frame, arrowheads) and writes the rest from what it now is.
void appendExcalidrawElement(std::string &out,
                             const ExcalidrawObject &written,
                             const std::vector<ExcalidrawRawMember> &computed,
                             const WhiteboardElement &element,
                             const ExcalidrawIdentities &identities,
                             std::size_t index);

} // namespace zentrel
