#include "whiteboard/model/excalidraw/excalidraw_export.h"

#include "whiteboard/model/excalidraw/excalidraw_element_writer.h"
#include "whiteboard/model/excalidraw/excalidraw_json_reader.h"
#include "whiteboard/model/model_json.h"

#include <nlohmann/json.hpp>

#include <unordered_map>
#include <vector>

namespace zentrel {
namespace {

using json = nlohmann::json;

// Every element's "boundElements" in one pass over the board, so export stays linear.
std::unordered_map<Uuid, json> boundElementsByTarget(const WhiteboardBoard &board)
{
    std::unordered_map<Uuid, json> entries;
    const auto add =
        [&entries](const Uuid &target, const WhiteboardElement &other, const char *type) {
            json &list = entries[target];
            if (list.is_null()) {
                list = json::array();
            }
            list.push_back({{"id", other.id.text()}, {"type", type}});
        };
    for (const ElementPtr &other : board.elements) {
        if (other->startBindingID) {
            add(*other->startBindingID, *other, "arrow");
        }
        if (other->endBindingID && other->endBindingID != other->startBindingID) {
            add(*other->endBindingID, *other, "arrow");
        }
        if (other->containerID && other->containerID != other->startBindingID
            && other->containerID != other->endBindingID) {
            add(*other->containerID, *other, "text");
        }
    }
    return entries;
}

// A preserved foreign element, when its bytes still read as one JSON object.
std::optional<json> preservedObject(const WhiteboardElement &element)
{
    if (element.kind != WhiteboardElementKind::unsupported || !element.opaqueExcalidrawJSON) {
        return std::nullopt;
    }
    auto parsed = parseBoundedJson(*element.opaqueExcalidrawJSON);
    if (!parsed || !parsed->is_object()) {
        return std::nullopt;
    }
    return std::move(*parsed);
}

// Appends one element, pretty-printed at the depth of the "elements" array. Writing element by
// element keeps only one small tree alive at a time, which is what keeps a large board fast.
void appendElement(std::string &out, const json &object, bool first)
{
    out += first ? "\n    " : ",\n    ";
    // Raw line breaks only occur between tokens; inside strings they are escaped.
    for (const char c : object.dump(2, ' ', false, json::error_handler_t::replace)) {
        out += c;
        if (c == '\n') {
            out += "    ";
        }
    }
}

tl::expected<void, ExcalidrawError>
appendChecked(std::string &out, const json &object, std::size_t index)
{
    if (const auto path = nonFiniteNumberPath(object)) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::numberNotEncodable,
                                              "elements[" + std::to_string(index) + "]" + *path});
    }
    appendElement(out, object, index == 0);
    return {};
}

tl::expected<void, ExcalidrawError> appendElements(std::string &out,
                                                   const WhiteboardBoard &board,
                                                   const ExcalidrawWriteContext &context)
{
    std::unordered_map<Uuid, json> bound = boundElementsByTarget(board);
    std::size_t index = 0;
    for (const ElementPtr &element : board.elements) {
        std::vector<json> objects;
        if (element->kind == WhiteboardElementKind::marker) {
            auto [ellipse, text] = excalidrawMarkerElements(*element, context);
            objects.push_back(std::move(ellipse));
            objects.push_back(std::move(text));
        } else if (std::optional<json> preserved = preservedObject(*element)) {
            objects.push_back(std::move(*preserved));
        } else {
            const auto found = bound.find(element->id);
            // Copied, not moved: two board elements may share one id.
            json boundElements = found == bound.end() ? json(nullptr) : found->second;
            objects.push_back(excalidrawElementFields(*element, std::move(boundElements), context));
        }
        for (const json &object : objects) {
            if (auto appended = appendChecked(out, object, index++); !appended) {
                return appended;
            }
        }
    }
    return {};
}

json appStateJson(const WhiteboardBoard &board)
{
    const bool black = board.background.kind == WhiteboardBackground::Kind::black;
    return {{"viewBackgroundColor", black ? "#000000" : "#ffffff"},
            {"gridSize", board.showsGrid ? json(20) : json(nullptr)}};
}

} // namespace

tl::expected<std::string, ExcalidrawError> exportExcalidrawDocument(const WhiteboardBoard &board)
{
    const SystemClock clock;
    return exportExcalidrawDocument(board, clock, systemUuidRandomSource());
}

tl::expected<std::string, ExcalidrawError> exportExcalidrawDocument(const WhiteboardBoard &board,
                                                                    const Clock &clock,
                                                                    const UuidRandomSource &random)
{
    const ExcalidrawWriteContext context{clock, random};
    const json appState = appStateJson(board);
    // The top level is written by hand with its keys in sorted order, as every element is.
    std::string out;
    out.reserve(4096 + board.elements.size() * 1024);
    out += "{\n  \"appState\": {\n    \"gridSize\": " + appState["gridSize"].dump()
           + ",\n    \"viewBackgroundColor\": " + appState["viewBackgroundColor"].dump()
           + "\n  },\n  \"elements\": [";
    if (auto appended = appendElements(out, board, context); !appended) {
        return tl::unexpected(std::move(appended.error()));
    }
    out += board.elements.empty() ? "],\n" : "\n  ],\n";
    out += "  \"files\": {},\n  \"source\": " + json(excalidrawDocumentSource).dump()
           + ",\n  \"type\": \"excalidraw\",\n  \"version\": 2\n}";
    return out;
}

} // namespace zentrel
