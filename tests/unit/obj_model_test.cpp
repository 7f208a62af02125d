#include <gtest/gtest.h>

#include <map>

#include "builders/gltf_builder.h"
#include "builders/model_builder.h"
#include "model_io/polygon.h"
#include "obj/obj_model.h"

namespace torvale {
namespace {

struct Loaded {
    bool ok = false;
    Scene model;
    std::vector<std::string> notes;
    std::string error;
};

Loaded Read(const std::string& obj, const std::map<std::string, std::string>& files = {}) {
    Loaded out;
    const ResourceLoader loader = [&](std::string_view uri, std::vector<std::uint8_t>& bytes, std::string& why) {
        const auto found = files.find(std::string(uri));
        if (found == files.end()) {
            why = "no such file";
            return false;
        }
        bytes.assign(found->second.begin(), found->second.end());
        return true;
    };
    out.ok = ReadObjModel(test::TextBytes(obj), "room.obj", loader, out.model, out.notes, out.error);
    return out;
}

const char* const kTwoObjects =
    "# two objects, the second in two groups\n"
    "mtllib room.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0.5 1.5 0\nv 0 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0.5 0.25\nvt 0 1\n"
    "o floor\n"
    "usemtl plank\n"
    "f 1/1 2/2 3/3 4/4 5/5\n"
    "o lamp\n"
    "g shade\n"
    "usemtl rgb_ff8000\n"
    "f 3 4 5\n"
    "g cord\n"
    "usemtl bare\n"
    "f -5 -4 -3\n";
const char* const kMaterials =
    "newmtl plank\nKd 1 1 1\nmap_Kd textures\\oak_plank.png\n"
    "newmtl rgb_ff8000\nKd 1 0.5 0\n";

TEST(ObjModel, ObjectsPolygonsMaterialsAndFlippedV) {
    const Loaded r = Read(kTwoObjects, {{"room.mtl", kMaterials}});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.notes.empty());
    const Scene& m = r.model;
    ASSERT_EQ(m.objects.size(), 2u);  // groups inside an object make no sub-objects of their own
    EXPECT_EQ(m.objects[0].name, std::string("floor"));
    EXPECT_EQ(m.objects[1].parent, -1);
    const SceneObject& floor = m.objects[0];
    ASSERT_EQ(test::CornerCounts(floor), std::vector<std::uint32_t>{5});  // the pentagon stays one face
    // The corners come in the other order, the first kept (x is mirrored): the file's fourth is the game's third.
    EXPECT_EQ(floor.cornersOf(floor.faces[0])[2].v, 0.75f);  // 1 - 0.25
    EXPECT_EQ(floor.positions[3], (Vector3{-0.5f, 1.5f, 0}));
    EXPECT_NEAR(floor.faces[0].normal.z, 1.0f, 1e-6f);  // counter-clockwise from +Z faces +Z, as in the file
    // map_Kd's file name gives the texture; a material with only a colour gives an untextured face; a
    // usemtl name the library lacks is still a texture.
    ASSERT_EQ(m.textures, (std::vector<std::string>{std::string("oak_plank"), std::string("bare")}));
    const SceneObject& lamp = m.objects[1];
    EXPECT_EQ(test::TextureNumbers(lamp), (std::vector<std::int32_t>{-1, 1}));
    EXPECT_EQ(lamp.faces[0].color.green, 128);
    EXPECT_EQ(lamp.positions.size(), 5u);  // only the vertices its faces use
}

TEST(ObjModel, GroupsMakeSubObjectsWhenThereIsNoObjectAndAMissingLibraryIsNoted) {
    const Loaded r = Read("mtllib gone.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\ng a\nusemtl m\nf 1 2 3\ng b\nf 3 2 1\n");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.objects.size(), 2u);
    EXPECT_EQ(r.model.objects[1].name, std::string("b"));
    // Inside out in the file is inside out in the model.
    EXPECT_NEAR(r.model.objects[1].faces[0].normal.z, -1.0f, 1e-6f);
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0].rfind("room.obj: material library gone.mtl not read", 0), 0u) << r.notes[0];
}

// Blender's copies of a material ("metal.001") name the texture of the material they copy, when there is one.
TEST(ObjModel, MaterialCopySuffixIsDroppedWhenTheOriginalExists) {
    const Loaded r = Read(
        "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\no a\nusemtl metal.001\nf 1 2 3\n"
        "usemtl rust.002\nf 1 2 3\nusemtl glass.01\nf 1 2 3\n",
        {{"m.mtl", "newmtl metal\nKd 1 1 1\nnewmtl metal.001\nKd 1 1 1\n"}});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.textures, (std::vector<std::string>{"metal", "rust.002", "glass.01"}));
}

