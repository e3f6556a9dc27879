#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// Kept members travel as JSON text, so that a board of imported elements saves and exports
// without a tree of every value; these helpers read that text without parsing the values.

// One member of a JSON object: its key as written between its quotes (escapes left as they are)
// and its value's text; both views into the text read.
struct ExcalidrawRawMember
{
    std::string_view key;
    std::string_view value;
};

// `"key": value` split at the colon; none when the text does not start with a JSON string
// followed by a colon.
std::optional<ExcalidrawRawMember> excalidrawRawMember(std::string_view memberText);

// The members of the text of one well-formed JSON object, in order.
std::vector<ExcalidrawRawMember> excalidrawRawMembers(std::string_view objectText);

// As above, appended to `members`.
void appendRawMembers(std::vector<ExcalidrawRawMember> &members, std::string_view objectText);

// Appends the JSON text without the white space between its tokens.
void appendMinifiedJson(std::string &out, std::string_view text);

// Whether the JSON text is `minified` once the white space between its tokens is left out.
bool isMinifiedJson(std::string_view text, std::string_view minified);

// The JSON text of a string value as the string it holds; none when it is no string.
std::optional<std::string> excalidrawRawString(std::string_view value);

} // namespace zentrel
