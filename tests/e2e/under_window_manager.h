#pragma once

#include "e2e/drawing_test.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>

namespace zentrel {

// Every scenario in which the user clicks a toolbar or panel, or types after such a click, on a
// bare X server and under each window manager our users run.
class UnderWindowManager : public DrawingTest, public testing::WithParamInterface<WindowManager>
{
protected:
    // Where a drag draws a shape: clear of every toolbar and panel.
    static inline const QRect shapeDrag{QPoint(420, 300), QPoint(720, 500)};
    // The whiteboard toolbar's rectangle tool, from the toolbar's top-left corner.
    static inline const QPoint boardRectangleTool{150, 27};

    // A hand-drawn stroke along the top edge of the shape dragged over area; a freehand stroke
    // along the drag's diagonal never shows this.
    static testing::AssertionResult
    showsTopEdge(const QImage &screen, const QRect &area, const QColor &colour);

    void SetUp() override;

    enum class Shows {
        overlayAndToolbar,
        // An overlay that lets every click through, so the pointer never finds it.
        clickThroughOverlayAndToolbar,
        onlyItsCard,
    };

    // Opens the feature by command URL; returns once its main window and, where it has one,
    // its toolbar are on screen and painted.
    void
    openFeature(const QString &url, const QString &title, Shows shows = Shows::overlayAndToolbar);

    // A window named `name` shown now that was not shown before.
    std::optional<TopLevelWindow> waitForNew(const std::set<std::uint32_t> &before,
                                             const QString &name);

    // The first shown window that `matches`, once there is one.
    std::optional<TopLevelWindow>
    waitForWindow(const std::function<bool(const TopLevelWindow &)> &matches);

    // The pointer at `at` finds the window, or the window manager's frame around it, on top:
    // where a click there would go.
    testing::AssertionResult pointerFinds(const TopLevelWindow &window, QPoint at);

    // Waits until the window manager has put the window in its place and shows it on top there
    // (the pointer at its middle finds it), and updates `window` to where it is.
    testing::AssertionResult settle(TopLevelWindow &window);

    // Clicks `at`, once the pointer there finds `window`.
    void clickOn(const TopLevelWindow &window, QPoint at);

    void dragOver(const QRect &area);

    // Whatever `saved` reads from the program's files, once `holds` says it is as expected.
    template <typename Saved>
    auto waitForSaved(Saved saved, const std::function<bool(decltype(saved()))> &holds)
    {
        const QDeadlineTimer deadline(savedTimeoutMs);
        auto value = saved();
        while (!holds(value) && !deadline.hasExpired()) {
            QThread::msleep(savedPollMs);
            value = saved();
        }
        return value;
    }

    QJsonArray waitForElements(int count);

    // The screen once it shows the shape's top edge, kept as this window manager's picture of
    // the feature.
    QImage screenWithEdge(const QRect &area, const QColor &colour, const QString &feature);

    std::optional<TopLevelWindow> propertyPanel();

    // Opens the whiteboard or Zevizu & Vozurir, picks the rectangle on its toolbar and drags a
    // shape; returns where the tool's button is.
    QPoint drawWithToolbarRectangle(const QString &url, const QString &title);

    // Settings button, then close button, of a feature whose toolbar has both.
    void settingsThenClose(QPoint settings, QPoint close);

    static constexpr int savedTimeoutMs = 5000;
    static constexpr qint64 savedPollMs = 50;

    TopLevelWindow m_main;
};

} // namespace zentrel