TEST(ObjModel, RefusesBadFacesNamingTheLineAndKeepsTheModel) {
    const std::pair<const char*, const char*> cases[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\n\n# next\nf 1 2 9\n",
         "room.obj: line 6: corner 3 names vertex 9, but 3 vertices come before it"},
        {"v 0 0 0\r\nv 1 0 0\r\nf 1 2 -3\r\nv 0 1 0\r\n",
         "room.obj: line 3: corner 3 names vertex -3, but 2 vertices come before it"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/2 3/3", "room.obj: line 5: corner 2 names texture coordinate 2"},
        {"v 0 0 0\nv 1 0 0\nf 1 2\n", "room.obj: line 3: a face of 2 corners; a face needs at least 3"},
        {"# nothing but vertices\nv 0 0 0\n", "room.obj: no face statements"},
        // Indices past what an int holds would wrap onto other vertices (4294967299 onto 3).
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4294967299\n",
         "room.obj: line 4: corner 3 names vertex 4294967299, more than any file holds"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -99999999999999999999\n", "room.obj: line 4: corner 3 names vertex -9999"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/2147483648 3/1\n",
         "room.obj: line 5: corner 2 names index 2147483648, more than any file holds"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 0 1 2\n",
         "room.obj: line 5: corner 1 names vertex 0, which no vertex has"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/0 2/1 3/1\n", "room.obj: line 5: corner 1 names index 0"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3 # a note\n", "room.obj: line 4: corner 4, \"#\", is no vertex index"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/1/1 2 3\n", "room.obj: line 4: corner 1, \"1/1/1/1\", is no vertex"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3 4\n", "room.obj: line 4: corner 4 names vertex 4, but 3 vertices"},
    };
    for (const auto& [text, expected] : cases) {
        Loaded r;
        r.model.textures = {"kept"};
        r.ok = ReadObjModel(test::TextBytes(text), "room.obj", {}, r.model, r.notes, r.error);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.error.rfind(expected, 0), 0u) << r.error;
        EXPECT_EQ(r.model.textures, std::vector<std::string>{"kept"});
    }
}

TEST(ObjModel, RefusesLinesPastTheLimitAndReadsLongFacesWithin) {
    // "f" and 32767 corners of two bytes each: 65535 bytes; one corner more passes the limit.
    const Loaded within = Read(test::ObjWithLongFace(32767));
    ASSERT_TRUE(within.ok) << within.error;
    EXPECT_EQ(test::CornerCounts(within.model.objects[0]), std::vector<std::uint32_t>{32767});
    const Loaded past = Read(test::ObjWithLongFace(32768));
    EXPECT_FALSE(past.ok);
    EXPECT_EQ(past.error, "room.obj: line 4: longer than 65536 bytes");
    const Loaded comment = Read("# " + std::string(70000, 'x') + "\n" + test::ObjWithLongFace(3));
    EXPECT_EQ(comment.error, "room.obj: line 1: longer than 65536 bytes");
}

// Material libraries and their map_Kd images are names inside the model's folder; one outside it is refused
// without the loader being asked.
TEST(ObjModel, RefusesFilesNamedOutsideTheFolder) {
    const std::string faces = "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl plank\nf 1 2 3\n";
    const std::pair<std::string, const char*> cases[] = {
        {"mtllib ../x.mtl\n", "room.obj: material library \"../x.mtl\" reaches above the model's folder"},
        {"mtllib /home/x.mtl\n", "room.obj: material library \"/home/x.mtl\" is an absolute path"},
        {"mtllib C:\\x.mtl\n", "room.obj: material library \"C:"},
        {"mtllib %2e%2e/x.mtl\n", "room.obj: material library \"%2e%2e/x.mtl\" reaches above"},
        {"mtllib far.mtl\n", "room.obj: material \"plank\": map_Kd \"..\\..\\secret.png\" reaches above"},
    };
    for (const auto& [library, expected] : cases) {
        const Loaded r = Read(library + faces, {{"far.mtl", "newmtl plank\nmap_Kd ..\\..\\secret.png\n"},
                                                {"../x.mtl", "newmtl plank\nmap_Kd secret.png\n"}});
        EXPECT_FALSE(r.ok) << library;
        EXPECT_EQ(r.error.rfind(expected, 0), 0u) << r.error;
    }
    const Loaded inside =
        Read("mtllib sub/./room%20a.mtl\n" + faces, {{"sub/room a.mtl", "newmtl plank\nmap_Kd t/oak.png\n"}});
    ASSERT_TRUE(inside.ok) << inside.error;
    EXPECT_EQ(inside.model.textures, std::vector<std::string>{std::string("oak")});
}

// Every prefix of a valid file, each in its own allocation: a model or a refusal, never a read past the end.
TEST(ObjModel, TruncationSweep) {
    const std::string whole = kTwoObjects;
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::unique_ptr<std::uint8_t[]> prefix(new std::uint8_t[n + 1]);
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n), prefix.get());
        Scene model;
        std::vector<std::string> notes;
        std::string error;
        const bool ok = ReadObjModel({prefix.get(), n}, "cut.obj", {}, model, notes, error);
        EXPECT_EQ(ok, error.empty()) << n;
        EXPECT_EQ(ok, !model.objects.empty()) << n;
    }
}

}  // namespace
}  // namespace torvale
