#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_clipboard.h"
#include "whiteboard/model/whiteboard_element_json.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Kind = WhiteboardElementKind;

struct Clipboard : EditorFixture
{
    Uuid placeRectangle(double x) { return place(rectangle(model->makeIdentifier(), x)); }

    Uuid placeLabel(const Uuid &container)
    {
        WhiteboardElement text = rectangle(model->makeIdentifier(), 5);
        text.kind = Kind::text;
        text.text = "label";
        text.containerID = container;
        return place(std::move(text));
    }

    Uuid placeArrow(const Uuid &from, const Uuid &to)
    {
        WhiteboardElement arrow = rectangle(model->makeIdentifier(), 100);
        arrow.kind = Kind::arrow;
        arrow.startBindingID = from;
        arrow.endBindingID = to;
        return place(std::move(arrow));
    }

    const std::vector<ElementPtr> &elements() const { return model->currentBoard().elements; }

    // The elements added after the first `count`, in board order.
    std::vector<WhiteboardElement> addedAfter(std::size_t count) const
    {
        std::vector<WhiteboardElement> added;
        for (std::size_t i = count; i < elements().size(); ++i) {
            added.push_back(*elements()[i]);
        }
        return added;
    }

    WhiteboardSelection idsOf(const std::vector<WhiteboardElement> &list) const
    {
        WhiteboardSelection ids;
        for (const WhiteboardElement &e : list) {
            ids.insert(e.id);
        }
        return ids;
    }

    // Copies `ids` and returns the contents, failing the test when the copy gives none.
    WhiteboardClipboardContents copyOf(const WhiteboardSelection &ids)
    {
        model->setSelection(ids);
        auto contents = copySelection(*model);
        EXPECT_TRUE(contents.has_value());
        return contents.value_or(WhiteboardClipboardContents{});
    }

    static std::string elementsJSON(const std::vector<WhiteboardElement> &list)
    {
        nlohmann::json array = nlohmann::json::array();
        for (const WhiteboardElement &e : list) {
            array.push_back(whiteboardElementJson(e));
        }
        return array.dump();
    }
};

// --- Select all and delete -----------------------------------------------------------------

TEST_F(Clipboard, SelectAllTakesEveryElementOfTheBoardLockedOnesIncluded)
{
    const Uuid a = placeRectangle(0);
    const Uuid b = placeRectangle(50);
    lock(b);
    selectAll(*model);
    EXPECT_EQ(model->selection(), (WhiteboardSelection{a, b}));
}

