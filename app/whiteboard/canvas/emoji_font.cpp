#include "whiteboard/canvas/emoji_font.h"

#include "common/emoji_runs.h"

#include <QFont>
#include <QFontInfo>
#include <QRawFont>
#include <QString>
#include <QTextCharFormat>

#include <optional>
#include <string_view>

namespace zentrel {

namespace {

bool hasColourGlyphs(const QRawFont &font)
{
    for (const char *table : {"CBDT", "sbix", "COLR", "SVG "}) {
        if (!font.fontTable(table).isEmpty()) {
            return true;
        }
    }
    return false;
}

// Fontconfig's "emoji" family names the font the desktop prefers for emoji; a machine without a
// colour one has it stand for a text font.
std::optional<QString> findColourEmojiFamily()
{
    const QString family = QFontInfo(QFont(QStringLiteral("emoji"))).family();
    if (hasColourGlyphs(QRawFont::fromFont(QFont(family)))) {
        return family;
    }
    return std::nullopt;
}

// Looked for once per thread that lays out text.
const std::optional<QString> &colourEmojiFamily()
{
    thread_local const std::optional<QString> family = findColourEmojiFamily();
    return family;
}

} // namespace

QList<QTextLayout::FormatRange> emojiFormats(const QString &text, int pixelSize)
{
    QList<QTextLayout::FormatRange> formats;
    const std::u16string_view units(reinterpret_cast<const char16_t *>(text.utf16()),
                                    std::size_t(text.size()));
    const std::vector<TextRange> runs = emojiRuns(units);
    if (runs.empty() || !colourEmojiFamily()) {
        return formats;
    }
    QFont font(*colourEmojiFamily());
    font.setPixelSize(pixelSize);
    QTextCharFormat format;
    format.setFont(font);
    for (const TextRange &run : runs) {
        formats.append({int(run.begin), int(run.end - run.begin), format});
    }
    return formats;
}

} // namespace zentrel
