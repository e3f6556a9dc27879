#include "common/settings/memory_defaults_store.h"
#include "fakes/temporary_directory.h"
#include "overlay/overlay_window_controller.h"
#include "shell/app_preferences.h"
#include "shell/message_box_alert_presenter.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"
#include "whiteboard/toolbar/whiteboard_toolbar_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include <gtest/gtest.h>

#include <fstream>

namespace zentrel {
namespace {

WhiteboardCanvasView *runningCanvas()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *canvas = window->findChild<WhiteboardCanvasView *>();
            canvas && window->isVisible()) {
            return canvas;
        }
    }
    return nullptr;
}

// A whiteboard run on an offscreen screen, its library in a data folder of its own: tests run
// side by side, and a shared library let one test's board turn up in another's.
class OverlayWhiteboardTest : public testing::Test
{
protected:
    OverlayWhiteboardTest()
    {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome.path().string()));
        preferences.setDrawingColor({1, 0, 0, 1});
        controller.start(AppMode::whiteboard);
    }

    ~OverlayWhiteboardTest() override
    {
        controller.close();
        qunsetenv("XDG_DATA_HOME");
    }

    // Preference changes reach the editor after the assignment has returned.
    static void settle() { QTest::qWait(1); }

    static void chooseFromWhiteboardMenu(const QString &item)
    {
        WhiteboardToolbarView *toolbar = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            toolbar = toolbar ? toolbar : window->findChild<WhiteboardToolbarView *>();
        }
        ASSERT_NE(toolbar, nullptr);
        Q_EMIT toolbar->whiteboardMenu()->aboutToShow();
        for (QAction *action : toolbar->whiteboardMenu()->actions()) {
            if (action->text() == item) {
                action->trigger();
            }
        }
    }

    TemporaryDirectory dataHome;
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    SystemClock clock;
    TemporaryDirectory sessions;
    std::vector<std::string> errors;
    bool exited = false;
    UnsavedWhiteboardLibrary unsavedWhiteboard;
    OverlayWindowController controller = makeController();

    // A run as the program makes them: one after another, all with the same unsaved holder.
    OverlayWindowController makeController()
    {
        return {QRect(0, 0, 640, 400),
                preferences,
                SessionStore(sessions.path(),
                             clock,
                             [] { return Uuid::generate(systemUuidRandomSource()); }),
                unsavedWhiteboard,
                {[this] { exited = true; },
                 [this](const std::string &text) {
                     errors.push_back(text);
                 }}};
    }
};

TEST_F(OverlayWhiteboardTest, StartsBlackAndTakesOnlyTheDrawingSettingsThatChanged)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    WhiteboardEditorModel &model = canvas->model();
    EXPECT_EQ(model.drawingColor(), (Color{0, 0, 0, 1}));
    const auto seed = canvas->roughPathGenerator()->seed();

    preferences.setCursorHaloSize(preferences.cursorHaloSize() + 10);
    settle();
    EXPECT_EQ(model.drawingColor(), (Color{0, 0, 0, 1}));
    EXPECT_EQ(canvas->roughPathGenerator()->seed(), seed);

    preferences.setDrawingColor({0, 0, 1, 1});
    settle();
    EXPECT_EQ(model.drawingColor(), (Color{0, 0, 1, 1}));
    EXPECT_EQ(canvas->roughPathGenerator()->seed(), seed);

    preferences.setRoughnessLevel(RoughnessLevel::high);
    settle();
    EXPECT_EQ(model.roughness(), 3);
    EXPECT_NE(canvas->roughPathGenerator()->seed(), seed);
}

// The board paints every pixel of its window, which is then never cleared or blended before a
// frame; the floating panels keep their clear corners.
TEST_F(OverlayWhiteboardTest, TheBoardWindowIsOpaqueUnderTranslucentPanels)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(canvas->window()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(canvas->window()->windowHandle()->format().hasAlpha());
    int panels = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != canvas->window()) {
            EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
            ++panels;
        }
    }
    EXPECT_GT(panels, 0);
}

