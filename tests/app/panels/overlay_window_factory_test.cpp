#include "panels/overlay_window_factory.h"

#include "panels/panel_scroll_area.h"

#include <QApplication>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// A projector's screen right of the laptop's, too short for a property panel grown tall.
const QRect projector(1440, 0, 800, 480);
// 100 below the top, 8 above the foot.
constexpr int propertyRoom = 372;

// Once the window has heard of its content's new size: the content tells its scroll area, which
// tells the window, each after the event before.
void relayOut()
{
    QApplication::sendPostedEvents();
    QApplication::sendPostedEvents();
}

PanelScrollArea *scrollAreaOf(const OverlayPanel &panel)
{
    return panel.findChild<PanelScrollArea *>();
}

TEST(OverlayWindowFactory, APanelThatChangesItsSizeStaysWholeOnItsScreen)
{
    OverlayWindowFactory factory(projector);
    auto owner = factory.makeOverlayPanel(new QWidget, false);
    // Its controls in a layout, as every panel's are.
    auto *content = new QWidget;
    auto *controls = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(controls);
    controls->setFixedSize(270, 300);
    auto panel = factory.makePropertyPanel(content, owner.get());
    panel->show();
    EXPECT_EQ(panel->geometry(), QRect(1464, 100, 270, 300));

    // Taller content than the room below its place: the window keeps its place and as much
    // height as the room has, and the rest scrolls into view.
    controls->setFixedSize(270, 420);
    relayOut();
    EXPECT_EQ(panel->geometry().topLeft(), QPoint(1464, 100));
    EXPECT_EQ(panel->height(), propertyRoom) << "cut off by the screen's edge";
    EXPECT_GE(panel->width(), 270) << "the content is cut off by its scroll bar";
    PanelScrollArea *scrollArea = scrollAreaOf(*panel);
    ASSERT_NE(scrollArea, nullptr);
    EXPECT_EQ(scrollArea->verticalScrollBar()->maximum(), 420 - propertyRoom);

    // Once it shrinks again, so does the window, back in its own place.
    controls->setFixedSize(270, 200);
    relayOut();
    EXPECT_EQ(panel->geometry(), QRect(1464, 100, 270, 200));

    // A hidden panel whose content changes shows where its new size fits.
    panel->hide();
    controls->setFixedSize(270, 470);
    relayOut();
    panel->show();
    EXPECT_EQ(panel->geometry().topLeft(), QPoint(1464, 100));
    EXPECT_EQ(panel->height(), propertyRoom);
}

TEST(OverlayWindowFactory, PanelsKeepBelowTheToolbar)
{
    OverlayWindowFactory factory(projector);
    auto owner = factory.makeOverlayPanel(new QWidget, false);
    // A toolbar of two rows, reaching down past where the panels usually begin.
    const QRect toolbar(1440 + 130, 40, 540, 96);

    auto *properties = new QWidget;
    properties->setFixedSize(270, 300);
    auto propertyPanel = factory.makePropertyPanel(properties, owner.get(), toolbar);
    propertyPanel->show();
    EXPECT_EQ(propertyPanel->geometry(), QRect(1464, 138, 270, 300));

    auto *settings = new QWidget;
    settings->setFixedSize(322, 400);
    auto settingsPanel = factory.makeSettingsPanel(settings, owner.get(), toolbar);
    settingsPanel->show();
    EXPECT_EQ(settingsPanel->y(), 138);
    EXPECT_EQ(settingsPanel->height(), 480 - 8 - 138);
    EXPECT_FALSE(settingsPanel->geometry().intersects(toolbar));
    EXPECT_TRUE(projector.contains(settingsPanel->geometry()));
}

} // namespace
} // namespace zentrel
