#include "whiteboard/properties/whiteboard_property_panel.h"

#include "app/child_widgets.h"
#include "common/settings/memory_defaults_store.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "panels/panel_style.h"
#include "shell/app_preferences.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/properties/whiteboard_color_group.h"
#include "whiteboard/properties/whiteboard_swatch_button.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

using testing::EditorFixture;

struct WhiteboardPropertyPanelTest : EditorFixture
{
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    WhiteboardPropertyPanel panel{*model, preferences};

    WhiteboardPropertyPanelTest() { panel.show(); }

    WhiteboardColorGroup *strokeGroup() const
    {
        return panel.findChildren<WhiteboardColorGroup *>().at(0);
    }

    WhiteboardColorGroup *fillGroup() const
    {
        return panel.findChildren<WhiteboardColorGroup *>().at(1);
    }

    static WhiteboardSwatchButton *swatch(QWidget *within, const QString &name)
    {
        for (auto *candidate :
             within->findChildren<WhiteboardSwatchButton *>(Qt::FindDirectChildrenOnly)) {
            if (candidate->accessibleName() == name) {
                return candidate;
            }
        }
        for (auto *row : within->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            for (auto *candidate : row->findChildren<WhiteboardSwatchButton *>()) {
                if (candidate->accessibleName() == name) {
                    return candidate;
                }
            }
        }
        ADD_FAILURE() << "no swatch " << name.toStdString();
        return nullptr;
    }

    WhiteboardButton *button(const QString &name) const
    {
        WhiteboardButton *found = childNamed<WhiteboardButton>(panel, name);
        if (found == nullptr) {
            ADD_FAILURE() << "no button " << name.toStdString();
        }
        return found;
    }

    QAction *moreItem(const QString &text) const
    {
        Q_EMIT panel.moreMenu()->aboutToShow();
        for (QAction *action : panel.moreMenu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

    std::optional<nlohmann::json> stored(AppPreferences::Setting setting) const
    {
        return defaults.storedValue(std::string(AppPreferences::key(setting)));
    }

    Uuid placeSelected(WhiteboardElementKind kind, std::optional<std::string> fill = {})
    {
        WhiteboardElement element = shape(kind, {0, 0, 40, 30});
        element.style.strokeColor = "#000000";
        element.style.strokeWidth = 3;
        element.style.opacity = 1;
        element.style.fillColor = std::move(fill);
        const Uuid id = place(element);
        WhiteboardSelection selection = model->selection();
        selection.insert(id);
        model->setSelection(selection);
        return id;
    }
};

TEST_F(WhiteboardPropertyPanelTest, FirstGroupIsTextColorUnlessSomethingElseIsSelected)
{
    EXPECT_EQ(strokeGroup()->title(), "Text color");
    EXPECT_EQ(strokeGroup()->moreColorsButton()->toolTip(), "More text color colors");
    placeSelected(WhiteboardElementKind::text);
    EXPECT_EQ(strokeGroup()->title(), "Text color");
    placeSelected(WhiteboardElementKind::rectangle);
    EXPECT_EQ(strokeGroup()->title(), "Stroke");
    EXPECT_EQ(strokeGroup()->moreColorsButton()->toolTip(), "More stroke colors");
}

TEST_F(WhiteboardPropertyPanelTest, TextSizeChoicesShowForTheTextToolOrASelectedText)
{
    const auto textSizeShown = [this] {
        return panel.findChild<QSpinBox *>()->isVisibleTo(&panel);
    };
    EXPECT_FALSE(textSizeShown());
    const QSize small = panel.sizeHint();
    model->setSelectedTool(WhiteboardTool::text);
    EXPECT_TRUE(textSizeShown());
    EXPECT_GT(panel.sizeHint().height(), small.height());
    model->setSelectedTool(WhiteboardTool::selection);
    const Uuid text = placeSelected(WhiteboardElementKind::text);
    EXPECT_TRUE(textSizeShown());

    QTest::mouseClick(button("48"), Qt::LeftButton);
    EXPECT_EQ(element(text).fontSize, 48.0);
    EXPECT_TRUE(button("48")->isSelected());
    EXPECT_EQ(panel.findChild<QSpinBox *>()->value(), 48);
    panel.findChild<QSpinBox *>()->stepUp();
    EXPECT_EQ(element(text).fontSize, 50.0);
}

TEST_F(WhiteboardPropertyPanelTest, StrokeSwatchWithNothingSelectedSetsTheDefaultAndTheSetting)
{
    const Uuid id = place(shape(WhiteboardElementKind::rectangle, {0, 0, 10, 10}));
    WhiteboardSwatchButton *red = swatch(strokeGroup(), "Red");
    EXPECT_FALSE(red->isSelected());
    QTest::mouseClick(red, Qt::LeftButton);

    EXPECT_EQ(stored(AppPreferences::Setting::drawingColor), nlohmann::json("#FF3B30"));
    EXPECT_EQ(effectiveStyle(*model).strokeColor, "#FF3B30");
    EXPECT_NE(element(id).style.strokeColor, "#FF3B30");
    EXPECT_TRUE(red->isSelected());
    EXPECT_FALSE(swatch(strokeGroup(), "Black")->isSelected());
}

TEST_F(WhiteboardPropertyPanelTest, BackgroundSwatchesChangeTheFillButNeverTheSettings)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle, "#A6EDB8");
    EXPECT_TRUE(swatch(fillGroup(), "Green")->isSelected());
    EXPECT_FALSE(swatch(fillGroup(), "Transparent")->isSelected());
    const std::vector<std::string> keys = defaults.storedKeys();

