#include "whiteboard/model/excalidraw/excalidraw_import.h"

#include "whiteboard/model/excalidraw/excalidraw_element_reader.h"
#include "whiteboard/model/excalidraw/excalidraw_json_reader.h"
#include "whiteboard/model/excalidraw/excalidraw_values.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <unordered_set>

namespace zentrel {
namespace {

using json = nlohmann::json;

bool isExcalidrawDocument(const json &document)
{
    const json *type = excalidrawField(document, "type");
    const json *elements = excalidrawField(document, "elements");
    if (type == nullptr || *type != "excalidraw" || elements == nullptr || !elements->is_array()) {
        return false;
    }
    for (const json &element : *elements) {
        if (!element.is_object()) {
            return false;
        }
    }
    return true;
}

// The first element object with a given "id" text owns it, deleted ones included, so every
// reference to that text resolves to the first.
ExcalidrawIdentifierMap identifierMap(const json &elements, const UuidRandomSource &random)
{
    ExcalidrawIdentifierMap identifiers;
    identifiers.reserve(elements.size());
    for (const json &element : elements) {
        const json *id = excalidrawField(element, "id");
        if (id != nullptr && id->is_string()) {
            const std::string &text = id->get_ref<const std::string &>();
            if (!identifiers.contains(text)) {
                identifiers.emplace(text, excalidrawUuidFor(text, random));
            }
        }
    }
    return identifiers;
}

// A foreign element kept whole. It takes its mapped id, so bindings to it still resolve.
WhiteboardElement placeholder(const json &object,
                              const ExcalidrawIdentifierMap &identifiers,
                              const UuidRandomSource &random)
{
    WhiteboardElement element;
    const json *id = excalidrawField(object, "id");
    const auto mapped = id != nullptr && id->is_string()
                            ? identifiers.find(id->get_ref<const std::string &>())
                            : identifiers.end();
    element.id = mapped != identifiers.end() ? mapped->second : Uuid::generate(random);
    element.kind = WhiteboardElementKind::unsupported;
    element.setFrame(excalidrawPlaceholderFrame(object));
    element.style = excalidrawImportDefaultStyle();
    // Infinite numbers cannot occur here: the parser refuses them, so the bytes re-read cleanly.
    element.opaqueExcalidrawJSON = object.dump(-1, ' ', false, json::error_handler_t::replace);
    element.isLocked = true;
    return element;
}

bool isDeleted(const json &object)
{
    const json *deleted = excalidrawField(object, "isDeleted");
    return deleted != nullptr && deleted->is_boolean() && deleted->get<bool>();
}

void readAppState(const json &document, WhiteboardBoard &board)
{
    board.background = WhiteboardBackground::white();
    board.showsGrid = false;
    const json *appState = excalidrawField(document, "appState");
    if (appState == nullptr || !appState->is_object()) {
        return;
    }
    const json *color = excalidrawField(*appState, "viewBackgroundColor");
    if (color != nullptr && color->is_string()) {
        std::string text = color->get<std::string>();
        for (char &c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (text == "#000000") {
            board.background = WhiteboardBackground::black();
        }
    }
    const json *grid = excalidrawField(*appState, "gridSize");
    board.showsGrid = grid != nullptr && grid->is_number();
}

} // namespace

tl::expected<ExcalidrawImportResult, ExcalidrawError>
importExcalidrawDocument(std::string_view data, const std::string &boardName)
{
    const SystemClock clock;
    return importExcalidrawDocument(data, boardName, clock, systemUuidRandomSource());
}

tl::expected<ExcalidrawImportResult, ExcalidrawError>
importExcalidrawDocument(std::string_view data,
                         const std::string &boardName,
                         const Clock &clock,
                         const UuidRandomSource &random)
{
    auto parsed = parseBoundedJson(data);
    if (!parsed) {
        return tl::unexpected(std::move(parsed.error()));
    }
    const json &document = *parsed;
    if (!isExcalidrawDocument(document)) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::notExcalidraw, {}});
    }
    const json &elements = document["elements"];
    const ExcalidrawIdentifierMap identifiers = identifierMap(elements, random);
    ExcalidrawIdentifierMap groups;
    ExcalidrawReadContext context{identifiers, groups, random};

    ExcalidrawImportResult result;
    WhiteboardBoard &board = result.board;
    board.elements.reserve(elements.size());
    // Ids already on the board: a later element repeating one gets a fresh id instead.
    std::unordered_set<Uuid> used;
    used.reserve(elements.size());
    for (const json &object : elements) {
        if (isDeleted(object)) {
            continue;
        }
        const json *type = excalidrawField(object, "type");
        if (type == nullptr || !type->is_string()) {
            continue;
        }
        WhiteboardElement element;
        if (const auto kind = excalidrawElementKind(type->get_ref<const std::string &>())) {
            element = readExcalidrawElement(object, *kind, context);
        } else {
            element = placeholder(object, identifiers, random);
            ++result.unsupportedElementCount;
        }
        if (!used.insert(element.id).second) {
            element.id = Uuid::generate(random);
            used.insert(element.id);
        }
        board.elements.push_back(makeElement(std::move(element)));
    }

    board.id = Uuid::generate(random);
    board.name = boardName;
    readAppState(document, board);
    board.createdAt = clock.now();
    board.updatedAt = clock.now();
    return result;
}

} // namespace zentrel
