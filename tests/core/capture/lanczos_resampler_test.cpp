#include "capture/lanczos_resampler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

using namespace zentrel;

namespace {

constexpr std::uint32_t opaque = 0xFF000000u;

std::uint32_t rgb(int r, int g, int b)
{
    return opaque | std::uint32_t(b) << 16 | std::uint32_t(g) << 8 | std::uint32_t(r);
}

PixelImage filled(int width, int height, std::uint32_t pixel)
{
    return {width, height, std::vector<std::uint32_t>(std::size_t(width) * height, pixel)};
}

// A hard-edged, varied pattern: Lanczos rings on such edges, so clamping gets exercised.
PixelImage checkerboard(int width, int height)
{
    PixelImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool white = ((x / 3) + (y / 2)) % 2 == 0;
            image.pixels.push_back(white ? rgb(255, 250, 245) : rgb(0, 5, 10));
        }
    }
    return image;
}

int channel(std::uint32_t pixel, int index)
{
    return int((pixel >> (8 * index)) & 0xFF);
}

} // namespace

TEST(LanczosResampler, ConstantImageStaysConstantAtAnyScale)
{
    LanczosResampler resampler;
    const std::uint32_t colour = rgb(17, 130, 251);
    const PixelImage source = filled(37, 23, colour);
    for (auto [w, h] : {std::pair{74, 46}, {12, 7}, {100, 5}, {1, 1}, {37, 23}}) {
        const PixelImage result = resampler.resampled(viewOf(source), w, h);
        ASSERT_EQ(result.width, w);
        ASSERT_EQ(result.height, h);
        EXPECT_EQ(result, filled(w, h, colour)) << w << "x" << h;
    }
}

TEST(LanczosResampler, ScalingByOneIsTheIdentity)
{
    LanczosResampler resampler;
    const PixelImage source = checkerboard(31, 17);
    EXPECT_EQ(resampler.resampled(viewOf(source), 31, 17), source);

    // Alpha is forced opaque, whatever the capture delivered.
    const PixelImage transparent = filled(8, 8, 0x00336699u);
    EXPECT_EQ(resampler.resampled(viewOf(transparent), 8, 8), filled(8, 8, 0xFF336699u));
}

TEST(LanczosResampler, ValuesStayInRangeWhereTheFilterRings)
{
    // Without clamping, the overshoot beside a 0/255 edge wraps into the neighbouring channel.
    LanczosResampler resampler;
    const PixelImage source = checkerboard(20, 20);
    const PixelImage result = resampler.resampled(viewOf(source), 57, 43);
    bool sawFullWhite = false;
    bool sawFullBlack = false;
    for (std::uint32_t pixel : result.pixels) {
        ASSERT_EQ(pixel >> 24, 0xFFu);
        sawFullWhite = sawFullWhite || channel(pixel, 0) == 255;
        sawFullBlack = sawFullBlack || channel(pixel, 0) == 0;
        // Red and green differ by 5 in both source colours; an unclamped overshoot spilling into
        // the next channel would tear them far apart.
        EXPECT_LE(std::abs(channel(pixel, 0) - channel(pixel, 1)), 12);
    }
    EXPECT_TRUE(sawFullWhite);
    EXPECT_TRUE(sawFullBlack);
}

TEST(LanczosResampler, ReadsACropThroughItsStrideWithoutCopying)
{
    // Left half red, right half green; a view of the right half must show no red.
    PixelImage source{20, 10, {}};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            source.pixels.push_back(x < 10 ? rgb(255, 0, 0) : rgb(0, 255, 0));
        }
    }
    const PixelView rightHalf{source.pixels.data() + 10, 10, 10, source.width};
    LanczosResampler resampler;
    EXPECT_EQ(resampler.resampled(rightHalf, 25, 25), filled(25, 25, rgb(0, 255, 0)));
}

TEST(LanczosResampler, UpscaledGradientStaysMonotonicAndKeepsItsEnds)
{
    PixelImage ramp{16, 1, {}};
    for (int x = 0; x < 16; ++x) {
        ramp.pixels.push_back(rgb(x * 17, x * 17, x * 17));
    }
    LanczosResampler resampler;
    const PixelImage result = resampler.resampled(viewOf(ramp), 64, 1);
    EXPECT_LE(channel(result.pixels.front(), 1), 3);
    EXPECT_GE(channel(result.pixels.back(), 1), 252);
    for (std::size_t i = 1; i < result.pixels.size(); ++i) {
        EXPECT_GE(channel(result.pixels[i], 1) + 1, channel(result.pixels[i - 1], 1)) << i;
    }
}

TEST(LanczosResampler, WeightsAreComputedOncePerSizePair)
{
    LanczosResampler resampler;
    const PixelImage source = checkerboard(120, 120);
    const PixelImage first = resampler.resampled(viewOf(source), 240, 240);
    EXPECT_EQ(resampler.cachedWeightTables(), 1u); // same pair across and down
    EXPECT_EQ(resampler.resampled(viewOf(source), 240, 240), first);
    EXPECT_EQ(resampler.cachedWeightTables(), 1u);
    resampler.resampled(viewOf(source), 240, 200);
    EXPECT_EQ(resampler.cachedWeightTables(), 2u);
}

TEST(LanczosResampler, AZoomThroughManySizesKeepsFewTablesAndTheSameResults)
{
    LanczosResampler resampler;
    const PixelImage source = checkerboard(120, 120);
    const PixelImage first = resampler.resampled(viewOf(source), 240, 200);
    for (int size = 100; size < 400; ++size) {
        resampler.resampled(viewOf(source), size, size + 1);
    }
    EXPECT_LE(resampler.cachedWeightTables(), 8u);
    EXPECT_EQ(resampler.resampled(viewOf(source), 240, 200), first);
}
