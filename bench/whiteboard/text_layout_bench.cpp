// Laying out one text element in the fonts the canvas draws with: what opening, importing or
// painting a board with a very long text costs, however the text is made.
#include "whiteboard/render/text_layout.h"

#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/canvas/whiteboard_fonts.h"

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
    std::size_t areas = 0;
    for (auto _ : state) {
        areas = paintedElement(element, 1).areas.size();
        benchmark::DoNotOptimize(areas);
    }
    state.counters["areas"] = static_cast<double>(areas);
}

// budget: < 1 s of the main thread's waiting for the outlines of one 1 MB word in a 400-point
// box, as a board shows it once the word is edited; the pool's free threads share the work
void BM_TextLayout_OutlinesOfAMegabyteWord(benchmark::State &state)
{
    const WhiteboardElement element = textElement(std::string(1'000'000, 'w'), 400);
    for (auto _ : state) {
        benchmark::DoNotOptimize(paintedElement(element, 1).areas.size());
    }
}

BENCHMARK(BM_TextLayout_OneLongWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_OutlinesOfOneLongWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLayout_OutlinesOfAMegabyteWord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextLayout_MegabyteOfWords)->Unit(benchmark::kMillisecond);

} // namespace
