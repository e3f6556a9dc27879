#include "shell/message_box_alert_presenter.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace zentrel;

TEST(MessageBoxAlertPresenter, ShowsAWarningTitledZentrelAndReportsItsClose)
{
    MessageBoxAlertPresenter presenter;
    int closedCount = 0;
    presenter.present("No active display was found.", [&] { ++closedCount; });

    QMessageBox *alert = presenter.currentAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Zentrel"));
    EXPECT_EQ(alert->text(), QStringLiteral("No active display was found."));
    EXPECT_EQ(alert->icon(), QMessageBox::Warning);
    ASSERT_EQ(alert->buttons().size(), 1);
    EXPECT_EQ(alert->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    // It must show above a feature's always-on-top panels.
    EXPECT_TRUE(alert->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(closedCount, 0);

    alert->button(QMessageBox::Ok)->click();
    EXPECT_EQ(closedCount, 1);
}

TEST(MessageBoxAlertPresenter, ShuttingDownWithAnOpenAlertTellsNobody)
{
    int closedCount = 0;
    {
        MessageBoxAlertPresenter presenter;
        presenter.present("Still open", [&] { ++closedCount; });
    }
    EXPECT_EQ(closedCount, 0);
}
