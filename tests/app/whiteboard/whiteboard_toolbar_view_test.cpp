#include "whiteboard/toolbar/whiteboard_toolbar_view.h"

#include "app/child_widgets.h"
#include "core/whiteboard/editor/editor_test_support.h"
#include "panels/panel_style.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

using testing::EditorFixture;

std::vector<WhiteboardTool> hostedTools()
{
    return {whiteboardToolbarTools.begin(), whiteboardToolbarTools.end()};
}

struct WhiteboardToolbarViewTest : EditorFixture
{
    WhiteboardToolbarView toolbar{*model, false, hostedTools()};
    std::map<std::string, int> calls;

    WhiteboardToolbarViewTest()
    {
        const auto count = [this](const char *name) {
            return [this, name] {
                ++calls[name];
            };
        };
        toolbar.onZoomOut = count("zoomOut");
        toolbar.onZoomIn = count("zoomIn");
        toolbar.onCopy = count("copy");
        toolbar.onExportPNG = count("exportPNG");
        toolbar.onExportSVG = count("exportSVG");
        toolbar.onImportExcalidraw = count("importExcalidraw");
        toolbar.onExportExcalidraw = count("exportExcalidraw");
        toolbar.onAddToSession = count("addToSession");
        toolbar.onClose = count("close");
    }

    WhiteboardButton *button(const QString &name) const
    {
        WhiteboardButton *found = childNamed<WhiteboardButton>(toolbar, name);
        if (found == nullptr) {
            ADD_FAILURE() << "no button " << name.toStdString();
        }
        return found;
    }

    // The menu as it opens now.
    QList<QAction *> menuItems() const
    {
        Q_EMIT toolbar.whiteboardMenu()->aboutToShow();
        return toolbar.whiteboardMenu()->actions();
    }

