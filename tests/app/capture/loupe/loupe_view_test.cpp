#include "capture/loupe/loupe_view.h"

#include <QCoreApplication>
#include <QImage>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

class LoupeViewTest : public testing::Test
{
protected:
    LoupeViewTest()
    {
        view.onZoomChange = [this](double zoom) {
            zooms.push_back(zoom);
        };
        view.onSizeChange = [this](double diameter) {
            diameters.push_back(diameter);
        };
    }

    static QImage screen()
    {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::gray);
        return image;
    }

    void pinch(Qt::NativeGestureType type, double value)
    {
        QNativeGestureEvent event(type,
                                  QPointingDevice::primaryPointingDevice(),
                                  2,
                                  QPointF(200, 150),
                                  QPointF(200, 150),
                                  QPointF(200, 150),
                                  value,
                                  QPointF());
        QCoreApplication::sendEvent(&view, &event);
    }

    void scroll(int angleY, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent event(QPointF(200, 150),
                          QPointF(200, 150),
                          QPoint(),
                          QPoint(0, angleY),
                          Qt::NoButton,
                          modifiers,
                          Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(&view, &event);
    }

    LoupeView view{screen(), QSize(400, 300)};
    std::vector<double> zooms;
    std::vector<double> diameters;
};

TEST_F(LoupeViewTest, TouchpadPinchMagnifiesByItsChangeOfScaleWithinTheLimits)
{
    pinch(Qt::BeginNativeGesture, 0);
    pinch(Qt::ZoomNativeGesture, 0.5);
    EXPECT_EQ(view.settings().zoom, 3.0);
    pinch(Qt::ZoomNativeGesture, 0.5);
    EXPECT_EQ(view.settings().zoom, 4.0);
    // At the limit a further pinch out changes nothing and tells no one.
    pinch(Qt::ZoomNativeGesture, 0.2);
    pinch(Qt::EndNativeGesture, 0);
    EXPECT_EQ(zooms, (std::vector<double>{3.0, 4.0}));

    pinch(Qt::ZoomNativeGesture, -0.9);
    EXPECT_EQ(view.settings().zoom, 1.5);
    EXPECT_EQ(view.settings().diameter, 240);
    EXPECT_TRUE(diameters.empty());
}

TEST_F(LoupeViewTest, WheelZoomsAndWithCtrlResizes)
{
    scroll(120, Qt::NoModifier);
    EXPECT_EQ(view.settings().zoom, 2.25);
    scroll(-360, Qt::ControlModifier);
    EXPECT_EQ(view.settings().diameter, 210);
    EXPECT_EQ(zooms, (std::vector<double>{2.25}));
    EXPECT_EQ(diameters, (std::vector<double>{210}));
}

} // namespace
