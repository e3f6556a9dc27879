#include "drawing/drawing_toolbar_view.h"

#include "app/child_widgets.h"
#include "common/settings/memory_defaults_store.h"
#include "drawing/drawing_toolbar_model.h"
#include "overlay/overlay_settings_model.h"
#include "panels/toolbar/toolbar_selection_button.h"
#include "shell/app_preferences.h"
#include "shell/presentation_color.h"

#include <QApplication>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

class DrawingToolbarViewTest : public testing::Test
{
protected:
    QAbstractButton *button(const QString &accessibleName) const
    {
        return childNamed(toolbar, accessibleName);
    }

    ToolbarSelectionButton *selectionButton(const QString &accessibleName) const
    {
        return qobject_cast<ToolbarSelectionButton *>(button(accessibleName));
    }

    QStringList selectedNames() const
    {
        QStringList names;
        for (auto *candidate : toolbar.findChildren<ToolbarSelectionButton *>()) {
            if (candidate->isSelected()) {
                names << candidate->accessibleName();
            }
        }
        return names;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    DrawingToolbarModel model;
    OverlaySettingsModel settingsModel;
    DrawingToolbarView toolbar{model, preferences, settingsModel};
};

TEST_F(DrawingToolbarViewTest, ToolButtonsAreTheEightToolsWithTheirDigits)
{
    QStringList tips;
    for (auto *candidate : toolbar.findChildren<ToolbarSelectionButton *>()) {
        if (!candidate->badge().isEmpty()) {
            tips << candidate->toolTip();
        }
    }
    EXPECT_EQ(tips.join(','),
              QStringLiteral("Pen (1),Arrow (2),Rectangle (3),Ellipse (4),Diamond (5),Line (6),"
                             "Number (7),Eraser (8)"));
    EXPECT_EQ(selectionButton(QStringLiteral("Eraser"))->accessibleDescription(),
              QStringLiteral("Shortcut 8"));
    EXPECT_EQ(selectionButton(QStringLiteral("Eraser"))->badge(), QStringLiteral("8"));
}

TEST_F(DrawingToolbarViewTest, PressingAToolSetsTheModelAndTheSelectionFollows)
{
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("Pen")});
    selectionButton(QStringLiteral("Diamond"))->click();
    EXPECT_EQ(model.selectedTool(), DrawingTool::diamond);
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("Diamond")});

    selectionButton(QStringLiteral("Diamond"))->click();
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("Diamond")});

    // A digit typed on the canvas reaches the toolbar through the shared model.
    model.setSelectedTool(DrawingTool::number);
    EXPECT_EQ(selectedNames(), QStringList{QStringLiteral("Number")});
}

TEST_F(DrawingToolbarViewTest, SettingsButtonFollowsThePanel)
{
    QSignalSpy toggles(&toolbar, &DrawingToolbarView::toggleSettingsRequested);
    selectionButton(QStringLiteral("Draw settings"))->click();
    EXPECT_EQ(toggles.count(), 1);
    EXPECT_FALSE(selectionButton(QStringLiteral("Draw settings"))->isSelected());
    settingsModel.setSettingsVisible(true);
    EXPECT_TRUE(selectionButton(QStringLiteral("Draw settings"))->isSelected());
}

TEST_F(DrawingToolbarViewTest, EachActionButtonReportsOncePerPress)
{
    const std::pair<const char *, void (DrawingToolbarView::*)()> actions[] = {
        {"Undo", &DrawingToolbarView::undoRequested},
        {"Redo", &DrawingToolbarView::redoRequested},
        {"Clear drawing", &DrawingToolbarView::clearRequested},
        {"Save to Session", &DrawingToolbarView::addToSessionRequested},
        {"Close drawing", &DrawingToolbarView::closeRequested},
    };
    for (const auto &[name, signal] : actions) {
        QSignalSpy spy(&toolbar, signal);
        QAbstractButton *action = button(QString::fromUtf8(name));
        ASSERT_NE(action, nullptr) << name;
        action->click();
        EXPECT_EQ(spy.count(), 1) << name;
    }
    EXPECT_EQ(model.selectedTool(), DrawingTool::freehand);
    EXPECT_EQ(button(QStringLiteral("Save to Session"))->toolTip(),
              QStringLiteral("Save visible frame to current session"));
}

TEST_F(DrawingToolbarViewTest, PaletteWritesTheDrawingColour)
{
    button(QStringLiteral("Yellow drawing color"))->click();
    EXPECT_EQ(preferences.drawingColor(), systemColor(PresentationColor::yellow));
}

} // namespace

namespace {

// Where the button is within the toolbar.
QRect frameIn(const QWidget &toolbar, const QWidget *button)
{
    return QRect(button->mapTo(&toolbar, QPoint(0, 0)), button->size());
}

// The toolbar's size once it is laid out for `width`, as a window shows it.
QSize fittedWithin(DrawingToolbarView &toolbar, int width)
{
    toolbar.fitWithin(width);
    toolbar.show();
    QApplication::sendPostedEvents();
    toolbar.adjustSize();
    QApplication::sendPostedEvents();
    return toolbar.size();
}

} // namespace

TEST_F(DrawingToolbarViewTest, BreaksIntoRowsWithinANarrowScreenKeepingEveryButton)
{
    const QSize oneRow = toolbar.sizeHint();
    // As wide as on a 1080p monitor: one row, as before.
    EXPECT_EQ(fittedWithin(toolbar, 1904), oneRow);

    // Narrower than the strip: the tools on a row of their own, the rest below.
    const int limit = oneRow.width() - 100;
    fittedWithin(toolbar, limit);
    EXPECT_LE(toolbar.width(), limit);
    EXPECT_GT(toolbar.height(), oneRow.height());
    const QRect pen = frameIn(toolbar, button(QStringLiteral("Pen")));
    const QRect close = frameIn(toolbar, button(QStringLiteral("Close drawing")));
    EXPECT_TRUE(toolbar.rect().contains(close));
    EXPECT_GT(close.top(), pen.bottom()) << "the close button is not on the second row";
    EXPECT_TRUE(toolbar.rect().contains(frameIn(toolbar, button(QStringLiteral("Draw settings")))));

    // Wide again: one row.
    EXPECT_EQ(fittedWithin(toolbar, 1904), oneRow);
}