    QAction *item(const QString &text) const
    {
        for (QAction *action : menuItems()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

    QStringList itemTexts() const
    {
        QStringList texts;
        for (QAction *action : menuItems()) {
            if (!action->isSeparator()) {
                texts << action->text();
            }
        }
        return texts;
    }

    Uuid placeRectangle(double x, bool locked = false)
    {
        WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {x, 0, 20, 20});
        element.isLocked = locked;
        return place(element);
    }

    void setCurrentBoard(const std::function<void(WhiteboardBoard &)> &change)
    {
        WhiteboardLibrary library = model->library();
        change(library.boards[model->currentBoardIndex()]);
        model->setLibrary(std::move(library));
    }

    bool isDark() const { return panelPrimaryColor(toolbar.palette()).lightness() > 128; }
};

TEST_F(WhiteboardToolbarViewTest, ToolButtonsSelectTheirToolAndFollowTheModel)
{
    QStringList names;
    QStringList tips;
    for (auto *candidate : toolbar.findChildren<WhiteboardButton *>()) {
        if (!candidate->badge().isEmpty()) {
            names << candidate->accessibleName();
            tips << candidate->toolTip();
        }
    }
    EXPECT_EQ(names,
              QStringList({"Pan",
                           "Select",
                           "Rectangle",
                           "Diamond",
                           "Ellipse",
                           "Arrow",
                           "Line",
                           "Pen",
                           "Text",
                           "Eraser",
                           "Number"}));
    EXPECT_EQ(tips.front(), "Pan (H)");
    EXPECT_EQ(button("Number")->accessibleDescription(), "Shortcut 0");

    QTest::mouseClick(button("Rectangle"), Qt::LeftButton);
    EXPECT_EQ(model->selectedTool(), WhiteboardTool::rectangle);
    EXPECT_TRUE(button("Rectangle")->isSelected());
    EXPECT_FALSE(button("Select")->isSelected());

    // A key in the canvas moves the selected look at once.
    model->setSelectedTool(WhiteboardTool::text);
    EXPECT_TRUE(button("Text")->isSelected());
    EXPECT_FALSE(button("Rectangle")->isSelected());
}

TEST_F(WhiteboardToolbarViewTest, UndoAndRedoFollowTheHistory)
{
    EXPECT_FALSE(button("Undo")->isEnabled());
    EXPECT_FALSE(button("Redo")->isEnabled());
    testing::addRectangle(*model);
    EXPECT_TRUE(button("Undo")->isEnabled());

    QTest::mouseClick(button("Undo"), Qt::LeftButton);
    EXPECT_TRUE(model->currentBoard().elements.empty());
    EXPECT_FALSE(button("Undo")->isEnabled());
    EXPECT_TRUE(button("Redo")->isEnabled());
    QTest::mouseClick(button("Redo"), Qt::LeftButton);
    EXPECT_EQ(model->currentBoard().elements.size(), 1u);
}

TEST_F(WhiteboardToolbarViewTest, LockButtonUnlocksAMixedSelectionInOneStep)
{
    WhiteboardButton *lock = button("Lock selection");
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_EQ(lock->symbol(), "lock.open");

    const Uuid locked = placeRectangle(0, true);
    const Uuid free = placeRectangle(40);
    model->setSelection({locked, free});
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_EQ(lock->symbol(), "lock.fill");
    EXPECT_EQ(lock->toolTip(), "Unlock selection");
    EXPECT_TRUE(lock->isSelected());
    EXPECT_TRUE(itemTexts().contains("Unlock Selection"));
    EXPECT_FALSE(itemTexts().contains("Lock Selection"));

    QTest::mouseClick(lock, Qt::LeftButton);
    EXPECT_FALSE(element(locked).isLocked);
    EXPECT_FALSE(element(free).isLocked);
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_EQ(lock->toolTip(), "Lock selection");
    EXPECT_FALSE(lock->isSelected());
}

TEST_F(WhiteboardToolbarViewTest, ArrangeItemsFollowTheSelection)
{
    EXPECT_FALSE(item("Group")->isEnabled());
    EXPECT_FALSE(item("Ungroup")->isEnabled());
    EXPECT_FALSE(item("Lock Selection")->isEnabled());

    const Uuid first = placeRectangle(0);
    model->setSelection({first});
    EXPECT_FALSE(item("Group")->isEnabled());
    EXPECT_TRUE(item("Ungroup")->isEnabled());

    const Uuid second = placeRectangle(40);
    model->setSelection({first, second});
    item("Group")->trigger();
    EXPECT_EQ(element(first).groupIDs.size(), 1u);
    item("Lock Selection")->trigger();
    EXPECT_TRUE(element(second).isLocked);

    // Ungrouping a locked selection changes nothing and leaves no step.
    const std::size_t steps = model->undoCount();
    item("Ungroup")->trigger();
    EXPECT_EQ(element(first).groupIDs.size(), 1u);
    EXPECT_EQ(model->undoCount(), steps);
}

TEST_F(WhiteboardToolbarViewTest, BackgroundItemSwitchesTheBoardAndTheColorScheme)
{
    setCurrentBoard(
        [](WhiteboardBoard &board) { board.background = WhiteboardBackground::white(); });
    EXPECT_FALSE(isDark());
    item("Dark Background")->trigger();
    EXPECT_EQ(model->currentBoard().background.kind, WhiteboardBackground::Kind::black);
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_TRUE(isDark());
    EXPECT_NE(item("Light Background"), nullptr);

    // A frozen screen is shown in the light scheme and turns white.
    setCurrentBoard(
        [](WhiteboardBoard &board) { board.background = WhiteboardBackground::withImage(1); });
    EXPECT_FALSE(isDark());
    item("Light Background")->trigger();
    EXPECT_EQ(model->currentBoard().background.kind, WhiteboardBackground::Kind::white);
}

TEST_F(WhiteboardToolbarViewTest, ViewItemsShowGridStateAndZoom)
{
    setCurrentBoard([](WhiteboardBoard &board) {
        board.showsGrid = true;
        board.viewport.scale = 0.125;
        board.viewport.translation = {30, 40};
    });
    item("Hide Grid")->trigger();
    EXPECT_FALSE(model->currentBoard().showsGrid);
    EXPECT_NE(item("Show Grid"), nullptr);

    item("Reset View (13%)")->trigger();
    EXPECT_EQ(model->currentBoard().viewport.scale, 1.0);
    EXPECT_NE(item("Reset View (100%)"), nullptr);
}

TEST_F(WhiteboardToolbarViewTest, MenuItemsCallTheirHostCallbackOnce)
{
    const std::pair<const char *, const char *> rows[] = {
        {"Zoom In", "zoomIn"},
        {"Zoom Out", "zoomOut"},
        {"Save to Session", "addToSession"},
        {"Copy Viewport as PNG", "copy"},
        {"Export PNG", "exportPNG"},
        {"Export SVG", "exportSVG"},
        {"Import .excalidraw", "importExcalidraw"},
        {"Export .excalidraw", "exportExcalidraw"},
        {"Close Whiteboard", "close"},
    };
    for (const auto &[text, callback] : rows) {
        item(QString::fromUtf8(text))->trigger();
        EXPECT_EQ(calls[callback], 1) << text;
    }
    QTest::mouseClick(button("Close"), Qt::LeftButton);
    EXPECT_EQ(calls["close"], 2);
    EXPECT_EQ(calls.size(), std::size(rows));
}

TEST_F(WhiteboardToolbarViewTest, BoardsSubmenuMarksOnlyTheCurrentBoard)
{
    model->addBoard();
    model->renameBoard("Same");
    model->addBoard();
    model->renameBoard("Same");
    QMenu *boards = item("Boards")->menu();
    ASSERT_NE(boards, nullptr);
    ASSERT_EQ(boards->actions().size(), 3);
    int marked = 0;
    for (QAction *entry : boards->actions()) {
        marked += entry->icon().isNull() ? 0 : 1;
    }
    EXPECT_EQ(marked, 1);
    EXPECT_FALSE(boards->actions().back()->icon().isNull());

    boards->actions().front()->trigger();
    EXPECT_EQ(model->currentBoard().id, model->library().boards.front().id);
}

TEST_F(WhiteboardToolbarViewTest, RenameAlertRenamesOnlyOnRename)
{
    item("Rename Board")->trigger();
    WhiteboardTextAlert *alert = toolbar.renameAlert();
    EXPECT_TRUE(toolbar.isRenamingBoard());
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->field()->text(), QString::fromStdString(model->currentBoard().name));
    EXPECT_EQ(alert->field()->placeholderText(), "Board name");

