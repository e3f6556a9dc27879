// Texts in every script and block of Unicode, with whatever fonts this machine has or lacks, lay
// out and paint on the pool's threads as the canvas, its copies and exports paint them.
#include "common/bundled_fonts.h"
#include "common/pool_parallel_work.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/element_paint_cache.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/model/svg/svg_export.h"
#include "whiteboard/render/element_render_plan.h"

#include <QChar>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zentrel {
namespace {

std::string utf8(char32_t codePoint)
{
    const QByteArray bytes = QString::fromUcs4(&codePoint, 1).toUtf8();
    return bytes.toStdString();
}

bool isSample(char32_t codePoint)
{
    const QChar::Category category = QChar::category(codePoint);
    return category != QChar::Other_NotAssigned && category != QChar::Other_Surrogate
           && category != QChar::Other_PrivateUse;
}

// The first few assigned code points of every 128 across all planes, which takes in each block's
// start: the private-use planes, a few code points each, come with the clusters below.
std::vector<std::string> blockSamples()
{
    std::vector<std::string> samples;
    for (char32_t start = 0; start < 0x110000; start += 128) {
        std::string sample;
        int taken = 0;
        for (char32_t codePoint = start; codePoint < start + 128 && taken < 3; ++codePoint) {
            if (isSample(codePoint)) {
                sample += utf8(codePoint);
                ++taken;
            }
        }
        if (taken > 0) {
            samples.push_back(sample);
        }
    }
    return samples;
}

bool isWritten(char32_t codePoint)
{
    return QChar::isLetter(codePoint) || QChar::isMark(codePoint) || QChar::isNumber(codePoint);
}

// A few letters, marks or digits of each script, keyed by it.
std::map<QChar::Script, std::string> scriptSamples()
{
    std::map<QChar::Script, std::string> samples;
    std::map<QChar::Script, int> taken;
    for (char32_t codePoint = 0; codePoint < 0x110000; ++codePoint) {
        const QChar::Script script = QChar::script(codePoint);
        if (isSample(codePoint) && isWritten(codePoint) && taken[script] < 4) {
            samples[script] += utf8(codePoint);
            ++taken[script];
        }
    }
    return samples;
}

// Clusters and runs that shaping treats specially, and bytes that are no UTF-8 at all.
const std::vector<std::string> clusterSamples{
    "नमस्ते दुनिया",
    "வணக்கம் உலகம்",
    "क्ष",
    "क्\u200Dष क्\u200Cष",
    "a\u0301\u0323\u0304 e\u0308\u20DD \u0301",
    "ﻻ لا \u0644\u200D\u0627 \u0628\u0651\u064E",
    "abc שלום 123 مرحبا def",
    "\u202Eabc\u202C \u2067שלום\u2069 \u200F!\u200E",
    "👩\u200D👩\u200D👧 👍🏽 🇩🇪 ❤\uFE0F ☺\uFE0E #\uFE0F\u20E3",
    "กรุงเทพฯ 한국어 中文 日本語 ܫܠܡܐ",
    "\U000E0001\U000E0041 \U000E0100 \uFEFF\u00AD\u2060",
    "\u0378\u0379 \U0003FFFD \U000EFFFD \uFFFE\uFFFF \U0010FFFF",
    "\uE000\uF8FF \U000F0000 \U0010FFFD",
    "\xff\xfe bad \xc3 \xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x82",
    "\t\r \x01\x7f\u0085",
};

const std::vector<std::pair<WhiteboardFontFamily, std::int64_t>> faces{
    {WhiteboardFontFamily::system, 2},
    {WhiteboardFontFamily::monospace, 3},
    {WhiteboardFontFamily::handDrawn, 0},
    {WhiteboardFontFamily::handDrawn, 1}, // Virgil
    {WhiteboardFontFamily::handDrawn, 5}, // Excalifont
};

WhiteboardElement textElement(const std::string &text, std::size_t index)
{
    constexpr double sizes[] = {20, 8.5, 36, 120};
    constexpr WhiteboardTextAlignment alignments[] = {WhiteboardTextAlignment::left,
                                                      WhiteboardTextAlignment::center,
                                                      WhiteboardTextAlignment::right};
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    element.setFrame({double(index % 20) * 60, double(index / 20) * 40, 400, 120});
    element.text = text;
    element.fontSize = sizes[index % 4];
    element.textAlignment = alignments[index % 3];
    element.fontFamily = faces[index % faces.size()].first;
    element.fontFamilyID = faces[index % faces.size()].second;
    element.style.strokeColor = "#1b1b1f";
    element.rotation = index % 7 == 0 ? 0.4 : 0;
    return element;
}

void registerHandDrawnFonts()
{
    for (const QString &name : {QStringLiteral("Virgil"), QStringLiteral("Excalifont")}) {
        registerBundledFonts({ZENTREL_BUILD_RESOURCES}, name, QStringLiteral("otf"));
    }
}

int inkOf(const QImage &image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qAlpha(image.pixel(x, y)) > 64 ? 1 : 0;
        }
    }
    return ink;
}

