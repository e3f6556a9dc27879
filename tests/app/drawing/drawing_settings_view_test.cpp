#include "drawing/drawing_settings_view.h"

#include "app/child_widgets.h"
#include "common/settings/memory_defaults_store.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "panels/toolbar/settings/toolbar_toggle_row.h"
#include "panels/toolbar/toolbar_preset_button.h"
#include "shell/app_preferences.h"

#include <QLocale>
#include <QSlider>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

class DrawingSettingsViewTest : public testing::Test
{
protected:
    template <typename Widget>
    Widget *find(const QString &title) const
    {
        return childWithText<Widget>(view, title);
    }

    ToolbarSliderRow *row(const QString &title) const
    {
        for (auto *candidate : view.findChildren<ToolbarSliderRow *>()) {
            if (candidate->title() == title) {
                return candidate;
            }
        }
        return nullptr;
    }

    QStringList selectedPresets() const
    {
        QStringList titles;
        for (auto *preset : view.findChildren<ToolbarPresetButton *>()) {
            if (preset->isSelected()) {
                titles << preset->text();
            }
        }
        return titles;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    DrawingSettingsView view{preferences};
};

TEST_F(DrawingSettingsViewTest, WidthRowShowsTheTruncatedWidthAndWritesWholeSteps)
{
    preferences.setLineWidth(6.7);
    EXPECT_EQ(row(QStringLiteral("Line width"))->formattedValue(), QStringLiteral("6 pt"));

    QSlider *slider = row(QStringLiteral("Line width"))->slider();
    slider->setValue(slider->maximum());
    EXPECT_EQ(preferences.lineWidth(), 16.0);
    EXPECT_EQ(row(QStringLiteral("Line width"))->formattedValue(), QStringLiteral("16 pt"));
}

TEST_F(DrawingSettingsViewTest, RoughnessPickerWritesTheLevel)
{
    EXPECT_TRUE(find<QAbstractButton>(QStringLiteral("Rough"))->isChecked());
    find<QAbstractButton>(QStringLiteral("Very Rough"))->click();
    EXPECT_EQ(preferences.roughnessLevel(), RoughnessLevel::high);
    EXPECT_TRUE(find<QAbstractButton>(QStringLiteral("Very Rough"))->isChecked());
    EXPECT_FALSE(find<QAbstractButton>(QStringLiteral("Rough"))->isChecked());
}

TEST_F(DrawingSettingsViewTest, ContrastOutlineIsDisabledButKeptWhileHighContrastIsOff)
{
    auto *outline = find<ToolbarToggleRow>(QStringLiteral("Contrast outline"));
    EXPECT_TRUE(outline->isEnabled());
    find<ToolbarToggleRow>(QStringLiteral("High contrast"))->click();
    EXPECT_FALSE(preferences.highContrastDrawing());
    EXPECT_FALSE(outline->isEnabled());
    EXPECT_TRUE(outline->isChecked());
    EXPECT_TRUE(preferences.highContrastOutline());
}

TEST_F(DrawingSettingsViewTest, FadeAfterShowsOffAndIsDisabledWhileFadeIsOff)
{
    preferences.setAutoFade(false);
    EXPECT_EQ(row(QStringLiteral("Fade after"))->formattedValue(), QStringLiteral("Off"));
    EXPECT_FALSE(row(QStringLiteral("Fade after"))->isEnabled());
    EXPECT_EQ(selectedPresets(), QStringList{QStringLiteral("Off")});
}

TEST_F(DrawingSettingsViewTest, DurationPresetTurnsFadeOnAndSetsTheDuration)
{
    preferences.setAutoFade(false);
    find<ToolbarPresetButton>(QStringLiteral("5s"))->click();
    EXPECT_TRUE(preferences.autoFade());
    EXPECT_EQ(preferences.fadeDuration(), 5.0);
    EXPECT_EQ(row(QStringLiteral("Fade after"))->formattedValue(), QStringLiteral("5.0 s"));
    EXPECT_TRUE(row(QStringLiteral("Fade after"))->isEnabled());
    EXPECT_EQ(selectedPresets(), QStringList{QStringLiteral("5s")}) << "the chosen time shows";

    // A duration between the presets, from the slider, shows none of them.
    preferences.setFadeDuration(4);
    EXPECT_TRUE(selectedPresets().isEmpty());
    preferences.setFadeDuration(3);
    EXPECT_EQ(selectedPresets(), QStringList{QStringLiteral("3s")});
}

TEST_F(DrawingSettingsViewTest, OffPresetKeepsTheDuration)
{
    find<ToolbarPresetButton>(QStringLiteral("10s"))->click();
    find<ToolbarPresetButton>(QStringLiteral("Off"))->click();
    EXPECT_FALSE(preferences.autoFade());
    EXPECT_EQ(preferences.fadeDuration(), 10.0);
    find<ToolbarToggleRow>(QStringLiteral("Fade drawings"))->click();
    EXPECT_EQ(row(QStringLiteral("Fade after"))->formattedValue(), QStringLiteral("10.0 s"));
}

TEST(DrawingSettingsViewFormat, DurationFollowsTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(DrawingSettingsView::formattedFadeDuration(true, 5), QStringLiteral("5,0 s"));
    QLocale::setDefault(previous);
}

} // namespace
