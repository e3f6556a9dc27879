#include "shell/onboarding_window.h"

#include "fakes/fake_permission_probe.h"
#include "shell/permission_manager.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

QAbstractButton *button(const QWidget &parent, const QString &text)
{
    for (QAbstractButton *candidate : parent.findChildren<QAbstractButton *>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

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

    button(window, QStringLiteral("Continue"))->click();
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
    EXPECT_NE(button(window, QStringLiteral("Request")), nullptr);

    button(window, QStringLiteral("Continue"))->click();
    QMessageBox *question = window.missingPermissionsQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Continue Without Required Permissions?"));
    button(*question, QStringLiteral("Back"))->click();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.isVisible());

    button(window, QStringLiteral("Continue"))->click();
    button(*window.missingPermissionsQuestion(), QStringLiteral("Continue Anyway"))->click();
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
    button(window, QStringLiteral("Refresh Status"))->click();
    EXPECT_EQ(probe.reads, before + 2);
}

} // namespace
