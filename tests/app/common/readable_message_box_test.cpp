#include "common/readable_message_box.h"

#include "shell/message_box_alert_presenter.h"

#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// The program's longest error: a load failure that names the library file.
const QString longestError = QStringLiteral(
    "The whiteboard library could not be loaded: "
    "\"/home/someone/.local/share/Zentrel/WhiteboardLibrary.json\" is damaged and could not be "
    "set aside, so the whiteboard is not saved over it.");

// The lines the box's label shows its text on, once the box is on screen: each line beyond the
// first adds a line's spacing to the height the label asks for.
int shownLines(QMessageBox &box, const QString &labelName)
{
    box.show();
    const auto *label = box.findChild<QLabel *>(labelName);
    if (!label) {
        ADD_FAILURE() << "no label " << labelName.toStdString();
        return 0;
    }
    const int oneLine = label->heightForWidth(QWIDGETSIZE_MAX);
    return 1
           + (label->heightForWidth(label->width()) - oneLine) / label->fontMetrics().lineSpacing();
}

TEST(ReadableMessageBox, AnErrorUnderTheProgramsNameWrapsOnTwoOrThreeLines)
{
    MessageBoxAlertPresenter presenter;
    presenter.present(longestError.toStdString(), {}, [](AlertOutcome) {});
    QMessageBox *alert = presenter.currentAlert();
    ASSERT_NE(alert, nullptr);
    const int lines = shownLines(*alert, QStringLiteral("qt_msgbox_informativelabel"));
    EXPECT_GE(lines, 2);
    EXPECT_LE(lines, 3) << "in an alert " << alert->width() << " px wide";
    const int longWidth = alert->width();

    // A short one keeps its line and a box no wider than it needs.
    presenter.present("The canvas could not be rendered.", {}, [](AlertOutcome) {});
    alert = presenter.currentAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(shownLines(*alert, QStringLiteral("qt_msgbox_informativelabel")), 1);
    EXPECT_LT(alert->width(), longWidth);
}

TEST(ReadableMessageBox, AMainTextAloneWrapsOnTwoOrThreeLines)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Session Error"), longestError);
    setReadableWidth(box);
    const int lines = shownLines(box, QStringLiteral("qt_msgbox_label"));
    EXPECT_GE(lines, 2);
    EXPECT_LE(lines, 3) << "in a box " << box.width() << " px wide";
}

} // namespace
} // namespace zentrel
