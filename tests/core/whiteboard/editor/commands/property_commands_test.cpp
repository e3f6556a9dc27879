#include "common/settings/memory_defaults_store.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_property_commands.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Setting = AppPreferences::Setting;

constexpr Color red{1, 0, 0, 1};

struct PropertyCommands : EditorFixture
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    int notices = 0;
    int defaultNotices = 0;
    ScopedConnection connection = model->changed.connect([this](WhiteboardEditorChange change) {
        ++notices;
        defaultNotices += touches(change, WhiteboardEditorChange::defaults) ? 1 : 0;
    });

    std::optional<nlohmann::json> stored(Setting setting) const
    {
        return defaults.storedValue(std::string(AppPreferences::key(setting)));
    }

    Uuid placeSelected(WhiteboardElementKind kind)
    {
        WhiteboardElement element = shape(kind, {0, 0, 40, 30});
        element.style.strokeColor = "#000000";
        const Uuid id = place(element);
        WhiteboardSelection selection = model->selection();
        selection.insert(id);
        model->setSelection(selection);
        return id;
    }
};

TEST_F(PropertyCommands, StrokeColorWithNothingSelectedChangesDefaultAndSettingOnly)
{
    const Uuid id = place(shape(WhiteboardElementKind::rectangle, {0, 0, 10, 10}));
    notices = 0;
    chooseStrokeColor(*model, preferences, red);

    EXPECT_EQ(stored(Setting::drawingColor), nlohmann::json("#FF0000"));
    EXPECT_EQ(model->drawingColor(), red);
    EXPECT_EQ(effectiveStyle(*model).strokeColor, "#FF0000");
    EXPECT_NE(element(id).style.strokeColor, "#FF0000");
    EXPECT_EQ(model->undoCount(), 0u);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(defaultNotices, 1);
}

TEST_F(PropertyCommands, LockedSelectionKeepsItsStyleButTheNextElementTakesTheChoice)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    const double width = element(id).style.strokeWidth;
    lock(id);

    chooseStrokeColor(*model, preferences, red);
    chooseStrokeWidth(*model, preferences, 4);
    chooseRoughness(*model, preferences, RoughnessLevel::high);
    chooseOpacity(*model, 0.5);

    EXPECT_EQ(element(id).style.strokeColor, "#000000");
    EXPECT_EQ(element(id).style.strokeWidth, width);
    EXPECT_EQ(model->undoCount(), 0u);
    EXPECT_EQ(model->drawingColor(), red);
    EXPECT_EQ(model->lineWidth(), 4);
    EXPECT_EQ(model->roughness(), 3);
    EXPECT_EQ(model->opacity(), 0.5);
    EXPECT_EQ(stored(Setting::lineWidth), nlohmann::json(4.0));
    EXPECT_EQ(stored(Setting::roughnessLevel), nlohmann::json(3));
}

TEST_F(PropertyCommands, ChoicesRestyleTheSelectionAsOneStepEach)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);

    chooseStrokeColor(*model, preferences, red);
    chooseStrokeWidth(*model, preferences, 2);
    chooseRoughness(*model, preferences, RoughnessLevel::high);

    EXPECT_EQ(element(id).style.strokeColor, "#FF0000");
    EXPECT_EQ(element(id).style.strokeWidth, 2);
    EXPECT_EQ(element(id).style.roughness, 3);
    EXPECT_EQ(model->undoCount(), 3u);

    chooseStrokeColor(*model, preferences, red);
    EXPECT_EQ(model->undoCount(), 3u) << "the same colour again changes nothing";
}

TEST_F(PropertyCommands, FillChoiceNeverTouchesTheSettings)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    const std::vector<std::string> keysBefore = defaults.storedKeys();

    chooseFillColor(*model, red);
    EXPECT_EQ(element(id).style.fillColor, std::optional<std::string>("#FF0000"));
    chooseFillColor(*model, std::nullopt);
    EXPECT_EQ(element(id).style.fillColor, std::nullopt);
    EXPECT_EQ(model->fillColor(), std::nullopt);
    EXPECT_EQ(defaults.storedKeys(), keysBefore);
}

TEST_F(PropertyCommands, RoundedCornersFollowTheLowestSelectedElement)
{
    const Uuid first = placeSelected(WhiteboardElementKind::rectangle);
    const Uuid second = placeSelected(WhiteboardElementKind::rectangle);

    toggleSelectionRoundedCorners(*model);
    EXPECT_EQ(element(first).style.roundnessType, whiteboardRoundedCornersType);
    EXPECT_EQ(element(second).style.roundnessType, whiteboardRoundedCornersType);
    toggleSelectionRoundedCorners(*model);
    EXPECT_EQ(element(first).style.roundnessType, std::nullopt);
    EXPECT_EQ(element(second).style.roundnessType, std::nullopt);
}

TEST_F(PropertyCommands, LinkDraftComesFromTheFirstSelectedElementAndBlankSavesClear)
{
    EXPECT_EQ(selectionLinkDraft(*model), "");
    const Uuid first = placeSelected(WhiteboardElementKind::rectangle);
    const Uuid second = placeSelected(WhiteboardElementKind::ellipse);
    EXPECT_EQ(selectionLinkDraft(*model), "");

    saveSelectionLink(*model, " \t https://example.com/a\n");
    EXPECT_EQ(element(first).link, std::optional<std::string>("https://example.com/a"));
    EXPECT_EQ(element(second).link, std::optional<std::string>("https://example.com/a"));
    EXPECT_EQ(selectionLinkDraft(*model), "https://example.com/a");

    // A no-break space is as blank as any other.
    saveSelectionLink(*model, " \xC2\xA0\n");
    EXPECT_EQ(element(first).link, std::nullopt);
    EXPECT_EQ(element(second).link, std::nullopt);
}

TEST_F(PropertyCommands, LinkIsNotChangedOnALockedOrEmptySelection)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    saveSelectionLink(*model, "https://example.com");
    lock(id);
    removeSelectionLink(*model);
    saveSelectionLink(*model, "https://other.example");
    EXPECT_EQ(element(id).link, std::optional<std::string>("https://example.com"));

    model->setSelection({});
    const std::size_t steps = model->undoCount();
    saveSelectionLink(*model, "https://other.example");
    EXPECT_EQ(model->undoCount(), steps);
}

TEST_F(PropertyCommands, SelectionKindsDecideTheTextGroups)
{
    EXPECT_TRUE(selectionIsAllText(*model)) << "nothing selected reads as text colour";
    EXPECT_FALSE(showsTextSizeChoices(*model));
    model->setSelectedTool(WhiteboardTool::text);
    EXPECT_TRUE(showsTextSizeChoices(*model));
    model->setSelectedTool(WhiteboardTool::selection);

    placeSelected(WhiteboardElementKind::text);
    EXPECT_TRUE(selectionIsAllText(*model));
    EXPECT_TRUE(showsTextSizeChoices(*model));
    placeSelected(WhiteboardElementKind::rectangle);
    EXPECT_FALSE(selectionIsAllText(*model));
    EXPECT_TRUE(selectionContainsKind(*model, WhiteboardElementKind::rectangle));
    EXPECT_FALSE(selectionContainsKind(*model, WhiteboardElementKind::ellipse));
}

TEST(ZoomPercentage, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(zoomPercentage(1.0), 100);
    EXPECT_EQ(zoomPercentage(0.125), 13);
    EXPECT_EQ(zoomPercentage(0.1), 10);
    EXPECT_EQ(zoomPercentage(5.0), 500);
    EXPECT_EQ(zoomPercentage(std::nan("")), 100);
}

} // namespace
