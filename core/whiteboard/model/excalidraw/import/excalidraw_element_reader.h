#pragma once

#include "whiteboard/model/excalidraw/excalidraw_values.h"
#include "whiteboard/model/whiteboard_element.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// The keys of an element object read as single values. A key missing, null or holding an array
// or object all read the same, so each is kept as one JSON scalar that starts out null.
enum class ExcalidrawScalarKey : std::uint8_t {
    id,
    type,
    isDeleted,
    x,
    y,
    width,
    height,
    angle,
    strokeColor,
    backgroundColor,
    strokeWidth,
    opacity,
    roughness,
    strokeStyle,
    fillStyle,
    fontFamily,
    text,
    fontSize,
    textAlign,
    lineHeight,
    link,
    locked,
    seed,
    version,
    versionNonce,
    index,
    updated,
    containerId,
    strokeSharpness,
    count,
};

// One member of an element object as read, as places in the document: every member of every
// element is noted, but the text of only a few is ever needed, so it is cut out on demand.
struct ExcalidrawMember
{
    const char *start = nullptr;  // past what came before it; separators may follow
    const char *keyEnd = nullptr; // one past the key's closing quote
    const char *end = nullptr;    // one past the value
    std::uint8_t key = 0;         // the scanner's number (excalidrawIgnoredKey if unread)

    // `"key": value`.
    std::string_view text() const;
    // The key between its quotes, escapes as written.
    std::string_view name() const;
    std::string_view value() const;
};

// What one element object holds that import uses, gathered while the document is parsed so that
// no tree of the whole document is ever built. Later duplicate keys replace earlier ones.
struct ExcalidrawElementFields
{
    std::array<nlohmann::json, static_cast<std::size_t>(ExcalidrawScalarKey::count)> scalars;
    // Each usable "points" entry as read, relative to the element's position.
    std::vector<WhiteboardPoint> points;
    bool pointsExact = true; // every entry is exactly two numbers, so `points` is all they say
    std::vector<std::string> groupIds;       // the string entries of "groupIds"
    std::optional<std::string> startBinding; // "elementId" text of the binding objects
    std::optional<std::string> endBinding;
    std::optional<std::int64_t> roundnessType; // set when "roundness" is an object
    std::string_view bytes;                    // the object's own text, for placeholders
    std::vector<ExcalidrawMember> members;     // every member, in document order

    const nlohmann::json *operator[](ExcalidrawScalarKey key) const
    {
        return &scalars[static_cast<std::size_t>(key)];
    }

    // Gives a scalar key (a number of ExcalidrawScalarKey) its value.
    void set(std::uint8_t key, nlohmann::json &&value)
    {
        scalars[key] = std::move(value);
        setKeys |= std::uint32_t{1} << key;
        textKeys &= ~(std::uint32_t{1} << key);
    }

    // Keys that matter only as strings (ids, the type, colours, style words, texts). Their
    // string values are held as plain strings whose buffers the next element reuses, not as
    // JSON strings that cost an allocation each; `scalars` holds null for them meanwhile.
    static bool isStringKey(std::uint8_t key);

    void setText(std::uint8_t key, const std::string &text);

    // The string a text key holds; none when it holds no string.
    std::string *text(ExcalidrawScalarKey key);

    // Resets only what was set: most elements set few of the scalar keys.
    void clear();

private:
    static_assert(static_cast<std::size_t>(ExcalidrawScalarKey::count) <= 32);
    std::uint32_t setKeys = 0;  // one bit per scalar key set since the last clear
    std::uint32_t textKeys = 0; // one bit per key whose string is in `texts`
    std::array<std::string, static_cast<std::size_t>(ExcalidrawScalarKey::count)> texts;
};

// An element waiting for the document's identifier map: converted apart from what refers to
// other elements or needs fresh randomness, which import settles in document order afterwards.
struct ExcalidrawPendingElement
{
    // Allocated where it ends up on the board, so it is never moved; null for elements left out
    // (deleted or without a string "type").
    std::shared_ptr<WhiteboardElement> element;
    std::optional<std::string> id; // "id" when a string; every element object registers it
    bool supported = false;        // false: a locked placeholder keeping its JSON
    std::vector<std::string> groupIds;
    std::optional<std::string> containerId;
    std::optional<std::string> startBinding;
    std::optional<std::string> endBinding;
    // The members that export must write back (see excalidraw_kept_keys.h); for placeholders,
    // the "fileId" of a kept image.
    std::string keptMembers;
    std::optional<std::string> fileId;
};

// The kind a document "type" maps to ("draw" is the older word for freedraw); none for types
// the whiteboard does not know.
std::optional<WhiteboardElementKind> excalidrawElementKind(std::string_view type);

// Converts one element object's fields, every malformed value replaced by its default. Strings
// are moved out of `fields`.
ExcalidrawPendingElement readExcalidrawElement(ExcalidrawElementFields &fields);

} // namespace zentrel
