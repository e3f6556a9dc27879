#include "capture/color_well_button.h"
#include "capture/cursor_halo/cursor_halo_settings_view.h"
#include "capture/cursor_halo/cursor_halo_toolbar_view.h"
#include "capture/spotlight/spotlight_settings_view.h"
#include "common/settings/memory_defaults_store.h"
#include "overlay/overlay_settings_model.h"
#include "panels/toolbar/settings/settings_value_text.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "panels/toolbar/toolbar_selection_button.h"
#include "shell/app_preferences.h"

#include <QLocale>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

ToolbarSliderRow *row(const QWidget &view, const QString &title)
{
    for (auto *candidate : view.findChildren<ToolbarSliderRow *>()) {
        if (candidate->title() == title) {
            return candidate;
        }
    }
    return nullptr;
}

QStringList rowTitles(const QWidget &view)
{
    QStringList titles;
    for (auto *candidate : view.findChildren<ToolbarSliderRow *>()) {
        titles << candidate->title();
    }
    return titles;
}

class AidsSettingsTest : public testing::Test
{
protected:
    AidsSettingsTest() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
};

TEST_F(AidsSettingsTest, ValueTextsTruncatePointsAndRoundPercentages)
{
    EXPECT_EQ(pointsText(112.0), QStringLiteral("112 pt"));
    EXPECT_EQ(pointsText(41.9), QStringLiteral("41 pt"));
    EXPECT_EQ(percentText(0.7), QStringLiteral("70%"));
    EXPECT_EQ(percentText(0.2), QStringLiteral("20%"));
    EXPECT_EQ(percentText(1.0), QStringLiteral("100%"));
}

TEST_F(AidsSettingsTest, SpotlightSlidersShowAndWriteTheirPreferences)
{
    preferences.setSpotlightRadius(140);
    preferences.setSpotlightDarkness(0.7);
    SpotlightSettingsView view(preferences);
    EXPECT_EQ(rowTitles(view),
              (QStringList{
                  QStringLiteral("Size"), QStringLiteral("Darkness"), QStringLiteral("Feather")}));
    ToolbarSliderRow *size = row(view, QStringLiteral("Size"));
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->formattedValue(), QStringLiteral("140 pt"));
    EXPECT_EQ(row(view, QStringLiteral("Darkness"))->formattedValue(), QStringLiteral("70%"));

    size->slider()->setValue(size->slider()->maximum());
    EXPECT_DOUBLE_EQ(preferences.spotlightRadius(), 300);
    EXPECT_EQ(size->formattedValue(), QStringLiteral("300 pt"));
    ToolbarSliderRow *feather = row(view, QStringLiteral("Feather"));
    feather->slider()->setValue(3);
    EXPECT_DOUBLE_EQ(preferences.spotlightFeather(), 15);
}

TEST_F(AidsSettingsTest, SpotlightDimColourPickerWritesTheColour)
{
    SpotlightSettingsView view(preferences);
    auto *well = view.findChild<ColorWellButton *>();
    ASSERT_NE(well, nullptr);
    Q_EMIT well->colorPicked(QColor(0, 0, 255));
    EXPECT_EQ(preferences.spotlightColor(), (Color{0, 0, 1, 1}));
    EXPECT_EQ(well->color(), QColor(0, 0, 255));
}

TEST_F(AidsSettingsTest, HaloSlidersMoveInTheirStepsAndShowTheirValues)
{
    preferences.setCursorHaloSize(112);
    preferences.setCursorHaloOpacity(0.85);
    preferences.setCursorHaloBorderWidth(12);
    CursorHaloSettingsView view(preferences);
    EXPECT_EQ(
        rowTitles(view),
        (QStringList{QStringLiteral("Size"), QStringLiteral("Opacity"), QStringLiteral("Border")}));
    ToolbarSliderRow *size = row(view, QStringLiteral("Size"));
    EXPECT_EQ(size->formattedValue(), QStringLiteral("112 pt"));
    EXPECT_DOUBLE_EQ(size->value(), 112);
    EXPECT_EQ(size->slider()->maximum(), 30); // (160 - 40) / 4
    EXPECT_EQ(row(view, QStringLiteral("Opacity"))->formattedValue(), QStringLiteral("85%"));
    EXPECT_EQ(row(view, QStringLiteral("Border"))->formattedValue(), QStringLiteral("12 pt"));

    size->slider()->setValue(1);
    EXPECT_DOUBLE_EQ(preferences.cursorHaloSize(), 44);
    ToolbarSliderRow *opacity = row(view, QStringLiteral("Opacity"));
    opacity->slider()->setValue(0);
    EXPECT_DOUBLE_EQ(preferences.cursorHaloOpacity(), 0.2);
    EXPECT_EQ(opacity->formattedValue(), QStringLiteral("20%"));
}

TEST_F(AidsSettingsTest, HaloToolbarColourSettingsAndClose)
{
    OverlaySettingsModel settingsModel;
    CursorHaloToolbarView toolbar(preferences, settingsModel);

    auto *well = toolbar.findChild<ColorWellButton *>();
    ASSERT_NE(well, nullptr);
    EXPECT_EQ(well->accessibleName(), QStringLiteral("Halo color"));
    Q_EMIT well->colorPicked(QColor(255, 0, 0));
    EXPECT_EQ(preferences.cursorHaloColor(), (Color{1, 0, 0, 1}));

    auto *settings = toolbar.findChild<ToolbarSelectionButton *>();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->accessibleName(), QStringLiteral("Cursor halo settings"));
    QSignalSpy toggles(&toolbar, &CursorHaloToolbarView::toggleSettingsRequested);
    settings->click();
    EXPECT_EQ(toggles.count(), 1);
    EXPECT_FALSE(settings->isSelected());
    settingsModel.setSettingsVisible(true);
    EXPECT_TRUE(settings->isSelected());

    QToolButton *close = nullptr;
    for (auto *button : toolbar.findChildren<QToolButton *>()) {
        if (button->accessibleName() == QStringLiteral("Close cursor halo")) {
            close = button;
        }
    }
    ASSERT_NE(close, nullptr);
    QSignalSpy closes(&toolbar, &CursorHaloToolbarView::closeRequested);
    close->click();
    EXPECT_EQ(closes.count(), 1);
}

} // namespace
