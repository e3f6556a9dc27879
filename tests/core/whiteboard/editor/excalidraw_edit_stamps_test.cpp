#include "editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_clipboard.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>

namespace zentrel {
namespace {

using nlohmann::json;
using testing::EditorFixture;

const json document = json::parse(R"({"type": "excalidraw", "elements": [
    {"id": "box", "type": "rectangle", "x": 0, "y": 0, "width": 40, "height": 30,
     "version": 7, "updated": 1700000000000, "customData": {"kept": true}},
    {"id": "other", "type": "ellipse", "x": 100, "y": 0, "width": 40, "height": 30,
     "version": 3, "updated": 1600000000000}
]})");

std::int64_t milliseconds(Timestamp time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

struct ExcalidrawEditStampsTest : EditorFixture
{
    ExcalidrawEditStampsTest()
    {
        auto imported =
            importExcalidrawDocument(document.dump(), "Imported", harness.clock, harness.random);
        EXPECT_TRUE(imported);
        model->insertBoard(std::move(imported->board));
    }

    // An edit of the element at `index` as the editor commits one.
    void recolour(std::size_t index, const char *colour)
    {
        updateCurrentBoard(*model, [&](WhiteboardBoard &board) {
            WhiteboardElement element = *board.elements[index];
            element.style.strokeColor = colour;
            board.elements[index] = makeElement(std::move(element));
        });
    }

    const WhiteboardElement &at(std::size_t index) const
    {
        return *model->currentBoard().elements.at(index);
    }

    json exported() const
    {
        auto text = exportExcalidrawDocument(model->currentBoard(), harness.clock, harness.random);
        EXPECT_TRUE(text);
        return json::parse(text.value_or("{}"))["elements"];
    }
};

TEST_F(ExcalidrawEditStampsTest, AnEditedElementIsWrittenAsANewerVersionOfTheEditTime)
{
    harness.clock.advance(std::chrono::minutes(5));
    const Timestamp editTime = harness.clock.now();
    recolour(0, "#e03131");
    EXPECT_EQ(at(0).excalidrawEditedAt, milliseconds(editTime));
    EXPECT_FALSE(at(1).excalidrawEditedAt);

    // Exported later: the edit's time, not the export's.
    harness.clock.advance(std::chrono::hours(1));
    const json written = exported();
    EXPECT_EQ(written[0]["version"], 8);
    EXPECT_EQ(written[0]["updated"], milliseconds(editTime));
    EXPECT_EQ(written[0]["customData"], json::parse(R"({"kept": true})"));
    EXPECT_EQ(written[1]["version"], 3);
    EXPECT_EQ(written[1]["updated"], 1600000000000);

    // A second edit is newer still than the one read, and takes its own time.
    const Timestamp laterTime = harness.clock.now();
    recolour(0, "#2f9e44");
    EXPECT_EQ(at(0).excalidrawEditedAt, milliseconds(laterTime));
    EXPECT_EQ(exported()[0]["version"], 8);
    EXPECT_EQ(exported()[0]["updated"], milliseconds(laterTime));
}

TEST_F(ExcalidrawEditStampsTest, UndoneOrRevertedEditsExportAsRead)
{
    harness.clock.advance(std::chrono::minutes(5));
    recolour(0, "#e03131");
    model->undo();
    EXPECT_FALSE(at(0).excalidrawEditedAt);
    EXPECT_EQ(exported()[0]["version"], 7);
    EXPECT_EQ(exported()[0]["updated"], 1700000000000);

    // Recoloured and then given its colour back, it is what it was read as again.
    const std::string colour = at(0).style.strokeColor;
    recolour(0, "#e03131");
    recolour(0, colour.c_str());
    EXPECT_EQ(exported()[0]["version"], 7);
    EXPECT_EQ(exported()[0]["updated"], 1700000000000);
}

TEST_F(ExcalidrawEditStampsTest, SelectingOrAddingElementsStampsNothing)
{
    model->setSelection({at(0).id});
    harness.clock.advance(std::chrono::minutes(1));
    testing::addRectangle(*model, 300);
    EXPECT_FALSE(at(0).excalidrawEditedAt);
    EXPECT_FALSE(at(1).excalidrawEditedAt);
    // An element drawn here has nothing to stamp.
    EXPECT_FALSE(at(2).excalidrawEditedAt);
}

TEST_F(ExcalidrawEditStampsTest, ADuplicateIsStampedAsANewVersion)
{
    model->setSelection({at(1).id});
    harness.clock.advance(std::chrono::minutes(2));
    duplicateSelection(*model);
    ASSERT_EQ(model->currentBoard().elements.size(), 3u);
    EXPECT_EQ(at(2).excalidrawEditedAt, milliseconds(harness.clock.now()));
    EXPECT_EQ(exported()[2]["version"], 4);
    EXPECT_FALSE(at(1).excalidrawEditedAt);
}

} // namespace
} // namespace zentrel