    QTest::mouseClick(swatch(fillGroup(), "Transparent"), Qt::LeftButton);
    EXPECT_EQ(element(id).style.fillColor, std::nullopt);
    EXPECT_TRUE(swatch(fillGroup(), "Transparent")->isSelected());
    QTest::mouseClick(swatch(fillGroup(), "Blue"), Qt::LeftButton);
    EXPECT_EQ(element(id).style.fillColor, hexString(Color{0.61, 0.82, 0.96, 1}));
    EXPECT_EQ(defaults.storedKeys(), keys);
}

TEST_F(WhiteboardPropertyPanelTest, WidthAndRoughnessMarkOnlyExactValuesAndReachTheSettings)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    for (const char *name : {"1 pt", "2 pt", "4 pt"}) {
        EXPECT_FALSE(button(name)->isSelected()) << name;
    }
    QTest::mouseClick(button("2 pt"), Qt::LeftButton);
    EXPECT_EQ(element(id).style.strokeWidth, 2);
    EXPECT_TRUE(button("2 pt")->isSelected());
    EXPECT_EQ(stored(AppPreferences::Setting::lineWidth), nlohmann::json(2.0));

    WhiteboardElement odd = element(id);
    odd.style.roughness = 7;
    replace(odd);
    for (const char *name : {"Smooth", "Slightly Rough", "Rough", "Very Rough"}) {
        EXPECT_FALSE(button(name)->isSelected()) << name;
    }
    QTest::mouseClick(button("Slightly Rough"), Qt::LeftButton);
    EXPECT_EQ(element(id).style.roughness, 1);
    EXPECT_EQ(preferences.roughnessLevel(), RoughnessLevel::low);
    EXPECT_TRUE(button("Slightly Rough")->isSelected());
}

TEST_F(WhiteboardPropertyPanelTest, OpacitySliderShowsAndSetsTheOpacityAsOneStepPerDrag)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    WhiteboardElement half = element(id);
    half.style.opacity = 0.5;
    replace(half);
    auto *slider = panel.findChild<QSlider *>();
    EXPECT_EQ(slider->value(), (slider->minimum() + slider->maximum()) / 2);
    EXPECT_TRUE(panel.findChildren<QLabel *>().contains(nullptr) == false);
    const auto valueShown = [this] {
        QStringList texts;
        for (auto *label : panel.findChildren<QLabel *>()) {
            texts << label->text();
        }
        return texts;
    };
    EXPECT_TRUE(valueShown().contains("50"));

    slider->setSliderDown(true);
    slider->setValue(slider->maximum() - 10);
    slider->setValue(slider->maximum());
    slider->setSliderDown(false);
    EXPECT_EQ(element(id).style.opacity, 1.0);
    EXPECT_EQ(model->opacity(), 1.0);
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_TRUE(valueShown().contains("100"));

    // 0.29 is stored just below 29 hundredths; it still reads 29.
    slider->setValue(290);
    EXPECT_TRUE(valueShown().contains("29"));
}

TEST_F(WhiteboardPropertyPanelTest, OnlyOneExtraColorGridOpensAndAGridPickClosesIt)
{
    QTest::mouseClick(strokeGroup()->moreColorsButton(), Qt::LeftButton);
    EXPECT_EQ(panel.expandedColorSection(), QString("Text color"));
    EXPECT_TRUE(strokeGroup()->grid()->isVisible());
    QTest::mouseClick(fillGroup()->moreColorsButton(), Qt::LeftButton);
    EXPECT_FALSE(strokeGroup()->grid()->isVisible());
    EXPECT_TRUE(fillGroup()->grid()->isVisible());
    EXPECT_TRUE(fillGroup()->moreColorsButton()->isSelected());

    QTest::mouseClick(swatch(fillGroup(), "Red"), Qt::LeftButton);
    EXPECT_TRUE(fillGroup()->grid()->isVisible()) << "a pick in the row leaves the grid open";
    QTest::mouseClick(swatch(fillGroup()->grid(), "Mint"), Qt::LeftButton);
    EXPECT_FALSE(fillGroup()->grid()->isVisible());
    EXPECT_EQ(panel.expandedColorSection(), std::nullopt);
    EXPECT_EQ(effectiveStyle(*model).fillColor, "#00C7BE");
}

