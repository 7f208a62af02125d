#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/texture_finder.h"
#include "bitmap/png_image.h"
#include "builders/bitmap_builder.h"
#include "builders/fake_platform.h"
#include "builders/game_builder.h"
#include "cli/commands.h"
#include "game/game_files.h"
#include "game/game_textures.h"

namespace torvale {
namespace {

using test::Bytes;
using test::GamBuilder;
using test::HogFile;

// A one-pixel OGF whose colour tells the files apart: `word` is its 1555 pixel.
Bytes Marked(const std::string& name, std::uint16_t word) {
    return test::Ogf1555(name, 1, 1, {word});
}

// The 1555 word of an image's first pixel, as the marked files wrote it.
std::uint16_t FirstWord(const Image& image) {
    const std::uint8_t* p = image.level.rgba.data();
    return static_cast<std::uint16_t>((p[3] ? 0x8000 : 0) | (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
}

class TextureSourcesTest : public ::testing::Test {
protected:
    void write(const std::string& name, const Bytes& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        ASSERT_TRUE(test::WriteTestFile(path(name), bytes));
    }
    std::string path(const std::string& name) const { return dir_ / test::Native(name); }
    std::uint16_t wordOf(const std::string& name) {
        const FoundImage& found = finder_.find(name, problems_);
        return found.image ? FirstWord(*found.image) : 0;
    }

    test::ScratchDirectory dir_{"texture-sources"};
    TextureFinder finder_;
    std::vector<std::string> problems_;
};

TEST_F(TextureSourcesTest, GameFilesPreferLaterPathsAndLooseFilesWithinAFolder) {
    write("d3/rock.ogf", Marked("rock.ogf", 0x8001));
    write("d3/d3.hog", HogFile({{"ROCK.OGF", Marked("rock.ogf", 0x8002)}, {"metal.ogf", Marked("m", 0x8003)}}));
    write("d3/b.hog", HogFile({{"metal.ogf", Marked("m", 0x8004)}}));  // b.hog comes before d3.hog
    write("mission.mn3", HogFile({{"Metal.OGF", Marked("m", 0x8005)}}));
    write("tables/extra.gam", GamBuilder().take());
    write("tables/glass.ogf", Marked("glass.ogf", 0x8006));

    GameFiles files;
    const std::vector<std::string> paths{path("d3"), path("mission.mn3"), path("tables/extra.gam"), path("missing")};
    EXPECT_EQ(files.open(paths), std::vector<std::string>{});
    const auto word = [&](const std::string& name, std::string* where = nullptr) -> std::uint16_t {
        std::vector<std::uint8_t> bytes;
        std::string at;
        std::string error;
        if (!files.read(name, bytes, at, error))
            return 0;
        if (where)
            *where = at;
        return test::DecodeOgfForTest(bytes).levels.at(0).at(0);
    };
    std::string where;
    EXPECT_EQ(word("Rock.ogf", &where), 0x8001);  // loose before the folder's archives
    EXPECT_EQ(where, path("d3/rock.ogf"));
    EXPECT_EQ(word("METAL.ogf", &where), 0x8005);  // the mission after the game
    EXPECT_EQ(where, path("mission.mn3") + ": Metal.OGF");
    EXPECT_EQ(word("glass.ogf"), 0x8006);  // beside a table given alone
    EXPECT_EQ(word("nothing.ogf"), 0);

    GameFiles damaged;
    write("bad.hog", Bytes{'H', 'O', 'G'});
    const std::vector<std::string> bad{path("bad.hog")};
    const std::vector<std::string> problems = damaged.open(bad);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind(path("bad.hog") + ": ", 0), 0u) << problems[0];
}

TEST_F(TextureSourcesTest, FoldersOfferPngThenTgaThenOgfByStemIgnoringCase) {
    write("one/Brick.ogf", Marked("Brick.ogf", 0x8011));
    write("one/BRICK.tga", test::TgaHeader(2, 1, 1, 24, 0).raw({0, 0, 8}).take());  // red 8 -> 0x8400
    write("one/stone.ogf", Marked("stone.ogf", 0x8012));
    write("one/notes.txt", Bytes{'x'});
    write("two/stone.png", EncodePngPixels(1, 1, 3, std::vector<std::uint8_t>{0, 0, 0x18}));  // blue 3 -> 0x8003
    write("two/wood.ogf", Marked("wood.ogf", 0x8013));
    write("two/broken.png", Bytes{0x89, 'P', 'N', 'G'});
    finder_.addFolder(path("one"));
    finder_.addFolder(path("two"));

    EXPECT_EQ(wordOf("brick"), 0x8400);     // the TGA before the OGF
    EXPECT_EQ(wordOf("Stone"), 0x8012);     // the first folder before the second
    EXPECT_EQ(wordOf("wood.ogf"), 0x8013);  // a name given with its file's extension
    EXPECT_EQ(wordOf("Wood"), 0x8013);
    EXPECT_EQ(wordOf("notes"), 0);  // not an image file
    EXPECT_EQ(finder_.find("brick", problems_).origin, path("one/BRICK.tga"));
    EXPECT_EQ(problems_, std::vector<std::string>{});

    EXPECT_EQ(wordOf("broken"), 0);
    EXPECT_EQ(wordOf("BROKEN"), 0);  // asked again: told once
    ASSERT_EQ(problems_.size(), 1u);
    EXPECT_EQ(problems_[0].rfind(path("two/broken.png") + ": ", 0), 0u) << problems_[0];
}

TEST_F(TextureSourcesTest, TheGameSetGivesThePagesBitmapFromItsArchives) {
    write("d3/Table.gam", GamBuilder()
                              .texture("Rusty Wall", "rustwall.ogf")
                              .texture("Sky", "sky.tga")
                              .texture("Lost", "lost.ogf")
                              .take());
    write("d3/textures.hog", HogFile({{"RustWall.ogf", Marked("rustwall.ogf", 0x8021)},
                                      {"sky.tga", test::TgaHeader(2, 1, 1, 24, 0).raw({8, 0, 0}).take()}}));
    GameTextures pages;
    const std::vector<std::string> paths{path("d3")};
    ASSERT_EQ(pages.load(paths).problems, std::vector<std::string>{});
    GameFiles files;
    ASSERT_EQ(files.open(paths), std::vector<std::string>{});
    write("own/sky.png", EncodePngPixels(1, 1, 3, std::vector<std::uint8_t>{0, 0x18, 0}));
    finder_.setGame(&pages, &files);

    EXPECT_EQ(wordOf("rustwall"), 0x8021);    // by bitmap name
    EXPECT_EQ(wordOf("rusty wall"), 0x8021);  // by page name
    const FoundImage& sky = finder_.find("Sky", problems_);
    ASSERT_TRUE(sky.image);
    EXPECT_TRUE(sky.pageBitmap);
    EXPECT_EQ(sky.image->fileType, 2u);  // a page naming a TGA, which the room check reports
    EXPECT_EQ(sky.origin, path("d3/textures.hog") + ": sky.tga");
    EXPECT_EQ(wordOf("Lost"), 0);  // its page's file is nowhere
    EXPECT_EQ(problems_, std::vector<std::string>{});

    // A folder comes before the game set.
    TextureFinder both;
    both.addFolder(path("own"));
    both.setGame(&pages, &files);
    const FoundImage& own = both.find("sky", problems_);
    ASSERT_TRUE(own.image);
    EXPECT_FALSE(own.pageBitmap);
    EXPECT_EQ(FirstWord(*own.image), 0x8060);
}

TEST_F(TextureSourcesTest, AModelsImagesComeFromItselfFirstAndEachMissingNameIsToldOnce) {
    write("tex/b.ogf", Marked("b.ogf", 0x8031));
    finder_.addFolder(path("tex"));
    TextureImages own(2);
    own[0] = FoundImage{std::make_shared<Image>(), "model.glb: image 0"};
    const std::vector<std::string> names{"a", "b", "c", "C", "c"};
    std::vector<std::string> notes;
    const TextureImages images = FindTextureImages(names, own, finder_, notes);
    ASSERT_EQ(images.size(), 5u);
    EXPECT_EQ(images[0].origin, "model.glb: image 0");
    EXPECT_EQ(images[1].origin, path("tex/b.ogf"));
    EXPECT_FALSE(images[2].image);
    EXPECT_EQ(notes, std::vector<std::string>{"no image was found for texture c"});

    // Without a place to look, nothing is missing.
    TextureFinder nowhere;
    notes.clear();
    EXPECT_FALSE(FindTextureImages(names, own, nowhere, notes)[1].image);
    EXPECT_EQ(notes, std::vector<std::string>{});
}

TEST_F(TextureSourcesTest, ExtractWritesEachPagesBitmapAsPngOrNothing) {
    write("d3/Table.gam", GamBuilder()
                              .texture("Rusty/Wall", "rustwall.ogf")
                              .texture("Plain", "plain.ogf")
                              .texture("Gone", "gone.ogf")
                              .take());
    write("d3/textures.hog",
          HogFile({{"rustwall.ogf", Marked("rustwall.ogf", 0xFC00)}, {"plain.ogf", Marked("plain.ogf", 0x801F)}}));
    std::ostringstream out;
    std::ostringstream err;
    const auto run = [&](std::vector<std::string> args) {
        out.str("");
        err.str("");
        return cli::RunTextures(cli::CommandContext{std::move(args), dir_.path(), out, err, {}});
    };

    ASSERT_EQ(run({"--game", path("d3"), "--extract", path("out"), "Rusty/Wall", "plain"}), cli::kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Extracted 2 bitmaps as 2 files into " + path("out") + "\n");
    Image png;
    std::string error;
    ASSERT_TRUE(ReadPngImage(test::ReadTestFile(path("out/Rusty_Wall.png")), png, error)) << error;
    EXPECT_EQ(png.level.rgba, (std::vector<std::uint8_t>{255, 0, 0, 255}));
    ASSERT_TRUE(ReadPngImage(test::ReadTestFile(path("out/Plain.png")), png, error)) << error;
    EXPECT_EQ(png.level.rgba, (std::vector<std::uint8_t>{0, 0, 255, 255}));

    // Every page: the one whose bitmap is missing is named, the others are still written.
    EXPECT_EQ(run({"--game", path("d3"), "--extract", path("all")}), cli::kExitFailed);
    EXPECT_EQ(err.str(), "torvale-cli: page Gone: its bitmap gone.ogf is in none of the game's files\n");
    EXPECT_TRUE(std::filesystem::exists(path("all/Plain.png")));

    EXPECT_EQ(run({"--game", path("d3"), "--extract", path("none"), "nosuch"}), cli::kExitFailed);
    EXPECT_EQ(err.str(), "torvale-cli: nosuch: no texture page of that name\n");
}

}  // namespace
}  // namespace torvale