QImage transparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

TEST(TextScriptsPainting, EveryScriptLaysOutAndPaintsOnThePoolsThreads)
{
    registerHandDrawnFonts();
    std::vector<std::string> texts = blockSamples();
    for (const auto &[script, sample] : scriptSamples()) {
        texts.push_back(sample);
    }
    texts.insert(texts.end(), clusterSamples.begin(), clusterSamples.end());
    // Several samples to a text, a line each, and all of them in one text of many lines, which
    // is laid out in parts side by side.
    WhiteboardBoard board;
    std::string everything;
    for (std::size_t i = 0; i < texts.size(); i += 4) {
        std::string text;
        for (std::size_t j = i; j < std::min(i + 4, texts.size()); ++j) {
            text += texts[j] + "\n";
        }
        board.elements.push_back(makeElement(textElement(text, board.elements.size())));
        everything += text;
    }
    board.elements.push_back(makeElement(textElement(everything, board.elements.size())));

    const std::vector<PaintedElementPtr> painted =
        preparedElements(board.elements, 0.5, poolThreadCount(), nullptr);
    std::vector<ElementToPaint> toPaint;
    for (std::size_t i = 0; i < painted.size(); ++i) {
        toPaint.push_back({elementPaintBounds(*board.elements[i], 0.5), painted[i].get()});
    }
    QImage image = transparentImage({1200, 1200});
    paintElementsInBands(
        image, QRectF(image.rect()), toPaint, {{0.5, {0, 0}}, true, poolThreadCount()});
    EXPECT_GT(inkOf(image), 0);

    // The SVG export measures every line too, and stays a well-formed document.
    QXmlStreamReader reader(
        QByteArray::fromStdString(renderBoardSVG(board, whiteboardLineMeasurer())));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
}

// A character no installed font has shows as Qt's own drawing shows it, a box, rather than as
// nothing.
TEST(TextScriptsPainting, PaintsWhereQtsOwnTextDrawingPaints)
{
    std::map<std::string, std::string> samples;
    for (const auto &[script, sample] : scriptSamples()) {
        samples["script " + std::to_string(int(script))] = sample;
    }
    samples["Devanagari words"] = clusterSamples[0];
    samples["Tamil words"] = clusterSamples[1];
    samples["kssa"] = clusterSamples[2];
    std::vector<std::string> silent;
    for (const auto &[name, sample] : samples) {
        WhiteboardElement element = textElement(sample, 0);
        element.setFrame({10, 10, 600, 60});
        element.fontSize = 40;
        element.rotation = 0;
        QImage qtDrawn = transparentImage({640, 80});
        {
            QPainter painter(&qtDrawn);
            painter.setFont(whiteboardFont(WhiteboardTypeface::system, 40));
            painter.drawText(QPointF(10, 50), QString::fromStdString(sample));
        }
        if (inkOf(qtDrawn) == 0) {
            continue;
        }
        QImage ours = transparentImage({640, 80});
        {
            QPainter painter(&ours);
            paintElement(painter, paintedElement(element, 1));
        }
        if (inkOf(ours) == 0) {
            silent.push_back(name);
        }
    }
    std::string names;
    for (const std::string &name : silent) {
        names += " " + name;
    }
    EXPECT_TRUE(silent.empty()) << "nothing painted for" << names;
}

// Characters that show nothing by design: variation selectors, fillers, the grapheme joiner.
bool isInvisibleByDesign(char32_t c)
{
    return c == 0x034F || c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0
           || (c >= 0x17B4 && c <= 0x17B5) || (c >= 0x180B && c <= 0x180F)
           || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

// Each letter, mark and digit sampled from every script, alone in a text of each face, paints
// ink where it stands: from its face, from a fallback font, or as a box where no installed font
// has it (this machine has fonts for a few scripts only).
TEST(TextScriptsPainting, EveryCharacterShowsInkInEveryFace)
{
    registerHandDrawnFonts();
    std::vector<std::string> silent;
    for (const auto &[script, sample] : scriptSamples()) {
        for (const char32_t c : QString::fromStdString(sample).toUcs4()) {
            if (isInvisibleByDesign(c)) {
                continue;
            }
            for (std::size_t face = 0; face < faces.size(); ++face) {
                WhiteboardElement element = textElement(utf8(c), face);
                element.setFrame({10, 10, 120, 60});
                element.fontSize = 40;
                element.rotation = 0;
                QImage image = transparentImage({140, 80});
                {
                    QPainter painter(&image);
                    paintElement(painter, paintedElement(element, 1));
                }
                if (inkOf(image) == 0) {
                    silent.push_back(QString::number(uint(c), 16).toStdString() + " in face "
                                     + std::to_string(face));
                }
            }
        }
    }
    std::string names;
    for (std::size_t i = 0; i < std::min<std::size_t>(silent.size(), 40); ++i) {
        names += " " + silent[i];
    }
    EXPECT_TRUE(silent.empty()) << silent.size() << " characters painted nothing:" << names;
}

} // namespace
} // namespace zentrel
