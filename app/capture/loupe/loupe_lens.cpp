#include "capture/loupe/loupe_lens.h"

#include "capture/vector_state.h"
#include "common/qt_path.h"

#include <QPainter>

#include <cmath>
#include <cstdint>

namespace zentrel {

namespace {

// Device pixels kept clear around the square, where a rim's antialiased edge may reach.
constexpr int margin = 1;

// Each premultiplied channel of `pixel` times alpha / 255, rounded.
std::uint32_t scaled(std::uint32_t pixel, std::uint32_t alpha)
{
    std::uint32_t redBlue = (pixel & 0x00ff00ffU) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0x00ff00ffU) + 0x00800080U) >> 8) & 0x00ff00ffU;
    std::uint32_t alphaGreen = ((pixel >> 8) & 0x00ff00ffU) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0x00ff00ffU) + 0x00800080U) & 0xff00ff00U;
    return redBlue | alphaGreen;
}

RectF relativeTo(const RectF &rect, const RectF &origin)
{
    return RectF{rect.x - origin.x, rect.y - origin.y, rect.width, rect.height};
}

} // namespace

QRect LoupeLens::deviceRect(const LoupeGeometry &shape, qreal pixelRatio)
{
    const int side = magnifiedSide(shape, pixelRatio) + 2 * margin;
    const QPoint corner(int(std::lround(shape.loupe.x * pixelRatio)),
                        int(std::lround(shape.loupe.y * pixelRatio)));
    return QRect(corner - QPoint(margin, margin), QSize(side, side));
}

int LoupeLens::magnifiedSide(const LoupeGeometry &shape, qreal pixelRatio)
{
    return int(std::ceil(shape.loupe.width * pixelRatio));
}

void LoupeLens::prepare(const LoupeGeometry &shape, qreal pixelRatio)
{
    const RectF square{0, 0, shape.loupe.width, shape.loupe.height};
    const RectF outerRim = relativeTo(shape.outerRim, shape.loupe);
    const RectF innerRim = relativeTo(shape.innerRim, shape.loupe);
    if (m_preparedRatio == pixelRatio && m_preparedFor == square && m_preparedOuterRim == outerRim
        && m_preparedInnerRim == innerRim) {
        return;
    }
    m_preparedFor = square;
    m_preparedOuterRim = outerRim;
    m_preparedInnerRim = innerRim;
    m_preparedRatio = pixelRatio;
    const QSize size = deviceRect(shape, pixelRatio).size();
    m_coverage = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_coverage.fill(Qt::transparent);
    m_rims = m_coverage;
    m_lens = m_coverage;
    m_lens.setDevicePixelRatio(pixelRatio);

    const auto begin = [pixelRatio](QPainter &painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(margin, margin);
        painter.scale(pixelRatio, pixelRatio);
    };
    QPainter circle(&m_coverage);
    begin(circle);
    circle.setPen(Qt::NoPen);
    circle.setBrush(Qt::white);
    circle.drawEllipse(toQRectF(square));
    circle.end();

    QPainter rims(&m_rims);
    begin(rims);
    rims.setBrush(Qt::NoBrush);
    QColor outer(Qt::white);
    outer.setAlphaF(loupe::outerRimAlpha);
    rims.setPen(QPen(outer, loupe::outerRimWidth));
    rims.drawEllipse(toQRectF(outerRim));
    QColor inner(Qt::black);
    inner.setAlphaF(loupe::innerRimAlpha);
    rims.setPen(QPen(inner, loupe::innerRimWidth));
    rims.drawEllipse(toQRectF(innerRim));
    rims.end();

    m_plain.assign(std::size_t(size.height()), Span{});
    for (int y = 0; y < size.height(); ++y) {
        const auto *coverage = reinterpret_cast<const std::uint32_t *>(m_coverage.constScanLine(y));
        const auto *rim = reinterpret_cast<const std::uint32_t *>(m_rims.constScanLine(y));
        const auto isPlain = [&](int x) {
            return coverage[x] >> 24 == 255 && rim[x] == 0;
        };
        // The rims ring the circle, so the plain pixels of a row are one run in its middle.
        int x = size.width() / 2;
        if (!isPlain(x)) {
            continue;
        }
        Span &span = m_plain[std::size_t(y)];
        span.first = x;
        span.last = x + 1;
        while (span.first > 0 && isPlain(span.first - 1)) {
            --span.first;
        }
        while (span.last < size.width() && isPlain(span.last)) {
            ++span.last;
        }
    }
}

const QImage &
LoupeLens::compose(const QImage &magnified, const LoupeGeometry &shape, qreal pixelRatio)
{
    prepare(shape, pixelRatio);
    clearUpperVectorHalves();
    const int side = m_lens.width();
    const bool fits =
        magnified.width() == side - 2 * margin && magnified.height() == side - 2 * margin;
    for (int y = 0; y < side; ++y) {
        const auto *coverage = reinterpret_cast<const std::uint32_t *>(m_coverage.constScanLine(y));
        const auto *rims = reinterpret_cast<const std::uint32_t *>(m_rims.constScanLine(y));
        auto *lens = reinterpret_cast<std::uint32_t *>(m_lens.scanLine(y));
        const int row = y - margin;
        const auto *source =
            fits && row >= 0 && row < magnified.height()
                ? reinterpret_cast<const std::uint32_t *>(magnified.constScanLine(row)) - margin
                : nullptr;
        const auto blend = [&](int x) {
            const std::uint32_t cover = coverage[x] >> 24;
            const std::uint32_t screen = source && cover != 0 && x >= margin && x < side - margin
                                             ? scaled(source[x] | 0xff000000U, cover)
                                             : 0;
            lens[x] = rims[x] + scaled(screen, 255 - (rims[x] >> 24));
        };
        const Span plain = source ? m_plain[std::size_t(y)] : Span{};
        for (int x = 0; x < plain.first; ++x) {
            blend(x);
        }
        for (int x = plain.first; x < plain.last; ++x) {
            lens[x] = source[x] | 0xff000000U;
        }
        for (int x = plain.last; x < side; ++x) {
            blend(x);
        }
    }
    return m_lens;
}

} // namespace zentrel
