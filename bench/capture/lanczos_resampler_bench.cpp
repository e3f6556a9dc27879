#include "capture/lanczos_resampler.h"

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace zentrel;

namespace {

// A noisy image, so no branch or cache effect flatters a flat colour.
PixelImage noise(int width, int height)
{
    PixelImage image{width, height, {}};
    std::uint32_t state = 12345;
    image.pixels.reserve(std::size_t(width) * height);
    for (int i = 0; i < width * height; ++i) {
        state = state * 1664525u + 1013904223u;
        image.pixels.push_back(0xFF000000u | (state >> 8));
    }
    return image;
}

void resampleRepeatedly(benchmark::State &state, int from, int to)
{
    const PixelImage source = noise(from, from);
    PixelImage destination{to, to, std::vector<std::uint32_t>(std::size_t(to) * to)};
    LanczosResampler resampler;
    for (auto _ : state) {
        resampler.resample(viewOf(source), mutableViewOf(destination));
        benchmark::DoNotOptimize(destination.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * to * to);
}

// The loupe redraws at 60 Hz: a 240-point loupe at 2× zoom on a 1× screen scales 120 → 240.
// budget: < 0.5 ms per frame
void BM_Lanczos_Loupe120to240(benchmark::State &state)
{
    resampleRepeatedly(state, 120, 240);
}

// A large loupe on a high-density screen; no budget, tracked for regressions.
void BM_Lanczos_400to1600(benchmark::State &state)
{
    resampleRepeatedly(state, 400, 1600);
}

} // namespace

BENCHMARK(BM_Lanczos_Loupe120to240)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lanczos_400to1600)->Unit(benchmark::kMillisecond);
