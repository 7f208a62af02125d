// Textures with images go out with the model: embedded in a GLB, as PNG files beside a .gltf or an OBJ, under
// names every file system takes. The files are taken apart here by hand (the GLB's chunks) or by libraries the
// writer does not use for them (stb decodes the PNGs).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include "app/export_model.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/model_builder.h"
#include "core/utf8_path.h"
#include "gltf/gltf_writer.h"
#include "model_io/texture_files.h"
#include "obj/obj_writer.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::Bytes;
using test::ScratchDirectory;

// A width x height image whose every byte differs from its neighbours, so a swapped channel or row shows.
std::shared_ptr<const Image> Pixels(std::uint32_t width, std::uint32_t height, std::uint8_t seed) {
    auto image = std::make_shared<Image>();
    image->level.width = width;
    image->level.height = height;
    for (std::uint32_t i = 0; i < width * height * 4; ++i)
        image->level.rgba.push_back(static_cast<std::uint8_t>(seed + i * 7));
    return image;
}

// The RGBA pixels of a PNG, decoded by stb; empty when it is no PNG.
std::vector<std::uint8_t> DecodePng(std::span<const std::uint8_t> png, int& width, int& height) {
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4);
    if (pixels == nullptr)
        return {};
    std::vector<std::uint8_t> out(pixels,
                                  pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    stbi_image_free(pixels);
    return out;
}

void ExpectPngOf(std::span<const std::uint8_t> png, const Image& image) {
    int width = 0, height = 0;
    const std::vector<std::uint8_t> pixels = DecodePng(png, width, height);
    EXPECT_EQ(width, static_cast<int>(image.width()));
    EXPECT_EQ(height, static_cast<int>(image.height()));
    EXPECT_EQ(pixels, image.level.rgba);
}

// Textures: "wall" (an image, two faces), "floor" (no image), "caf\xC3\xA9" (an image), "spare" (an image, no
// face); and a face of a colour.
struct TexturedModel {
    Scene scene;
    TextureImages images;
};

TexturedModel MakeTexturedModel() {
    test::ModelBuilder b;
    b.texture("wall").texture("floor").texture("caf\xC3\xA9").texture("spare");
    b.subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(1, 1, 0).vertex(0, 1, 0);
    b.face(0, {{0, 0, 0}, {1, 2, 0}, {2, 2, 2}}).face(0, {{0, 0, 0}, {2, 2, 2}, {3, 0, 2}});
    b.face(1, {{0}, {1, 1, 0}, {3, 0, 1}}).face(2, {{1}, {2, 1, 1}, {3, 0, 1}}).face(-1, {{0}, {2}, {3}});
    TexturedModel m{b.scene(), {}};
    m.images = {{Pixels(4, 2, 1), "textures/wall.png"},
                {},
                {Pixels(2, 2, 99), "d3.hog: cafe.ogf"},
                {Pixels(1, 1, 5), "textures/spare.png"}};
    return m;
}

// The JSON and binary chunks of a GLB, walked by its lengths; fails the test when they do not add up.
struct GlbParts {
    json root;
    Bytes bin;
};

GlbParts SplitGlb(const Bytes& glb) {
    const auto u32 = [&](std::size_t at) {
        return std::uint32_t{glb[at]} | std::uint32_t{glb[at + 1]} << 8 | std::uint32_t{glb[at + 2]} << 16 |
               std::uint32_t{glb[at + 3]} << 24;
    };
    GlbParts parts;
    EXPECT_GE(glb.size(), 20u);
    if (glb.size() < 20)
        return parts;
    EXPECT_EQ(u32(8), glb.size());
    std::size_t at = 12;
    while (at + 8 <= glb.size()) {
        const std::size_t length = u32(at);
        const std::uint32_t type = u32(at + 4);
        EXPECT_EQ(length % 4, 0u);
        EXPECT_LE(at + 8 + length, glb.size());
        if (at + 8 + length > glb.size())
            return parts;
        const auto body = glb.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (type == 0x4E4F534Au)  // "JSON"
            parts.root = json::parse(body, body + static_cast<std::ptrdiff_t>(length));
        else if (type == 0x004E4942u)  // "BIN\0"
            parts.bin.assign(body, body + static_cast<std::ptrdiff_t>(length));
        at += 8 + length;
    }
    EXPECT_EQ(at, glb.size());
    return parts;
}

const json* MaterialNamed(const json& root, const std::string& name) {
    for (const json& m : root["materials"])
        if (m["name"] == name)
            return &m;
    return nullptr;
}

