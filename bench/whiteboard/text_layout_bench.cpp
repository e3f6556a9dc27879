// Laying out one text element in the fonts the canvas draws with: what opening, importing or
// painting a board with a very long text costs, however the text is made.
#include "whiteboard/render/text_layout.h"

#include "common/pool_parallel_work.h"
#include "sessions/session_bench_support.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/render/element_render_plan.h"

#include <QImage>
#include <QString>

#include <benchmark/benchmark.h>

#include <string>

using namespace zentrel;

namespace {

WhiteboardElement textElement(std::string text, double width)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    element.setFrame({0, 0, width, 25});
    element.text = std::move(text);
    element.fontSize = 20;
    element.lineHeight = 1.25;
    element.fontFamilyID = 5;
    return element;
}

void layOut(benchmark::State &state, const WhiteboardElement &element)
{
    const TextMeasurer measure = whiteboardLineMeasurer();
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = layOutText(element, whiteboardTypeface(element), 20, measure).size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}

// budget: < 1 s for one 100 KB word in a box a few characters wide
void BM_TextLayout_OneLongWord(benchmark::State &state)
{
    layOut(state, textElement(std::string(100'000, 'x'), 60));
}

// budget: < 1 s for 1 MB of ordinary words in a 400-point box
void BM_TextLayout_MegabyteOfWords(benchmark::State &state)
{
    const std::string words[] = {"the ", "whiteboard ", "keeps ", "every ", "word ", "whole "};
    std::string text;
    for (std::size_t i = 0; text.size() < 1'000'000; ++i) {
        text += words[i % std::size(words)];
    }
    layOut(state, textElement(std::move(text), 400));
}

// budget: < 1 s to turn one 100 KB word in a box a few characters wide into glyph outlines
void BM_TextLayout_OutlinesOfOneLongWord(benchmark::State &state)
{
    const WhiteboardElement element = textElement(std::string(100'000, 'x'), 60);
    std::size_t glyphs = 0;
    for (auto _ : state) {
        glyphs = paintedElement(element, 1).text->glyphs.size();
        benchmark::DoNotOptimize(glyphs);
    }
    state.counters["glyphs"] = static_cast<double>(glyphs);
}

// budget: < 1 s of the main thread's waiting for the outlines of one 1 MB word in a 400-point
// box, as a board shows it once the word is edited; the pool's free threads share the work
void BM_TextLayout_OutlinesOfAMegabyteWord(benchmark::State &state)
{
    const WhiteboardElement element = textElement(std::string(1'000'000, 'w'), 400);
    for (auto _ : state) {
        benchmark::DoNotOptimize(paintedElement(element, 1).text);
    }
}

// An Excalidraw document of one text: a word of a megabyte in a box as wide as it runs, ten points
// a letter, so that it stays on one line.
std::string megabyteWordDocument()
{
    constexpr std::size_t letters = 1'000'000;
    return R"({"type":"excalidraw","version":2,"elements":[{"type":"text","id":"long","x":100,)"
           R"("y":200,"width":)"
           + std::to_string(letters * 10) + R"(,"height":25,"fontSize":20,"text":")"
           + std::string(letters, 'x') + R"("}]})";
}

// budget: < 1 s and < 50 MB at the peak from the document's bytes to the plan of its text
void BM_TextLayout_PlanOfAMegabyteWordOnOneLine(benchmark::State &state)
{
    const std::string document = megabyteWordDocument();
    const TextMeasurer measure = whiteboardLineMeasurer();
    const PeakMemory peak;
    for (auto _ : state) {
        const auto imported = importExcalidrawDocument(document, "Long");
        if (!imported || imported->board.elements.empty()) {
            state.SkipWithError("the document did not import");
            return;
        }
        const ElementRenderPlan plan =
            elementRenderPlan(*imported->board.elements.front(), RoughnessLevel::none, 1, measure);
        benchmark::DoNotOptimize(plan.text);
    }
    if (const std::optional<double> megabytes = peak.megabytesAbove()) {
        state.counters["peak_MB"] = *megabytes;
    }
}

// budget: < 1 s and < 100 MB at the peak to prepare the word's glyphs and paint a 1920 × 1080
// view of its start at 10 %, 100 % and 500 % in bands on the pool's threads
void BM_TextLayout_PaintingAMegabyteWordOnOneLine(benchmark::State &state)
{
    const auto imported = importExcalidrawDocument(megabyteWordDocument(), "Long");
    if (!imported || imported->board.elements.empty()) {
        state.SkipWithError("the document did not import");
        return;
    }
    const WhiteboardElement &element = *imported->board.elements.front();
    const ElementRenderPlan plan =
        elementRenderPlan(element, RoughnessLevel::none, 1, whiteboardLineMeasurer());
    QImage image(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
    const PeakMemory peak;
    for (auto _ : state) {
        const PaintedElement painted = paintedPlan(plan);
        const std::vector<ElementToPaint> elements{{elementPaintBounds(element, 1), &painted}};
        for (const double zoom : {0.1, 1.0, 5.0}) {
            BandPainting how;
            how.viewport = {zoom, {-100 * zoom, -200 * zoom}};
            how.clearFirst = true;
            how.threads = poolThreadCount();
            how.alongside = true;
            paintElementsInBands(image, QRectF(image.rect()), elements, how);
        }
        benchmark::DoNotOptimize(image.bits());
    }
    if (const std::optional<double> megabytes = peak.megabytesAbove()) {
        state.counters["peak_MB"] = *megabytes;
    }
}

// budget: < 16 ms to paint a 1920 × 1080 view full of colour emoji, 64 kinds of them, laid out
// once, in bands on the pool's threads
void BM_TextLayout_PaintingAViewOfEmoji(benchmark::State &state)
{
    std::string text;
    for (int line = 0; line < 40; ++line) {
        for (int i = 0; i < 70; ++i) {
            // From U+1F910 on, pictographs that plain fonts rarely have, so the colour font
            // draws them.
            const char32_t emoji = U'\U0001F910' + char32_t((line * 7 + i) % 64);
            text += QString::fromUcs4(&emoji, 1).toStdString();
        }
        text += "\n";
    }
    WhiteboardElement element = textElement(std::move(text), 2000);
    element.height = 1100;
    const PaintedElement painted = paintedElement(element, 1);
    const std::vector<ElementToPaint> elements{{elementPaintBounds(element, 1), &painted}};
    QImage image(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
    BandPainting how;
    how.viewport = {1, {0, 0}};
    how.clearFirst = true;
    how.threads = poolThreadCount();
    for (auto _ : state) {
        paintElementsInBands(image, QRectF(image.rect()), elements, how);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["pictures"] = static_cast<double>(painted.text->pictures.size());
}

BENCHMARK(BM_TextLayout_OneLongWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_OutlinesOfOneLongWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_OutlinesOfAMegabyteWord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextLayout_MegabyteOfWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_PlanOfAMegabyteWordOnOneLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_PaintingAMegabyteWordOnOneLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TextLayout_PaintingAViewOfEmoji)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
