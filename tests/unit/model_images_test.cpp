#include <gtest/gtest.h>

#include <map>

#include "builders/bitmap_builder.h"
#include "builders/gltf_builder.h"
#include "gltf/gltf_model.h"
#include "obj/obj_model.h"

namespace torvale {
namespace {

using test::Bytes;

// A 2 x 2 image: red, green / blue, half-transparent white.
const Bytes kPixels = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};

Bytes SmallPng() {
    return test::StoredPng(2, 2, kPixels);
}

// The start of a JPEG file: enough to be told apart by.
const Bytes kJpegStart = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};

struct Loaded {
    bool ok = false;
    Scene model;
    std::vector<std::string> notes;
    std::string error;
    TextureImages images;
};

ResourceLoader MapLoader(const std::map<std::string, Bytes>& files) {
    return [&files](std::string_view name, std::vector<std::uint8_t>& data, std::string& why) {
        const auto found = files.find(std::string(name));
        if (found == files.end()) {
            why = "no such file";
            return false;
        }
        data = found->second;
        return true;
    };
}

Loaded ReadGltf(const Bytes& bytes, const std::map<std::string, Bytes>& files, bool images = true) {
    Loaded out;
    out.ok = ReadGltfModel(bytes, "ship.gltf", MapLoader(files), out.model, out.notes, out.error,
                           images ? &out.images : nullptr);
    return out;
}

Loaded ReadObj(const std::string& obj, const std::map<std::string, Bytes>& files, bool images = true) {
    Loaded out;
    out.ok = ReadObjModel(test::TextBytes(obj), "room.obj", MapLoader(files), out.model, out.notes, out.error,
                          images ? &out.images : nullptr);
    return out;
}

// One textured square whose material's image is `image`.
test::GltfBuilder SquareWith(test::GltfMaterialFields image) {
    test::GltfBuilder b;
    test::GltfMeshFields square = test::FrontFacingSquare();
    square.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    square.material = b.material(std::move(image));
    b.rootNodes({b.node({.name = "hull", .mesh = b.mesh(square)})});
    return b;
}

const Image* ImageNamed(const Loaded& r, const std::string& texture) {
    for (std::size_t t = 0; t < r.model.textures.size(); ++t)
        if (r.model.textures[t] == texture)
            return ImageOfTexture(r.images, static_cast<std::int32_t>(t));
    return nullptr;
}

TEST(ModelImages, GltfImagesComeFromTheBufferADataUriOrAFileBesideTheModel) {
    struct Case {
        const char* what;
        test::GltfMaterialFields material;
        std::map<std::string, Bytes> files;
        std::string texture;
    };
    const std::vector<Case> cases = {
        {"buffer view", {.name = "m", .embeddedImage = SmallPng(), .imageName = "Hull"}, {}, "Hull"},
        {"data: URI", {.name = "m", .imageUri = test::DataUri("image/png", SmallPng())}, {}, "m"},
        {"file", {.name = "m", .imageUri = "tex/rock%20face.png"}, {{"tex/rock face.png", SmallPng()}}, "rock%20face"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::map<std::string, Bytes> files = c.files;
        const test::GltfBuilder b = SquareWith(c.material);
        files["ship.bin"] = b.buffer();
        const Loaded r = ReadGltf(test::TextBytes(b.json("ship.bin")), files);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(r.notes.empty()) << r.notes.front();
        ASSERT_EQ(r.images.size(), r.model.textures.size());
        const Image* image = ImageNamed(r, c.texture);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->level.rgba, kPixels);
    }
}

TEST(ModelImages, ImagesAreReadOnlyWhenAskedFor) {
    int asked = 0;
    const test::GltfBuilder b = SquareWith({.name = "m", .imageUri = "rock.png"});
    const ResourceLoader counting = [&](std::string_view name, std::vector<std::uint8_t>& data, std::string&) {
        asked += name == "rock.png";
        data = name == "ship.bin" ? b.buffer() : SmallPng();
        return true;
    };
    Loaded r;
    ASSERT_TRUE(ReadGltfModel(test::TextBytes(b.json("ship.bin")), "ship.gltf", counting, r.model, r.notes, r.error));
    EXPECT_EQ(asked, 0);
    ASSERT_TRUE(ReadGltfModel(test::TextBytes(b.json("ship.bin")), "ship.gltf", counting, r.model, r.notes, r.error,
                              &r.images));
    EXPECT_EQ(asked, 1);
}

TEST(ModelImages, AnImageThatCannotBeReadIsOneNoteAndTheModelStillLoads) {
    Bytes cut = SmallPng();
    cut.resize(cut.size() - 20);
    struct Case {
        const char* what;
        std::map<std::string, Bytes> files;
        const char* note;
    };
    const std::vector<Case> cases = {
        {"missing", {}, "ship.gltf: image \"rock.png\" not read (no such file); its texture has no image"},
        {"cut short", {{"rock.png", cut}}, "ship.gltf: image \"rock.png\" not read (the PNG is cut short"},
        {"no image at all",
         {{"rock.png", test::TextBytes("hello, world")}},
         "ship.gltf: image \"rock.png\" not read ("},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::map<std::string, Bytes> files = c.files;
        const test::GltfBuilder b = SquareWith({.name = "m", .imageUri = "rock.png"});
        files["ship.bin"] = b.buffer();
        const Loaded r = ReadGltf(test::TextBytes(b.json("ship.bin")), files);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.notes.size(), 1u);
        EXPECT_EQ(r.notes[0].rfind(c.note, 0), 0u) << r.notes[0];
        EXPECT_EQ(r.notes[0].find('\n'), std::string::npos);
        EXPECT_EQ(r.model.textures, std::vector<std::string>{"rock"});
        EXPECT_EQ(ImageNamed(r, "rock"), nullptr);
    }
}

