#include "sessions/png_file.h"

#include "core/sessions/png_fixture.h"
#include "sessions/png_decoder.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

constexpr std::uint64_t plenty = 1 << 20;

std::optional<DecodedPng> decoded(const std::string &bytes)
{
    const auto png = parsePng(bytes);
    if (!png) {
        return std::nullopt;
    }
    return decodePng(*png, plenty);
}

TEST(PngFile, AcceptsEveryColourTypeAndReadsTheHeader)
{
    for (std::uint8_t colorType : {0, 2, 3, 4, 6}) {
        PngFixture fixture;
        fixture.colorType = colorType;
        fixture.width = 5;
        fixture.height = 2;
        const int channels = PngHeader{1, 1, 8, colorType, false}.channels();
        fixture.samples = [channels](std::uint32_t x, std::uint32_t) {
            return std::vector<std::uint8_t>(std::size_t(channels), std::uint8_t(x));
        };
        if (colorType == 3) {
            fixture.palette = std::string(15, '\x10');
        }
        const auto header = validatePng(fixture.encode());
        ASSERT_TRUE(header.has_value()) << int(colorType) << ": " << header.error();
        EXPECT_EQ(header->width, 5u);
        EXPECT_EQ(header->height, 2u);
        EXPECT_EQ(header->colorType, colorType);
    }
}

TEST(PngFile, RefusesWhatIsNotACompletePng)
{
    const std::string good = rgbPng(6, 4);
    ASSERT_TRUE(validatePng(good).has_value());

    EXPECT_FALSE(validatePng("").has_value());
    EXPECT_FALSE(validatePng("\xFF\xD8\xFF\xE0 a JPEG file").has_value());
    EXPECT_FALSE(validatePng(good.substr(0, 8)).has_value()) << "signature alone";
    EXPECT_FALSE(validatePng(good.substr(0, good.size() - 20)).has_value()) << "cut short";

    std::string damaged = good;
    damaged[20] ^= 0x01; // inside IHDR: its checksum no longer matches
    EXPECT_FALSE(validatePng(damaged).has_value());

    PngFixture badFilter;
    badFilter.samples = [](std::uint32_t, std::uint32_t) {
        return std::vector<std::uint8_t>{1, 2, 3};
    };
    std::string raw = badFilter.filteredData();
    raw[0] = 7;
    std::string file = good.substr(0, 33);
    PngFixture::appendChunk(file, "IDAT", PngFixture::compressed(raw));
    PngFixture::appendChunk(file, "IEND", {});
    const auto refused = validatePng(file);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error(), "a row has an unknown filter type");
}

TEST(PngDecoder, FiltersPalettesTransparencyAndInterlacingDecodeToTheSamePixels)
{
    PngFixture plain;
    plain.width = 11;
    plain.height = 9;
    const auto expected = decoded(plain.encode());
    ASSERT_TRUE(expected.has_value());
    EXPECT_TRUE(expected->alpha.empty()) << "an opaque image needs no mask";
    EXPECT_EQ(expected->rgb[(2 * 11 + 3) * 3], 3 * 40);
    EXPECT_EQ(expected->rgb[(2 * 11 + 3) * 3 + 1], 2 * 60);

    PngFixture filtered = plain;
    filtered.subFilter = true;
    PngFixture interlaced = plain;
    interlaced.interlaced = true;
    for (const PngFixture &variant : {filtered, interlaced}) {
        const auto image = decoded(variant.encode());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->rgb, expected->rgb);
    }

    PngFixture indexed = plain;
    indexed.colorType = 3;
    indexed.palette = std::string("\xFF\x00\x00\x00\x00\xFF", 6);
    indexed.transparency = std::string("\x80", 1);
    indexed.samples = [](std::uint32_t x, std::uint32_t) {
        return std::vector<std::uint8_t>{std::uint8_t(x % 2)};
    };
    const auto image = decoded(indexed.encode());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->rgb[0], 0xFF);
    EXPECT_EQ(image->rgb[5], 0xFF) << "the second pixel is palette entry 1, blue";
    ASSERT_EQ(image->alpha.size(), 11u * 9u);
    EXPECT_EQ(image->alpha[0], 0x80);
    EXPECT_EQ(image->alpha[1], 0xFF) << "entries past the transparency list are opaque";
}

TEST(PngDecoder, RefusesImagesAboveThePixelLimit)
{
    const std::string bytes = rgbPng(100, 100);
    const auto png = parsePng(bytes);
    ASSERT_TRUE(png.has_value());
    EXPECT_FALSE(decodePng(*png, 9999).has_value());
    EXPECT_TRUE(decodePng(*png, 10000).has_value());
}

TEST(PngFile, RefusesMorePixelsThanAFrameMayHave)
{
    // 8192 by 4096 is the bound itself; one more row is a bomb of the same few kilobytes.
    EXPECT_TRUE(validatePng(blankGreyPng(8192, 4096)).has_value());
    const auto bomb = validatePng(blankGreyPng(8192, 4097));
    ASSERT_FALSE(bomb.has_value());
    EXPECT_EQ(bomb.error(), "the image has more than 33554432 pixels");
}

} // namespace
} // namespace zentrel