TEST_F(WhiteboardPropertyPanelTest, StrokeGridHidesWhileTheGroupCarriesTheOtherTitle)
{
    QTest::mouseClick(strokeGroup()->moreColorsButton(), Qt::LeftButton);
    EXPECT_TRUE(strokeGroup()->grid()->isVisible());
    placeSelected(WhiteboardElementKind::rectangle);
    EXPECT_FALSE(strokeGroup()->grid()->isVisible());
    model->setSelection({});
    EXPECT_TRUE(strokeGroup()->grid()->isVisible());
}

TEST_F(WhiteboardPropertyPanelTest, LinkAlertSavesTrimmedTextAndCancelKeepsTheLink)
{
    EXPECT_FALSE(moreItem("Set hyperlink…")->isEnabled());
    const Uuid first = placeSelected(WhiteboardElementKind::rectangle);
    const Uuid second = placeSelected(WhiteboardElementKind::ellipse);
    moreItem("Set hyperlink…")->trigger();
    WhiteboardTextAlert *alert = panel.linkAlert();
    EXPECT_TRUE(panel.isEditingLink());
    EXPECT_EQ(alert->field()->text(), "");

    const auto click = [alert](const QString &text) {
        for (auto *candidate : alert->findChildren<QPushButton *>()) {
            if (candidate->text() == text) {
                candidate->click();
            }
        }
    };
    alert->field()->setText("  https://example.com/x \n");
    click("Save");
    EXPECT_FALSE(panel.isEditingLink());
    EXPECT_EQ(element(second).link, std::optional<std::string>("https://example.com/x"));

    moreItem("Set hyperlink…")->trigger();
    EXPECT_EQ(alert->field()->text(), "https://example.com/x");
    alert->field()->setText("https://other.example");
    click("Cancel");
    EXPECT_EQ(element(first).link, std::optional<std::string>("https://example.com/x"));

    moreItem("Set hyperlink…")->trigger();
    alert->field()->setText("   ");
    click("Save");
    EXPECT_EQ(element(first).link, std::nullopt);
    EXPECT_EQ(element(second).link, std::nullopt);
}

TEST_F(WhiteboardPropertyPanelTest, MoreMenuOffersOnlyWhatTheSelectionHas)
{
    EXPECT_EQ(moreItem("Toggle rounded corners"), nullptr);
    EXPECT_EQ(moreItem("Font"), nullptr);
    const Uuid rectangle = placeSelected(WhiteboardElementKind::rectangle);
    moreItem("Toggle rounded corners")->trigger();
    EXPECT_EQ(element(rectangle).style.roundnessType, whiteboardRoundedCornersType);
    EXPECT_EQ(moreItem("Text alignment"), nullptr);

    QStringList fillStyles;
    for (QAction *action : moreItem("Fill style")->menu()->actions()) {
        fillStyles << action->text();
    }
    EXPECT_EQ(fillStyles, QStringList({"Solid", "Hachure", "Cross-Hatch"}));
    moreItem("Fill style")->menu()->actions().back()->trigger();
    EXPECT_EQ(element(rectangle).style.fillStyle, WhiteboardFillStyle::crossHatch);

    const Uuid text = placeSelected(WhiteboardElementKind::text);
    moreItem("Font")->menu()->actions().at(1)->trigger();
    EXPECT_EQ(element(text).fontFamily, WhiteboardFontFamily::monospace);
    moreItem("Text alignment")->menu()->actions().back()->trigger();
    EXPECT_EQ(element(text).textAlignment, WhiteboardTextAlignment::right);
}

TEST_F(WhiteboardPropertyPanelTest, LayerButtonsNeedASelectionAndStepOnlyOnChange)
{
    EXPECT_FALSE(button("Send backward")->isEnabled());
    const Uuid bottom = placeSelected(WhiteboardElementKind::rectangle);
    place(shape(WhiteboardElementKind::ellipse, {50, 0, 10, 10}));
    EXPECT_TRUE(button("Send backward")->isEnabled());
    QTest::mouseClick(button("Send backward"), Qt::LeftButton);
    EXPECT_EQ(model->undoCount(), 0u);
    QTest::mouseClick(button("Bring to front"), Qt::LeftButton);
    EXPECT_EQ(model->currentBoard().elements.back()->id, bottom);
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(WhiteboardPropertyPanelTest, LockedSelectionDisablesThePanelAndBlackBoardDarkensIt)
{
    const Uuid id = placeSelected(WhiteboardElementKind::rectangle);
    EXPECT_TRUE(panel.isEnabled());
    lock(id);
    EXPECT_FALSE(panel.isEnabled());
    model->setSelection({});
    EXPECT_TRUE(panel.isEnabled());

    WhiteboardLibrary library = model->library();
    library.boards[model->currentBoardIndex()].background = WhiteboardBackground::white();
    model->setLibrary(library);
    EXPECT_LT(panelPrimaryColor(panel.palette()).lightness(), 128);
    library.boards[model->currentBoardIndex()].background = WhiteboardBackground::black();
    model->setLibrary(library);
    EXPECT_GT(panelPrimaryColor(panel.palette()).lightness(), 128);
}

} // namespace
} // namespace zentrel
