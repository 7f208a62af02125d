// The game's left-handed frame against glTF's and OBJ's right-handed one, and the files the exchange readers
// refuse or read in spite of their oddities. Every file here is made by hand (tests/builders), never by the
// program's writers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "builders/gltf_builder.h"
#include "gltf/gltf_model.h"
#include "gltf/gltf_writer.h"
#include "model_io/input_kind.h"
#include "obj/obj_model.h"
#include "obj/obj_writer.h"

namespace torvale {
namespace {

using test::Bytes;

struct Loaded {
    bool ok = false;
    Scene model;
    std::string error;
};

Loaded ReadGltf(const Bytes& bytes) {
    Loaded out;
    std::vector<std::string> notes;
    out.ok = ReadGltfModel(bytes, "sign.glb", {}, out.model, notes, out.error);
    return out;
}

Loaded ReadObj(const Bytes& bytes) {
    Loaded out;
    std::vector<std::string> notes;
    out.ok = ReadObjModel(bytes, "sign.obj", {}, out.model, notes, out.error);
    return out;
}

// An F as the game sees it, facing the viewer at -z (its front towards -z, read from there): the bar at
// x 0..1, its arms reaching to +x, the game's right. Quads, corners clockwise seen from the front as the game
// winds its fronts.
const std::vector<std::array<Vector3, 4>> kF = {
    {{{0, 0, 0}, {0, 5, 0}, {1, 5, 0}, {1, 0, 0}}},  // bar
    {{{1, 4, 0}, {1, 5, 0}, {4, 5, 0}, {4, 4, 0}}},  // top arm
    {{{1, 2, 0}, {1, 3, 0}, {3, 3, 0}, {3, 2, 0}}},  // middle arm
};

// The F's quads as a file of the given frame holds them: mirrored (x negated, corners reversed keeping the first)
// or, as the older convention wrote them, with the game's numbers unchanged.
std::vector<std::array<Vector3, 4>> FileQuads(bool mirrored) {
    std::vector<std::array<Vector3, 4>> out = kF;
    if (mirrored)
        for (auto& q : out) {
            for (Vector3& p : q)
                p.x = -p.x;
            std::swap(q[1], q[3]);
        }
    return out;
}

Bytes FGltf(bool mirrored) {
    test::GltfBuilder b;
    test::GltfMeshFields fields;
    for (const auto& q : FileQuads(mirrored)) {
        const auto base = static_cast<std::uint32_t>(fields.positions.size());
        fields.positions.insert(fields.positions.end(), q.begin(), q.end());
        fields.indices.insert(fields.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    b.rootNodes({b.node({"sign", b.mesh(fields), std::nullopt, std::nullopt, std::nullopt, {}})});
    return b.glb();
}

Bytes FObj(bool mirrored) {
    std::string text = "o sign\n";
    std::string faces;
    int n = 0;
    for (const auto& q : FileQuads(mirrored)) {
        faces += "f";
        for (const Vector3& p : q) {
            text += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) + "\n";
            faces += " " + std::to_string(++n);
        }
        faces += "\n";
    }
    return test::TextBytes(text + faces);
}

// The corners of every face of the model's first sub-object, in order.
std::vector<Vector3> Corners(const Scene& m) {
    std::vector<Vector3> out;
    const SceneObject& sub = m.objects.at(0);
    for (std::size_t f = 0; f < sub.faces.size(); ++f)
        for (std::int32_t k = 0; k < sub.faces[f].cornerCount; ++k)
            out.push_back(sub.positions[static_cast<std::size_t>(sub.cornersOf(sub.faces[f])[k].vertex)]);
    return out;
}

// The game's corners as the readers give them: quads from OBJ; from glTF each quad as the two triangles of the
// file's fan from its first corner, which in the game's corner order come second and then first.
std::vector<Vector3> ExpectedCorners(bool triangles) {
    std::vector<Vector3> out;
    for (const auto& q : kF) {
        if (triangles)
            out.insert(out.end(), {q[0], q[2], q[3], q[0], q[1], q[2]});
        else
            out.insert(out.end(), q.begin(), q.end());
    }
    return out;
}

TEST(ModelFrames, MirroredFilesGiveTheGameFAndOldUnmirroredFilesAreSeenMirrored) {
    for (const bool gltf : {true, false}) {
        SCOPED_TRACE(gltf ? "glTF" : "OBJ");
        const Loaded right = gltf ? ReadGltf(FGltf(true)) : ReadObj(FObj(true));
        ASSERT_TRUE(right.ok) << right.error;
        EXPECT_EQ(Corners(right.model), ExpectedCorners(gltf));
        // The front faces -z as in the game: the face normals agree.
        for (const SceneFace& face : right.model.objects[0].faces)
            EXPECT_NEAR(face.normal.z, -1.0f, 1e-6f);

        // A file that kept the game's numbers: its arms reach to the game's left.
        const Loaded old = gltf ? ReadGltf(FGltf(false)) : ReadObj(FObj(false));
        ASSERT_TRUE(old.ok) << old.error;
        float lowest = 0.0f;
        for (const Vector3& p : old.model.objects[0].positions)
            lowest = std::min(lowest, p.x);
        EXPECT_EQ(lowest, -4.0f);
        EXPECT_NE(Corners(old.model), ExpectedCorners(gltf));
    }
}

// The writers put the game's right at the file's -x, with the corners reversed, first corner kept.
TEST(ModelFrames, WritersMirrorXAndReverseCorners) {
    Scene m;
    {
        std::vector<std::string> notes;
        std::string error;
        ASSERT_TRUE(ReadObjModel(FObj(true), "sign.obj", {}, m, notes, error)) << error;
    }
    std::vector<std::string> warnings;
    const ObjFiles obj = BuildObj(m, "sign.mtl", warnings);
    // What comes out is the file that went in: the bar's vertices stored as the file listed them (x negated back),
    // its corners in the file's order again.
    EXPECT_EQ(obj.obj.find("o sign\nv 0 0 0\nv -1 0 0\nv -1 5 0\nv 0 5 0\n"), 26u) << obj.obj;
    EXPECT_NE(obj.obj.find("f 1/1 2/2 3/3 4/4\n"), std::string::npos) << obj.obj;
    const GltfFiles gltf = BuildGltf(m, "sign.bin", warnings);
    // POSITION of the first primitive: the bar's corners, x negated.
    float first[12];
    ASSERT_GE(gltf.bin.size(), sizeof first);
    std::memcpy(first, gltf.bin.data(), sizeof first);
    EXPECT_EQ((Vector3{first[0], first[1], first[2]}), (Vector3{0, 0, 0}));
    EXPECT_EQ((Vector3{first[3], first[4], first[5]}), (Vector3{-1, 0, 0}));
    EXPECT_EQ((Vector3{first[9], first[10], first[11]}), (Vector3{0, 5, 0}));
}

test::GltfBuilder Square(std::optional<Vector3> parentScale = std::nullopt, std::optional<Vector3> scale = {}) {
    test::GltfBuilder b;
    const int mesh = b.mesh(test::FrontFacingSquare());
    const int child = b.node({"square", mesh, std::nullopt, std::nullopt, scale, {}});
    b.rootNodes({parentScale ? b.node({"top", -1, std::nullopt, std::nullopt, parentScale, {child}}) : child});
    return b;
}

TEST(ModelFrames, GltfRefusalsNameTheElement) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        Bytes bytes;
        const char* expected;
    };
    std::vector<Case> cases;
    const auto withFields = [](const std::function<void(test::GltfMeshFields&)>& change) {
        test::GltfBuilder b;
        test::GltfMeshFields fields = test::FrontFacingSquare();
        change(fields);
        b.rootNodes({b.node({"n", b.mesh(fields), std::nullopt, std::nullopt, std::nullopt, {}})});
        return b.glb();
    };
    cases.push_back({"NaN position", withFields([&](test::GltfMeshFields& s) { s.positions[1].y = nan; }),
                     "sign.glb: accessor 0: POSITION element 1 is not a finite number"});
    cases.push_back({"infinite UV", withFields([&](test::GltfMeshFields& s) { s.uvs[2].first = -inf; }),
                     "sign.glb: accessor 1: TEXCOORD_0 element 2 is not a finite number"});
    cases.push_back({"transform takes a vertex past the floats",
                     Square(Vector3{1e30f, 1, 1}, Vector3{1e30f, 1, 1}).glb(),
                     "sign.glb: accessor 0: POSITION element 1 is not a finite number once its node transforms are "
                     "applied"});
    cases.push_back({"lines only", withFields([](test::GltfMeshFields& s) { s.mode = 1; }),
                     "sign.glb has no faces to put in a room: 1 line and point primitive(s) were left out"});
    for (const char* name : {"KHR_draco_mesh_compression", "EXT_meshopt_compression", "KHR_mesh_quantization"}) {
        test::GltfBuilder b = Square();
        b.rootMembers(std::string("\"extensionsRequired\":[\"KHR_materials_unlit\",\"") + name + "\"]");
        cases.push_back({name, b.glb(), name});
    }
    test::GltfBuilder pastEnd = Square();
    pastEnd.sparse(0, {7}, {{5, 5, 0}});
    cases.push_back(
        {"sparse index past the elements", pastEnd.glb(), "accessor 0 (sparse): replaces element 7 of its 4"});
    cases.push_back({"glTF 1.0 JSON", test::TextBytes("{\"asset\":{\"version\":\"1.0\"},\"meshes\":{}}"),
                     "sign.glb: glTF 1.0; save it as glTF 2.0"});
    Bytes binaryOne = Square().glb();
    binaryOne[4] = 1;
    cases.push_back({"glTF 1.0 binary", binaryOne, "sign.glb: glTF 1.0; save it as glTF 2.0"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene model;
        model.textures = {"kept"};
        std::vector<std::string> notes;
        std::string error;
        EXPECT_FALSE(ReadGltfModel(c.bytes, "sign.glb", {}, model, notes, error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(model.textures, std::vector<std::string>{"kept"});
    }
}

TEST(ModelFrames, GltfSparseAccessorsAndMaterialExtensionsAreRead) {
    test::GltfBuilder replaced = Square();
    replaced.sparse(0, {2}, {{5, 5, 0}});
    replaced.rootMembers("\"extensionsRequired\":[\"KHR_materials_unlit\",\"KHR_texture_transform\"]");
    const Loaded r = ReadGltf(replaced.glb());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.objects[0].positions, (std::vector<Vector3>{{0, 0, 0}, {-1, 0, 0}, {-5, 5, 0}, {0, 1, 0}}));

    test::GltfBuilder zeros = Square();
    zeros.sparse(0, {1, 2, 3}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, true);
    const Loaded z = ReadGltf(zeros.glb());
    ASSERT_TRUE(z.ok) << z.error;
    EXPECT_EQ(z.model.objects[0].positions, (std::vector<Vector3>{{0, 0, 0}, {-1, 0, 0}, {-1, 1, 0}, {0, 1, 0}}));
}

TEST(ModelFrames, TextureTransformIsAppliedToTheUvs) {
    test::GltfBuilder b;
    test::GltfMeshFields fields = test::FrontFacingSquare();
    // offset (0.5, 0.25), a quarter turn, scale (2, 3): (u, v) -> (3 v + 0.5, -2 u + 0.25).
    fields.material = b.material({"m", "rock.png", std::nullopt,
                                  "\"extensions\":{\"KHR_texture_transform\":{\"offset\":[0.5,0.25],"
                                  "\"rotation\":1.5707963267948966,\"scale\":[2,3]}}"});
    b.rootNodes({b.node({"n", b.mesh(fields), std::nullopt, std::nullopt, std::nullopt, {}})});
    const Loaded r = ReadGltf(b.glb());
    ASSERT_TRUE(r.ok) << r.error;
    // The first triangle's corners in the game: file corners 0, 2, 1 with UVs (0,1), (1,0), (1,1).
    const std::span<const SceneCorner> c = r.model.objects[0].cornersOf(r.model.objects[0].faces[0]);
    const std::array<std::pair<float, float>, 3> expected = {{{3.5f, 0.25f}, {0.5f, -1.75f}, {3.5f, -1.75f}}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(c[k].u, expected[k].first, 1e-6f) << k;
        EXPECT_NEAR(c[k].v, expected[k].second, 1e-6f) << k;
    }
}

TEST(ModelFrames, ObjRefusesNumbersThatAreNotFinite) {
    const std::pair<const char*, const char*> cases[] = {
        {"v 0 0 0\nv inf 0 0\nv 0 1 0\nf 1 2 3\n", "sign.obj: line 2: 'inf' is not a finite number"},
        {"v 0 0 0\nv 1 0 0\nv 0 -NaN 0\nf 1 2 3\n", "sign.obj: line 3: '-NaN' is not a finite number"},
        {"v 0 0 0\nv 1e999 0 0\nv 0 1 0\nf 1 2 3\n", "sign.obj: line 2: a vertex with a number that is not finite"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1e40\nf 1/1 2/1 3/1\n",
         "line 4: a texture coordinate with a number that is not finite"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 Infinity\nf 1 2 3\n", "line 4: 'Infinity' is not a finite number"},
    };
    for (const auto& [text, expected] : cases) {
        const Loaded r = ReadObj(test::TextBytes(text));
        EXPECT_FALSE(r.ok) << text;
        EXPECT_NE(r.error.find(expected), std::string::npos) << r.error;
    }
}

TEST(ModelFrames, Utf16ObjIsReadAsUtf8) {
    const std::string text = "o wall\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    for (const bool little : {true, false}) {
        Bytes bytes = little ? Bytes{0xFF, 0xFE} : Bytes{0xFE, 0xFF};
        for (const char ch : text) {
            const auto c = static_cast<std::uint8_t>(ch);
            bytes.insert(bytes.end(), little ? std::initializer_list<std::uint8_t>{c, 0}
                                             : std::initializer_list<std::uint8_t>{0, c});
        }
        EXPECT_EQ(DetectInputKind(bytes), InputKind::Unknown);
        TextAsUtf8(bytes);
        EXPECT_EQ(bytes, test::TextBytes(text));
        EXPECT_EQ(DetectInputKind(bytes), InputKind::Obj);
    }
    Bytes bom = test::TextBytes("\xEF\xBB\xBFv 0 0 0\n");
    TextAsUtf8(bom);
    EXPECT_EQ(bom, test::TextBytes("v 0 0 0\n"));
    Bytes pair = {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8};  // U+1F600, then a lone surrogate
    TextAsUtf8(pair);
    EXPECT_EQ(pair, (Bytes{0xF0, 0x9F, 0x98, 0x80, 0xEF, 0xBF, 0xBD}));
}

}  // namespace
}  // namespace torvale
