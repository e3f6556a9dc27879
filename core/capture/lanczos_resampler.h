#pragma once

#include "capture/pixel_image.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace zentrel {

// Lanczos-3 scaling, done as two one-dimensional passes. The loupe scales the same crop size to
// the same loupe size sixty times a second, so the filter weights of each (source length,
// destination length) pair are computed once and kept. A pinch zoom walks through many crop
// sizes, so only the most recently used few pairs are kept. Results are
// clamped to 0…255 per channel and alpha is forced opaque. Not thread-safe: one per view.
class LanczosResampler
{
public:
    // Scales the whole of source into the whole of destination. Does nothing when either is
    // empty; source and destination must not overlap.
    void resample(const PixelView &source, const MutablePixelView &destination);

    // Allocating form for callers that do not keep a destination buffer.
    PixelImage resampled(const PixelView &source, int width, int height);

    // How many one-dimensional weight tables the cache holds (for tests of the cache).
    std::size_t cachedWeightTables() const { return m_weights.size(); }

    struct Weights
    {
        int taps = 0;            // coefficients per destination index
        std::vector<int> first;  // first source index per destination index
        std::vector<float> coef; // taps coefficients per destination index
    };

private:
    const Weights &weightsFor(int sourceLength, int destinationLength);

    struct CachedWeights
    {
        Weights weights;
        std::uint64_t lastUse = 0;
    };

    std::map<std::pair<int, int>, CachedWeights> m_weights;
    std::uint64_t m_uses = 0;
    std::vector<float> m_scratch; // channel planes and sums, reused between calls
};

} // namespace zentrel
