#include "capture/lanczos_resampler.h"

#include "capture/vector_state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zentrel {

namespace {

constexpr double lobes = 3;
constexpr std::uint32_t opaque = 0xFF000000u;
// Alpha is not filtered: the result is always opaque.
constexpr int channels = 3;
// Across and down of a few recent zoom levels; each table is a few kilobytes.
constexpr std::size_t maxCachedWeightTables = 8;

double sinc(double x)
{
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos(double x)
{
    if (x == 0) {
        return 1;
    }
    if (std::abs(x) >= lobes) {
        return 0;
    }
    return sinc(x) * sinc(x / lobes);
}

LanczosResampler::Weights makeWeights(int sourceLength, int destinationLength)
{
    const double scale = double(sourceLength) / destinationLength;
    // Shrinking widens the filter so every source pixel still contributes.
    const double filterScale = std::max(scale, 1.0);
    const double support = lobes * filterScale;

    LanczosResampler::Weights weights;
    weights.taps = int(std::ceil(support)) * 2 + 1;
    weights.first.resize(destinationLength);
    weights.coef.assign(std::size_t(destinationLength) * weights.taps, 0);

    std::vector<double> exact(weights.taps);
    for (int i = 0; i < destinationLength; ++i) {
        const double centre = (i + 0.5) * scale;
        const int first = std::max(int(std::floor(centre - support + 0.5)), 0);
        const int last = std::min(int(std::floor(centre + support + 0.5)), sourceLength);
        const int count = std::min(last - first, weights.taps);
        double sum = 0;
        for (int k = 0; k < count; ++k) {
            exact[k] = lanczos((first + k + 0.5 - centre) / filterScale);
            sum += exact[k];
        }
        float *coef = &weights.coef[std::size_t(i) * weights.taps];
        weights.first[i] = first;
        if (count <= 0 || sum == 0) {
            weights.first[i] = std::clamp(int(centre), 0, sourceLength - 1);
            coef[0] = 1;
            continue;
        }
        for (int k = 0; k < count; ++k) {
            coef[k] = float(exact[k] / sum);
        }
    }
    return weights;
}

// Written on values so it compiles to min and max instructions; std::clamp's references made
// branches that cost more than the filtering.
float channelValue(float value)
{
    const float above = value > 0.0f ? value : 0.0f;
    return above < 255.0f ? above : 255.0f;
}

// Rounding to nearest keeps the tiny error of float weights from moving a constant image or the
// identity scale off its integer levels.
std::uint32_t level(float sum)
{
    return std::uint32_t(channelValue(sum + 0.5f));
}

// One row scaled across. The row holds four floats per pixel (the fourth unused) so one tap
// is one vector operation, and it is padded with zeros past its end, so every destination index
// runs the full tap count. Results go to the three channel planes.
void scaleRow(const float *__restrict source,
              const LanczosResampler::Weights &weights,
              float *const planes[channels],
              int outLength)
{
    const int taps = weights.taps;
    for (int x = 0; x < outLength; ++x) {
        const float *coef = &weights.coef[std::size_t(x) * taps];
        const float *from = source + 4 * std::size_t(weights.first[x]);
        float sum[4] = {0, 0, 0, 0};
        for (int k = 0; k < taps; ++k) {
            for (int c = 0; c < 4; ++c) {
                sum[c] += from[4 * k + c] * coef[k];
            }
        }
        for (int c = 0; c < channels; ++c) {
            planes[c][x] = channelValue(sum[c]);
        }
    }
}

// Adds weight × row to the sums; a plain loop over contiguous floats, which the compiler
// vectorises, is why the down pass works on planes rather than packed pixels.
void accumulate(float *__restrict sums, const float *__restrict row, float weight, int length)
{
    for (int x = 0; x < length; ++x) {
        sums[x] += weight * row[x];
    }
}

// Four rows at once, so the sums are read and written a quarter as often.
void accumulate4(float *__restrict sums,
                 const float *const rows[4],
                 const float weights[4],
                 int length)
{
    const float *__restrict r0 = rows[0];
    const float *__restrict r1 = rows[1];
    const float *__restrict r2 = rows[2];
    const float *__restrict r3 = rows[3];
    for (int x = 0; x < length; ++x) {
        sums[x] +=
            weights[0] * r0[x] + weights[1] * r1[x] + weights[2] * r2[x] + weights[3] * r3[x];
    }
}

// Taps near the far edge reach past the source; their weights are zero, so stop before them.
int usableTaps(const LanczosResampler::Weights &weights, int index, int sourceLength)
{
    return std::min(weights.taps, sourceLength - weights.first[index]);
}

} // namespace

const LanczosResampler::Weights &LanczosResampler::weightsFor(int sourceLength,
                                                              int destinationLength)
{
    const auto key = std::make_pair(sourceLength, destinationLength);
    auto found = m_weights.find(key);
    if (found == m_weights.end()) {
        // Evicts the least recently used pair, never the one the other pass of this frame
        // just looked up (it was used last).
        if (m_weights.size() >= maxCachedWeightTables) {
            m_weights.erase(std::min_element(
                m_weights.begin(), m_weights.end(), [](const auto &left, const auto &right) {
                    return left.second.lastUse < right.second.lastUse;
                }));
        }
        found = m_weights.emplace(key, CachedWeights{makeWeights(sourceLength, destinationLength)})
                    .first;
    }
    found->second.lastUse = ++m_uses;
    return found->second.weights;
}

void LanczosResampler::resample(const PixelView &source, const MutablePixelView &destination)
{
    if (source.isEmpty() || destination.isEmpty()) {
        return;
    }
    clearUpperVectorHalves();
    const Weights &across = weightsFor(source.width, destination.width);
    const Weights &down = weightsFor(source.height, destination.height);
    const int width = destination.width;
    const std::size_t plane = std::size_t(width) * source.height;

    // Channels are split into planes of ints so both passes run over plain arrays. The
    // horizontal pass goes first: it runs over the source rows, which the loupe's upscale keeps
    // few.
    const std::size_t paddedWidth = 4 * (std::size_t(source.width) + across.taps);
    // Kept between calls; only the padding must start out as zeros, the rest is written first.
    m_scratch.resize(std::max(m_scratch.size(), channels * plane + paddedWidth + channels * width));
    float *planes = m_scratch.data();
    float *unpacked = planes + channels * plane;
    float *sums = unpacked + paddedWidth;
    std::fill(unpacked + 4 * std::size_t(source.width), sums, 0.0f);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t *row = source.pixels + std::ptrdiff_t(y) * source.stride;
        for (int x = 0; x < source.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                unpacked[4 * x + c] = float((row[x] >> (8 * c)) & 0xFF);
            }
        }
        float *const rowPlanes[channels] = {planes + std::size_t(y) * width,
                                            planes + plane + std::size_t(y) * width,
                                            planes + 2 * plane + std::size_t(y) * width};
        scaleRow(unpacked, across, rowPlanes, width);
    }
    for (int y = 0; y < destination.height; ++y) {
        const float *coef = &down.coef[std::size_t(y) * down.taps];
        const int taps = usableTaps(down, y, source.height);
        std::fill(sums, sums + channels * std::size_t(width), 0.0f);
        for (int c = 0; c < channels; ++c) {
            const float *first = planes + c * plane + std::size_t(down.first[y]) * width;
            float *channelSums = sums + std::size_t(c) * width;
            int k = 0;
            for (; k + 4 <= taps; k += 4) {
                const float *const rows[4] = {first + std::size_t(k) * width,
                                              first + std::size_t(k + 1) * width,
                                              first + std::size_t(k + 2) * width,
                                              first + std::size_t(k + 3) * width};
                accumulate4(channelSums, rows, coef + k, width);
            }
            for (; k < taps; ++k) {
                accumulate(channelSums, first + std::size_t(k) * width, coef[k], width);
            }
        }
        std::uint32_t *out = destination.pixels + std::ptrdiff_t(y) * destination.stride;
        for (int x = 0; x < width; ++x) {
            out[x] = opaque | level(sums[x]) | level(sums[width + x]) << 8
                     | level(sums[2 * width + x]) << 16;
        }
    }
}

PixelImage LanczosResampler::resampled(const PixelView &source, int width, int height)
{
    PixelImage image;
    if (source.isEmpty() || width <= 0 || height <= 0) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * height, opaque);
    resample(source, mutableViewOf(image));
    return image;
}

} // namespace zentrel