TEST_F(Clipboard, SelectAllThenDeleteOnAnEmptyBoardChangesNothing)
{
    selectAll(*model);
    EXPECT_TRUE(model->selection().empty());
    deleteSelection(*model);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

TEST_F(Clipboard, DeleteTakesBoundTextAlongAndUnbindsArrowsAndUndoBringsAllBack)
{
    const Uuid box = placeRectangle(0);
    const Uuid label = placeLabel(box);
    const Uuid other = placeRectangle(200);
    const Uuid arrow = placeArrow(box, other);
    const WhiteboardLibrary before = model->library();
    model->setSelection({box});
    deleteSelection(*model);

    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(elements()[0]->id, other);
    EXPECT_EQ(elements()[1]->id, arrow);
    EXPECT_FALSE(element(arrow).startBindingID.has_value());
    EXPECT_EQ(element(arrow).endBindingID, other);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_EQ(model->undoCount(), 1u);

    model->undo();
    EXPECT_EQ(model->currentBoard().elements.size(), 4u);
    EXPECT_EQ(element(label).containerID, box);
    EXPECT_EQ(element(arrow).startBindingID, box);
    EXPECT_EQ(model->library().boards[0].elements, before.boards[0].elements);
}

TEST_F(Clipboard, DeleteIsRefusedWholeWhenASelectedElementIsLocked)
{
    const Uuid a = placeRectangle(0);
    const Uuid b = placeRectangle(50);
    lock(b);
    model->setSelection({a, b});
    deleteSelection(*model);
    EXPECT_EQ(elements().size(), 2u);
    EXPECT_EQ(model->selection(), (WhiteboardSelection{a, b}));
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, ClearingABoardWithALockedElementDoesNothing)
{
    placeRectangle(0);
    lock(placeRectangle(50));
    selectAll(*model);
    deleteSelection(*model);
    EXPECT_EQ(elements().size(), 2u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, ClearingABoardRemovesEveryElementInOneStep)
{
    placeRectangle(0);
    placeLabel(placeRectangle(50));
    selectAll(*model);
    deleteSelection(*model);
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(model->undoCount(), 1u);
}

// --- Copy and cut --------------------------------------------------------------------------

TEST_F(Clipboard, CopyWithNothingSelectedGivesNoContents)
{
    placeRectangle(0);
    EXPECT_FALSE(copySelection(*model).has_value());
    // An id that names nothing on this board counts as nothing selected.
    model->setSelection({model->makeIdentifier()});
    EXPECT_FALSE(copySelection(*model).has_value());
}

TEST_F(Clipboard, CopyWritesElementsInBoardOrderWithExcalidrawTextAndSVG)
{
    const Uuid a = placeRectangle(0);
    const Uuid b = placeRectangle(50);
    const WhiteboardLibrary before = model->library();
    const auto contents = copyOf({b, a});

    ASSERT_TRUE(contents.elementsJSON.has_value());
    const auto array = nlohmann::json::parse(*contents.elementsJSON);
    ASSERT_TRUE(array.is_array());
    ASSERT_EQ(array.size(), 2u);
    EXPECT_EQ(array[0]["id"], a.text());
    EXPECT_EQ(array[1]["id"], b.text());
    // Compact, as a default encoder writes it.
    EXPECT_EQ(contents.elementsJSON->find('\n'), std::string::npos);

    ASSERT_TRUE(contents.plainText.has_value());
    const auto document = nlohmann::json::parse(*contents.plainText);
    EXPECT_EQ(document["type"], "excalidraw");
    EXPECT_EQ(document["elements"].size(), 2u);
    ASSERT_TRUE(contents.svg.has_value());
    EXPECT_EQ(contents.svg->rfind("<svg", 0), 0u);

    EXPECT_EQ(model->library(), before);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, CopiedSvgBreaksTextsAsTheMeasurerGiven)
{
    WhiteboardElement text = rectangle(model->makeIdentifier(), 0);
    text.kind = Kind::text;
    text.text = "two words";
    text.fontSize = 10;
    text.width = 30;
    model->setSelection({place(std::move(text))});
    const auto fiveEach = [](std::string_view line, WhiteboardTypeface, double) {
        return SizeF{5.0 * static_cast<double>(line.size()), 12};
    };
    for (const auto &[contents, texts] : {std::pair{copySelection(*model), 1},
                                          std::pair{copySelection(*model, fiveEach), 2},
                                          std::pair{cutSelection(*model, fiveEach), 2}}) {
        ASSERT_TRUE(contents && contents->svg);
        int lines = 0;
        for (std::size_t at = contents->svg->find("<text"); at != std::string::npos;
             at = contents->svg->find("<text", at + 1)) {
            ++lines;
        }
        EXPECT_EQ(lines, texts);
    }
}

TEST_F(Clipboard, CopyDropsReferencesToElementsLeftBehind)
{
    const Uuid box = placeRectangle(0);
    const Uuid label = placeLabel(box);
    const Uuid arrow = placeArrow(box, label);
    const auto contents = copyOf({label, arrow});
    const auto array = nlohmann::json::parse(*contents.elementsJSON);
    EXPECT_FALSE(array[0].contains("containerID"));
    EXPECT_FALSE(array[1].contains("startBindingID"));
    EXPECT_EQ(array[1]["endBindingID"], label.text());
}

TEST_F(Clipboard, CutWithNothingSelectedGivesNoContentsAndChangesNothing)
{
    placeRectangle(0);
    EXPECT_FALSE(cutSelection(*model).has_value());
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, CutOfALockedElementDoesNothingAtAll)
{
    const Uuid a = placeRectangle(0);
    lock(a);
    model->setSelection({a});
    EXPECT_FALSE(cutSelection(*model).has_value());
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(model->selection(), (WhiteboardSelection{a}));
}

TEST_F(Clipboard, CutCopiesThenDeletesAndPastesBack)
{
    const Uuid a = placeRectangle(0);
    model->setSelection({a});
    const auto contents = cutSelection(*model);
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(model->undoCount(), 1u);
    paste(*model, *contents);
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements()[0]->x, 20);
}

// --- Paste ---------------------------------------------------------------------------------

TEST_F(Clipboard, PastedBoxAndLabelGetFreshIdsOffsetAndStayBound)
{
    const Uuid box = placeRectangle(0);
    const Uuid label = placeLabel(box);
    const auto contents = copyOf({box, label});
    const WhiteboardBoard source = model->currentBoard();
    paste(*model, contents);

    ASSERT_EQ(elements().size(), 4u);
    const auto added = addedAfter(2);
    EXPECT_NE(added[0].id, box);
    EXPECT_NE(added[1].id, label);
    EXPECT_EQ(added[1].containerID, added[0].id);
    EXPECT_EQ(added[0].x, element(box).x + 20);
    EXPECT_EQ(added[0].y, element(box).y + 20);
    EXPECT_EQ(added[1].x, element(label).x + 20);
    EXPECT_EQ(*elements()[0], *source.elements[0]);
    EXPECT_EQ(*elements()[1], *source.elements[1]);
    EXPECT_EQ(model->selection(), idsOf(added));
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(Clipboard, PastedLabelWithoutItsContainerIsFreeText)
{
    const Uuid box = placeRectangle(0);
    const Uuid label = placeLabel(box);
    paste(*model, copyOf({label}));
    const auto added = addedAfter(2);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_FALSE(added[0].containerID.has_value());
}

TEST_F(Clipboard, EachPasteOfAGroupMakesAGroupOfItsOwn)
{
    const Uuid group = model->makeIdentifier();
    WhiteboardElement a = rectangle(model->makeIdentifier(), 0);
    WhiteboardElement b = rectangle(model->makeIdentifier(), 50);
    a.groupIDs = b.groupIDs = {group};
    const auto contents = copyOf({place(a), place(b)});
    paste(*model, contents);
    paste(*model, contents);

    const auto added = addedAfter(2);
    ASSERT_EQ(added.size(), 4u);
    ASSERT_EQ(added[0].groupIDs.size(), 1u);
    ASSERT_EQ(added[2].groupIDs.size(), 1u);
    EXPECT_EQ(added[0].groupIDs, added[1].groupIDs);
    EXPECT_EQ(added[2].groupIDs, added[3].groupIDs);
    EXPECT_NE(added[0].groupIDs[0], group);
    EXPECT_NE(added[2].groupIDs[0], group);
    EXPECT_NE(added[0].groupIDs[0], added[2].groupIDs[0]);
}

TEST_F(Clipboard, PastingTwiceOffsetsBothFromTheCopiedPosition)
{
    const Uuid a = placeRectangle(0);
    const auto contents = copyOf({a});
    paste(*model, contents);
    paste(*model, contents);
    const auto added = addedAfter(1);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].x, 20);
    EXPECT_EQ(added[1].x, 20);
    EXPECT_NE(added[0].id, added[1].id);
    EXPECT_EQ(model->selection(), WhiteboardSelection{added[1].id});
}

