#include "whiteboard/canvas/element_layer/glyph_pictures.h"

#include "whiteboard/canvas/element_layer/painted_text.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace zentrel {

namespace {

constexpr QImage::Format pictureFormat = QImage::Format_ARGB32_Premultiplied;
// Halving stops at pictures a few pixels across.
constexpr int smallestPicture = 4;
// Bounds what one glyph keeps, whatever size its font's strikes come in.
constexpr int largestPicture = 256;

// The largest size the font's bitmap strikes come in, in pixels per em; 0 when it has none.
// Colour (CBLC) and plain (EBLC) strike tables share their layout: a count at byte 4, then
// records of 48 bytes whose vertical size is their byte 45.
int largestStrike(const QRawFont &font)
{
    constexpr qsizetype header = 8;
    constexpr qsizetype record = 48;
    constexpr qsizetype sizeInRecord = 45;
    for (const char *name : {"CBLC", "EBLC"}) {
        const QByteArray table = font.fontTable(name);
        if (table.size() < header) {
            continue;
        }
        const auto *bytes = reinterpret_cast<const uchar *>(table.constData());
        const qsizetype count = qFromBigEndian<quint32>(bytes + 4);
        int largest = 0;
        for (qsizetype i = 0; i < count && header + record * (i + 1) <= table.size(); ++i) {
            largest = std::max(largest, int(bytes[header + record * i + sizeInRecord]));
        }
        if (largest > 0) {
            return largest;
        }
    }
    return 0;
}

// Whether a glyph without an outline may show anything: Qt makes a mask of it, or its font has
// bitmap strikes or colour layers, which Qt's masks may leave out. A space, told in a moment,
// shows nothing.
bool mayShowInk(const QRawFont &font, quint32 glyph, int strike)
{
    return strike > 0 || !font.fontTable("COLR").isEmpty()
           || !font.alphaMapForGlyph(glyph, QRawFont::PixelAntialiasing).isNull();
}

// Bitmaps at their strike's size, pixel for pixel; anything else at twice the font's size, so
// zooming in a little keeps it sharp.
double pictureSize(const QRawFont &font, int strike)
{
    return strike > 0 ? std::min(strike, largestPicture)
                      : std::min(2 * font.pixelSize(), double(largestPicture));
}

// Where a glyph is drawn from, leaving an em and more of room on every side.
QPoint drawingOrigin(const QRawFont &font)
{
    const int em = qCeil(font.pixelSize());
    return {em, 2 * em};
}

QImage drawnGlyph(const QRawFont &font, quint32 glyph, const QColor &colour)
{
    const QPoint origin = drawingOrigin(font);
    QImage image(4 * origin.x(), 3 * origin.x(), pictureFormat);
    image.fill(Qt::transparent);
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes({glyph});
    run.setPositions({QPointF(0, 0)});
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(colour);
    painter.drawGlyphRun(origin, run);
    return image;
}

QRect inkBounds(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int left = 0;
        while (left < image.width() && qAlpha(line[left]) == 0) {
            ++left;
        }
        if (left == image.width()) {
            continue;
        }
        int right = image.width() - 1;
        while (qAlpha(line[right]) == 0) {
            --right;
        }
        ink |= QRect(left, y, right - left + 1, 1);
    }
    return ink;
}

std::vector<QImage> halvings(QImage image)
{
    std::vector<QImage> sizes{image};
    while (std::max(image.width(), image.height()) > smallestPicture) {
        image = image
                    .scaled((image.width() + 1) / 2,
                            (image.height() + 1) / 2,
                            Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation)
                    .convertToFormat(pictureFormat);
        sizes.push_back(image);
    }
    return sizes;
}

// The smallest size that still has a pixel for each one it covers on the device.
const QImage &sizeFor(const GlyphPicture &picture, QSizeF devicePixels)
{
    for (auto size = picture.sizes.rbegin(); size != picture.sizes.rend(); ++size) {
        if (size->width() >= devicePixels.width() && size->height() >= devicePixels.height()) {
            return *size;
        }
    }
    return picture.sizes.front();
}

} // namespace

std::optional<GlyphPicture> glyphPicture(const QRawFont &font, quint32 glyph)
{
    const int strike = largestStrike(font);
    if (!mayShowInk(font, glyph, strike)) {
        return std::nullopt;
    }
    QRawFont drawing = font;
    drawing.setPixelSize(pictureSize(font, strike));
    // An engine that cannot change size, such as Qt's boxes for what no font has, draws at its
    // own.
    if (!drawing.isValid()) {
        drawing = font;
    }
    if (!drawing.isValid() || !(drawing.pixelSize() > 0)) {
        return std::nullopt;
    }
    const QImage black = drawnGlyph(drawing, glyph, Qt::black);
    const QRect ink = inkBounds(black);
    if (ink.isEmpty()) {
        return std::nullopt;
    }
    GlyphPicture picture;
    picture.takesTextColour = drawnGlyph(drawing, glyph, Qt::white) != black;
    picture.sizes = halvings(black.copy(ink));
    const QPoint origin = drawingOrigin(drawing);
    const double toFont = font.pixelSize() / drawing.pixelSize();
    picture.place = QRectF(QPointF(ink.topLeft() - origin) * toFont, QSizeF(ink.size()) * toFont);
    return picture;
}

std::shared_ptr<const GlyphPicture> inTextColour(std::shared_ptr<const GlyphPicture> picture,
                                                 const QColor &colour)
{
    if (!picture->takesTextColour) {
        return picture;
    }
    GlyphPicture coloured = *picture;
    coloured.takesTextColour = false;
    for (QImage &image : coloured.sizes) {
        QImage tinted(image.size(), pictureFormat);
        tinted.fill(QColor(colour.red(), colour.green(), colour.blue()));
        QPainter painter(&tinted);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, image);
        painter.end();
        image = std::move(tinted);
    }
    return std::make_shared<const GlyphPicture>(std::move(coloured));
}

void paintGlyphPictures(QPainter &painter,
                        const std::vector<PlacedGlyphPicture> &pictures,
                        double opacity,
                        const std::optional<QRectF> &visible)
{
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double deviceScale = std::sqrt(std::abs(painter.deviceTransform().determinant()));
    for (const auto &[picture, place] : pictures) {
        if (!visible || boxReaches(place, *visible)) {
            painter.drawImage(place, sizeFor(*picture, place.size() * deviceScale));
        }
    }
    painter.restore();
}

} // namespace zentrel