// The image a material's base colour texture shows, after checking the texture and its sampler.
json ImageOfMaterial(const json& root, const std::string& name) {
    const json* material = MaterialNamed(root, name);
    EXPECT_NE(material, nullptr) << name;
    if (material == nullptr || !(*material)["pbrMetallicRoughness"].contains("baseColorTexture"))
        return {};
    const json& texture =
        root["textures"].at((*material)["pbrMetallicRoughness"]["baseColorTexture"]["index"].get<std::size_t>());
    const json& sampler = root["samplers"].at(texture["sampler"].get<std::size_t>());
    EXPECT_EQ(sampler, json::parse(R"({"magFilter":9729,"minFilter":9729,"wrapS":10497,"wrapT":10497})"));
    return root["images"].at(texture["source"].get<std::size_t>());
}

TEST(TexturedGlb, EmbedsEachUsedImageAsAPngInTheBinaryChunk) {
    const TexturedModel m = MakeTexturedModel();
    std::vector<std::string> warnings;
    const GlbParts glb = SplitGlb(BuildGlb(m.scene, warnings, m.images));
    EXPECT_TRUE(warnings.empty());
    const json& root = glb.root;
    ASSERT_TRUE(root.contains("images"));
    EXPECT_EQ(root["images"].size(), 2u);  // not the image of "spare", which no face shows
    EXPECT_EQ(root["textures"].size(), 2u);
    for (const auto& [name, slot] : {std::pair<std::string, std::size_t>{"wall", 0}, {"caf\xC3\xA9", 2}}) {
        SCOPED_TRACE(name);
        const json image = ImageOfMaterial(root, name);
        ASSERT_TRUE(image.contains("bufferView"));
        EXPECT_EQ(image["mimeType"], "image/png");
        const json& view = root["bufferViews"].at(image["bufferView"].get<std::size_t>());
        EXPECT_FALSE(view.contains("target"));
        const std::size_t offset = view["byteOffset"], length = view["byteLength"];
        ASSERT_LE(offset + length, glb.bin.size());
        ExpectPngOf(std::span(glb.bin).subspan(offset, length), *m.images[slot].image);
    }
    EXPECT_FALSE(MaterialNamed(root, "floor")->at("pbrMetallicRoughness").contains("baseColorTexture"));
    for (const json& view : root["bufferViews"])
        EXPECT_EQ(view["byteOffset"].get<std::size_t>() % 4, 0u);  // an image's odd length is padded
    EXPECT_EQ(root["buffers"][0]["byteLength"], glb.bin.size());
}

TEST(TexturedGltf, WritesThePngsBesideItUnderTheTextureNames) {
    const TexturedModel m = MakeTexturedModel();
    ScratchDirectory dir("textured-gltf");
    const std::string path = dir / "ship.gltf";
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(WriteGltfModel(m.scene, path, warnings, error, m.images)) << error;
    const json root = json::parse(test::ReadTestFile(path));
    EXPECT_EQ(ImageOfMaterial(root, "wall"), json::parse(R"({"uri":"wall.png"})"));
    EXPECT_EQ(ImageOfMaterial(root, "caf\xC3\xA9"), json::parse(R"({"uri":"caf%C3%A9.png"})"));
    ExpectPngOf(test::ReadTestFile(dir / "wall.png"), *m.images[0].image);
    ExpectPngOf(test::ReadTestFile(dir / "caf\xC3\xA9.png"), *m.images[2].image);
    EXPECT_FALSE(fs::exists(PathFromUtf8(dir / "spare.png")));
    EXPECT_EQ(GltfOutputPaths(path, m.scene, m.images),
              (std::vector<std::string>{path, dir / "ship.bin", dir / "wall.png", dir / "caf\xC3\xA9.png"}));
}

