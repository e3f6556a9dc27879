#include "sessions/session_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace zentrel {
namespace {

// Answers the confirmation the way a user at the keyboard would, once it is on screen.
bool confirmAnswering(const std::function<void(QMessageBox &box)> &answer, QString *defaultText)
{
    QWidget parent;
    QTimer::singleShot(0, &parent, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no confirmation shown";
            return;
        }
        *defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        answer(*box);
    });
    QtSessionDialogs dialogs;
    return dialogs.confirmDeletion(&parent,
                                   QStringLiteral("Delete Frame?"),
                                   QStringLiteral("This frame will be removed from the session."));
}

TEST(SessionDialogs, ReturnAndEscapeInADeletionConfirmationCancel)
{
    QString defaultText;
    EXPECT_FALSE(confirmAnswering([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Return); },
                                  &defaultText));
    EXPECT_EQ(defaultText, QStringLiteral("Cancel"));
    EXPECT_FALSE(confirmAnswering([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Escape); },
                                  &defaultText));
}

TEST(SessionDialogs, OnlyAClickOnDeleteConfirms)
{
    QString defaultText;
    EXPECT_TRUE(confirmAnswering(
        [](QMessageBox &box) {
            for (QAbstractButton *button : box.buttons()) {
                if (button->text() == QStringLiteral("Delete")) {
                    button->click();
                }
            }
        },
        &defaultText));
}

} // namespace
} // namespace zentrel
