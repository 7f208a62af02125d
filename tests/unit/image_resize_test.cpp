#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bitmap/image_resize.h"

namespace torvale {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

ImageLevel Filled(std::uint32_t width,
                  std::uint32_t height,
                  const std::function<Pixel(std::uint32_t, std::uint32_t)>& at) {
    ImageLevel image{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            for (const std::uint8_t c : at(x, y))
                image.rgba.push_back(c);
    return image;
}

Pixel PixelAt(const ImageLevel& image, std::uint32_t x, std::uint32_t y) {
    const std::size_t i = (std::size_t{y} * image.width + x) * 4;
    return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

constexpr Pixel kTeal{12, 200, 180, 255};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kClearGreen{0, 255, 0, 0};

// What must hold of every pixel of the resized image.
using Check = std::function<void(const ImageLevel&, std::uint32_t, std::uint32_t)>;

struct ResizeCase {
    std::string what;
    std::uint32_t width, height;
    std::function<Pixel(std::uint32_t, std::uint32_t)> source;
    std::uint32_t side;  // the texture's size
    Check check;
};

void Flat(const ImageLevel& r, std::uint32_t x, std::uint32_t y) {
    EXPECT_EQ(PixelAt(r, x, y), kTeal) << x << "," << y;
}

// Red and transparent green alternating: a texel may be partly transparent, but never any green.
void NoBleed(const ImageLevel& r, std::uint32_t x, std::uint32_t y) {
    const Pixel p = PixelAt(r, x, y);
    if (p[3] != 0) {
        EXPECT_EQ(p[0], 255) << x << "," << y;
        EXPECT_EQ(p[1], 0) << x << "," << y;
    }
}

class Resize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(Resize, MakesTheTextureSquareAndKeepsWhatItMust) {
    const ResizeCase& c = GetParam();
    const ImageLevel source = Filled(c.width, c.height, c.source);
    const std::uint32_t side = TextureSquareSide(c.width, c.height);
    EXPECT_EQ(side, c.side);
    const ImageLevel r = ResizeImage(source, side, side);
    ASSERT_EQ(r.width, side);
    ASSERT_EQ(r.height, side);
    ASSERT_EQ(r.rgba.size(), std::size_t{side} * side * 4);
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
            c.check(r, x, y);
}

const auto kFlat = [](std::uint32_t, std::uint32_t) { return kTeal; };
const auto kChecker = [](std::uint32_t x, std::uint32_t y) { return (x + y) % 2 ? kRed : kClearGreen; };

INSTANTIATE_TEST_SUITE_P(
    Cases,
    Resize,
    ::testing::Values(ResizeCase{"wide_100x60_to_64", 100, 60, kFlat, 64, Flat},
                      ResizeCase{"large_256_to_128", 256, 256, kFlat, 128, Flat},
                      ResizeCase{"small_20_up_to_32", 20, 20, kFlat, 32, Flat},
                      ResizeCase{"tall_3x300_to_128", 3, 300, kFlat, 128, Flat},
                      ResizeCase{"checker_down_keeps_no_green", 100, 60, kChecker, 64, NoBleed},
                      ResizeCase{"checker_up_keeps_no_green", 20, 20, kChecker, 32, NoBleed},
                      ResizeCase{"checker_halved_is_half_transparent_red", 256, 256, kChecker, 128,
                                 [](const ImageLevel& r, std::uint32_t x, std::uint32_t y) {
                                     EXPECT_EQ(PixelAt(r, x, y), (Pixel{255, 0, 0, 128})) << x << "," << y;
                                 }},
                      ResizeCase{"left_half_black_right_half_white_stays_split", 128, 64,
                                 [](std::uint32_t x, std::uint32_t) {
                                     return x < 64 ? Pixel{0, 0, 0, 255} : Pixel{255, 255, 255, 255};
                                 },
                                 128,
                                 [](const ImageLevel& r, std::uint32_t x, std::uint32_t y) {
                                     // 128 wide stays 128 wide: each column is its old one exactly.
                                     EXPECT_EQ(PixelAt(r, x, y)[0], x < 64 ? 0 : 255) << x << "," << y;
                                 }}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return info.param.what; });

TEST(ResizeImage, AveragesByAreaNotByPickingOnePixel) {
    // 3 columns of 0, 90, 255 become 2: the middle one is split between them.
    const ImageLevel source = Filled(3, 1, [](std::uint32_t x, std::uint32_t) {
        const std::uint8_t v = x == 0 ? 0 : x == 1 ? 90 : 255;
        return Pixel{v, v, v, 255};
    });
    const ImageLevel r = ResizeImage(source, 2, 1);
    ASSERT_EQ(r.rgba.size(), 8u);
    EXPECT_EQ(r.rgba[0], 30);   // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(r.rgba[4], 200);  // (90 * 0.5 + 255 * 1) / 1.5
}

TEST(ResizeImage, RefusesWhatIsNoImage) {
    EXPECT_TRUE(ResizeImage({}, 32, 32).rgba.empty());
    EXPECT_TRUE(ResizeImage({2, 2, std::vector<std::uint8_t>(15)}, 32, 32).rgba.empty());
    EXPECT_TRUE(ResizeImage({1, 1, {1, 2, 3, 4}}, 0, 32).rgba.empty());
}

}  // namespace
}  // namespace torvale
