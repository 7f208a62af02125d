#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bitmap/game_bitmap_reader.h"
#include "bitmap/ogf_writer.h"
#include "bitmap/png_image.h"
#include "builders/bitmap_builder.h"

namespace torvale {
namespace {

using test::Bytes;
using test::DecodedOgf;
using test::DecodeOgfForTest;

ImageLevel Pixels(std::uint32_t width, std::uint32_t height, const std::vector<std::array<std::uint8_t, 4>>& rgba) {
    ImageLevel level{width, height, {}};
    for (const auto& pixel : rgba)
        level.rgba.insert(level.rgba.end(), pixel.begin(), pixel.end());
    return level;
}

Bytes Encode(const ImageLevel& image, const OgfOptions& options) {
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(EncodeOgf(image, options, out, error)) << error;
    return out;
}

// 260 red pixels, one of odd colour, 39 transparent ones whose colour must be dropped.
TEST(OgfWriter, WritesTheHeaderAndRunsAsTheGameDoes) {
    std::vector<std::array<std::uint8_t, 4>> rgba(260, {255, 0, 0, 255});
    rgba.push_back({8, 16, 248, 255});
    rgba.insert(rgba.end(), 39, {10, 20, 30, 0});
    const Bytes file = Encode(Pixels(300, 1, rgba), {.name = "wall.ogf"});

    const DecodedOgf ogf = DecodeOgfForTest(file);
    ASSERT_TRUE(ogf.ok) << ogf.problem;
    EXPECT_EQ(ogf.type, 122u);
    EXPECT_EQ(ogf.name, "wall.ogf");
    EXPECT_EQ(ogf.levelByte, 1u);
    EXPECT_EQ(ogf.ignored, Bytes(9, 0));
    EXPECT_EQ(ogf.width, 300u);
    EXPECT_EQ(ogf.height, 1u);
    EXPECT_EQ(ogf.depth, 32u);
    EXPECT_EQ(ogf.descriptor, 0x28u);
    EXPECT_EQ(ogf.commands, (std::vector<unsigned>{250, 10, 0, 39}));  // never 1, never past 250
    ASSERT_EQ(ogf.levels.size(), 1u);
    EXPECT_EQ(ogf.levels[0][0], 0xFC00);
    EXPECT_EQ(ogf.levels[0][260], 0x845F);
    EXPECT_EQ(ogf.levels[0][299], 0x0000);

    Image back;
    std::string error;
    ASSERT_TRUE(ReadGameBitmap(file, back, error)) << error;
    EXPECT_EQ(back.name, "wall.ogf");
    EXPECT_EQ(std::vector<std::uint8_t>(back.level.rgba.begin() + 260 * 4, back.level.rgba.begin() + 262 * 4),
              (std::vector<std::uint8_t>{8, 16, 255, 255, 0, 0, 0, 0}));
}

TEST(OgfWriter, ChoosesFourBitsOfAlphaOnlyForGradedAlphaUnlessAsked) {
    const ImageLevel graded = Pixels(1, 1, {{255, 128, 0, 128}});
    const ImageLevel sharp = Pixels(1, 1, {{255, 128, 0, 255}});
    struct Case {
        const ImageLevel* image;
        OgfPixels pixels;
        unsigned type;
        std::uint16_t word;
    };
    const Case cases[] = {
        {&graded, OgfPixels::Automatic, 121, 0x8F80},
        {&graded, OgfPixels::Argb1555, 122, 0xFE00},  // any alpha but 0 is opaque
        {&sharp, OgfPixels::Automatic, 122, 0xFE00},
        {&sharp, OgfPixels::Argb4444, 121, 0xFF80},
    };
    for (const Case& c : cases) {
        const DecodedOgf ogf = DecodeOgfForTest(Encode(*c.image, {.name = "a.ogf", .pixels = c.pixels}));
        ASSERT_TRUE(ogf.ok) << ogf.problem;
        EXPECT_EQ(ogf.type, c.type);
        EXPECT_EQ(ogf.levels.at(0).at(0), c.word);
    }
}

TEST(OgfWriter, BoxFilterAveragesEachBlockAsTheGameDoes) {
    // 1555: an opaque block; a block of two transparent pixels (the sum still divides by 4: darker); a block
    // of three transparent pixels, which stays transparent.
    const std::vector<std::uint16_t> words1555 = {
        0x8000 | 1 << 10 | 31,
        0x8000 | 2 << 10 | 31,
        0x8000 | 31 << 10,
        0x0000,
        0x0000,
        0xFFFF,
        0x8000 | 3 << 10 | 31,
        0x8000 | 6 << 10 | 31,
        0x7FFF,
        0xFC00,
        0x0000,
        0x0000,
    };
    EXPECT_EQ(BoxFilterOgfLevel(words1555, 6, 2, false), (std::vector<std::uint16_t>{0x8C1F, 0xBC00, 0x0000}));
    const std::vector<std::uint16_t> words4444 = {0xF000, 0x0F00, 0xFFFF, 0xFFFF, 0x00F0, 0x000F, 0xFFFF, 0xEEEE};
    EXPECT_EQ(BoxFilterOgfLevel(words4444, 4, 2, true), (std::vector<std::uint16_t>{0x3333, 0xEEEE}));

    // Written levels: 4 x 4 of one colour with a transparent quarter gives 2 x 2, then 1 x 1.
    std::vector<std::array<std::uint8_t, 4>> rgba(16, {248, 0, 0, 255});
    rgba[0] = rgba[1] = rgba[4] = rgba[5] = {0, 0, 0, 0};
    const DecodedOgf ogf = DecodeOgfForTest(Encode(Pixels(4, 4, rgba), {.name = "m.ogf", .levels = 3}));
    ASSERT_TRUE(ogf.ok) << ogf.problem;
    EXPECT_EQ(ogf.levelByte, 3u);
    ASSERT_EQ(ogf.levels.size(), 3u);
    EXPECT_EQ(ogf.levels[1], (std::vector<std::uint16_t>{0x0000, 0xFC00, 0xFC00, 0xFC00}));
    EXPECT_EQ(ogf.levels[2], (std::vector<std::uint16_t>{0x8000 | 23 << 10}));  // 3 x 31 / 4
}

TEST(OgfWriter, RefusesWhatNoOgfCanHold) {
    const ImageLevel four = Pixels(4, 4, std::vector<std::array<std::uint8_t, 4>>(16, {1, 2, 3, 255}));
    struct Case {
        ImageLevel image;
        OgfOptions options;
        std::string error;
    };
    const Case cases[] = {
        {four,
         {.name = std::string(34, 'n')},
         "the name inside an OGF has 1 to 33 characters; \"" + std::string(34, 'n') + "\" has 34"},
        {four, {.name = ""}, "the name inside an OGF has 1 to 33 characters; \"\" has 0"},
        {four, {.name = "a.ogf", .levels = 4}, "a 4 x 4 image has 1 to 3 levels, not 4"},
        {four, {.name = "a.ogf", .levels = 0}, "a 4 x 4 image has 1 to 3 levels, not 0"},
        {ImageLevel{0, 1, {}}, {.name = "a.ogf"}, "an OGF holds 1 to 65535 pixels a side; this image is 0 x 1"},
        {ImageLevel{70000, 1, std::vector<std::uint8_t>(280000)},
         {.name = "a.ogf"},
         "an OGF holds 1 to 65535 pixels a side; this image is 70000 x 1"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> out = {7};
        std::string error;
        EXPECT_FALSE(EncodeOgf(c.image, c.options, out, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(out, std::vector<std::uint8_t>{7});
    }
}

// The game's own files, read and written again with their names, levels and layouts, come back byte for byte.
TEST(OgfWriter, RewritesTheGamesOwnFilesByteForByte) {
    const std::filesystem::path dir = std::filesystem::path(TORVALE_REAL_WORLD_DIR) / "textures";
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << dir << " is not there";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".ogf")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const Bytes file = test::ReadTestFile(entry.path().string());
        Image image;
        std::string error;
        ASSERT_TRUE(ReadGameBitmap(file, image, error)) << error;
        const OgfPixels pixels = image.format == PixelFormat::Argb4444 ? OgfPixels::Argb4444 : OgfPixels::Argb1555;
        EXPECT_EQ(Encode(image.level, {.name = image.name, .pixels = pixels, .levels = image.levelCount()}), file);
        ++compared;
    }
    EXPECT_GE(compared, 7);
}

TEST(PngImage, KeepsEveryChannelThroughAPngAndRefusesAHeaderClaimingTooMuch) {
    const ImageLevel image = Pixels(3, 1, {{1, 2, 3, 0}, {255, 128, 7, 200}, {9, 9, 9, 255}});
    const std::vector<std::uint8_t> png = EncodePngImage(image);
    ASSERT_TRUE(IsPng(png));
    Image back;
    std::string error;
    ASSERT_TRUE(ReadPngImage(png, back, error)) << error;
    EXPECT_EQ(back.level.width, 3u);
    EXPECT_EQ(back.level.rgba, image.rgba);

    std::vector<std::uint8_t> claim = png;
    claim[16] = 0x40;  // width 0x40000003
    claim[20] = 0x40;
    EXPECT_FALSE(ReadPngImage(claim, back, error));
    EXPECT_EQ(error.rfind("the PNG header claims 1073741827 x 1073741825 pixels, more than its ", 0), 0u) << error;
    EXPECT_EQ(back.level.width, 3u);
    // A claim the file's size could back, beyond any image this program reads.
    std::vector<std::uint8_t> large = png;
    const std::uint8_t size[] = {0, 0, 0x20, 0x01, 0, 0, 0x20, 0x00};  // 8193 x 8192, big-endian
    std::copy(std::begin(size), std::end(size), large.begin() + 16);
    large.resize(large.size() + 9000, 0);
    EXPECT_FALSE(ReadPngImage(large, back, error));
    EXPECT_EQ(error, "the PNG is 8193 x 8192 pixels, more than the 67108864 this program reads");
    // An unknown critical chunk whose tag holds a line break: the decoder quotes the tag, the refusal stays
    // one line.
    std::vector<std::uint8_t> unknown = png;
    const std::vector<std::uint8_t> chunk = {0, 0, 0, 0, 'A', '\n', 'B', 'C', 0, 0, 0, 0};
    unknown.insert(unknown.begin() + 33, chunk.begin(), chunk.end());
    EXPECT_FALSE(ReadPngImage(unknown, back, error));
    EXPECT_EQ(error.rfind("the PNG data cannot be decoded: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;

    for (std::size_t size = 0; size < png.size(); ++size) {
        const std::vector<std::uint8_t> prefix(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadPngImage(prefix, back, error)) << size;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace torvale