TEST_F(Clipboard, PastedRepeatedIdsEachGetAFreshIdAndReferencesFollowTheFirst)
{
    const Uuid shared = model->makeIdentifier();
    WhiteboardElement first = rectangle(shared, 0);
    WhiteboardElement second = rectangle(shared, 50);
    WhiteboardElement label = rectangle(model->makeIdentifier(), 5);
    label.kind = Kind::text;
    label.containerID = shared;
    paste(*model, {elementsJSON({first, second, label}), std::nullopt, std::nullopt});

    const auto added = addedAfter(0);
    ASSERT_EQ(added.size(), 3u);
    EXPECT_NE(added[0].id, shared);
    EXPECT_NE(added[1].id, shared);
    EXPECT_NE(added[0].id, added[1].id);
    EXPECT_EQ(added[2].containerID, added[0].id);
    EXPECT_EQ(model->selection().size(), 3u);
}

TEST_F(Clipboard, PastedLockedElementStaysLocked)
{
    WhiteboardElement locked = rectangle(model->makeIdentifier(), 0);
    locked.isLocked = true;
    paste(*model, {elementsJSON({locked}), std::nullopt, std::nullopt});
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_TRUE(elements()[0]->isLocked);
}

TEST_F(Clipboard, PlainTextExcalidrawDocumentPastesItsElements)
{
    const std::string document =
        R"({"type":"excalidraw","version":2,"source":"https://example.com","elements":[)"
        R"({"id":"a1","type":"rectangle","x":10,"y":30,"width":40,"height":20}],"appState":{}})";
    paste(*model, {std::nullopt, document, std::nullopt});
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(elements()[0]->kind, Kind::rectangle);
    EXPECT_EQ(elements()[0]->x, 30);
    EXPECT_EQ(elements()[0]->y, 50);
    EXPECT_EQ(model->selection(), WhiteboardSelection{elements()[0]->id});
}

