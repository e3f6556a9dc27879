#pragma once

#include "common/uuid.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/text_layout.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// The commands that act on the selected elements as a whole: select all, delete, copy, cut,
// paste, duplicate and insert. Core builds and reads the clipboard contents as plain values; the
// app moves them to and from the system clipboard, so nothing here touches the platform.

// The clipboard type of our own element JSON; the app writes the other two entries under the
// platform's plain-text and SVG types.
inline constexpr std::string_view whiteboardElementsClipboardType =
    "com.zentrel.whiteboard.elements";
// The name of the scratch board the Excalidraw and SVG entries are made from.
inline constexpr std::string_view whiteboardClipboardBoardName = "Clipboard";
// The board name an Excalidraw document pasted as plain text is read under.
inline constexpr std::string_view whiteboardPastedBoardName = "Imported Board";
// Pasted and duplicated copies move this far right and down (scene y grows downward).
inline constexpr double whiteboardInsertOffset = 20;

// What the clipboard holds, one entry per type, each absent when the clipboard lacks it. A copy
// always fills `elementsJSON` and `svg`; `plainText` is absent when the Excalidraw export
// failed. The app replaces the whole clipboard with these entries.
struct WhiteboardClipboardContents
{
    // A compact JSON array of elements in the model's own coding.
    std::optional<std::string> elementsJSON;
    // An Excalidraw document of the copied elements, UTF-8.
    std::optional<std::string> plainText;
    // The SVG rendering of the same elements, UTF-8.
    std::optional<std::string> svg;

    friend bool operator==(const WhiteboardClipboardContents &,
                           const WhiteboardClipboardContents &) = default;
};

// Selects every element of the current board, locked ones included.
void selectAll(WhiteboardEditorModel &model);

// Removes the selected elements, the labels bound in them and the arrow bindings naming them as
// one undo step, then empties the selection. Refused while a selected element is locked.
void deleteSelection(WhiteboardEditorModel &model);

// The clipboard entries for the selected elements, in board order, with references to elements
// left behind dropped. None, so the clipboard stays as it was, when nothing on the current board
// is selected or the elements hold a number JSON cannot carry. `measure` breaks the SVG's texts
// into the canvas's lines (see renderBoardSVG).
std::optional<WhiteboardClipboardContents> copySelection(const WhiteboardEditorModel &model,
                                                         const TextMeasurer &measure = {});

// Copy followed by delete. None and no change at all when nothing is selected, when a selected
// element is locked, or when the copy fails.
std::optional<WhiteboardClipboardContents> cutSelection(WhiteboardEditorModel &model,
                                                        const TextMeasurer &measure = {});

// Inserts the clipboard's elements: our own JSON when it decodes, else an Excalidraw document in
// the plain text. Anything else, or elements reaching beyond the board's geometry limit, pastes
// nothing; no failure is reported.
void paste(WhiteboardEditorModel &model, const WhiteboardClipboardContents &contents);

// Inserts offset copies of the selected elements and selects them. Refused while a selected
// element is locked.
void duplicateSelection(WhiteboardEditorModel &model);

// Appends offset copies of `elements` with fresh ids as one undo step and selects the copies.
// Groups get fresh ids; container and binding references follow the copies, and references to
// anything else are dropped. Every copy gets an id of its own even when `elements` repeat one;
// references to a repeated id follow its first element. Empty, or a copy beyond the geometry
// limit: nothing happens.
void insertElements(WhiteboardEditorModel &model, const std::vector<WhiteboardElement> &elements);

// One fresh id for each of `ids`.
std::map<Uuid, Uuid> freshIDMap(const WhiteboardEditorModel &model, const std::set<Uuid> &ids);

} // namespace zentrel
