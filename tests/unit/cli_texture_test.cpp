#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "bitmap/png_image.h"
#include "builders/bitmap_builder.h"
#include "builders/fake_platform.h"
#include "cli/commands.h"

namespace torvale::cli {
namespace {

using test::Bytes;
using test::ReadTestFile;
using test::WriteTestFile;

class CliTexture : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch_ / name; }
    int run(int (*command)(const CommandContext&), const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return command(CommandContext{args, scratch_.path(), out_, err_});
    }
    // The RGBA of the PNG written at `name`.
    std::vector<std::uint8_t> pngPixels(const std::string& name) const {
        Image png;
        std::string error;
        EXPECT_TRUE(ReadPngImage(ReadTestFile(path(name)), png, error)) << error;
        return png.level.rgba;
    }

    test::ScratchDirectory scratch_{"cli-texture"};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(CliTexture, ConvertsATgaToAnOgfNamedAfterItselfAndOnToAPng) {
    // 32-bit, bottom row first: the bottom row red, the top row half-transparent blue.
    const Bytes tga = test::TgaHeader(2, 2, 2, 32, 8)
                          .raw({0, 0, 255, 255, 0, 0, 255, 255})
                          .raw({255, 0, 0, 128, 255, 0, 0, 128})
                          .take();
    ASSERT_TRUE(WriteTestFile(path("in.tga"), tga));

    ASSERT_EQ(run(RunTexture, {"convert", path("in.tga"), path("Blue.ogf"), "--mips", "2"}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(), "Wrote " + path("Blue.ogf") + " (2 x 2)\n");
    const test::DecodedOgf ogf = test::DecodeOgfForTest(ReadTestFile(path("Blue.ogf")));
    ASSERT_TRUE(ogf.ok) << ogf.problem;
    EXPECT_EQ(ogf.type, 121u);  // the graded alpha asks for 4444
    EXPECT_EQ(ogf.name, "Blue.ogf");
    EXPECT_EQ(ogf.levels.at(0), (std::vector<std::uint16_t>{0x800F, 0x800F, 0xFF00, 0xFF00}));
    EXPECT_EQ(ogf.levels.at(1), (std::vector<std::uint16_t>{0xB707}));

    ASSERT_EQ(run(RunTexture, {"convert", path("Blue.ogf"), path("blue.png")}), kExitOk) << err_.str();
    EXPECT_EQ(pngPixels("blue.png"),
              (std::vector<std::uint8_t>{0, 0, 255, 136, 0, 0, 255, 136, 255, 0, 0, 255, 255, 0, 0, 255}));

    ASSERT_EQ(run(RunReport, {path("Blue.ogf")}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(),
              "Name: Blue.ogf\n"
              "Type: 121 (OGF, 4444)\n"
              "Size: 2 x 2\n"
              "Pixel format: 4444\n"
              "Mip levels: 2 (2 x 2 down to 1 x 1)\n");
}

TEST_F(CliTexture, ABadInputIsOneLineAndTheOldTargetStays) {
    ASSERT_TRUE(WriteTestFile(path("bad.ogf"), test::OgfHeader(122, "bad.ogf", 1, 2, 1).u8(3).i16(0).take()));
    ASSERT_TRUE(WriteTestFile(path("out.png"), Bytes{1, 2, 3}));
    EXPECT_EQ(run(RunTexture, {"convert", path("bad.ogf"), path("out.png")}), kExitFailed);
    EXPECT_EQ(err_.str(), "torvale-cli: cannot read " + path("bad.ogf") +
                              ": level 0 at byte 27: a run of 3 pixels crosses the level's end (2 pixels left)\n");
    EXPECT_EQ(ReadTestFile(path("out.png")), (Bytes{1, 2, 3}));

    EXPECT_EQ(run(RunReport, {path("bad.ogf")}), kExitFailed);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str().find('\n'), err_.str().size() - 1);

    // The name inside would be longer than the game keeps.
    ASSERT_TRUE(WriteTestFile(path("ok.ogf"), test::Ogf1555("ok.ogf", 1, 1, {0x8000})));
    const std::string longName = std::string(31, 'n') + ".ogf";
    EXPECT_EQ(run(RunTexture, {"convert", path("ok.ogf"), path(longName)}), kExitFailed);
    EXPECT_FALSE(std::filesystem::exists(path(longName)));
}

// An animated texture is known by its name: its report lists the frames, and convert takes the first frame.
TEST_F(CliTexture, ReportsAnAnimatedTextureAndConvertsItsFirstFrame) {
    const Bytes oaf = test::OafHeader(2)
                          .raw(test::OafFrame("Glow01.ogf", 2, 0x801F))
                          .raw(test::OafFrame("Glow02.ogf", 2, 0xFC00))
                          .take();
    ASSERT_TRUE(WriteTestFile(path("Glow.OAF"), oaf));
    ASSERT_EQ(run(RunReport, {path("Glow.OAF")}), kExitOk) << err_.str();
    // Known by its name in any case; the report's lines are checked with the reader's.
    EXPECT_EQ(out_.str().rfind("Name: Glow.OAF\nType: animated texture (OAF), version 1", 0), 0u) << out_.str();
    EXPECT_NE(out_.str().find("\nFrame 1: Glow02.ogf, 2 x 2, 1555, 1 level\n"), std::string::npos) << out_.str();

    ASSERT_EQ(run(RunTexture, {"convert", path("Glow.OAF"), path("glow.png")}), kExitOk) << err_.str();
    EXPECT_EQ(pngPixels("glow.png"),
              (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255}));

    // A bad animated texture is one line, whichever command reads it.
    ASSERT_TRUE(WriteTestFile(path("none.oaf"), test::OafHeader(0).raw(test::OafFrame("a.ogf", 2, 0)).take()));
    for (const auto command : {RunReport, RunTexture}) {
        const std::vector<std::string> args =
            command == RunReport ? std::vector<std::string>{path("none.oaf")}
                                 : std::vector<std::string>{"convert", path("none.oaf"), path("none.png")};
        EXPECT_EQ(run(command, args), kExitFailed);
        EXPECT_EQ(out_.str(), "");
        EXPECT_EQ(err_.str(), "torvale-cli: cannot read " + path("none.oaf") +
                                  ": header at byte 2: frame count 0 holds no frame\n");
    }
    EXPECT_FALSE(std::filesystem::exists(path("none.png")));
}

}  // namespace
}  // namespace torvale::cli
