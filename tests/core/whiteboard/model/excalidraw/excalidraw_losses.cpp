#include "excalidraw_losses.h"

#include "whiteboard/model/excalidraw/excalidraw_members.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>

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

const json *elementWithId(const json &elements, const json &id)
{
    for (const json &element : elements) {
        if (isKept(element) && memberOf(element, "id") == id) {
            return &element;
        }
    }
    return nullptr;
}

double numberOf(const json &object, const char *key)
{
    const json value = memberOf(object, key);
    return value.is_number() ? value.get<double>() : 0;
}

double coordinate(const json &point, std::size_t axis)
{
    return point.is_array() && point.size() > axis && point[axis].is_number()
               ? point[axis].get<double>()
               : 0;
}

// The middle of a line's ends, where Excalidraw draws its label, or of any other element's box.
std::array<double, 2> middleOf(const json &element)
{
    const json points = memberOf(element, "points");
    const bool line = points.is_array() && points.size() >= 2;
    const auto middle = [&](std::size_t axis, const char *position, const char *extent) {
        return numberOf(element, position)
               + (line ? coordinate(points.front(), axis) + coordinate(points.back(), axis)
                       : numberOf(element, extent))
                     / 2;
    };
    return {middle(0, "x", "width"), middle(1, "y", "height")};
}

bool isLineLabel(const json &element, const json &originalElements)
{
    const json containerId = memberOf(element, "containerId");
    const json *container =
        containerId.is_string() ? elementWithId(originalElements, containerId) : nullptr;
    return container
           && (memberOf(*container, "type") == "arrow" || memberOf(*container, "type") == "line");
}

bool isCentredOnItsLine(const json &label, const json &writtenElements)
{
    const json *line = elementWithId(writtenElements, memberOf(label, "containerId"));
    constexpr double tolerance = 1e-6;
    return line && std::abs(middleOf(label)[0] - middleOf(*line)[0]) < tolerance
           && std::abs(middleOf(label)[1] - middleOf(*line)[1]) < tolerance;
}

void addElementLosses(std::vector<std::string> &losses, const json &original, const json &written)
{
    const json writtenElements = memberOf(written, "elements");
    const std::size_t count = writtenElements.is_array() ? writtenElements.size() : 0;
    const json originalElements = memberOf(original, "elements");
    std::size_t index = 0;
    for (const json &element : originalElements) {
        if (!isKept(element)) {
            continue;
        }
        const std::string id = memberOf(element, "id").dump();
        if (index >= count) {
            losses.push_back("element " + id + " is lost");
            continue;
        }
        const json &same = writtenElements[index++];
        // A line's label may have stored a stale place; written, it is where it is drawn.
        const bool lineLabel = isLineLabel(element, originalElements);
        if (lineLabel && !isCentredOnItsLine(same, writtenElements)) {
            losses.push_back("label " + id + " is not centred on its line");
        }
        for (auto it = element.begin(); it != element.end(); ++it) {
            if (lineLabel && (it.key() == "x" || it.key() == "y")) {
                continue;
            }
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
