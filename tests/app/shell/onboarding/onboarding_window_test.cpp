#include "shell/onboarding/onboarding_window.h"

#include "app/child_widgets.h"
#include "fakes/fake_permission_probe.h"
#include "shell/onboarding/permission_manager.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

class OnboardingWindowTest : public testing::Test
{
protected:
    FakePermissionProbe probe;
    PermissionManager permissions{probe};
};

TEST_F(OnboardingWindowTest, ContinuingWithBothPermissionsFinishesOnceAndCloses)
{
    OnboardingWindow window(permissions);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Welcome to Zentrel"));
    EXPECT_EQ(window.size(), QSize(520, 430));
    window.show();
    QSignalSpy finished(&window, &OnboardingWindow::finished);

    childWithText(window, QStringLiteral("Continue"))->click();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(finished.count(), 1) << "its own close does not count again";
}

TEST_F(OnboardingWindowTest, MissingPermissionsAskFirstAndBackKeepsTheWindow)
{
    probe.keys = PermissionStatus{false, "The X server lacks the XInput 2 extension."};
    permissions.refresh();
    OnboardingWindow window(permissions);
    window.show();
    QSignalSpy finished(&window, &OnboardingWindow::finished);
    EXPECT_NE(childWithText(window, QStringLiteral("Request")), nullptr);

    childWithText(window, QStringLiteral("Continue"))->click();
    QMessageBox *question = window.missingPermissionsQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Continue Without Required Permissions?"));
    childWithText(*question, QStringLiteral("Back"))->click();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.isVisible());

    childWithText(window, QStringLiteral("Continue"))->click();
    childWithText(*window.missingPermissionsQuestion(), QStringLiteral("Continue Anyway"))->click();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
}

TEST_F(OnboardingWindowTest, ClosingFirstFinishesAsNotCompleted)
{
    OnboardingWindow window(permissions);
    window.show();
    QSignalSpy finished(&window, &OnboardingWindow::finished);
    window.close();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
}

TEST_F(OnboardingWindowTest, RefreshStatusReadsThePermissionsAgain)
{
    OnboardingWindow window(permissions);
    const int before = probe.reads;
    childWithText(window, QStringLiteral("Refresh Status"))->click();
    EXPECT_EQ(probe.reads, before + 2);
}

} // namespace
