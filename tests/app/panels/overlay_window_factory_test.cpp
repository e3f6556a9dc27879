#include "panels/overlay_window_factory.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// A projector's screen right of the laptop's, too short for a property panel grown tall.
const QRect projector(1440, 0, 800, 480);

TEST(OverlayWindowFactory, APanelThatChangesItsSizeStaysWholeOnItsScreen)
{
    OverlayWindowFactory factory(projector);
    auto owner = factory.makeOverlayPanel(new QWidget, false);
    auto *content = new QWidget;
    content->setFixedSize(270, 300);
    auto panel = factory.makePropertyPanel(content, owner.get());
    panel->show();
    EXPECT_EQ(panel->geometry(), QRect(1464, 100, 270, 300));

    // Taller content grows the window as soon as the layout hears of it.
    content->setFixedSize(270, 420);
    QApplication::sendPostedEvents();
    EXPECT_EQ(panel->geometry(), QRect(1464, 60, 270, 420)) << "cut off by the screen's edge";

    // Once it shrinks again, so does the window, back in its own place.
    content->setFixedSize(270, 200);
    QApplication::sendPostedEvents();
    EXPECT_EQ(panel->geometry(), QRect(1464, 100, 270, 200));

    // A hidden panel whose content changes shows where its new size fits.
    panel->hide();
    content->setFixedSize(270, 470);
    QApplication::sendPostedEvents();
    panel->show();
    EXPECT_EQ(panel->geometry(), QRect(1464, 10, 270, 470));
}

} // namespace
} // namespace zentrel