TEST(TexturedObj, NamesEachPngInMapKdAndWritesItBeside) {
    const TexturedModel m = MakeTexturedModel();
    ScratchDirectory dir("textured-obj");
    const std::string path = dir / "ship.obj";
    std::vector<std::string> warnings, notes;
    std::string error;
    ASSERT_TRUE(WriteObjModel(m.scene, path, warnings, notes, error, m.images)) << error;
    const Bytes mtlBytes = test::ReadTestFile(dir / "ship.mtl");
    const std::string mtl(mtlBytes.begin(), mtlBytes.end());
    EXPECT_NE(mtl.find("newmtl wall\nKd 1 1 1\nmap_Kd wall.png\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("newmtl caf\xC3\xA9\nKd 1 1 1\nmap_Kd caf\xC3\xA9.png\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("newmtl floor\nKd 1 1 1\n"), std::string::npos) << mtl;
    std::size_t mapLines = 0;
    for (std::size_t at = mtl.find("map_Kd"); at != std::string::npos; at = mtl.find("map_Kd", at + 1))
        ++mapLines;
    EXPECT_EQ(mapLines, 2u) << mtl;
    ExpectPngOf(test::ReadTestFile(dir / "wall.png"), *m.images[0].image);
    ExpectPngOf(test::ReadTestFile(dir / "caf\xC3\xA9.png"), *m.images[2].image);
}

// Images no face shows, or none at all, change nothing: the files are those an export without images makes.
TEST(TexturedExport, WithoutAnImageToShowIsByteForByteAsWithoutImages) {
    TexturedModel m = MakeTexturedModel();
    const TextureImages unseen = {{}, {Pixels(2, 2, 3), "floor.png"}, {}, {Pixels(2, 2, 4), "spare.png"}};
    m.scene.objects[0].faces.erase(m.scene.objects[0].faces.begin() + 2);  // "floor" is shown no more
    std::vector<std::string> warnings;
    EXPECT_EQ(BuildGlb(m.scene, warnings, unseen), BuildGlb(m.scene, warnings));
    const GltfFiles plain = BuildGltf(m.scene, "x.bin", warnings),
                    withTable = BuildGltf(m.scene, "x.bin", warnings, unseen);
    EXPECT_EQ(withTable.json, plain.json);
    EXPECT_EQ(withTable.bin, plain.bin);
    EXPECT_TRUE(withTable.images.empty());
    const ObjFiles obj = BuildObj(m.scene, "x.mtl", warnings),
                   objWithTable = BuildObj(m.scene, "x.mtl", warnings, unseen);
    EXPECT_EQ(objWithTable.obj, obj.obj);
    EXPECT_EQ(objWithTable.mtl, obj.mtl);
    EXPECT_TRUE(objWithTable.images.empty());
}

struct StemCase {
    const char* label;
    std::string name;
    std::string stem;
};

const StemCase kStems[] = {
    {"Plain", "Brick", "Brick"},
    {"GameExtensionDropped", "Brick.OGF", "Brick"},
    {"OnlyTheLastExtension", "a.tga.ogf", "a.tga"},
    {"OtherExtensionKept", "lava.oaf.bak", "lava.oaf.bak"},
    {"Slash", "walls/brick", "walls_brick"},
    {"Backslash", "walls\\brick", "walls_brick"},
    {"DriveColon", "C:brick", "C_brick"},
    {"UpAFolder", "../../brick", ".._.._brick"},
    {"DotsAlone", "..", ".."},
    {"WindowsForbidden", "a<b>c\"d|e?f*g", "a_b_c_d_e_f_g"},
    {"EscapeCommentBlank", "100% #1 x", "100___1_x"},
    {"Control", std::string("a\nb\x7F", 4), "a_b_"},
    {"Empty", "", "texture_7"},
    {"OnlyExtension", ".ogf", ".ogf"},
    {"Device", "con", "_con"},
    {"DeviceWithExtension", "NUL.tga.x", "_NUL.tga.x"},
    {"DeviceNumbered", "Com9", "_Com9"},
    {"NotADevice", "console", "console"},
    {"NonAsciiUtf8", "m\xC3\xBCll \xE6\x97\xA5", "m\xC3\xBCll_\xE6\x97\xA5"},
    {"Latin1Byte", "m\xFCll", "m_ll"},
    {"CutSequence", "ab\xE6\x97", "ab__"},
    {"Surrogate", "x\xED\xA0\x80", "x___"},
    {"Long", std::string(300, 'q'), std::string(200, 'q')},
    {"LongCutAtACharacter", std::string(199, 'q') + "\xC3\xA9z", std::string(199, 'q')},
};

class TextureFileStems : public ::testing::TestWithParam<StemCase> {};

TEST_P(TextureFileStems, AreFitForEveryFileSystem) {
    EXPECT_EQ(TextureFileStem(GetParam().name, 7), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(Names, TextureFileStems, ::testing::ValuesIn(kStems), [](const auto& info) {
    return std::string(info.param.label);
});

TEST(TextureFilePlan, MakesCollidingNamesDistinctAndSharesAFilePerName) {
    test::ModelBuilder b;
    for (const char* name : {"a/b", "a:b", "A_B", "a_b_2", "dup", "dup", "none", "unused"})
        b.texture(name);
    b.subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(0, 1, 0);
    for (std::int32_t t : {0, 1, 2, 3, 4, 6})
        b.face(t, {{0}, {1}, {2}});
    const Scene scene = b.scene();
    // Slot 4 ("dup", shown) has no image; slot 5 ("dup", not shown) lends it its own.
    const TextureImages images = {{Pixels(1, 1, 0), ""},
                                  {Pixels(1, 1, 1), ""},
                                  {Pixels(1, 1, 2), ""},
                                  {Pixels(1, 1, 3), ""},
                                  {},
                                  {Pixels(1, 1, 5), ""},
                                  {},
                                  {Pixels(1, 1, 7), ""}};
    const TextureFilePlan plan = PlanTextureFiles(scene, images);
    std::vector<std::string> names;
    for (const TextureFile& file : plan.files)
        names.push_back(file.fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"a_b.png", "a_b_2.png", "A_B_3.png", "a_b_2_2.png", "dup.png"}));
    EXPECT_EQ(plan.fileOfTexture, (std::vector<int>{0, 1, 2, 3, 4, 4, -1, -1}));
    EXPECT_EQ(plan.files[4].image, images[5].image.get());
    EXPECT_EQ(plan.fileOf(-1), -1);
    EXPECT_EQ(plan.fileOf(8), -1);
}

TEST(TextureFilePlan, LeavesOutImagesWhosePixelsDoNotFillThem) {
    test::ModelBuilder b;
    b.texture("short").texture("empty").subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(0, 1, 0);
    b.face(0, {{0}, {1}, {2}}).face(1, {{0}, {1}, {2}});
    auto shortImage = std::make_shared<Image>(*Pixels(2, 2, 0));
    shortImage->level.rgba.pop_back();
    const TextureImages images = {{shortImage, ""}, {std::make_shared<Image>(), ""}};
    EXPECT_TRUE(PlanTextureFiles(b.scene(), images).files.empty());
}

class RecordingSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { text += message; }
    std::string text;
};

