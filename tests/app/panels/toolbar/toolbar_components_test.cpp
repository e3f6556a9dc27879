#include "panels/panel_backdrop.h"
#include "panels/toolbar/settings/toolbar_settings_label.h"
#include "panels/toolbar/settings/toolbar_slider_row.h"
#include "panels/toolbar/settings/toolbar_toggle_row.h"
#include "panels/toolbar/toolbar_preset_button.h"
#include "panels/toolbar/toolbar_selection_button.h"

#include <QImage>
#include <QLayout>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

// What the widget paints itself, on a transparent ground.
QColor paintedColor(QWidget &widget, QPoint position)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.pixelColor(position);
}

TEST(ToolbarSelectionButton, ClickReportsThePressButLeavesTheSelectionToTheCaller)
{
    ToolbarSelectionButton button;
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    button.click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button.isSelected());
    button.setSelected(true);
    button.click();
    EXPECT_TRUE(button.isSelected());
}

TEST(ToolbarSelectionButton, BackgroundFollowsSelectionAndPress)
{
    ToolbarSelectionButton button;
    button.resize(button.sizeHint());
    const QPoint edge(3, button.height() / 2);
    const QColor accent = button.palette().color(QPalette::Highlight);

    EXPECT_NEAR(paintedColor(button, edge).alphaF(), 0.1, 0.01);
    button.setDown(true);
    EXPECT_NEAR(paintedColor(button, edge).alphaF(), 0.18, 0.01);
    button.setSelected(true);
    EXPECT_NEAR(paintedColor(button, edge).alphaF(), 0.75, 0.01);
    button.setDown(false);
    EXPECT_EQ(paintedColor(button, edge), accent);
}

TEST(ToolbarSelectionButton, PadsItsSymbolBy8And6)
{
    ToolbarSelectionButton button;
    button.setIcon(QIcon(QStringLiteral(":/icons/xmark.svg")));
    EXPECT_EQ(button.sizeHint(), QSize(22 + 16, 22 + 12));
}

TEST(ToolbarPresetButton, KeepsItsFrameWhateverTheTitle)
{
    ToolbarPresetButton button(QStringLiteral("A much longer title"));
    EXPECT_EQ(button.size(), QSize(44, 24));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    button.click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button.isSelected());
}

TEST(ToolbarSettingsLabel, ShowsItsTitleInUpperCase)
{
    EXPECT_EQ(ToolbarSettingsLabel(QStringLiteral("Stroke")).text(), QStringLiteral("STROKE"));
}

TEST(ToolbarSliderRow, MovesInWholeStepsOverTheRange)
{
    ToolbarSliderRow row(QStringLiteral("Fade after"), 3, 10, 1);
    QSignalSpy changes(&row, &ToolbarSliderRow::valueChanged);
    EXPECT_EQ(row.slider()->maximum() - row.slider()->minimum(), 7);

    row.setValue(6.7);
    EXPECT_EQ(row.value(), 7.0);
    EXPECT_EQ(changes.count(), 0);

    row.slider()->setValue(row.slider()->minimum() + 2);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toDouble(), 5.0);
}

TEST(ToolbarSliderRow, ShowsTitleAndTheCallersValueText)
{
    ToolbarSliderRow row(QStringLiteral("Line width"), 1, 16, 1);
    row.setFormattedValue(QStringLiteral("6 pt"));
    EXPECT_EQ(row.title(), QStringLiteral("Line width"));
    EXPECT_EQ(row.formattedValue(), QStringLiteral("6 pt"));
}

TEST(ToolbarToggleRow, TheWholeRowToggles)
{
    ToolbarToggleRow row(QStringLiteral("High contrast"));
    row.resize(240, row.sizeHint().height());
    // Between the title and the switch, where a plain check box takes no clicks.
    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(row.width() - 60, row.height() / 2));
    EXPECT_TRUE(row.isChecked());
}

TEST(TeachingControlStrip, PadsItsContent)
{
    auto *content = new QWidget;
    TeachingControlStrip strip(content);
    EXPECT_EQ(content->parentWidget(), &strip);
    EXPECT_EQ(strip.layout()->contentsMargins(), QMargins(10, 10, 10, 10));
    ToolbarSettingsContainer container(new QWidget);
    EXPECT_EQ(container.layout()->contentsMargins(), QMargins(12, 12, 12, 12));
}

} // namespace
