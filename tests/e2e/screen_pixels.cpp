#include "e2e/screen_pixels.h"

#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zentrel {

namespace {

// Close enough together that a stroke of a few pixels cannot slip between two samples.
constexpr int sampleSpacing = 5;

std::string nameOf(const QColor &color)
{
    return color.name().toStdString();
}

std::string textOf(QPoint point)
{
    return std::to_string(point.x()) + "," + std::to_string(point.y());
}

} // namespace

bool isCloseTo(const QColor &pixel, const QColor &expected, int tolerance)
{
    return std::abs(pixel.red() - expected.red()) <= tolerance
           && std::abs(pixel.green() - expected.green()) <= tolerance
           && std::abs(pixel.blue() - expected.blue()) <= tolerance;
}

QColor tinted(const QColor &color, double strength)
{
    const auto darken = [strength](int channel) {
        return int(std::lround(channel * (1.0 - strength)));
    };
    return QColor(darken(color.red()), darken(color.green()), darken(color.blue()));
}

testing::AssertionResult
showsColorNear(const QImage &image, QPoint point, const QColor &color, int reach)
{
    if (image.isNull()) {
        return testing::AssertionFailure() << "no image";
    }
    const QRect around =
        QRect(point, point).adjusted(-reach, -reach, reach, reach).intersected(image.rect());
    for (int y = around.top(); y <= around.bottom(); ++y) {
        for (int x = around.left(); x <= around.right(); ++x) {
            if (isCloseTo(image.pixelColor(x, y), color)) {
                return testing::AssertionSuccess();
            }
        }
    }
    const QColor found = image.rect().contains(point) ? image.pixelColor(point) : QColor();
    return testing::AssertionFailure() << "no " << nameOf(color) << " within " << reach << " px of "
                                       << textOf(point) << ", which shows " << nameOf(found);
}

namespace {

// Points along the line lacking color within reach; fails past `allowedMisses` of them.
testing::AssertionResult showsAlong(
    const QImage &image, const QLine &line, const QColor &color, int reach, double allowedMisses)
{
    const int samples = std::max(1, int(std::hypot(line.dx(), line.dy())) / sampleSpacing);
    int missing = 0;
    testing::AssertionResult firstMiss = testing::AssertionSuccess();
    for (int i = 0; i <= samples; ++i) {
        const double t = double(i) / samples;
        const QPoint point(int(std::lround(line.x1() + t * line.dx())),
                           int(std::lround(line.y1() + t * line.dy())));
        testing::AssertionResult shown = showsColorNear(image, point, color, reach);
        if (!shown && missing++ == 0) {
            firstMiss = shown;
        }
    }
    if (missing <= allowedMisses * (samples + 1)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << missing << " of " << samples + 1 << " points from " << textOf(line.p1()) << " to "
           << textOf(line.p2()) << " lack the stroke; first: " << firstMiss.message();
}

} // namespace

testing::AssertionResult
showsColorAlong(const QImage &image, const QLine &line, const QColor &color)
{
    return showsAlong(image, line, color, strokeReach, 0);
}

testing::AssertionResult
showsHandDrawnLine(const QImage &image, const QLine &line, const QColor &color)
{
    return showsAlong(image, line, color, handDrawnReach, 0.1);
}

testing::AssertionResult
showsOnly(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    if (image.isNull() || !image.rect().contains(area)) {
        return testing::AssertionFailure() << "the image does not cover the area";
    }
    int others = 0;
    QPoint firstOther;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isCloseTo(image.pixelColor(x, y), color, tolerance) && others++ == 0) {
                firstOther = QPoint(x, y);
            }
        }
    }
    if (others == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << others << " pixels of " << area.width() << "x" << area.height() << "+" << area.x()
           << "+" << area.y() << " are not " << nameOf(color) << "; " << textOf(firstOther)
           << " is " << nameOf(image.pixelColor(firstOther));
}

} // namespace zentrel
