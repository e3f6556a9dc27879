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
    // Taller than the screen below its placement: kept there, as tall as the room down to the
    // screen's margin, where it scrolls; moved up it would lie over the toolbar.
    EXPECT_EQ(panelFrame(PanelKind::property, projector, {270, 487}), (RectF{1464, 100, 270, 292}));
    EXPECT_EQ(panelFrame(PanelKind::settings, projector, {260, 350}), (RectF{1630, 96, 260, 296}));
    EXPECT_EQ(panelHeightLimit(PanelKind::property, projector, 270), 292);
    EXPECT_EQ(panelFrame(PanelKind::card, {0, 0, 800, 600}, {500, 640}), (RectF{150, 0, 500, 640}));
}

TEST(PanelPlacement, KeepsPanelsBelowTheirToolbar)
{
    // 1080p at 200 %: the whiteboard's toolbar of one row leaves the property panel in its place,
    // as tall as the room below it.
    const RectF doubled{0, 0, 960, 540};
    const RectF boardToolbar = panelFrame(PanelKind::toolbar, doubled, {678, 54});
    EXPECT_EQ(boardToolbar, (RectF{141, 40, 678, 54}));
    EXPECT_EQ(panelFrame(PanelKind::property, doubled, {270, 487}, boardToolbar),
              (RectF{24, 100, 270, 432}));
    // Draw's toolbar in two rows on an 800 x 600 monitor: its settings panel moves down below it.
    const RectF small{0, 0, 800, 600};
    const RectF drawToolbar = panelFrame(PanelKind::toolbar, small, {540, 96});
    EXPECT_EQ(panelFrame(PanelKind::settings, small, {322, 332}, drawToolbar),
              (RectF{239, 138, 322, 332}));
    EXPECT_EQ(panelHeightLimit(PanelKind::settings, small, 322, drawToolbar), 454);
    // A panel clear of the toolbar across the screen keeps its place beside it.
    EXPECT_EQ(panelFrame(PanelKind::property, small, {270, 300}, RectF{300, 40, 200, 200}),
              (RectF{24, 100, 270, 300}));
}

TEST(PanelPlacement, ChangesNothingWherePanelsFitAlready)
{
    const RectF screen{0, 0, 1920, 1080};
    const RectF drawToolbar = panelFrame(PanelKind::toolbar, screen, {892, 54});
    EXPECT_EQ(drawToolbar, (RectF{514, 40, 892, 54}));
    EXPECT_EQ(panelFrame(PanelKind::settings, screen, {322, 332}, drawToolbar),
              (RectF{799, 96, 322, 332}));
    const RectF boardToolbar = panelFrame(PanelKind::toolbar, screen, {678, 54});
    EXPECT_EQ(panelFrame(PanelKind::property, screen, {270, 487}, boardToolbar),
              (RectF{24, 100, 270, 487}));
    // Draw's toolbar keeps one row at 1366 x 768 at 150 %.
    EXPECT_GE(toolbarWidthLimit({0, 0, 910, 512}), 892);
    EXPECT_EQ(toolbarWidthLimit({0, 0, 800, 600}), 784);
}

TEST(PanelPlacement, PutsTheCardsSettingsBesideItNeverOverIt)
{
    const SizeF settings{276, 420};
    // 1080p at 200 %: the break timer's card at 91 %, centred, leaves too little room on either
    // side, so it moves left just enough.
    const RectF doubled{0, 0, 960, 540};
    const RectF shrunkCard = panelFrame(PanelKind::card, doubled, {456, 492});
    EXPECT_EQ(settingsBesideCard(doubled, shrunkCard, settings),
              (CardWithSettings{{212, 24, 456, 492}, {676, 24, 276, 420}}));
    // 800 x 600: the card at full size, the two side by side between the screen's margins.
    const RectF small{0, 0, 800, 600};
    const RectF card = panelFrame(PanelKind::card, small, {500, 540});
    EXPECT_EQ(settingsBesideCard(small, card, settings),
              (CardWithSettings{{8, 30, 500, 540}, {516, 30, 276, 420}}));
    // Room enough beside a centred card: it stays, the panel level with its top.
    const RectF monitor{0, 0, 1920, 1080};
    const RectF centred = panelFrame(PanelKind::card, monitor, {500, 540});
    EXPECT_EQ(settingsBesideCard(monitor, centred, {200, 420}),
              (CardWithSettings{centred, {1218, 270, 260, 420}}));
    // A card dragged to the right edge has its panel on its left.
    const RectF dragged{1400, 100, 500, 540};
    EXPECT_EQ(settingsBesideCard(monitor, dragged, settings),
              (CardWithSettings{dragged, {1116, 100, 276, 420}}));
}

