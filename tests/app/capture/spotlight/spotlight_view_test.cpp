#include "capture/spotlight/spotlight_view.h"

#include "common/settings/memory_defaults_store.h"
#include "shell/app_preferences.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>

using namespace zentrel;

namespace {

class SpotlightViewTest : public testing::Test
{
protected:
    SpotlightViewTest() { view.resize(800, 600); }

    QImage rendered()
    {
        QImage image(view.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    SpotlightView view;
};

TEST_F(SpotlightViewTest, DimsEverythingButTheCircleAroundThePointer)
{
    preferences.setSpotlightRadius(100);
    preferences.setSpotlightFeather(20);
    preferences.setSpotlightDarkness(0.6);
    view.applyPreferences(preferences);
    view.updateMouseLocation(QPointF(400, 300));

    const QImage image = rendered();
    EXPECT_EQ(qAlpha(image.pixel(400, 300)), 0);
    // Inside the feather: the circle is radius plus feather, with a sharp edge.
    EXPECT_EQ(qAlpha(image.pixel(400 + 115, 300)), 0);
    EXPECT_NEAR(qAlpha(image.pixel(400 + 125, 300)), 0.6 * 255, 2);
    EXPECT_NEAR(qAlpha(image.pixel(10, 10)), 0.6 * 255, 2);
}

TEST_F(SpotlightViewTest, TheCircleFollowsThePointer)
{
    view.applyPreferences(preferences);
    view.updateMouseLocation(QPointF(200, 200));
    view.updateMouseLocation(QPointF(600, 400));

    const QImage image = rendered();
    EXPECT_EQ(qAlpha(image.pixel(600, 400)), 0);
    EXPECT_GT(qAlpha(image.pixel(200, 200)), 100);
}

TEST_F(SpotlightViewTest, DimmingTakesTheColourButAlwaysTheDarknessAsOpacity)
{
    preferences.setSpotlightColor(Color{0, 0, 1, 0.1});
    preferences.setSpotlightDarkness(0.8);
    view.applyPreferences(preferences);
    view.updateMouseLocation(QPointF(400, 300));

    const QColor corner = rendered().pixelColor(5, 5);
    EXPECT_NEAR(corner.alphaF(), 0.8, 0.01);
    EXPECT_EQ(corner.red(), 0);
    EXPECT_EQ(corner.blue(), 255);
}

TEST_F(SpotlightViewTest, AStillBackgroundShowsThroughTheCircleAndDarkensOutside)
{
    QImage background(view.size(), QImage::Format_ARGB32);
    background.fill(QColor(200, 200, 200));
    view.setBackground(background);
    preferences.setSpotlightDarkness(0.5);
    view.applyPreferences(preferences);
    view.updateMouseLocation(QPointF(400, 300));

    const QImage image = rendered();
    EXPECT_EQ(image.pixelColor(400, 300), QColor(200, 200, 200));
    EXPECT_NEAR(image.pixelColor(5, 5).red(), 100, 2);
    EXPECT_EQ(image.pixelColor(5, 5).alpha(), 255);
}

TEST_F(SpotlightViewTest, EscapeRunsTheCallbackAndIsSwallowedWithoutOne)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    escape.ignore();
    QCoreApplication::sendEvent(&view, &escape);
    EXPECT_TRUE(escape.isAccepted());

    int escapes = 0;
    view.onEscape = [&escapes] {
        ++escapes;
    };
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &again);
    EXPECT_EQ(escapes, 1);

    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &other);
    EXPECT_EQ(escapes, 1);
}

} // namespace
