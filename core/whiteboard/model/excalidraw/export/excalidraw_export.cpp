#include "whiteboard/model/excalidraw/export/excalidraw_export.h"

#include "common/uuid_table.h"
#include "whiteboard/model/excalidraw/export/excalidraw_element_writer.h"
#include "whiteboard/model/excalidraw/export/excalidraw_kept_merge.h"
#include "whiteboard/model/model_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

using json = nlohmann::json;

// Every element's "boundElements" in one pass over the board, so export stays linear.
UuidTable<json> boundElementsByTarget(const WhiteboardBoard &board,
                                      const ExcalidrawIdentities &identities)
{
    UuidTable<json> entries;
    const auto add = [&entries, &identities](
                         const Uuid &target, const WhiteboardElement &other, const char *type) {
        json &list = entries.tryEmplace(target).first;
        if (list.is_null()) {
            list = json::array();
        }
        // Built member by member: an initializer list builds each pair as an array first.
        json entry = json::object();
        entry["id"] = identities.elementText(other.id);
        entry["type"] = type;
        list.push_back(std::move(entry));
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

tl::expected<void, ExcalidrawError> checkedNumbers(const json &object, std::size_t index)
{
    if (const auto path = nonFiniteNumberPath(object)) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::numberNotEncodable,
                                              "elements[" + std::to_string(index) + "]" + *path});
    }
    return {};
}

tl::expected<void, ExcalidrawError> checkedNumbers(const ExcalidrawObject &object,
                                                   std::size_t index)
{
    const bool finite = std::all_of(object.begin(), object.end(), [](const auto &member) {
        const json &tree = member.value.tree();
        return member.value.isFinite() && (!tree.is_structured() || !nonFiniteNumberPath(tree));
    });
    // The path is spelled as the object's tree spells it, which is rarely needed.
    return finite ? tl::expected<void, ExcalidrawError>() : checkedNumbers(object.toJson(), index);
}

// A line, arrow or stroke gets its points as text (see ExcalidrawWriteContext).
tl::expected<void, ExcalidrawError> appendWithPoints(std::string &out,
                                                     const ExcalidrawObject &object,
                                                     const WhiteboardElement &element,
                                                     const ExcalidrawIdentities &identities,
                                                     std::size_t boardIndex,
                                                     std::size_t index)
{
    if (auto checked = checkedNumbers(object, index); !checked) {
        return checked;
    }
    std::optional<std::string> points;
    if (isSegmentKind(element.kind) || element.kind == WhiteboardElementKind::freedraw) {
        points = excalidrawPointsText(excalidrawPath(element).points);
        if (!points) {
            return tl::unexpected(
                ExcalidrawError{ExcalidrawError::Kind::numberNotEncodable,
                                "elements[" + std::to_string(index) + "].points"});
        }
    }
    std::vector<ExcalidrawRawMember> computed;
    if (points) {
        computed.push_back({"points", *points});
    }
    out += index == 0 ? "\n    " : ",\n    ";
    appendExcalidrawElement(out, object, computed, element, identities, boardIndex);
    return {};
}

// Writing element by element keeps only one small tree alive at a time, which is what keeps a
// large board fast.
tl::expected<void, ExcalidrawError> appendElements(TextSink &sink,
                                                   const WhiteboardBoard &board,
                                                   const ExcalidrawIdentities &identities,
                                                   const ExcalidrawWriteContext &context)
{
    std::string &out = sink.text();
    UuidTable<json> bound = boundElementsByTarget(board, identities);
    std::size_t index = 0;
    const auto append = [&out, &index](const ExcalidrawObject &object) {
        auto checked = checkedNumbers(object, index);
        if (checked) {
            out += index == 0 ? "\n    " : ",\n    ";
            appendExcalidrawObject(out, object);
        }
        ++index;
        return checked;
    };
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        const WhiteboardElement &element = *board.elements[i];
        tl::expected<void, ExcalidrawError> appended;
        if (element.kind == WhiteboardElementKind::marker) {
            const std::pair<ExcalidrawObject, ExcalidrawObject> marker =
                excalidrawMarkerElements(element, context);
            appended = append(marker.first).and_then([&] { return append(marker.second); });
        } else if (const std::optional<std::string> &kept = identities.placeholderEntry(i)) {
            // Read from JSON text, so it holds no number that JSON cannot carry.
            out += index++ == 0 ? "\n    " : ",\n    ";
            out += *kept;
        } else {
            json *found = bound.find(element.id);
            // Two board elements may share one id, and then each gets the list.
            json boundElements = found == nullptr                  ? json(nullptr)
                                 : identities.isShared(element.id) ? *found
                                                                   : std::move(*found);
            const ExcalidrawObject object =
                excalidrawElementFields(element, std::move(boundElements), context);
            appended = appendWithPoints(out, object, element, identities, i, index);
            ++index;
        }
        if (!appended) {
            return appended;
        }
        sink.pause();
    }
    return {};
}

// The pictures of the kept images on the board, each entry as it was read.
void appendFiles(std::string &out,
                 const WhiteboardBoard &board,
                 const ExcalidrawIdentities &identities)
{
    bool first = true;
    for (const auto &[id, entry] : board.excalidrawFiles) {
        if (!identities.fileIds().contains(id)) {
            continue;
        }
        out += first ? "\n    " : ",\n    ";
        out += json(id).dump();
        out += ": ";
        out += entry;
        first = false;
    }
    out += first ? "}" : "\n  }";
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
    TextSink sink;
    sink.text().reserve(4096 + board.elements.size() * 1024);
    return writeExcalidrawDocument(sink, board, clock, random).map([&sink] {
        return std::move(sink.text());
    });
}

tl::expected<void, ExcalidrawError> writeExcalidrawDocument(TextSink &sink,
                                                            const WhiteboardBoard &board)
{
    const SystemClock clock;
    return writeExcalidrawDocument(sink, board, clock, systemUuidRandomSource());
}

tl::expected<void, ExcalidrawError> writeExcalidrawDocument(TextSink &sink,
                                                            const WhiteboardBoard &board,
                                                            const Clock &clock,
                                                            const UuidRandomSource &random)
{
    const ExcalidrawIdentities identities(board);
    const ExcalidrawWriteContext context{clock, random, &identities, true};
    const json appState = appStateJson(board);
    // The top level is written by hand with its keys in sorted order, as every element is.
    std::string &out = sink.text();
    out += "{\n  \"appState\": {\n    \"gridSize\": " + appState["gridSize"].dump()
           + ",\n    \"viewBackgroundColor\": " + appState["viewBackgroundColor"].dump()
           + "\n  },\n  \"elements\": [";
    if (auto appended = appendElements(sink, board, identities, context); !appended) {
        return appended;
    }
    out += board.elements.empty() ? "],\n" : "\n  ],\n";
    out += "  \"files\": {";
    appendFiles(out, board, identities);
    out += ",\n  \"source\": " + json(excalidrawDocumentSource).dump()
           + ",\n  \"type\": \"excalidraw\",\n  \"version\": 2\n}";
    return {};
}

} // namespace zentrel