TEST(PanelPlacement, ScrollsTheCardsSettingsOrLetsThemOverItOnlyWhereTheScreenIsTooSmall)
{
    const RectF doubled{0, 0, 960, 540};
    const RectF card{252, 24, 456, 492};
    EXPECT_EQ(settingsBesideCard(doubled, card, {276, 800}).settings, (RectF{676, 8, 276, 524}));
    EXPECT_EQ(settingsHeightLimitBesideCard(doubled, card, 276), 524);
    // 640 x 480 has no room for both side by side: the panel goes to its usual place.
    const RectF tiny{0, 0, 640, 480};
    const RectF tinyCard{70, 24, 500, 432};
    EXPECT_EQ(settingsBesideCard(tiny, tinyCard, {276, 420}),
              (CardWithSettings{tinyCard, {182, 96, 276, 376}}));
    EXPECT_EQ(settingsHeightLimitBesideCard(tiny, tinyCard, 276), 376);
}

TEST(PanelPlacement, ADroppedCardTakesTheSizeOfItsNewScreenAndStaysOnIt)
{
    // From a 1080p monitor onto a 1080p projector at 200 % to its right: the card shrinks to its
    // size there about the pointer's spot, and moves up off the projector's foot.
    const RectF projector{1920, 0, 960, 540};
    EXPECT_EQ(droppedCardFrame(projector, {2100, 100, 500, 540}, {2350, 120}, {456, 492}),
              (RectF{2122, 48, 456, 492}));
    // Back onto the monitor, mostly over the projector still: whole on the monitor.
    const RectF monitor{0, 0, 1920, 1080};
    EXPECT_EQ(droppedCardFrame(monitor, {1700, 40, 456, 492}, {1800, 60}, {500, 540}),
              (RectF{1420, 38, 500, 540}));
    // Over the edge of its own screen: back on it, at its size.
    EXPECT_EQ(droppedCardFrame(monitor, {-120, 300, 500, 540}, {100, 320}, {500, 540}),
              (RectF{0, 300, 500, 540}));
}

TEST(PanelPlacement, PutsAFullScreenPagesSettingsBesideItsColumnNarrowingItWhereItMust)
{
    const SizeF settings{276, 420};
    // 1080p at 200 %: the column at 66 % moves left to make room.
    const RectF doubled{0, 0, 960, 540};
    EXPECT_EQ(settingsBesideColumn(doubled, {211, 20, 538, 500}, 330, settings),
              (CardWithSettings{{130, 20, 538, 500}, {676, 20, 276, 420}}));
    // 1024 × 768: the column at 93 % is too wide to leave room; it narrows, then moves left.
    const RectF projector{0, 0, 1024, 768};
    EXPECT_EQ(settingsBesideColumn(projector, {130, 40, 765, 690}, 330, settings),
              (CardWithSettings{{8, 40, 724, 690}, {740, 40, 276, 420}}));
    // Too narrow for both even then: the column stays, the panel goes to its usual place.
    const RectF tiny{0, 0, 640, 480};
    const RectF column{50, 30, 540, 420};
    EXPECT_EQ(settingsBesideColumn(tiny, column, 400, settings),
              (CardWithSettings{column, {182, 96, 276, 376}}));
}
