#include "panels/toolbar/toolbar_color_palette_view.h"

#include "app/child_widgets.h"
#include "common/settings/memory_defaults_store.h"
#include "shell/app_preferences.h"
#include "shell/presentation_color.h"

#include <QAbstractButton>
#include <QColorDialog>

#include <gtest/gtest.h>

#include <limits>

using namespace zentrel;

namespace {

class ToolbarColorPaletteViewTest : public testing::Test
{
protected:
    QAbstractButton *button(const QString &accessibleName) const
    {
        return childNamed(view, accessibleName);
    }

    // The help texts of the swatches that show as selected.
    QStringList selectedSwatches() const
    {
        QStringList selected;
        for (auto *candidate : view.findChildren<QAbstractButton *>()) {
            if (candidate->isChecked()) {
                selected << candidate->toolTip();
            }
        }
        return selected;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    ToolbarColorPaletteView view{preferences};
};

TEST_F(ToolbarColorPaletteViewTest, SwatchesAreTheFourQuickColoursThenTheCustomWell)
{
    QStringList tips;
    for (auto *candidate : view.findChildren<QAbstractButton *>()) {
        tips << candidate->toolTip();
    }
    EXPECT_EQ(tips.join(','), QStringLiteral("Red,Yellow,Green,Blue,Custom color"));
    EXPECT_NE(button(QStringLiteral("Custom drawing color")), nullptr);
}

TEST_F(ToolbarColorPaletteViewTest, SwatchSetsTheDrawingColourAndTheRingFollows)
{
    EXPECT_EQ(selectedSwatches(), QStringList{QStringLiteral("Red")});
    button(QStringLiteral("Green drawing color"))->click();
    EXPECT_EQ(preferences.drawingColor(), systemColor(PresentationColor::green));
    EXPECT_EQ(selectedSwatches(), QStringList{QStringLiteral("Green")});

    preferences.setDrawingColor(systemColor(PresentationColor::blue));
    EXPECT_EQ(selectedSwatches(), QStringList{QStringLiteral("Blue")});
}

TEST_F(ToolbarColorPaletteViewTest, NearbyColourSelectsTheSwatchAndAlphaDoesNotCount)
{
    Color red = systemColor(PresentationColor::red);
    red.green += 0.009;
    red.alpha = 0.5;
    preferences.setDrawingColor(red);
    EXPECT_EQ(selectedSwatches(), QStringList{QStringLiteral("Red")});

    red.green += 0.002;
    preferences.setDrawingColor(red);
    EXPECT_TRUE(selectedSwatches().isEmpty());
}

TEST(DrawingColorsMatch, NeedsEveryComponentWithinTolerance)
{
    const Color red = systemColor(PresentationColor::red);
    EXPECT_TRUE(drawingColorsMatch(red, Color{red.red - 0.0099, red.green, red.blue, 0}));
    EXPECT_FALSE(drawingColorsMatch(Color{0.5, 0.5, 0.5, 1}, Color{0.5, 0.51, 0.5, 1}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(drawingColorsMatch(red, Color{nan, red.green, red.blue, 1}));
}

TEST_F(ToolbarColorPaletteViewTest, CustomWellOpensAPickerWithoutAlphaThatWritesAtOnce)
{
    button(QStringLiteral("Custom drawing color"))->click();
    auto *dialog = view.findChild<QColorDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Custom drawing color"));
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(preferences.drawingColor(), systemColor(PresentationColor::red));

    dialog->setCurrentColor(QColor(0, 51, 102));
    EXPECT_NEAR(preferences.drawingColor().blue, 0.4, 1e-6);
    EXPECT_TRUE(selectedSwatches().isEmpty());
    dialog->close();
}

} // namespace