TEST_F(OverlayWhiteboardTest, ActionsReachTheEditorAndCloseSavesTheBoard)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    WhiteboardEditorModel &model = canvas->model();
    controller.performAction(PresentationAction::selectTool(PresentationTool::pen));
    EXPECT_EQ(model.selectedTool(), WhiteboardTool::freedraw);

    finishShape(model, WhiteboardElementKind::rectangle, {10, 10}, {60, 40});
    controller.performAction({PresentationAction::Kind::undo, {}, {}});
    EXPECT_TRUE(model.currentBoard().elements.empty());
    controller.performAction({PresentationAction::Kind::redo, {}, {}});
    ASSERT_EQ(model.currentBoard().elements.size(), 1u);
    // A copy that reached the clipboard is not reported as refused.
    QGuiApplication::clipboard()->clear();
    controller.performAction({PresentationAction::Kind::copyCurrentCanvas, {}, {}});
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_FALSE(QImage::fromData(copied->data(QStringLiteral("image/png"))).isNull());

    controller.close();
    EXPECT_TRUE(exited);
    const WhiteboardLibrary saved = *model.store().load();
    EXPECT_EQ(saved.currentBoard()->elements.size(), 1u);
    EXPECT_TRUE(errors.empty());
}

// A folder where the library file goes cannot be replaced, even by root.
TEST_F(OverlayWhiteboardTest, AShapeThatClosingCouldNotSaveIsToldAndComesBackInTheNextRun)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    const std::filesystem::path libraryFile = canvas->model().store().libraryPath();
    std::filesystem::remove(libraryFile);
    std::filesystem::create_directories(libraryFile);
    finishShape(canvas->model(), WhiteboardElementKind::rectangle, {10, 10}, {60, 40});

    controller.close();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("The whiteboard could not be saved: ", 0), 0u) << errors[0];
    ASSERT_TRUE(unsavedWhiteboard.hasLibrary());

    OverlayWindowController next = makeController();
    next.start(AppMode::whiteboard);
    canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->model().currentBoard().elements.size(), 1u);
    std::filesystem::remove(libraryFile);
    // Another program writes the library meanwhile: its version is kept aside and the user told.
    std::ofstream(libraryFile) << "theirs";
    next.close();
    EXPECT_FALSE(unsavedWhiteboard.hasLibrary());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].rfind("Another program changed the whiteboard library", 0), 0u)
        << errors[1];
    EXPECT_EQ(canvas->model().store().load()->currentBoard()->elements.size(), 1u);
}

TEST_F(OverlayWhiteboardTest, TextStillBeingTypedIsSavedWhenTheRunCloses)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    WhiteboardEditorModel &model = canvas->model();
    model.setSelectedTool(WhiteboardTool::text);
    canvas->beginNewText({40, 40});
    ASSERT_NE(canvas->textEditor(), nullptr);
    QTest::keyClicks(canvas->textEditor(), "Hello");

    controller.close();
    const WhiteboardLibrary saved = *model.store().load();
    ASSERT_EQ(saved.currentBoard()->elements.size(), 1u);
    EXPECT_EQ(saved.currentBoard()->elements.front()->text, "Hello");
}

TEST_F(OverlayWhiteboardTest, TextBeingTypedStaysOnItsBoardWhenTheMenuMakesAnother)
{
    WhiteboardCanvasView *canvas = runningCanvas();
    ASSERT_NE(canvas, nullptr);
    WhiteboardEditorModel &model = canvas->model();
    const Uuid typedOn = model.currentBoard().id;
    model.setSelectedTool(WhiteboardTool::text);
    canvas->beginNewText({40, 40});
    ASSERT_NE(canvas->textEditor(), nullptr);
    QTest::keyClicks(canvas->textEditor(), "Hello");

    ASSERT_NO_FATAL_FAILURE(chooseFromWhiteboardMenu(QStringLiteral("New Board")));
    ASSERT_NE(model.currentBoard().id, typedOn);
    const WhiteboardBoard &first = model.library().boards.front();
    ASSERT_EQ(first.id, typedOn);
    ASSERT_EQ(first.elements.size(), 1u);
    EXPECT_EQ(first.elements.front()->text, "Hello");
}

// A command that ends by handing the keyboard back to the canvas leaves it with an alert that is
// up, as an import that made placeholders does: where no window manager hands it back, the
// alert could not be answered from the keyboard, and Escape would close the run instead.
TEST_F(OverlayWhiteboardTest, AnAlertUpKeepsTheKeyboardWhenACommandEnds)
{
    MessageBoxAlertPresenter alerts;
    alerts.present("Imported with 2 unsupported element(s).", {}, [](AlertOutcome) {});
    const QMessageBox *alert = alerts.currentAlert();
    ASSERT_NE(alert, nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == alert->windowHandle(); }));

    ASSERT_NO_FATAL_FAILURE(chooseFromWhiteboardMenu(QStringLiteral("Save to Session")));
    settle();
    EXPECT_EQ(QGuiApplication::focusWindow(), alert->windowHandle());
    EXPECT_TRUE(errors.empty());
}

} // namespace
} // namespace zentrel
