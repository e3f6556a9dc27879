// Whiteboard texts come from anywhere in any script, whatever fonts the machine has: each is laid
// out in the program's fonts and painted on the pool's threads into a picture, as the canvas does.
// The first bytes choose the face, alignment, size, turn, box width and zoom; the rest is the
// text, valid UTF-8 or not.
#include "common/pool_parallel_work.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QGuiApplication>
#include <QImage>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <string>
#include <utility>

namespace {

constexpr std::size_t headerSize = 6;

// Sizes a document may hold beside ordinary ones.
constexpr std::array<double, 6> oddSizes{0,
                                         -8,
                                         1e-3,
                                         5000,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity()};

double fontSize(std::uint8_t byte)
{
    constexpr std::size_t firstOdd = 256 - oddSizes.size();
    return byte >= firstOdd ? oddSizes[byte - firstOdd] : 1 + byte * 0.75;
}

zentrel::WhiteboardElement textElement(const std::uint8_t *header, std::string text)
{
    constexpr std::array<std::pair<zentrel::WhiteboardFontFamily, std::int64_t>, 5> faces{{
        {zentrel::WhiteboardFontFamily::system, 2},
        {zentrel::WhiteboardFontFamily::monospace, 3},
        {zentrel::WhiteboardFontFamily::handDrawn, 0},
        {zentrel::WhiteboardFontFamily::handDrawn, 1},
        {zentrel::WhiteboardFontFamily::handDrawn, 5},
    }};
    constexpr std::array<zentrel::WhiteboardTextAlignment, 3> alignments{
        zentrel::WhiteboardTextAlignment::left,
        zentrel::WhiteboardTextAlignment::center,
        zentrel::WhiteboardTextAlignment::right};
    zentrel::WhiteboardElement element;
    element.kind = zentrel::WhiteboardElementKind::text;
    element.fontFamily = faces[header[0] % faces.size()].first;
    element.fontFamilyID = faces[header[0] % faces.size()].second;
    element.textAlignment = alignments[header[1] % alignments.size()];
    element.fontSize = fontSize(header[2]);
    element.rotation = header[3] * 2 * std::numbers::pi / 256;
    element.setFrame({4, 4, 8.0 + header[4] * 4, 200});
    element.style.strokeColor = "#1b1b1f";
    element.text = std::move(text);
    return element;
}

} // namespace

// Fontconfig keeps some of what it loads for a first font match where no pointer of the leak
// checker's reach leads.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole run: fonts and the pool's threads need the application.
    static QGuiApplication *application = new QGuiApplication(*argc, *argv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < headerSize) {
        return 0;
    }
    const zentrel::WhiteboardElement element = textElement(
        data, std::string(reinterpret_cast<const char *>(data) + headerSize, size - headerSize));
    const double zoom = 0.25 * (1 + data[5] % 16);
    const zentrel::PaintedElement painted = zentrel::paintedElement(element, zoom);
    QImage image(256, 192, QImage::Format_ARGB32_Premultiplied);
    zentrel::paintElementsInBands(image,
                                  QRectF(image.rect()),
                                  {{zentrel::elementPaintBounds(element, zoom), &painted}},
                                  {{zoom, {0, 0}}, true, zentrel::poolThreadCount()});
    return 0;
}