TEST_F(Clipboard, PastedAndCopiedImagesBringTheirFiles)
{
    const std::string document =
        R"({"type":"excalidraw","elements":[{"id":"i1","type":"image","fileId":"f1"}],)"
        R"("files":{"f1":{"id":"f1","dataURL":"data:image/png;base64,AAA="},)"
        R"("f2":{"id":"f2","dataURL":"data:image/png;base64,BBB="}}})";
    paste(*model, {std::nullopt, document, std::nullopt});
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(model->currentBoard().excalidrawFiles,
              (std::map<std::string, std::string>{
                  {"f1", R"({"id":"f1","dataURL":"data:image/png;base64,AAA="})"}}));

    const WhiteboardClipboardContents contents = copyOf({elements()[0]->id});
    ASSERT_TRUE(contents.plainText.has_value());
    const auto copied = nlohmann::json::parse(*contents.plainText);
    EXPECT_EQ(
        copied["files"],
        nlohmann::json::parse(R"({"f1":{"id":"f1","dataURL":"data:image/png;base64,AAA="}})"));
}

TEST_F(Clipboard, ProseOrNothingPastesNothing)
{
    const Uuid a = placeRectangle(0);
    model->setSelection({a});
    paste(*model, {std::nullopt, "just some words", std::nullopt});
    paste(*model, {});
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(model->selection(), WhiteboardSelection{a});
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, UndecodableElementsFallBackToThePlainText)
{
    const Uuid a = placeRectangle(0);
    const auto contents = copyOf({a});
    paste(*model, {"[{\"id\":\"nonsense\"}]", contents.plainText, std::nullopt});
    EXPECT_EQ(elements().size(), 2u);
}

TEST_F(Clipboard, ElementsNestedTooDeeplyAreRefused)
{
    const Uuid a = placeRectangle(0);
    nlohmann::json list = nlohmann::json::parse(*copyOf({a}).elementsJSON);
    list[0]["notes"] = nlohmann::json::parse(std::string(5000, '[') + std::string(5000, ']'));
    paste(*model, {list.dump(), "just some words", std::nullopt});
    EXPECT_EQ(elements().size(), 1u);
}

