#include "overlay/export_file_name.h"
#include "overlay/panel_placement.h"

#include <gtest/gtest.h>

using namespace zentrel;

TEST(ExportFileName, NamesTheFeatureAndTheLocalTimeWithDots)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 14;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 7;
    EXPECT_EQ(exportFileName("Draw", "png", time), "Zentrel Draw 2026-03-14 09.05.07.png");
    EXPECT_EQ(exportFileName("Whiteboard", "excalidraw", time),
              "Zentrel Whiteboard 2026-03-14 09.05.07.excalidraw");
}

TEST(PanelPlacement, PlacesEachPanelKindOnItsScreen)
{
    // A second screen below and to the right of the first, so offsets must follow both of the
    // screen's origin coordinates.
    const RectF screen{1920, 1080, 1280, 800};
    EXPECT_EQ(panelFrame(PanelKind::toolbar, screen, {400, 50}), (RectF{2360, 1120, 400, 50}));
    EXPECT_EQ(panelFrame(PanelKind::property, screen, {220, 300}), (RectF{1944, 1180, 220, 300}));
    EXPECT_EQ(panelFrame(PanelKind::settings, screen, {300, 200}), (RectF{2410, 1176, 300, 200}));
    // Never narrower than 260, and still centred.
    EXPECT_EQ(panelFrame(PanelKind::settings, screen, {120, 200}), (RectF{2430, 1176, 260, 200}));
    EXPECT_EQ(panelFrame(PanelKind::card, screen, {500, 540}), (RectF{2310, 1210, 500, 540}));
}

TEST(PanelPlacement, KeepsEveryPanelOnASmallScreen)
{
    // A 1280 x 800 projector at scale 2, right of the main screen.
    const RectF projector{1440, 0, 640, 400};
    // Wider than the screen: its leading edge on the screen's, nothing on the next monitor.
    EXPECT_EQ(panelFrame(PanelKind::toolbar, projector, {892, 54}), (RectF{1440, 40, 892, 54}));
    // Taller than the screen below its placement: moved up, never above the top.
    EXPECT_EQ(panelFrame(PanelKind::property, projector, {270, 487}), (RectF{1464, 0, 270, 487}));
    EXPECT_EQ(panelFrame(PanelKind::settings, projector, {260, 350}), (RectF{1630, 50, 260, 350}));
    EXPECT_EQ(panelFrame(PanelKind::card, {0, 0, 800, 600}, {500, 640}), (RectF{150, 0, 500, 640}));
}
