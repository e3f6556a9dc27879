#pragma once

#include <QColor>
#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>

#include <gtest/gtest.h>

namespace zentrel {

// Blending and rounding move a channel by a step or two; antialiasing only at the edges.
constexpr int colorTolerance = 12;
// Flat areas differ only by rounding; a 10 % tint moves mid grey by 13.
constexpr int shadeTolerance = 3;
// Motion events arrive compressed and strokes have width, so a line is looked for this near.
constexpr int strokeReach = 4;
constexpr int handDrawnReach = 10;

bool isCloseTo(const QColor &pixel, const QColor &expected, int tolerance = colorTolerance);

// What a black tint of the given strength (0.1 for 10 %) over color looks like.
QColor tinted(const QColor &color, double strength);

// A pixel of color within reach of point.
testing::AssertionResult
showsColorNear(const QImage &image, QPoint point, const QColor &color, int reach = strokeReach);
// A pixel of color within strokeReach of every point along the line, as a stroke drawn there.
testing::AssertionResult
showsColorAlong(const QImage &image, const QLine &line, const QColor &color);
// A hand-drawn stroke of color along the line: it wobbles up to handDrawnReach away, and the
// selection handles drawn over a selected shape may hide one point in ten.
testing::AssertionResult
showsHandDrawnLine(const QImage &image, const QLine &line, const QColor &color);
// Nothing in area but color: no stroke, no window, no other shade.
testing::AssertionResult showsOnly(const QImage &image,
                                   const QRect &area,
                                   const QColor &color,
                                   int tolerance = shadeTolerance);

} // namespace zentrel
