#include "excalidraw_losses.h"

#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <nlohmann/json.hpp>

namespace zentrel {
namespace {

using nlohmann::json;

// A document's member, or null when it has none: a written document may lack any of them.
json memberOf(const json &object, const std::string &key)
{
    return object.is_object() && object.contains(key) ? object[key] : json();
}

std::string_view rawMember(std::string_view objectText, std::string_view key)
{
    for (const ExcalidrawRawMember &found : excalidrawRawMembers(objectText)) {
        if (found.key == key) {
            return found.value;
        }
    }
    return {};
}

bool isKept(const json &element)
{
    return memberOf(element, "isDeleted") != true;
}

void addElementLosses(std::vector<std::string> &losses, const json &original, const json &written)
{
    const json writtenElements = memberOf(written, "elements");
    const std::size_t count = writtenElements.is_array() ? writtenElements.size() : 0;
    std::size_t index = 0;
    for (const json &element : memberOf(original, "elements")) {
        if (!isKept(element)) {
            continue;
        }
        const std::string id = memberOf(element, "id").dump();
        if (index >= count) {
            losses.push_back("element " + id + " is lost");
            continue;
        }
        const json &same = writtenElements[index++];
        for (auto it = element.begin(); it != element.end(); ++it) {
            const json again = memberOf(same, it.key());
            if (!same.is_object() || !same.contains(it.key())) {
                losses.push_back("element " + id + " lost \"" + it.key() + "\"");
            } else if (again != it.value()) {
                losses.push_back("element " + id + " changed \"" + it.key() + "\" from "
                                 + it.value().dump() + " to " + again.dump());
            }
        }
    }
    if (count != index) {
        losses.push_back(std::to_string(index) + " elements came back as " + std::to_string(count));
    }
}

void addFileLosses(std::vector<std::string> &losses,
                   std::string_view originalText,
                   const json &original,
                   std::string_view writtenText,
                   const json &written)
{
    const json files = memberOf(original, "files");
    const json writtenFiles = memberOf(written, "files");
    std::size_t images = 0;
    for (const json &element : memberOf(original, "elements")) {
        const json fileId = memberOf(element, "fileId");
        if (!isKept(element) || !fileId.is_string() || !files.contains(fileId.get<std::string>())) {
            continue;
        }
        ++images;
        const std::string id = fileId.get<std::string>();
        const std::string_view entry = rawMember(rawMember(originalText, "files"), id);
        if (memberOf(writtenFiles, id) != files[id]) {
            losses.push_back("file " + id + " changed to " + memberOf(writtenFiles, id).dump());
        } else if (rawMember(rawMember(writtenText, "files"), id) != entry) {
            losses.push_back("file " + id + " was written in other bytes");
        }
    }
    if (images == 0 && writtenFiles != json::object()) {
        losses.push_back("files without images: " + writtenFiles.dump());
    }
}

} // namespace

std::vector<std::string> excalidrawLosses(std::string_view original, std::string_view written)
{
    const json read = json::parse(original, nullptr, false);
    const json again = json::parse(written, nullptr, false);
    if (!read.is_object() || !again.is_object()) {
        return {"a document is not a JSON object"};
    }
    std::vector<std::string> losses;
    addElementLosses(losses, read, again);
    addFileLosses(losses, original, read, written, again);
    return losses;
}

} // namespace zentrel
