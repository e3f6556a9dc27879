#pragma once

#include "capture/loupe_model.h"

#include <QImage>
#include <QRect>

#include <vector>

namespace zentrel {

// The loupe's round picture in one premultiplied image: the magnified screen cut to the circle,
// the two rims over it, clear around. The view only copies it, because clipping to the circle
// and stroking the rims on every frame would hand each frame's spans to Qt's thread pool.
class LoupeLens
{
public:
    // Where the picture of `shape` goes, in device pixels of a view at `pixelRatio`: the loupe
    // square put on whole pixels, with room around it for the rims' antialiasing.
    static QRect deviceRect(const LoupeGeometry &shape, qreal pixelRatio);
    // The side of the square `magnified` must fill, in device pixels.
    static int magnifiedSide(const LoupeGeometry &shape, qreal pixelRatio);

    // `magnified` is opaque, magnifiedSide() square; a null one leaves the rims alone, as when
    // nothing of the screen lies under the loupe. The result carries `pixelRatio`.
    const QImage &compose(const QImage &magnified, const LoupeGeometry &shape, qreal pixelRatio);

private:
    void prepare(const LoupeGeometry &shape, qreal pixelRatio);

    // Where each row is wholly inside the circle and clear of the rims, [first, last): there
    // the screen is copied as it is.
    struct Span
    {
        int first = 0;
        int last = 0;
    };

    QImage m_coverage; // how much of each pixel the circle covers, in the alpha channel
    QImage m_rims;
    std::vector<Span> m_plain;
    QImage m_lens;
    RectF m_preparedFor;
    RectF m_preparedOuterRim;
    RectF m_preparedInnerRim;
    qreal m_preparedRatio = 0;
};

} // namespace zentrel
