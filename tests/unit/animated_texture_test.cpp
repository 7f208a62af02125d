#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bitmap/animated_texture.h"
#include "bitmap/bitmap_report.h"
#include "bitmap/ogf_writer.h"
#include "builders/bitmap_builder.h"
#include "builders/seeds.h"

namespace torvale {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::OafFrame;
using test::OafHeader;
using test::OldOafHeader;
using Rgba = std::array<int, 4>;

Rgba FirstPixel(const Image& image) {
    const std::uint8_t* p = image.level.rgba.data();
    return {p[0], p[1], p[2], p[3]};
}

AnimatedTexture Read(const Bytes& bytes) {
    AnimatedTexture texture;
    std::string error;
    EXPECT_TRUE(ReadAnimatedTexture(bytes, texture, error)) << error;
    return texture;
}

// Both layouts, every frame read from where the one before it ended.
TEST(AnimatedTextureReader, ReadsBothLayoutsFrameAfterFrame) {
    struct Case {
        const char* what;
        Bytes bytes;
        int version;
        float frameTime;
    };
    const Bytes frames = ByteBuilder()
                             .raw(OafFrame("F01.ogf", 2, 0x801F))
                             .raw(OafFrame("F02.ogf", 16, 0xFC00))
                             .raw(OafFrame("F03.ogf", 2, 0x0000))
                             .take();
    const Case cases[] = {
        {"game's layout", OafHeader(3, 0.25f).raw(frames).take(), 1, 0.25f},
        {"older layout", OldOafHeader(3, 0.5f).raw(frames).take(), 0, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AnimatedTexture texture = Read(c.bytes);
        EXPECT_EQ(texture.version, c.version);
        EXPECT_EQ(texture.frameTime, c.frameTime);
        ASSERT_EQ(texture.frames.size(), 3u);
        EXPECT_EQ(texture.frames[0].name, "F01.ogf");
        EXPECT_EQ(texture.frames[1].name, "F02.ogf");
        EXPECT_EQ(texture.frames[2].name, "F03.ogf");
        EXPECT_EQ(FirstPixel(texture.frames[0]), (Rgba{0, 0, 255, 255}));
        EXPECT_EQ(FirstPixel(texture.frames[1]), (Rgba{255, 0, 0, 255}));
        EXPECT_EQ(FirstPixel(texture.frames[2]), (Rgba{0, 0, 0, 0}));
        EXPECT_EQ(texture.frames[1].width(), 16u);
        // Only the frame whose size differs is noted, and it is kept.
        EXPECT_EQ(texture.notes,
                  std::vector<std::string>{"frame 1 is 16 x 16, frame 0 2 x 2: the game resizes every frame to its "
                                           "texture's size"});
    }
}

TEST(AnimatedTextureReader, TakesAnyBitmapTheGameReadsAsAFrameAndNotesWhatItIgnores) {
    const AnimatedTexture texture =
        Read(OafHeader(1, 0.07f, 3).raw(test::TgaHeader(2, 1, 1, 24, 0x20).raw({1, 2, 3}).take()).u8(0).u8(0).take());
    ASSERT_EQ(texture.frames.size(), 1u);
    EXPECT_EQ(texture.frames[0].fileType, 2);
    EXPECT_EQ(FirstPixel(texture.frames[0]), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(texture.notes, (std::vector<std::string>{"the version byte is 3, not 1; the game does not look at it",
                                                       "2 bytes after the last frame; the game never reads them"}));
}

// Each bad input is refused with one line naming the element, the byte and why; the texture keeps what it held.
TEST(AnimatedTextureReader, RefusesBadInputsWithOneLine) {
    const Bytes twoByTwo = OafFrame("a.ogf", 2, 0x8000);  // 28 bytes: 25 of header, one run of 4
    Bytes cut = OafHeader(2)
                    .raw(twoByTwo)
                    .raw(test::OgfHeader(122, "a.ogf", 1, 2, 2).raw(test::OgfLonePixels({0, 0, 0, 0})).take())
                    .take();
    cut.pop_back();  // inside the last pixel of frame 1
    struct Case {
        const char* what;
        Bytes bytes;
        std::string error;
    };
    const Case cases[] = {
        {"empty", {}, "header at byte 0: the file ends inside the first byte"},
        {"header cut short", Bytes{0x7F, 1, 2, 0x29}, "header at byte 3: the file ends inside the frame time"},
        {"older header cut short", Bytes{2, 0, 0, 0, 0, 0}, "header at byte 5: the file ends inside the frame time"},
        {"no frame", OafHeader(0).raw(twoByTwo).take(), "header at byte 2: frame count 0 holds no frame"},
        {"no frame, older layout", OldOafHeader(0).raw(twoByTwo).take(),
         "header at byte 0: frame count 0 holds no frame"},
        {"negative count", OafHeader(0xFD).raw(twoByTwo).take(), "header at byte 2: frame count -3 holds no frame"},
        {"200 read signed", OafHeader(200).raw(twoByTwo).take(), "header at byte 2: frame count -56 holds no frame"},
        {"51 frames", OafHeader(51).raw(twoByTwo).take(),
         "header at byte 2: frame count 51 is more than the 50 the game holds; it would write past its table of "
         "frames"},
        {"200 read unsigned", OldOafHeader(200).raw(twoByTwo).take(),
         "header at byte 0: frame count 200 is more than the 50 the game holds; it would write past its table of "
         "frames"},
        {"more frames than bytes", OafHeader(3).raw(twoByTwo).take(),
         "header at byte 2: 3 frames cannot come from the 28 bytes left (a frame takes at least 21)"},
        {"a frame cut short", cut, "frame 1 at byte 35: level 0 at byte 70: the file ends inside a run's pixel"},
        {"a frame the bitmap reader refuses",
         OafHeader(1).raw(test::OgfHeader(122, "a.ogf", 1, 2, 2).raw(test::OgfRun(251, 0)).take()).take(),
         "frame 0 at byte 7: level 0 at byte 32: run command 251 is not valid (0 is one pixel, 2 to 250 a run of "
         "that many)"},
        {"second frame not a bitmap", OafHeader(2).raw(twoByTwo).raw(Bytes(30, 9)).take(),
         "frame 1 at byte 35: header at byte 36: colour-map type 9 is not read: the game reads no colour map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnimatedTexture texture;
        texture.notes = {"kept"};
        std::string error;
        EXPECT_FALSE(ReadAnimatedTexture(c.bytes, texture, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(texture.notes, std::vector<std::string>{"kept"});
        EXPECT_TRUE(texture.frames.empty());
    }
}

// Every prefix of every good sample is refused with one line, and leaves the texture as it was.
TEST(AnimatedTextureReader, RefusesEveryPrefixOfAGoodFile) {
    for (const auto& [name, file] : test::OafSeeds()) {
        SCOPED_TRACE(name);
        AnimatedTexture whole;
        std::string error;
        ASSERT_TRUE(ReadAnimatedTexture(file, whole, error)) << error;
        for (std::size_t size = 0; size < file.size(); ++size) {
            const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));  // its own memory
            AnimatedTexture texture;
            texture.frameTime = -1;
            error.clear();
            ASSERT_FALSE(ReadAnimatedTexture(prefix, texture, error)) << size;
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(error.find('\n'), std::string::npos) << error;
            EXPECT_EQ(texture.frameTime, -1);
        }
    }
}

TEST(AnimatedTextureWriter, WritesTheGamesLayoutWithEachFrameAnOgf) {
    const ImageLevel blue{2, 2, {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255}};
    const ImageLevel clear{2, 2, std::vector<std::uint8_t>(16, 0)};
    const OafFrameToWrite frames[] = {{&blue, {.name = "Clip01.ogf"}}, {&clear, {.name = "Clip02.ogf"}}};
    std::vector<std::uint8_t> out;
    std::string error;
    ASSERT_TRUE(EncodeOaf(frames, out, error)) << error;
    const Bytes expected =
        OafHeader(2).raw(OafFrame("Clip01.ogf", 2, 0x801F)).raw(OafFrame("Clip02.ogf", 2, 0x0000)).take();
    EXPECT_EQ(out, expected);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 7), (Bytes{0x7F, 0x01, 0x02, 0x29, 0x5C, 0x8F, 0x3D}));
}

TEST(AnimatedTextureWriter, RefusesWhatNoOafCanHold) {
    const ImageLevel small{1, 1, {1, 2, 3, 255}};
    const ImageLevel larger{2, 1, {1, 2, 3, 255, 1, 2, 3, 255}};
    const std::vector<OafFrameToWrite> fiftyOne(51, {&small, {.name = "a.ogf"}});
    struct Case {
        const char* what;
        std::vector<OafFrameToWrite> frames;
        std::string error;
    };
    const Case cases[] = {
        {"none", {}, "an OAF holds 1 to 50 frames, not 0"},
        {"51", fiftyOne, "an OAF holds 1 to 50 frames, not 51"},
        {"sizes differ",
         {{&small, {.name = "a.ogf"}}, {&larger, {.name = "b.ogf"}}},
         "frame 1 is 2 x 1, frame 0 1 x 1: the frames of an OAF have one size"},
        {"frame without a name",
         {{&small, {.name = "a.ogf"}}, {&small, {}}},
         "frame 1: the name inside an OGF has 1 to 33 characters; \"\" has 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> out{7};
        std::string error;
        EXPECT_FALSE(EncodeOaf(c.frames, out, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(out, std::vector<std::uint8_t>{7});
    }
}

TEST(AnimatedTextureReport, TellsVersionFramesTimeAndEachFrame) {
    const AnimatedTexture texture =
        Read(OldOafHeader(2, 0.125f).raw(OafFrame("N01.ogf", 4, 0x801F)).raw(OafFrame("N02.ogf", 2, 0)).take());
    EXPECT_EQ(AnimatedTextureReport(texture, "Napalm.oaf"),
              "Name: Napalm.oaf\n"
              "Type: animated texture (OAF), version 0 (the older layout)\n"
              "Frames: 2\n"
              "Frame time in the file: 0.125 s (unused: the game shows the whole cycle in its texture page's speed)\n"
              "Size: 4 x 4\n"
              "Pixel format: 1555\n"
              "Frame 0: N01.ogf, 4 x 4, 1555, 1 level\n"
              "Frame 1: N02.ogf, 2 x 2, 1555, 1 level\n"
              "Note: frame 1 is 2 x 2, frame 0 4 x 4: the game resizes every frame to its texture's size\n");
}

// The game's own animated textures: every frame decodes and writes again byte for byte, and the files in the
// game's layout are written again whole.
TEST(AnimatedTextureReader, ReadsAndRewritesTheGamesOwnFiles) {
    const std::filesystem::path dir = std::filesystem::path(TORVALE_REAL_WORLD_DIR) / "textures";
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << dir << " is not there";
    const std::map<std::string, std::pair<int, std::size_t>> known = {
        {"lg.oaf", {1, 10}}, {"ExplosionBlkShrk.oaf", {1, 14}}, {"TestNapalm.oaf", {0, 16}}};
    int compared = 0;
    for (const auto& [name, expected] : known) {
        SCOPED_TRACE(name);
        const Bytes file = test::ReadTestFile((dir / name).string());
        ASSERT_FALSE(file.empty());
        const AnimatedTexture texture = Read(file);
        EXPECT_EQ(texture.version, expected.first);
        ASSERT_EQ(texture.frames.size(), expected.second);
        EXPECT_TRUE(texture.notes.empty());
        std::vector<OafFrameToWrite> frames;
        Bytes rewrittenFrames;
        for (const Image& frame : texture.frames) {
            EXPECT_EQ(frame.width(), 64u);
            EXPECT_EQ(frame.height(), 64u);
            const OgfOptions options{
                .name = frame.name,
                .pixels = frame.format == PixelFormat::Argb4444 ? OgfPixels::Argb4444 : OgfPixels::Argb1555,
                .levels = frame.levelCount()};
            std::vector<std::uint8_t> ogf;
            std::string error;
            ASSERT_TRUE(EncodeOgf(frame.level, options, ogf, error)) << error;
            rewrittenFrames.insert(rewrittenFrames.end(), ogf.begin(), ogf.end());
            frames.push_back({&frame.level, options});
        }
        // The frames follow the header with nothing between them and nothing after the last.
        const std::size_t header = texture.version == 1 ? 7 : 17;
        EXPECT_EQ(rewrittenFrames, Bytes(file.begin() + static_cast<std::ptrdiff_t>(header), file.end()));
        if (texture.version == 1) {
            std::vector<std::uint8_t> whole;
            std::string error;
            ASSERT_TRUE(EncodeOaf(frames, whole, error)) << error;
            EXPECT_EQ(whole, file);
        }
        ++compared;
    }
    EXPECT_EQ(compared, 3);
}

}  // namespace
}  // namespace torvale
