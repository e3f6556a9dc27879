#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace zentrel {

// The largest difference of any channel of any pixel of two pictures of one size.
inline int largestDifference(const QImage &a, const QImage &b)
{
    EXPECT_EQ(a.size(), b.size());
    int largest = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest,
                                std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace zentrel
