#include "whiteboard/canvas/whiteboard_fonts.h"

#include "common/hand_drawn_font.h"
#include "whiteboard/canvas/emoji_font.h"
#include "whiteboard/canvas/text_editor_placement.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <utility>

namespace zentrel {

namespace {

constexpr int layoutPixelSize = 96;

QFont makeFont(WhiteboardTypeface typeface, int pixelSize)
{
    QFont font;
    switch (typeface) {
    case WhiteboardTypeface::system:
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        break;
    case WhiteboardTypeface::monospace:
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setWeight(QFont::Normal);
        break;
    case WhiteboardTypeface::handDrawn:
        return handDrawnFont(pixelSize);
    case WhiteboardTypeface::virgil:
        return handDrawnFont(QStringLiteral("Virgil"), pixelSize);
    case WhiteboardTypeface::excalifont:
        return handDrawnFont(QStringLiteral("Excalifont"), pixelSize);
    }
    font.setPixelSize(pixelSize);
    return font;
}

// Measuring is done for every line a text might break into, so each thread keeps the metrics.
const QFontMetricsF &layoutMetrics(WhiteboardTypeface typeface)
{
    thread_local std::map<WhiteboardTypeface, QFontMetricsF> metrics;
    const auto found = metrics.find(typeface);
    if (found != metrics.end()) {
        return found->second;
    }
    return metrics.emplace(typeface, QFontMetricsF(whiteboardLayoutFont(typeface))).first->second;
}

QString utf16(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A font's whole pixel size: 1 at the least, and no more than an editor can show.
int fontPixelSize(double size)
{
    return std::isnan(size) ? 1 : qRound(std::clamp(size, 1.0, maxTextEditorExtent));
}

// A line's width as the canvas lays it out, its emoji in the colour emoji font.
double lineAdvance(const QString &line, WhiteboardTypeface typeface)
{
    QList<QTextLayout::FormatRange> formats = emojiFormats(line, layoutPixelSize);
    if (formats.isEmpty()) {
        return layoutMetrics(typeface).horizontalAdvance(line);
    }
    QTextLayout layout(line, whiteboardLayoutFont(typeface));
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine laid = layout.createLine();
    layout.endLayout();
    return laid.isValid() ? laid.horizontalAdvance() : 0;
}

} // namespace

// Fonts come in few faces and sizes, while resolving one costs more than laying out a short
// text, so each is made once per thread that asks for it.
QFont whiteboardFont(WhiteboardTypeface typeface, double size)
{
    thread_local std::map<std::pair<WhiteboardTypeface, int>, QFont> fonts;
    const std::pair key{typeface, fontPixelSize(size)};
    const auto found = fonts.find(key);
    if (found != fonts.end()) {
        return found->second;
    }
    return fonts.emplace(key, makeFont(typeface, key.second)).first->second;
}

QFont whiteboardLayoutFont(WhiteboardTypeface typeface)
{
    thread_local std::map<WhiteboardTypeface, QFont> fonts;
    const auto found = fonts.find(typeface);
    if (found != fonts.end()) {
        return found->second;
    }
    QFont font = makeFont(typeface, layoutPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return fonts.emplace(typeface, font).first->second;
}

int whiteboardLayoutPixelSize()
{
    return layoutPixelSize;
}

double whiteboardLayoutScale(double fontSize)
{
    return fontSize / layoutPixelSize;
}

Qt::Alignment qtAlignment(WhiteboardTextAlignment alignment)
{
    switch (alignment) {
    case WhiteboardTextAlignment::center:
        return Qt::AlignHCenter;
    case WhiteboardTextAlignment::right:
        return Qt::AlignRight;
    case WhiteboardTextAlignment::left:
        break;
    }
    return Qt::AlignLeft;
}

TextMeasurer whiteboardLineMeasurer()
{
    return [](std::string_view line, WhiteboardTypeface typeface, double fontSize) {
        const QFontMetricsF &metrics = layoutMetrics(typeface);
        const double scale = whiteboardLayoutScale(fontSize);
        return SizeF{lineAdvance(utf16(line), typeface) * scale, metrics.height() * scale};
    };
}

std::function<SizeF(std::string_view text, WhiteboardFontFamily family, double fontSize)>
whiteboardTextMeasurer()
{
    return [](std::string_view text, WhiteboardFontFamily family, double fontSize) {
        const QSizeF size =
            layoutMetrics(whiteboardTypeface(family)).size(0, utf16(text)); // one line per "\n"
        const double scale = whiteboardLayoutScale(fontSize);
        return SizeF{size.width() * scale, size.height() * scale};
    };
}

} // namespace zentrel
