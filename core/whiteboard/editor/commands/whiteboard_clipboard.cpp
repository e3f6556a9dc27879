#include "whiteboard/editor/commands/whiteboard_clipboard.h"

#include "common/json/limited_json.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/svg/svg_export.h"
#include "whiteboard/model/whiteboard_element_json.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <utility>

namespace zentrel {
namespace {

// The model's clock, so the exported and imported documents carry the time the model lives in.
class ModelClock final : public Clock
{
public:
    explicit ModelClock(const WhiteboardEditorModel &model)
        : m_model(model)
    {}

    Timestamp now() const override { return m_model.now(); }

private:
    const WhiteboardEditorModel &m_model;
};

// The model's randomness as the formats take it, so tests that fix the model's ids fix these too.
UuidRandomSource modelRandom(const WhiteboardEditorModel &model)
{
    return [&model] {
        const Uuid id = model.makeIdentifier();
        std::uint64_t bits = 0;
        std::memcpy(&bits, id.bytes.data(), sizeof bits);
        return bits;
    };
}

void remapReference(std::optional<Uuid> &reference, const std::map<Uuid, Uuid> &elementMap)
{
    if (!reference) {
        return;
    }
    const auto found = elementMap.find(*reference);
    if (found == elementMap.end()) {
        reference.reset();
    } else {
        reference = found->second;
    }
}

// The offset copies insert and duplicate append, with every id and reference renewed.
std::vector<ElementPtr> freshCopies(const WhiteboardEditorModel &model,
                                    const std::vector<WhiteboardElement> &elements)
{
    std::set<Uuid> groups;
    std::set<Uuid> ids;
    for (const WhiteboardElement &element : elements) {
        groups.insert(element.groupIDs.begin(), element.groupIDs.end());
        ids.insert(element.id);
    }
    const std::map<Uuid, Uuid> groupMap = freshIDMap(model, groups);
    const std::map<Uuid, Uuid> elementMap = freshIDMap(model, ids);

    std::set<Uuid> used;
    std::vector<ElementPtr> copies;
    copies.reserve(elements.size());
    for (const WhiteboardElement &element : elements) {
        WhiteboardElement copy = element;
        // A pasted document may name two elements alike; two copies sharing an id would make
        // selection and removal act on both, so the later ones get ids of their own.
        copy.id =
            used.insert(element.id).second ? elementMap.at(element.id) : model.makeIdentifier();
        for (Uuid &group : copy.groupIDs) {
            group = groupMap.at(group);
        }
        remapReference(copy.containerID, elementMap);
        remapReference(copy.startBindingID, elementMap);
        remapReference(copy.endBindingID, elementMap);
        copy.translate(whiteboardInsertOffset, whiteboardInsertOffset);
        copies.push_back(makeElement(std::move(copy)));
    }
    return copies;
}

std::optional<std::string> encodeElements(const std::vector<WhiteboardElement> &elements)
{
    nlohmann::json list = nlohmann::json::array();
    for (const WhiteboardElement &element : elements) {
        ModelEncoded encoded = encodeWhiteboardElement(element);
        if (!encoded) {
            return std::nullopt;
        }
        list.push_back(std::move(*encoded));
    }
    // Invalid UTF-8 in a text must not abort the copy; it is replaced, as the plain text is.
    return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::vector<WhiteboardElement>> decodeElements(const std::string &text)
{
    const auto parsed = parseLimitedJson(text);
    if (!parsed) {
        return std::nullopt;
    }
    const auto decodeList =
        modelArrayDecoder([](const nlohmann::json &value, const std::string &path) {
            return decodeWhiteboardElement(value, path);
        });
    auto decoded = decodeList(*parsed, std::string{});
    if (!decoded) {
        return std::nullopt;
    }
    return std::move(*decoded);
}

std::optional<WhiteboardBoard> importedBoard(const WhiteboardEditorModel &model,
                                             const std::string &text)
{
    const ModelClock clock(model);
    auto imported = importExcalidrawDocument(
        text, std::string(whiteboardPastedBoardName), clock, modelRandom(model));
    if (!imported) {
        return std::nullopt;
    }
    return std::move(imported->board);
}

// Appends copies of `elements` with the files their kept images show; files the board already
// has stay as they are.
void appendCopies(WhiteboardEditorModel &model,
                  const std::vector<WhiteboardElement> &elements,
                  const std::map<std::string, std::string> &files)
{
    if (elements.empty()) {
        return;
    }
    const std::vector<ElementPtr> copies = freshCopies(model, elements);
    // One element beyond the board's range would make every later save fail, so such a paste
    // is refused whole, as an unreadable one is.
    if (std::any_of(copies.begin(), copies.end(), [](const ElementPtr &copy) {
            return geometryOutOfRange(*copy).has_value();
        })) {
        return;
    }
    WhiteboardEditorModel::ChangeBatch batch(model);
    updateCurrentBoard(model, [&](WhiteboardBoard &board) {
        appendElements(board, copies);
        board.excalidrawFiles.insert(files.begin(), files.end());
    });
    WhiteboardSelection selection;
    for (const ElementPtr &copy : copies) {
        selection.insert(copy->id);
    }
    model.setSelection(std::move(selection));
}

} // namespace

std::map<Uuid, Uuid> freshIDMap(const WhiteboardEditorModel &model, const std::set<Uuid> &ids)
{
    std::map<Uuid, Uuid> fresh;
    for (const Uuid &id : ids) {
        fresh.emplace(id, model.makeIdentifier());
    }
    return fresh;
}

void selectAll(WhiteboardEditorModel &model)
{
    WhiteboardSelection all;
    for (const ElementPtr &element : model.currentBoard().elements) {
        all.insert(element->id);
    }
    model.setSelection(std::move(all));
}

void deleteSelection(WhiteboardEditorModel &model)
{
    if (selectionContainsLocked(model) || model.selection().empty()) {
        return;
    }
    WhiteboardEditorModel::ChangeBatch batch(model);
    updateCurrentBoard(model,
                       [&](WhiteboardBoard &board) { removeElements(board, model.selection()); });
    model.setSelection({});
}

std::optional<WhiteboardClipboardContents> copySelection(const WhiteboardEditorModel &model,
                                                         const TextMeasurer &measure)
{
    const std::vector<WhiteboardElement> copied = selectionForCopy(model);
    // An empty copy would wipe what the user copied before for nothing anyone could paste.
    if (copied.empty()) {
        return std::nullopt;
    }
    WhiteboardClipboardContents contents;
    contents.elementsJSON = encodeElements(copied);
    if (!contents.elementsJSON) {
        return std::nullopt;
    }

    WhiteboardBoard scratch = model.makeBoard(std::string(whiteboardClipboardBoardName));
    for (const WhiteboardElement &element : copied) {
        scratch.elements.push_back(makeElement(element));
    }
    scratch.background = model.currentBoard().background;
    scratch.showsGrid = false;
    // The export writes the files of the copied images only.
    scratch.excalidrawFiles = model.currentBoard().excalidrawFiles;

    const ModelClock clock(model);
    if (auto document = exportExcalidrawDocument(scratch, clock, modelRandom(model))) {
        contents.plainText = std::move(*document);
    }
    contents.svg = renderBoardSVG(scratch, measure);
    return contents;
}

std::optional<WhiteboardClipboardContents> cutSelection(WhiteboardEditorModel &model,
                                                        const TextMeasurer &measure)
{
    if (selectionContainsLocked(model)) {
        return std::nullopt;
    }
    // Without a copy on the clipboard the deletion could not be pasted back, so it is skipped.
    std::optional<WhiteboardClipboardContents> contents = copySelection(model, measure);
    if (contents) {
        deleteSelection(model);
    }
    return contents;
}

void paste(WhiteboardEditorModel &model, const WhiteboardClipboardContents &contents)
{
    if (contents.elementsJSON) {
        if (auto elements = decodeElements(*contents.elementsJSON)) {
            insertElements(model, *elements);
            return;
        }
    }
    if (contents.plainText) {
        if (auto board = importedBoard(model, *contents.plainText)) {
            std::vector<WhiteboardElement> elements;
            elements.reserve(board->elements.size());
            for (const ElementPtr &element : board->elements) {
                elements.push_back(*element);
            }
            appendCopies(model, elements, board->excalidrawFiles);
        }
    }
}

void duplicateSelection(WhiteboardEditorModel &model)
{
    if (selectionContainsLocked(model)) {
        return;
    }
    std::vector<WhiteboardElement> sources;
    for (const ElementPtr &element : selectedElements(model)) {
        sources.push_back(*element);
    }
    insertElements(model, sources);
}

void insertElements(WhiteboardEditorModel &model, const std::vector<WhiteboardElement> &elements)
{
    appendCopies(model, elements, {});
}

} // namespace zentrel
