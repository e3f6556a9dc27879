#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include "common/uuid_table.h"
#include "whiteboard/model/excalidraw/excalidraw_values.h"
#include "whiteboard/model/excalidraw/import/excalidraw_document_scanner.h"
#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"
#include "whiteboard/model/excalidraw/import/excalidraw_labels.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <optional>
#include <string>

namespace zentrel {
namespace {

// The first element object with a given "id" text owns it, deleted ones included, so every
// reference to that text resolves to the first.
ExcalidrawIdentifierMap identifierMap(const std::vector<ExcalidrawPendingElement> &elements,
                                      const UuidRandomSource &random)
{
    ExcalidrawIdentifierMap identifiers;
    identifiers.reserve(elements.size());
    for (const ExcalidrawPendingElement &element : elements) {
        if (element.id && !identifiers.contains(*element.id)) {
            identifiers.emplace(*element.id, excalidrawUuidFor(*element.id, random));
        }
    }
    return identifiers;
}

std::optional<Uuid> mappedIdentifier(const std::optional<std::string> &text,
                                     const ExcalidrawIdentifierMap &identifiers)
{
    if (!text) {
        return std::nullopt;
    }
    const auto found = identifiers.find(*text);
    return found == identifiers.end() ? std::nullopt : std::optional<Uuid>(found->second);
}

// Groups get their UUIDs as they are first met, in document order.
std::vector<Uuid> groupIdentifiers(const std::vector<std::string> &texts,
                                   ExcalidrawIdentifierMap &groups,
                                   const UuidRandomSource &random)
{
    std::vector<Uuid> identifiers;
    identifiers.reserve(texts.size());
    for (const std::string &text : texts) {
        auto found = groups.find(text);
        if (found == groups.end()) {
            found = groups.emplace(text, excalidrawUuidFor(text, random)).first;
        }
        identifiers.push_back(found->second);
    }
    return identifiers;
}

// A kept image's picture comes along with the board, in the bytes it was read in.
void keepFile(WhiteboardBoard &board,
              const std::map<std::string, std::string_view> &files,
              const std::string &fileId)
{
    const auto found = files.find(fileId);
    if (found != files.end()) {
        board.excalidrawFiles.emplace(fileId, std::string(found->second));
    }
}

// Where the document's numbers, or what import made of them (points moved by the element's
// position, a line's frame from its ends), reach beyond what the board can hold.
std::optional<ExcalidrawError>
outOfRangeElement(const std::vector<ExcalidrawPendingElement> &elements)
{
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!elements[i].element) {
            continue;
        }
        if (const auto field = geometryOutOfRange(*elements[i].element)) {
            return ExcalidrawError{ExcalidrawError::Kind::geometryOutOfRange,
                                   "elements[" + std::to_string(i) + "]." + *field};
        }
    }
    return std::nullopt;
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
    auto scanned = scanExcalidrawDocument(data);
    if (!scanned) {
        return tl::unexpected(std::move(scanned.error()));
    }
    if (!scanned->isExcalidraw) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::notExcalidraw, {}});
    }
    std::vector<ExcalidrawPendingElement> &elements = scanned->elements;
    if (auto error = outOfRangeElement(elements)) {
        return tl::unexpected(std::move(*error));
    }
    // Randomness is drawn in the order of a walk over the finished document: every id first,
    // then each element's groups and fresh ids in turn, so imports stay repeatable.
    const ExcalidrawIdentifierMap identifiers = identifierMap(elements, random);
    ExcalidrawIdentifierMap groups;

    ExcalidrawImportResult result;
    WhiteboardBoard &board = result.board;
    board.elements.reserve(elements.size());
    // Ids already on the board: a later element repeating one gets a fresh id instead.
    UuidTable<bool> used(elements.size());
    for (ExcalidrawPendingElement &pending : elements) {
        if (!pending.element) {
            continue;
        }
        WhiteboardElement &element = *pending.element;
        if (pending.supported) {
            element.groupIDs = groupIdentifiers(pending.groupIds, groups, random);
            element.startBindingID = mappedIdentifier(pending.startBinding, identifiers);
            element.endBindingID = mappedIdentifier(pending.endBinding, identifiers);
            element.containerID = mappedIdentifier(pending.containerId, identifiers);
        } else {
            // A placeholder takes its mapped id too, so bindings to it still resolve.
            ++result.unsupportedElementCount;
        }
        const std::optional<Uuid> id = mappedIdentifier(pending.id, identifiers);
        element.id = id ? *id : Uuid::generate(random);
        if (!used.tryEmplace(element.id).second) {
            element.id = Uuid::generate(random);
            used.tryEmplace(element.id);
        }
        if (!pending.keptMembers.empty()) {
            element.excalidrawSource =
                excalidrawSourceKeys(std::move(pending.keptMembers), element);
        }
        if (pending.fileId) {
            keepFile(board, scanned->files, *pending.fileId);
        }
        board.elements.push_back(std::move(pending.element));
    }
    placeExcalidrawLabels(board);

    board.id = Uuid::generate(random);
    board.name = boardName;
    board.background =
        scanned->blackBackground ? WhiteboardBackground::black() : WhiteboardBackground::white();
    board.showsGrid = scanned->showsGrid;
    board.createdAt = clock.now();
    board.updatedAt = clock.now();
    return result;
}

} // namespace zentrel
