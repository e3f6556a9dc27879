#pragma once

#include "common/path.h"

#include <vector>

namespace zentrel {

// Every point a path names, control points included, in order: what tests compare paths by.
inline std::vector<PointF> pointsOf(const Path &path)
{
    std::vector<PointF> result;
    for (const Path::Element &element : path.elements()) {
        const int count = element.op == Path::Op::close     ? 0
                          : element.op == Path::Op::quadTo  ? 2
                          : element.op == Path::Op::cubicTo ? 3
                                                            : 1;
        for (int i = 0; i < count; ++i) {
            result.push_back(element.points[i]);
        }
    }
    return result;
}

} // namespace zentrel
