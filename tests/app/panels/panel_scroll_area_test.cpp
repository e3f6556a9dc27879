#include "panels/panel_scroll_area.h"

#include "panels/overlay_window_factory.h"
#include "panels/panel_backdrop.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainterPath>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

namespace zentrel {
namespace {

// A settings panel's controls, each above a gap, by default tall enough for the panel to scroll.
struct Controls
{
    explicit Controls(int gap = 200)
        : rows(new QWidget)
        , slider(new QSlider(Qt::Horizontal, rows))
        , spinBox(new QSpinBox(rows))
        , comboBox(new QComboBox(rows))
    {
        slider->setRange(0, 100);
        slider->setValue(100);
        spinBox->setRange(0, 100);
        spinBox->setValue(50);
        comboBox->addItems({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
        comboBox->setCurrentIndex(1);
        layout = new QVBoxLayout(rows);
        for (QWidget *control : all()) {
            layout->addWidget(control);
            layout->addSpacing(gap);
        }
    }

    std::vector<QWidget *> all() const { return {slider, spinBox, comboBox}; }

    QWidget *rows;
    QSlider *slider;
    QSpinBox *spinBox;
    QComboBox *comboBox;
    QVBoxLayout *layout;
};

// One notch of the wheel, down, over the middle of the control.
void rollWheelDownOver(QWidget *control)
{
    const QPointF at = QRectF(control->rect()).center();
    QWheelEvent event(at,
                      control->mapToGlobal(at),
                      QPoint(),
                      QPoint(0, -120),
                      Qt::NoButton,
                      Qt::NoModifier,
                      Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(control, &event);
}

TEST(PanelScrollArea, TheWheelOverAControlScrollsThePanelAndLeavesTheValue)
{
    Controls controls;
    PanelScrollArea area(new ToolbarSettingsContainer(controls.rows), 300);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    QScrollBar *scrolled = area.verticalScrollBar();
    ASSERT_GT(scrolled->maximum(), 0);

    for (QWidget *control : controls.all()) {
        const int before = scrolled->value();
        rollWheelDownOver(control);
        EXPECT_GT(scrolled->value(), before) << control->metaObject()->className();
    }
    EXPECT_EQ(controls.slider->value(), 100);
    EXPECT_EQ(controls.spinBox->value(), 50);
    EXPECT_EQ(controls.comboBox->currentIndex(), 1);
    EXPECT_EQ(area.panelScrollBar()->value(), scrolled->value()) << "the bar shows another place";

    // A control that a panel adds later, as the whiteboard's does for text.
    auto *added = new QSlider(Qt::Horizontal);
    added->setRange(0, 100);
    added->setValue(30);
    controls.layout->insertWidget(0, added);
    rollWheelDownOver(added);
    EXPECT_EQ(added->value(), 30);

    // A popup of the panel's is a window of its own and takes the wheel itself.
    auto *popup = new QSlider(Qt::Horizontal, controls.rows);
    popup->setWindowFlags(Qt::Popup);
    popup->setRange(0, 100);
    popup->setValue(50);
    rollWheelDownOver(popup);
    EXPECT_NE(popup->value(), 50);
}

TEST(PanelScrollArea, TheWheelLeavesValuesAloneInAPanelThatFits)
{
    Controls controls(20);
    PanelScrollArea area(new ToolbarSettingsContainer(controls.rows), 400);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    EXPECT_EQ(area.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(area.panelScrollBar()->isVisible());
    rollWheelDownOver(controls.slider);
    EXPECT_EQ(controls.slider->value(), 100);
}

// What the bar paints of the panel: the panel drawn with it and without it, compared.
QRegion paintedByBar(QWidget &panel, QScrollBar &bar, qreal devicePixelRatio)
{
    const auto draw = [&] {
        QImage image(panel.size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(Qt::transparent);
        panel.render(&image);
        return image;
    };
    const QImage with = draw();
    bar.hide();
    const QImage without = draw();
    bar.show();
    QRegion painted;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                painted += QRect(x, y, 1, 1);
            }
        }
    }
    return painted;
}

// Also on the screens where the bar once stood beside the frame: the projector at 150 % and
// 1080p at 200 %.
TEST(PanelScrollArea, ItsBarLiesInsideThePanelsRoundedFrame)
{
    const QRect screen(0, 0, 853, 480);
    OverlayWindowFactory factory(screen);
    auto owner = factory.makeOverlayPanel(new QWidget, false);
    Controls controls;
    auto panel =
        factory.makeSettingsPanel(new ToolbarSettingsContainer(controls.rows), owner.get());
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    auto *area = panel->findChild<PanelScrollArea *>();
    ASSERT_NE(area, nullptr);
    QScrollBar *bar = area->panelScrollBar();
    ASSERT_TRUE(bar->isVisible()) << "the panel does not scroll";
    EXPECT_EQ(area->width(), panel->width()) << "the bar takes room beside the content";

    // Within the frame's outline, clear of its rounded corners.
    QPainterPath frame;
    frame.addRoundedRect(
        QRectF(panel->rect()).adjusted(1, 1, -1, -1), panelCornerRadius, panelCornerRadius);
    const QRect barFrame(bar->mapTo(panel.get(), QPoint(0, 0)), bar->size());
    EXPECT_TRUE(frame.contains(QRectF(barFrame)))
        << barFrame.x() << ',' << barFrame.y() << ' ' << barFrame.width() << 'x'
        << barFrame.height() << " in " << panel->width() << 'x' << panel->height();

    for (const qreal ratio : {1.5, 2.0}) {
        const QRegion painted = paintedByBar(*panel, *bar, ratio);
        ASSERT_FALSE(painted.isEmpty()) << "no bar drawn at " << ratio;
        QTransform toPixels;
        toPixels.scale(ratio, ratio);
        const QPainterPath frameInPixels = toPixels.map(frame);
        for (const QRect &band : painted) {
            EXPECT_TRUE(frameInPixels.contains(QRectF(band)))
                << "drawn outside the frame at " << ratio << ": " << band.x() << ',' << band.y()
                << ' ' << band.width() << 'x' << band.height();
        }
    }
}

} // namespace
} // namespace zentrel