// Whatever a paste brings in must stay saveable: elements the board cannot hold paste nothing,
// from our own element list or from an Excalidraw document.
TEST_F(Clipboard, ElementsBeyondTheBoardsRangePasteNothing)
{
    const Uuid a = placeRectangle(0);
    nlohmann::json list = nlohmann::json::parse(*copyOf({a}).elementsJSON);
    list[0]["width"] = 1e300;
    paste(*model, {list.dump(), std::nullopt, std::nullopt});
    // Within range before the paste's offset, beyond it after.
    list[0]["width"] = 10;
    list[0]["x"] = whiteboardGeometryLimit;
    paste(*model, {list.dump(), std::nullopt, std::nullopt});
    paste(*model,
          {std::nullopt,
           R"({"type":"excalidraw","elements":[{"type":"line","points":[[-1e308,0],[1e308,0]]}]})",
           std::nullopt});
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, AnEmptyElementListPastesNothingAndKeepsTheSelection)
{
    const Uuid a = placeRectangle(0);
    const auto contents = copyOf({a});
    // The element list decodes, so the plain text is not consulted.
    paste(*model, {"[]", contents.plainText, std::nullopt});
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(model->selection(), WhiteboardSelection{a});
    EXPECT_FALSE(model->canUndo());
}

// --- Duplicate and insert ------------------------------------------------------------------

TEST_F(Clipboard, DuplicatingTwiceStepsTheCopiesBy20Each)
{
    const Uuid a = placeRectangle(0);
    model->setSelection({a});
    duplicateSelection(*model);
    duplicateSelection(*model);
    const auto added = addedAfter(1);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].x, 20);
    EXPECT_EQ(added[1].x, 40);
    EXPECT_EQ(added[1].y, 50);
    EXPECT_EQ(model->selection(), WhiteboardSelection{added[1].id});
    EXPECT_EQ(model->undoCount(), 2u);
}

TEST_F(Clipboard, DuplicateDropsReferencesToElementsNotDuplicated)
{
    const Uuid box = placeRectangle(0);
    const Uuid label = placeLabel(box);
    const Uuid other = placeRectangle(200);
    const Uuid arrow = placeArrow(box, other);
    model->setSelection({label, arrow, other});
    duplicateSelection(*model);
    const auto added = addedAfter(4);
    ASSERT_EQ(added.size(), 3u);
    EXPECT_FALSE(added[0].containerID.has_value());
    EXPECT_FALSE(added[2].startBindingID.has_value());
    EXPECT_EQ(added[2].endBindingID, added[1].id);
}

TEST_F(Clipboard, DuplicateIsRefusedWithALockedElementOrNothingSelected)
{
    const Uuid a = placeRectangle(0);
    duplicateSelection(*model);
    lock(a);
    model->setSelection({a});
    duplicateSelection(*model);
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_FALSE(model->canUndo());
}

TEST_F(Clipboard, InsertIsOneUndoStepThatUndoTakesBack)
{
    insertElements(*model, {rectangle(model->makeIdentifier(), 0)});
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(model->undoCount(), 1u);
    model->undo();
    EXPECT_TRUE(elements().empty());
    insertElements(*model, {});
    EXPECT_EQ(model->undoCount(), 0u);
}

TEST_F(Clipboard, FreshIdMapHasOneNewIdPerId)
{
    const std::set<Uuid> ids = {model->makeIdentifier(), model->makeIdentifier()};
    const auto map = freshIDMap(*model, ids);
    ASSERT_EQ(map.size(), 2u);
    std::set<Uuid> values;
    for (const auto &[from, to] : map) {
        EXPECT_TRUE(ids.contains(from));
        EXPECT_FALSE(ids.contains(to));
        values.insert(to);
    }
    EXPECT_EQ(values.size(), 2u);
}

} // namespace
