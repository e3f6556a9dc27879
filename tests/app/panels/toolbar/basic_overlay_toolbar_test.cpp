#include "panels/toolbar/basic_overlay_toolbar.h"

#include "app/child_widgets.h"
#include "overlay/overlay_settings_model.h"
#include "panels/toolbar/toolbar_selection_button.h"

#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

class BasicOverlayToolbarTest : public testing::Test
{
protected:
    QToolButton *button(const QString &accessibleName) const
    {
        return childNamed<QToolButton>(toolbar, accessibleName);
    }

    OverlaySettingsModel settingsModel;
    BasicOverlayToolbar toolbar{
        settingsModel, QStringLiteral("Spotlight settings"), QStringLiteral("Close spotlight")};
};

TEST_F(BasicOverlayToolbarTest, ButtonsCarryTheGivenLabels)
{
    ASSERT_NE(button(QStringLiteral("Spotlight settings")), nullptr);
    EXPECT_EQ(button(QStringLiteral("Spotlight settings"))->toolTip(),
              QStringLiteral("Spotlight settings"));
    EXPECT_EQ(button(QStringLiteral("Close spotlight"))->toolTip(),
              QStringLiteral("Close spotlight"));
}

TEST_F(BasicOverlayToolbarTest, ButtonsReportTheirPresses)
{
    QSignalSpy toggles(&toolbar, &BasicOverlayToolbar::toggleSettingsRequested);
    QSignalSpy closes(&toolbar, &BasicOverlayToolbar::closeRequested);
    button(QStringLiteral("Spotlight settings"))->click();
    button(QStringLiteral("Close spotlight"))->click();
    EXPECT_EQ(toggles.count(), 1);
    EXPECT_EQ(closes.count(), 1);
}

TEST_F(BasicOverlayToolbarTest, SettingsButtonFollowsThePanelWhoeverChangesIt)
{
    auto *settings =
        qobject_cast<ToolbarSelectionButton *>(button(QStringLiteral("Spotlight settings")));
    ASSERT_NE(settings, nullptr);
    settings->click();
    EXPECT_FALSE(settings->isSelected());
    settingsModel.setSettingsVisible(true);
    EXPECT_TRUE(settings->isSelected());
    settingsModel.setSettingsVisible(false);
    EXPECT_FALSE(settings->isSelected());
}

} // namespace
