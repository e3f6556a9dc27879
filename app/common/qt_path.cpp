#include "common/qt_path.h"

namespace zentrel {

QPainterPath toQPainterPath(const Path &path)
{
    QPainterPath result;
    for (const Path::Element &element : path.elements()) {
        const auto &p = element.points;
        switch (element.op) {
        case Path::Op::moveTo:
            result.moveTo(toQPointF(p[0]));
            break;
        case Path::Op::lineTo:
            result.lineTo(toQPointF(p[0]));
            break;
        case Path::Op::quadTo:
            result.quadTo(toQPointF(p[0]), toQPointF(p[1]));
            break;
        case Path::Op::cubicTo:
            result.cubicTo(toQPointF(p[0]), toQPointF(p[1]), toQPointF(p[2]));
            break;
        case Path::Op::close:
            result.closeSubpath();
            break;
        }
    }
    return result;
}

} // namespace zentrel