TEST(TexturedExport, WritesThePngsWithTheModelAndLogsEach) {
    const TexturedModel m = MakeTexturedModel();
    ScratchDirectory dir("textured-export");
    const std::string path = dir / "ship.obj";
    RecordingSink out;
    ASSERT_TRUE(WriteExchangeModel(m.scene, path, ModelTarget::Obj, out, {}, m.images)) << out.text;
    const std::vector<std::string> files = ExchangeModelFiles(path, ModelTarget::Obj, m.scene, m.images);
    EXPECT_EQ(files, (std::vector<std::string>{path, dir / "ship.mtl", dir / "wall.png", dir / "caf\xC3\xA9.png"}));
    for (const std::string& file : files)
        EXPECT_TRUE(fs::exists(PathFromUtf8(file))) << file;
    EXPECT_NE(out.text.find("Wrote " + dir / "wall.png" + " from textures/wall.png\r\n"), std::string::npos)
        << out.text;
    EXPECT_NE(out.text.find("Wrote " + dir / "caf\xC3\xA9.png from d3.hog: cafe.ogf\r\n"), std::string::npos);
    // A GLB holds its images: no PNG beside it, and no line for one.
    RecordingSink glbOut;
    ASSERT_TRUE(WriteExchangeModel(m.scene, dir / "ship.glb", ModelTarget::Glb, glbOut, {}, m.images));
    EXPECT_EQ(ExchangeModelFiles(dir / "ship.glb", ModelTarget::Glb, m.scene, m.images).size(), 1u);
    EXPECT_EQ(glbOut.text.find("Wrote "), std::string::npos) << glbOut.text;
}

TEST(TexturedExport, RefusesAPngThatIsAnInputAndWritesNothing) {
    const TexturedModel m = MakeTexturedModel();
    ScratchDirectory dir("textured-input");
    const std::string image = dir / "wall.png";
    { std::ofstream(PathFromUtf8(image), std::ios::binary) << "the user's own picture"; }
    RecordingSink out;
    EXPECT_FALSE(WriteExchangeModel(m.scene, dir / "ship.gltf", ModelTarget::Gltf, out, {image}, m.images));
    EXPECT_NE(out.text.find("Error: " + image + " is the file the model was read from; nothing was written"),
              std::string::npos)
        << out.text;
    const Bytes kept = test::ReadTestFile(image);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the user's own picture");
    EXPECT_FALSE(fs::exists(PathFromUtf8(dir / "ship.gltf")));
    EXPECT_FALSE(fs::exists(PathFromUtf8(dir / "caf\xC3\xA9.png")));
}

}  // namespace
}  // namespace torvale