TEST(ModelImages, AnEmbeddedImageWhoseViewLeavesItsBufferIsANote) {
    test::GltfBuilder b = SquareWith({.name = "m", .embeddedImage = SmallPng(), .imageName = "Hull"});
    std::string json = b.json("ship.bin");
    // The image's view is the last one: make it claim far more than the buffer holds.
    const std::size_t at = json.rfind("\"byteLength\":" + std::to_string(SmallPng().size()));
    ASSERT_NE(at, std::string::npos);
    json.replace(at, 13 + std::to_string(SmallPng().size()).size(), "\"byteLength\":99999");
    const Loaded r = ReadGltf(test::TextBytes(json), {{"ship.bin", b.buffer()}});
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(r.notes[0].find("runs past the end of its buffer"), std::string::npos) << r.notes[0];
    EXPECT_EQ(ImageNamed(r, "Hull"), nullptr);
}

TEST(ModelImages, AnImageOutsideTheFolderRefusesTheModelWhetherOrNotImagesAreRead) {
    for (const bool images : {false, true}) {
        const test::GltfBuilder b = SquareWith({.name = "m", .imageUri = "../secret.png"});
        const Loaded r = ReadGltf(test::TextBytes(b.json("ship.bin")),
                                  {{"ship.bin", b.buffer()}, {"../secret.png", SmallPng()}}, images);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("\"../secret.png\""), std::string::npos) << r.error;
        EXPECT_TRUE(r.images.empty());
    }
    const Loaded obj = ReadObj("mtllib r.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n",
                               {{"r.mtl", test::TextBytes("newmtl m\nmap_Kd ../../etc/x.png\n")}});
    EXPECT_FALSE(obj.ok);
    EXPECT_NE(obj.error.find("map_Kd"), std::string::npos) << obj.error;
}

TEST(ModelImages, LoaderThatRefusesAnImageRefusesTheModel) {
    const test::GltfBuilder b = SquareWith({.name = "m", .imageUri = "link.png"});
    const Bytes buffer = b.buffer();
    const ResourceLoader loader = [&](std::string_view name, std::vector<std::uint8_t>& data, std::string& why) {
        if (name == "ship.bin") {
            data = buffer;
            return ResourceRead(true);
        }
        why = "\"link.png\" leads out of the model's folder";
        return ResourceRead::Refused();
    };
    Loaded r;
    EXPECT_FALSE(
        ReadGltfModel(test::TextBytes(b.json("ship.bin")), "ship.gltf", loader, r.model, r.notes, r.error, &r.images));
    EXPECT_EQ(r.error, "ship.gltf: image URI \"link.png\" leads out of the model's folder");
}

TEST(ModelImages, ObjMapKdFilesAreReadWithTheirOptionsSkipped) {
    const std::string obj =
        "mtllib r.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
        "usemtl a\nf 1 2 3\nusemtl b\nf 2 4 3\nusemtl c\nf 1 2 4\nusemtl plain\nf 1 3 4\n";
    const std::string mtl =
        "newmtl a\nmap_Kd -s 1 1 1 -o 0 0 0 tex/brick.png\n"
        "newmtl b\nmap_Kd gone.tga\n"
        "newmtl c\nmap_Kd -bm 2 grey.jpg\n"
        "newmtl plain\nKd 1 0 0\n";
    const Loaded r =
        ReadObj(obj, {{"r.mtl", test::TextBytes(mtl)}, {"tex/brick.png", SmallPng()}, {"grey.jpg", kJpegStart}});
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.textures, (std::vector<std::string>{"brick", "gone", "grey", "plain"}));
    ASSERT_EQ(r.images.size(), 4u);
    ASSERT_NE(ImageNamed(r, "brick"), nullptr);
    EXPECT_EQ(ImageNamed(r, "brick")->level.rgba, kPixels);
    EXPECT_EQ(r.images[0].origin, "tex/brick.png");
    EXPECT_EQ(ImageNamed(r, "gone"), nullptr);
    EXPECT_EQ(ImageNamed(r, "grey"), nullptr);
    EXPECT_EQ(ImageNamed(r, "plain"), nullptr);
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_EQ(r.notes[0], "room.obj: image \"gone.tga\" not read (no such file); its texture has no image");
    EXPECT_EQ(r.notes[1].rfind("room.obj: image \"grey.jpg\" not read (a JPEG image", 0), 0u) << r.notes[1];
}

TEST(ModelImages, ObjTgaAndOgfComeThroughTheGameBitmapReader) {
    const Bytes ogf = test::Ogf1555("brick.ogf", 2, 1, {0x8000 | 0x7C00, 0x0000});
    const Loaded r = ReadObj("mtllib r.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl a\nf 1 2 3\n",
                             {{"r.mtl", test::TextBytes("newmtl a\nmap_Kd brick.ogf\n")}, {"brick.ogf", ogf}});
    ASSERT_TRUE(r.ok) << r.error;
    const Image* image = ImageNamed(r, "brick");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->level.rgba, (Bytes{255, 0, 0, 255, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace torvale
