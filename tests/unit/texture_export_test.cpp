#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "app/export_orf.h"
#include "builders/bitmap_builder.h"
#include "builders/bytes.h"
#include "builders/gltf_builder.h"
#include "builders/texlate_builder.h"
#include "cli/commands.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

Bytes Flat(unsigned width, unsigned height, std::array<std::uint8_t, 4> pixel) {
    Bytes rgba;
    for (unsigned i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), pixel.begin(), pixel.end());
    return test::StoredPng(width, height, rgba);
}

// Three materials on three triangles: a 100 x 60 teal image, a 64 x 64 one, and one whose image is a folder.
const char* const kObj =
    "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
    "usemtl brick\nf 1/1 2/2 3/3\nusemtl floor\nf 2/2 4/1 3/3\n";
const char* const kMtl = "newmtl brick\nmap_Kd -s 1 1 1 brick.png\nnewmtl floor\nmap_Kd floor.png\n";

class TextureExport : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("torvale_texout_" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "tex");
        write("m.obj", test::TextBytes(kObj));
        write("m.mtl", test::TextBytes(kMtl));
        write("brick.png", Flat(100, 60, {12, 200, 180, 255}));
        write("floor.png", Flat(64, 64, {255, 0, 0, 255}));
        write("texlate.rsc", test::TexlateFile({{"brick", "BRICKWALL"}}));
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(test::WriteTestFile(path(name), bytes)); }
    std::string path(const std::string& name) const { return (dir_ / fs::path(name).make_preferred()).string(); }

    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    Run exportCommand(std::vector<std::string> extra) const {
        std::vector<std::string> args{path("m.obj"), "-o", path("room.orf"), "--texlate", path("texlate.rsc")};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        const int status = cli::RunExport({std::move(args), path(""), out, err});
        return {status, out.str(), err.str()};
    }
    std::size_t filesIn(const std::string& folder) const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_ / folder), fs::directory_iterator{}));
    }

    fs::path dir_;
};

TEST_F(TextureExport, WritesAnOgfForEachUsedTextureNamedAsTheRoomNamesIt) {
    const Run run = exportCommand({"--textures-out", path("tex")});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(fs::exists(path("room.orf")));
    ASSERT_EQ(filesIn("tex"), 2u);

    const test::DecodedOgf brick = test::DecodeOgfForTest(test::ReadTestFile(path("tex/BRICKWALL.ogf")));
    ASSERT_TRUE(brick.ok) << brick.problem;
    EXPECT_EQ(brick.type, 122u);
    EXPECT_EQ(brick.name, "BRICKWALL.ogf");
    EXPECT_EQ(brick.levelByte, 1u);
    EXPECT_EQ(brick.width, 64u);
    EXPECT_EQ(brick.height, 64u);
    ASSERT_EQ(brick.levels.size(), 1u);
    // Teal (12, 200, 180) in 1555: opaque, 1, 25, 22 -- every pixel, the resize keeping a flat colour flat.
    EXPECT_EQ(brick.levels[0], std::vector<std::uint16_t>(64 * 64, 0x8736));

    const test::DecodedOgf floor = test::DecodeOgfForTest(test::ReadTestFile(path("tex/floor.ogf")));
    ASSERT_TRUE(floor.ok) << floor.problem;
    EXPECT_EQ(floor.name, "floor.ogf");
    EXPECT_EQ(floor.levels.at(0), std::vector<std::uint16_t>(64 * 64, 0xFC00));

    EXPECT_NE(run.out.find("Note: the image of BRICKWALL (brick.png, 100 x 60) was resized to 64 x 64"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("image of floor"), std::string::npos) << "a 64 x 64 image needs no resizing";
    EXPECT_NE(run.out.find("Texture " + path("tex/BRICKWALL.ogf") + " (64 x 64, 1555)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Texture " + path("tex/floor.ogf")), std::string::npos);
    EXPECT_NE(run.out.find("Finished converting to ORF!"), std::string::npos);
}

TEST_F(TextureExport, WithoutTheOptionNoTextureIsWrittenNorReadAndABrokenImageCostsNothing) {
    write("brick.png", test::TextBytes("not a picture"));
    const Run run = exportCommand({});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(filesIn("tex"), 0u);
    EXPECT_EQ(run.out.find("brick.png"), std::string::npos) << "the image was read: " << run.out;
}

TEST_F(TextureExport, ABrokenImageIsANoteAndTheOtherTexturesAreStillWritten) {
    write("brick.png", test::TextBytes("not a picture"));
    const Run run = exportCommand({"--textures-out", path("tex")});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("m.obj: image \"brick.png\" not read ("), std::string::npos) << run.out;
    EXPECT_TRUE(fs::exists(path("tex/floor.ogf")));
    EXPECT_EQ(filesIn("tex"), 1u);
}

