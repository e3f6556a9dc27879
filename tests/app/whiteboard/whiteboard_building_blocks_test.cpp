#include "panels/panel_style.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_button_styles.h"
#include "whiteboard/toolbar/whiteboard_checkerboard.h"
#include "whiteboard/toolbar/whiteboard_color_scheme.h"

#include <QTest>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

const QPalette palette = whiteboardSchemePalette(false);

double opacityOf(const QColor &color)
{
    return color.alphaF();
}

TEST(WhiteboardButtonStyles, CompactButtonHasATileOnlyWhenPressedOrSelected)
{
    const QColor primary = panelPrimaryColor(palette);
    const QColor accent = panelAccentColor(palette);
    EXPECT_EQ(opacityOf(WhiteboardCompactButtonStyle{false}.background(palette, false)), 0);
    const QColor pressed = WhiteboardCompactButtonStyle{false}.background(palette, true);
    EXPECT_EQ(pressed.rgb(), primary.rgb());
    EXPECT_NEAR(opacityOf(pressed), 0.09, 0.005);
    for (const bool isPressed : {false, true}) {
        const QColor selected = WhiteboardCompactButtonStyle{true}.background(palette, isPressed);
        EXPECT_EQ(selected.rgb(), accent.rgb());
        EXPECT_NEAR(opacityOf(selected), 0.16, 0.005);
    }
    EXPECT_EQ(WhiteboardCompactButtonStyle{true}.foreground(palette), accent);
    EXPECT_EQ(WhiteboardCompactButtonStyle{false}.foreground(palette), primary);
}

TEST(WhiteboardButtonStyles, PropertyButtonKeepsAFaintTileAtRest)
{
    EXPECT_NEAR(
        opacityOf(WhiteboardPropertyButtonStyle{false}.background(palette, false)), 0.06, 0.005);
    EXPECT_NEAR(
        opacityOf(WhiteboardPropertyButtonStyle{false}.background(palette, true)), 0.12, 0.005);
}

TEST(WhiteboardButtonStyles, ButtonPaintsItsStyleAndIgnoresClicksForSelection)
{
    WhiteboardButton compact(WhiteboardButton::Look::compact, QSize(22, 22));
    compact.setPalette(palette);
    EXPECT_EQ(compact.sizeHint(), QSize(32, 32));
    QTest::mouseClick(&compact, Qt::LeftButton);
    EXPECT_FALSE(compact.isSelected());
    compact.setSelected(true);
    EXPECT_EQ(compact.foregroundColor(), panelAccentColor(palette));

    WhiteboardButton property(WhiteboardButton::Look::property, QSize(38, 30));
    EXPECT_EQ(property.sizeHint(), QSize(38, 30));
}

TEST(WhiteboardCheckerboard, SquaresCoverTheLastPartialRowAndColumn)
{
    const std::vector<QRectF> twenty = checkerboardSquares(QSizeF(20, 20));
    EXPECT_EQ(twenty.size(), 5u);
    EXPECT_EQ(twenty.front(), QRectF(0, 0, 7, 7));
    EXPECT_EQ(twenty.back(), QRectF(14, 14, 7, 7));

    const std::vector<QRectF> seven = checkerboardSquares(QSizeF(7, 7));
    EXPECT_EQ(seven, (std::vector<QRectF>{QRectF(0, 0, 7, 7), QRectF(7, 7, 7, 7)}));
}

} // namespace
} // namespace zentrel
