#include "whiteboard/model/svg/svg_export.h"

#include "whiteboard/generated_board.h"

#include <benchmark/benchmark.h>

using namespace zentrel;

namespace {

// budget: < 100 ms for a 10,000-element board
void BM_SvgExport_10k(benchmark::State &state)
{
    const WhiteboardBoard board = generatedBoard(10'000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = renderBoardSVG(board);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_SvgExport_10k)->Unit(benchmark::kMillisecond);

} // namespace