TEST_F(TextureExport, AFileThatCannotBeWrittenLeavesNoneOfTheExport) {
    fs::create_directory(path("tex/floor.ogf"));  // a folder where an OGF should go
    const Run run = exportCommand({"--textures-out", path("tex")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Error: could not write"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(path("room.orf")));
    EXPECT_FALSE(fs::exists(path("tex/BRICKWALL.ogf")));
    EXPECT_EQ(filesIn("tex"), 1u);
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(TextureExport, TwoTexturesOfOneFileNameWriteNothing) {
    // The game keeps 28 characters of a name: these two become one file, and so do names differing in case.
    for (const auto& [one, two] :
         {std::pair<std::string, std::string>{"a_very_long_texture_name_wall_one", "a_very_long_texture_name_wall_two"},
          {"Floor", "FLOOR"}}) {
        SCOPED_TRACE(one);
        write("m.mtl", test::TextBytes("newmtl brick\nmap_Kd " + one + ".png\nnewmtl floor\nmap_Kd " + two + ".png\n"));
        write(one + ".png", Flat(32, 32, {1, 2, 3, 255}));
        write(two + ".png", Flat(32, 32, {1, 2, 3, 255}));
        write("texlate.rsc", test::TexlateFile({{"unused", "UNUSED"}}));
        const Run run = exportCommand({"--textures-out", path("tex")});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("Error: the textures \"" + one + "\" and \"" + two + "\" would both be written as " +
                               two.substr(0, 28) + ".ogf; no file was written"),
                  std::string::npos)
            << run.out;
        EXPECT_FALSE(fs::exists(path("room.orf")));
        EXPECT_EQ(filesIn("tex"), 0u);
    }
}

TEST_F(TextureExport, AnImageIsNeverReplacedByItsOwnTexture) {
    write("texlate.rsc", test::TexlateFile({{"unused", "UNUSED"}}));
    write("m.mtl", test::TextBytes("newmtl brick\nmap_Kd brick.ogf\nnewmtl floor\nmap_Kd floor.png\n"));
    write("brick.ogf", test::Ogf1555("brick.ogf", 2, 2, {0x8000, 0x8000, 0x8000, 0x8000}));
    const Bytes before = test::ReadTestFile(path("brick.ogf"));
    const Run run = exportCommand({"--textures-out", path("")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("brick.ogf is a file the model was read from"), std::string::npos) << run.out;
    EXPECT_EQ(test::ReadTestFile(path("brick.ogf")), before);
    EXPECT_FALSE(fs::exists(path("room.orf")));
}

TEST_F(TextureExport, TheFolderMustExistAndGoesWithRoomsOnly) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--textures-out", path("missing")}, "is not a folder"},
        {{"--textures-out", path("m.obj")}, "is not a folder"},
        {{"--textures-out", path("tex"), "--textures-out", path("tex")}, "--textures-out may be given only once"},
    };
    for (const Case& c : cases) {
        const Run run = exportCommand(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    std::ostringstream out, err;
    const int status =
        cli::RunExport({{path("m.obj"), "-o", path("m.gltf"), "--textures-out", path("tex")}, path(""), out, err});
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.str().find("--textures-out is for room files"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(path("room.orf")));
    EXPECT_FALSE(fs::exists(path("m.gltf")));
}

TEST_F(TextureExport, GltfEmbeddedImageBecomesItsTexture) {
    test::GltfBuilder b;
    test::GltfMeshFields square = test::FrontFacingSquare();
    square.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    square.material = b.material({.name = "m", .embeddedImage = Flat(20, 20, {0, 0, 255, 255}), .imageName = "Hull"});
    b.rootNodes({b.node({.name = "hull", .mesh = b.mesh(square)})});
    write("ship.glb", b.glb());
    std::ostringstream out, err;
    const int status = cli::RunExport(
        {{path("ship.glb"), "-o", path("ship.orf"), "--texlate", path("texlate.rsc"), "--textures-out", path("tex")},
         path(""),
         out,
         err});
    ASSERT_EQ(status, 0) << out.str() << err.str();
    const test::DecodedOgf hull = test::DecodeOgfForTest(test::ReadTestFile(path("tex/Hull.ogf")));
    ASSERT_TRUE(hull.ok) << hull.problem;
    EXPECT_EQ(hull.width, 32u);  // enlarged: nothing smaller than 32 is a texture
    EXPECT_EQ(hull.levels.at(0), std::vector<std::uint16_t>(32 * 32, 0x801F));
    EXPECT_NE(out.str().find("Note: the image of Hull (image 0 of ship.glb, 20 x 20) was resized to 32 x 32"),
              std::string::npos)
        << out.str();
}

TEST(TextureFileName, CutsToTheGamesBitmapNameAndRefusesWhatNoFileIsCalled) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Brick", "Brick.ogf"},
        {"CEILING 01", "CEILING 01.ogf"},
        {std::string(28, 'a'), std::string(28, 'a') + ".ogf"},
        {std::string(28, 'a') + "bc", std::string(28, 'a') + ".ogf"},
        {std::string(28, 'a') + "/b", std::string(28, 'a') + ".ogf"},  // what is cut off does not count
        {"", ""},
        {"a/b", ""},
        {"a\\b", ""},
        {"C:x", ""},
        {"what?", ""},
        {"tab\there", ""},
        {"a|b", ""},
    };
    for (const auto& [name, file] : cases)
        EXPECT_EQ(TextureFileName(name), file) << name;
}

}  // namespace
}  // namespace torvale
