#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bitmap/game_bitmap_reader.h"
#include "builders/bitmap_builder.h"
#include "builders/seeds.h"

namespace torvale {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::OgfHeader;
using test::OgfLonePixels;
using test::OgfRun;
using test::TgaHeader;
using Rgba = std::array<int, 4>;

Rgba PixelAt(const ImageLevel& level, std::size_t index) {
    const std::uint8_t* p = &level.rgba.at(4 * index);
    return {p[0], p[1], p[2], p[3]};
}

Bytes WithIdLength(unsigned length, Bytes file) {
    file.at(0) = static_cast<std::uint8_t>(length);
    return file;
}

Image Read(const Bytes& bytes) {
    Image image;
    std::string error;
    EXPECT_TRUE(ReadGameBitmap(bytes, image, error)) << error;
    return image;
}

TEST(BitmapWidening, RepeatsTheHighBitsBelowThemselves) {
    struct Case {
        unsigned value;
        unsigned bits;
        int wide;
    };
    const Case cases[] = {
        {0, 5, 0}, {1, 5, 8},  {16, 5, 132}, {30, 5, 247}, {31, 5, 255},
        {0, 4, 0}, {1, 4, 17}, {8, 4, 136},  {15, 4, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WidenChannel(c.value, c.bits), c.wide) << c.value << " of " << c.bits << " bits";
}

// One pixel of each stored layout, as the game shows it.
TEST(BitmapReader, TurnsEachStoredWordIntoTheColourTheGameShows) {
    struct Case {
        unsigned type;
        std::uint16_t word;
        Rgba rgba;
    };
    const Case cases[] = {
        {122, 0x8000, {0, 0, 0, 255}},       {122, 0xFFFF, {255, 255, 255, 255}},
        {122, 0x7FFF, {0, 0, 0, 0}},  // bit 15 alone says opaque
        {122, 0xC210, {132, 132, 132, 255}}, {121, 0xF00F, {0, 0, 255, 255}},
        {121, 0x18F0, {136, 255, 0, 17}},    {121, 0x0000, {0, 0, 0, 0}},
        {123, 0x07E0, {0, 0, 0, 0}},      // pure green is the transparent key
        {123, 0x07C0, {0, 255, 0, 255}},  // green 62 of 6 bits is 31 of 5
        {123, 0x0020, {0, 0, 0, 255}},    // green's low bit is lost
        {123, 0xF81F, {255, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.word));
        const Image image = Read(OgfHeader(c.type, "p.ogf", 1, 1, 1).raw(OgfLonePixels({c.word})).take());
        EXPECT_EQ(PixelAt(image.level, 0), c.rgba);
    }
}

TEST(BitmapReader, ReadsEveryStoredLevelWithRunsAcrossRowsAndIgnoresWhatFollows) {
    const Bytes file = OgfHeader(122, "two.ogf", 3, 4, 2)
                           .raw(OgfRun(3, 0xFC00))  // crosses nothing yet: pixels 0..2
                           .raw(OgfLonePixels({0x801F}))
                           .raw(OgfRun(4, 0x83E0))  // the whole second row
                           .raw(OgfRun(2, 0xFFFF))  // level 1, 2 x 1
                           .u8(0xEE)                // level 2 is 1 x 0: no commands; this byte is never read
                           .take();
    const Image image = Read(file);
    EXPECT_EQ(image.fileType, 122);
    EXPECT_EQ(image.format, PixelFormat::Argb1555);
    EXPECT_EQ(image.name, "two.ogf");
    ASSERT_EQ(image.levelCount(), 3u);
    EXPECT_EQ(image.width(), 4u);
    EXPECT_EQ(image.height(), 2u);
    EXPECT_EQ(PixelAt(image.level, 2), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image.level, 3), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(image.level, 4), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(image.level, 7), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(image.mips[0].width, 2u);
    EXPECT_EQ(image.mips[0].height, 1u);
    EXPECT_EQ(PixelAt(image.mips[0], 1), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(image.mips[1].width, 1u);
    EXPECT_EQ(image.mips[1].height, 0u);
    EXPECT_TRUE(image.mips[1].rgba.empty());
}

TEST(BitmapReader, ReadsTheNameInEachLayout) {
    const std::string longName(40, 'n');
    const Image cut = Read(OgfHeader(122, longName, 1, 1, 1).raw(OgfLonePixels({0})).take());
    EXPECT_EQ(cut.name, std::string(33, 'n'));
    ASSERT_EQ(cut.notes.size(), 1u);

    Bytes field(35, 0);
    field[0] = 'o';
    field[1] = 'k';
    field[20] = 'x';  // after the zero byte: not part of the name
    const Image old =
        Read(test::FixedNameOgfHeader(124, field, 2, 2, 2).raw(OgfRun(4, 0x07E0)).raw(OgfLonePixels({0xF800})).take());
    EXPECT_EQ(old.name, "ok");
    EXPECT_EQ(old.format, PixelFormat::Rgb565);
    EXPECT_EQ(old.levelCount(), 2u);
    EXPECT_EQ(PixelAt(old.level, 3), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(old.mips[0], 0), (Rgba{255, 0, 0, 255}));

    // Type 127 has no level-count byte: the width follows the nine ignored bytes straight after the name.
    const Image oldest = Read(test::FixedNameOgfHeader(127, field, 0, 1, 1).raw(OgfLonePixels({0x001F})).take());
    EXPECT_EQ(oldest.name, "ok");
    EXPECT_EQ(oldest.levelCount(), 1u);
    EXPECT_EQ(PixelAt(oldest.level, 0), (Rgba{0, 0, 255, 255}));
}

TEST(BitmapReader, ReadsTgaPixelsInTheRowOrderTheDescriptorGives) {
    // 24 bits, bottom row first: stored B, G, R.
    const Image bottomFirst = Read(TgaHeader(2, 2, 2, 24, 0).raw({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).take());
    EXPECT_EQ(bottomFirst.format, PixelFormat::Bgr888);
    EXPECT_EQ(PixelAt(bottomFirst.level, 0), (Rgba{9, 8, 7, 255}));
    EXPECT_EQ(PixelAt(bottomFirst.level, 3), (Rgba{6, 5, 4, 255}));

    // 32 bits, top row first; alpha 0 stays 0 whatever the descriptor's alpha bits.
    const Image topFirst = Read(TgaHeader(2, 2, 1, 32, 0x20).raw({1, 2, 3, 0, 5, 6, 7, 200}).take());
    EXPECT_EQ(PixelAt(topFirst.level, 0), (Rgba{3, 2, 1, 0}));
    EXPECT_EQ(PixelAt(topFirst.level, 1), (Rgba{7, 6, 5, 200}));
    EXPECT_TRUE(topFirst.notes.empty());

    // The game makes a 32-bit image whose alpha bytes are all 0 wholly transparent, whatever its descriptor.
    const Image clear = Read(TgaHeader(2, 1, 1, 32, 0).raw({1, 2, 3, 0}).take());
    EXPECT_EQ(PixelAt(clear.level, 0), (Rgba{3, 2, 1, 0}));
    EXPECT_EQ(clear.notes,
              std::vector<std::string>{"every alpha byte is 0: the game shows this image wholly transparent"});

    // Run-length: a run of 4 crossing the row's end, then a raw packet of 2.
    const Image packed =
        Read(TgaHeader(10, 3, 2, 32, 0x28).u8(0x83).raw({1, 2, 3, 4}).u8(0x01).raw({5, 6, 7, 8, 9, 10, 11, 12}).take());
    EXPECT_EQ(PixelAt(packed.level, 3), (Rgba{3, 2, 1, 4}));
    EXPECT_EQ(PixelAt(packed.level, 4), (Rgba{7, 6, 5, 8}));
    EXPECT_EQ(PixelAt(packed.level, 5), (Rgba{11, 10, 9, 12}));

    // The game reads 24-bit run packets wrongly; they are read the standard way, with a note.
    const Image run24 = Read(TgaHeader(10, 2, 1, 24, 0x20).u8(0x81).raw({10, 20, 200}).take());
    EXPECT_EQ(PixelAt(run24.level, 1), (Rgba{200, 20, 10, 255}));
    EXPECT_EQ(run24.notes.size(), 1u);
}

// Each bad input is refused with one line naming the element, the byte and why.
TEST(BitmapReader, RefusesBadInputsWithOneLine) {
    Bytes unended(35, 'x');
    struct Case {
        const char* what;
        Bytes bytes;
        std::string error;
    };
    const Case cases[] = {
        {"colour map", ByteBuilder().u8(0).u8(1).u8(2).raw(Bytes(15, 0)).take(),
         "header at byte 1: colour-map type 1 is not read: the game reads no colour map"},
        {"grey scale", TgaHeader(3, 1, 1, 24, 0).u8(0).take(),
         "header at byte 2: TGA type 3 (grey scale) is not read: the game reads only types 2 and 10 (true colour) "
         "and its own OGF types 121 to 124 and 127"},
        {"8-bit OGF", OgfHeader(125, "a.ogf", 1, 1, 1).take(),
         "header at byte 2: TGA type 125 (OGF 8-bit, which the game refuses too) is not read: the game reads only "
         "types 2 and 10 (true colour) and its own OGF types 121 to 124 and 127"},
        {"16-bit TGA", TgaHeader(2, 1, 1, 16, 0).u8(0).u8(0).take(),
         "header at byte 16: pixel depth 16 is not read: the game reads only 24 and 32"},
        {"4 alpha bits", TgaHeader(2, 1, 1, 32, 0x24).raw(Bytes(4, 0)).take(),
         "header at byte 17: the descriptor gives 4 alpha bits; the game reads only 0 and 8"},
        {"empty", TgaHeader(2, 0, 4, 24, 0).take(), "header at byte 12: the image is 0 x 4 pixels, which is empty"},
        {"ID past the end", WithIdLength(5, TgaHeader(2, 1, 1, 24, 0).take()),
         "header at byte 18: the file ends inside the image ID"},
        {"no levels", OgfHeader(122, "a.ogf", 0, 1, 1).take(),
         "header at byte 9: level count 0 stores no level; the game would show the image unfilled"},
        {"negative levels", OgfHeader(122, "a.ogf", 0x80, 1, 1).take(),
         "header at byte 9: level count -128 stores no level; the game would show the image unfilled"},
        {"unended name", test::FixedNameOgfHeader(124, unended, 1, 1, 1).raw(OgfLonePixels({0})).take(),
         "header at byte 3: the 35-byte name has no zero byte to end it; the game would read past it"},
        {"command 1", OgfHeader(122, "a.ogf", 1, 2, 1).raw(OgfRun(1, 0)).raw(OgfRun(1, 0)).take(),
         "level 0 at byte 25: run command 1 is not valid (0 is one pixel, 2 to 250 a run of that many)"},
        {"command 251", OgfHeader(122, "a.ogf", 1, 2, 1).raw(OgfRun(251, 0)).take(),
         "level 0 at byte 25: run command 251 is not valid (0 is one pixel, 2 to 250 a run of that many)"},
        {"run past the level", OgfHeader(122, "a.ogf", 1, 2, 1).raw(OgfRun(3, 0)).take(),
         "level 0 at byte 25: a run of 3 pixels crosses the level's end (2 pixels left)"},
        {"run into the next level", OgfHeader(122, "a.ogf", 2, 2, 2).raw(OgfRun(4, 0)).raw(OgfRun(2, 0)).take(),
         "level 1 at byte 28: a run of 2 pixels crosses the level's end (1 pixel left)"},
        {"huge OGF", OgfHeader(122, "a.ogf", 1, 4096, 4096).raw(OgfRun(250, 0)).take(),
         "level 0 at byte 25: 4096 x 4096 pixels cannot come from the 3 bytes left (a command of 3 bytes gives "
         "at most 250)"},
        {"huge TGA", TgaHeader(2, 4096, 4096, 32, 0).raw(Bytes(10, 0)).take(),
         "pixels at byte 18: 4096 x 4096 pixels cannot come from the 10 bytes left"},
        {"larger than any bitmap", TgaHeader(2, 4097, 4096, 32, 0).raw(Bytes(10, 0)).take(),
         "header at byte 12: the image is 4097 x 4096 pixels, more than the 16777216 this program reads (the game's "
         "largest bitmaps are 640 x 480)"},
        {"packet past the end", TgaHeader(10, 1, 1, 24, 0).u8(0x81).raw({1, 2, 3}).take(),
         "pixels at byte 18: a packet of 2 pixels runs past the image's end (1 pixel left)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Image image;
        image.name = "kept";
        std::string error;
        EXPECT_FALSE(ReadGameBitmap(c.bytes, image, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(image.name, "kept");
    }
}

// Every prefix of every good sample is refused with one line, and leaves the image as it was.
TEST(BitmapReader, RefusesEveryPrefixOfAGoodFile) {
    for (const auto& [name, file] : test::BitmapSeeds()) {
        SCOPED_TRACE(name);
        Image whole;
        std::string error;
        ASSERT_TRUE(ReadGameBitmap(file, whole, error)) << error;
        for (std::size_t size = 0; size < file.size(); ++size) {
            const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));  // its own memory
            Image image;
            image.name = "kept";
            error.clear();
            ASSERT_FALSE(ReadGameBitmap(prefix, image, error)) << size;
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(error.find('\n'), std::string::npos) << error;
            EXPECT_EQ(image.name, "kept");
        }
    }
}

}  // namespace
}  // namespace torvale