    alert->field()->setText("Plans");
    alert->findChildren<QPushButton *>().front()->click(); // Cancel
    EXPECT_FALSE(toolbar.isRenamingBoard());
    EXPECT_NE(model->currentBoard().name, "Plans");
    EXPECT_EQ(toolbar.boardNameDraft(), "Plans");

    item("Rename Board")->trigger();
    alert->field()->setText("  Plans  ");
    alert->findChildren<QPushButton *>().back()->click(); // Rename
    EXPECT_EQ(model->currentBoard().name, "Plans");
    EXPECT_FALSE(alert->isVisible());
}

TEST_F(WhiteboardToolbarViewTest, RenumberNeedsMarkersAndDeleteNeedsNoConfirmation)
{
    EXPECT_FALSE(button("Renumber markers")->isEnabled());
    WhiteboardElement marker = shape(WhiteboardElementKind::marker, {0, 0, 30, 30});
    marker.markerNumber = 7;
    const Uuid id = place(marker);
    EXPECT_TRUE(button("Renumber markers")->isEnabled());
    QTest::mouseClick(button("Renumber markers"), Qt::LeftButton);
    EXPECT_EQ(element(id).markerNumber, 1);

    const Uuid before = model->currentBoard().id;
    item("Delete Board")->trigger();
    EXPECT_EQ(model->library().boards.size(), 1u);
    EXPECT_NE(model->currentBoard().id, before);
    EXPECT_FALSE(button("Renumber markers")->isEnabled());
}

TEST_F(WhiteboardToolbarViewTest, FreezeModeOffersCopySaveAndSessionInsteadOfTheMenu)
{
    WhiteboardToolbarView freeze{*model, true, hostedTools()};
    int copies = 0;
    int saves = 0;
    int frames = 0;
    freeze.onCopy = [&] {
        ++copies;
    };
    freeze.onExportPNG = [&] {
        ++saves;
    };
    freeze.onAddToSession = [&] {
        ++frames;
    };
    EXPECT_EQ(freeze.whiteboardMenu(), nullptr);

    QStringList names;
    for (auto *candidate : freeze.findChildren<WhiteboardButton *>()) {
        names << candidate->accessibleName();
    }
    EXPECT_FALSE(names.contains("Whiteboard menu"));
    EXPECT_EQ(names.mid(names.size() - 4),
              QStringList({"Copy PNG", "Save PNG", "Save to Session", "Close"}));
    EXPECT_EQ(names.count(), 1 + 11 + 3 + 4);
    for (auto *candidate : freeze.findChildren<WhiteboardButton *>()) {
        if (candidate->accessibleName() == "Copy PNG" || candidate->accessibleName() == "Save PNG"
            || candidate->accessibleName() == "Save to Session") {
            QTest::mouseClick(candidate, Qt::LeftButton);
        }
    }
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(frames, 1);
    // Nothing set for close: the click is ignored rather than failing.
    for (auto *candidate : freeze.findChildren<WhiteboardButton *>()) {
        if (candidate->accessibleName() == "Close") {
            QTest::mouseClick(candidate, Qt::LeftButton);
        }
    }
}

} // namespace
} // namespace zentrel
