#include <gtest/gtest.h>

#include <map>

#include "builders/gltf_builder.h"
#include "gltf/gltf_model.h"
#include "model_io/polygon.h"

namespace torvale {
namespace {

using test::Bytes;

struct Loaded {
    bool ok = false;
    Scene model;
    std::vector<std::string> notes;
    std::string error;
};

Loaded Read(const Bytes& bytes, const std::map<std::string, Bytes>& files = {}) {
    Loaded out;
    const ResourceLoader loader = [&](std::string_view uri, std::vector<std::uint8_t>& data, std::string& why) {
        const auto found = files.find(std::string(uri));
        if (found == files.end()) {
            why = "no such file";
            return false;
        }
        data = found->second;
        return true;
    };
    out.ok = ReadGltfModel(bytes, "ship.gltf", loader, out.model, out.notes, out.error);
    return out;
}

Vector3 FaceNormal(const SceneObject& sub, std::size_t face) {
    std::vector<Vector3> corners;
    for (std::int32_t k = 0; k < sub.faces[face].cornerCount; ++k)
        corners.push_back(sub.positions[static_cast<std::size_t>(sub.cornersOf(sub.faces[face])[k].vertex)]);
    return ComputeFaceNormal(corners);
}

// The same model in all three containers: JSON with a .bin beside it, JSON with a data: URI, and GLB.
class GltfContainers : public ::testing::TestWithParam<int> {};

TEST_P(GltfContainers, ReadNodesTexturesColoursAndFacing) {
    const test::GltfBuilder b = test::TwoNodeGltf();
    const Loaded r = GetParam() == 0   ? Read(test::TextBytes(b.json("ship.bin")), {{"ship.bin", b.buffer()}})
                     : GetParam() == 1 ? Read(test::TextBytes(b.jsonWithDataUri()))
                                       : Read(b.glb());
    ASSERT_TRUE(r.ok) << r.error;
    const Scene& m = r.model;
    ASSERT_EQ(m.objects.size(), 2u);
    EXPECT_EQ(m.objects[0].name, std::string("hull"));
    EXPECT_EQ(m.objects[1].parent, 0);
    EXPECT_EQ(m.objects[1].offset, (Vector3{0, 2, 0}));
    ASSERT_EQ(m.textures, std::vector<std::string>{std::string("rock")});  // the image's file name
    const SceneObject& hull = m.objects[0];
    ASSERT_EQ(hull.faces.size(), 2u);
    EXPECT_EQ(hull.faces[0].texture, 0);
    // Counter-clockwise seen from +Z is the front in glTF and stays the front: the normal points to +Z.
    EXPECT_NEAR(hull.faces[0].normal.z, 1.0f, 1e-6f);
    EXPECT_NEAR(FaceNormal(hull, 1).z, 1.0f, 1e-6f);
    // UV origins agree (top-left), so the numbers stay; the corners come in the other order (x is mirrored), so
    // the file's third corner is the game's second.
    EXPECT_EQ(hull.cornersOf(hull.faces[0])[1].u, 1.0f);
    EXPECT_EQ(hull.cornersOf(hull.faces[0])[1].v, 0.0f);
    const SceneObject& turret = m.objects[1];
    EXPECT_EQ(turret.faces[0].texture, -1);
    EXPECT_EQ(turret.faces[0].color.red, 255);
    EXPECT_EQ(turret.faces[0].color.green, 188);  // linear 0.5 in sRGB
    EXPECT_EQ(turret.faces[0].color.blue, 0);
    EXPECT_TRUE(r.notes.empty());
}

INSTANTIATE_TEST_SUITE_P(All, GltfContainers, ::testing::Values(0, 1, 2));

// Node transforms: a mirroring node turns its triangles so they keep facing out; a file whose triangles are
// wound inside out in themselves is kept as it is, so the test sees it facing the other way.
TEST(GltfModel, MirroredNodesKeepFacingOutButInsideOutDataStaysInsideOut) {
    struct Case {
        const char* what;
        std::optional<Vector3> scale;
        std::optional<std::array<float, 4>> rotation;
        bool windBackwards;
        Vector3 expectedNormal;
        bool expectNote;
    };
    const Case cases[] = {
        {"plain", std::nullopt, std::nullopt, false, {0, 0, 1}, false},
        {"mirrored in z", Vector3{1, 1, -1}, std::nullopt, false, {0, 0, -1}, true},
        {"mirrored in x", Vector3{-1, 1, 1}, std::nullopt, false, {0, 0, 1}, true},
        {"turned a quarter about y",
         std::nullopt,
         std::array<float, 4>{0, 0.7071068f, 0, 0.7071068f},
         false,
         {-1, 0, 0},  // +x of the file is -x of the game
         true},
        {"inside out", std::nullopt, std::nullopt, true, {0, 0, -1}, false},
    };
    for (const Case& c : cases) {
        test::GltfBuilder b;
        test::GltfMeshFields square = test::FrontFacingSquare();
        if (c.windBackwards)
            square.indices = {0, 2, 1, 0, 3, 2};
        const int mesh = b.mesh(square);
        b.rootNodes({b.node({"n", mesh, std::nullopt, c.rotation, c.scale, {}})});
        const Loaded r = Read(b.glb());
        ASSERT_TRUE(r.ok) << c.what << ": " << r.error;
        const SceneObject& sub = r.model.objects[0];
        for (std::size_t f = 0; f < 2; ++f) {
            const Vector3 n = FaceNormal(sub, f);
            EXPECT_NEAR(n.x, c.expectedNormal.x, 1e-5f) << c.what;
            EXPECT_NEAR(n.y, c.expectedNormal.y, 1e-5f) << c.what;
            EXPECT_NEAR(n.z, c.expectedNormal.z, 1e-5f) << c.what;
            EXPECT_EQ(sub.faces[f].normal, n) << c.what;
        }
        EXPECT_EQ(!r.notes.empty(), c.expectNote) << c.what;
    }
}

TEST(GltfModel, RefusesBrokenFilesWithOneLineNamingTheElementAndKeepsTheModel) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::map<std::string, Bytes> files;
        const char* expected;
    };
    test::GltfBuilder pastBuffer = test::TwoNodeGltf();
    pastBuffer.overrideCount(0, 5);  // POSITION of the first mesh claims a fifth vertex
    test::GltfBuilder badIndex;
    test::GltfMeshFields square = test::FrontFacingSquare();
    square.indices = {0, 1, 2, 0, 2, 4};
    badIndex.rootNodes({badIndex.node({"n", badIndex.mesh(square), std::nullopt, std::nullopt, std::nullopt, {}})});
    test::GltfBuilder loose;
    test::GltfMeshFields seven = test::FrontFacingSquare();
    seven.indices = {0, 1, 2, 0, 2, 3, 0};
    loose.rootNodes({loose.node({"n", loose.mesh(seven), std::nullopt, std::nullopt, std::nullopt, {}})});
    test::GltfBuilder noMesh;
    noMesh.rootNodes({noMesh.node({"empty", -1, std::nullopt, std::nullopt, std::nullopt, {}})});
    const test::GltfBuilder two = test::TwoNodeGltf();
    Bytes shortGlb = two.glb();
    shortGlb.resize(shortGlb.size() - 8);
    test::GltfBuilder farImage;
    test::GltfMeshFields textured = test::FrontFacingSquare();
    textured.material = farImage.material({"stone", "%2e%2e/%2e%2e/rock.png", std::nullopt});
    farImage.rootNodes({farImage.node({"n", farImage.mesh(textured), std::nullopt, std::nullopt, std::nullopt, {}})});
    // 10,000 nodes sharing a mesh of 2000 triangles: 60 million corners from a file of some 300 KB.
    const Bytes budget = test::SharedMeshGltf(10000, 2000).glb();

    const Case cases[] = {
        {"accessor past its buffer view",
         pastBuffer.glb(),
         {},
         "ship.gltf: accessor 0: 5 elements from byte 0 run past"},
        {"index past the vertices", badIndex.glb(), {}, "ship.gltf: mesh 0 primitive 0: index 4 at corner 5"},
        {"loose corners", loose.glb(), {}, "ship.gltf: mesh 0 primitive 0: 7 corners are not a whole number"},
        {"no mesh", noMesh.glb(), {}, "ship.gltf: no node of its scene has a mesh"},
        {"buffer file missing", test::TextBytes(two.json("gone.bin")), {}, "ship.gltf: "},
        {"not JSON", test::TextBytes("{\"asset\": nonsense"), {}, "ship.gltf: "},
        {"GLB cut short", shortGlb, {}, "ship.gltf: "},
        {"buffer above the folder",
         test::TextBytes(two.json("../secret.bin")),
         {},
         "ship.gltf: buffer URI \"../secret.bin\" reaches above the model's folder"},
        {"buffer above the folder, escaped",
         test::TextBytes(two.json("parts/%2e%2e/%2E%2E/secret.bin")),
         {},
         "ship.gltf: buffer URI \"parts/../../secret.bin\" reaches above"},
        {"absolute buffer",
         test::TextBytes(two.json("/etc/passwd")),
         {},
         "ship.gltf: buffer URI \"/etc/passwd\" is an"},
        {"image above the folder",
         farImage.glb(),
         {},
         "ship.gltf: image 0: URI \"%2e%2e/%2e%2e/rock.png\" reaches above the model's folder"},
        {"JSON nested too deep",
         test::TextBytes(test::DeeplyNestedGltf(20000)),
         {},
         "ship.gltf: JSON at byte 97 nests arrays and objects deeper than 64 levels"},
        {"GLB nested too deep",
         test::GlbFromJson(test::DeeplyNestedGltf(20000), {}),
         {},
         "ship.gltf: JSON at byte 117 nests arrays and objects deeper than 64 levels"},
        {"instances past the budget",
         budget,
         {},
         "ship.gltf: node tree: its meshes expand to more than 50000000 corners over all their instances"},
    };
    for (const Case& c : cases) {
        Loaded r;
        r.model.textures = {"kept"};
        r.model.objects.resize(1);
        const ResourceLoader none;
        r.ok = ReadGltfModel(c.bytes, "ship.gltf", none, r.model, r.notes, r.error);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.error.rfind(c.expected, 0), 0u) << c.what << ": " << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(r.model.textures, std::vector<std::string>{"kept"}) << c.what;
        EXPECT_EQ(r.model.objects.size(), 1u) << c.what;
    }
}

// Nesting is counted in arrays and objects only: brackets inside strings, escaped quotes included, are text.
TEST(GltfModel, NestingLimitCountsStructureNotStrings) {
    const std::string brackets(200, '[');
    const std::pair<std::string, bool> cases[] = {
        {test::DeeplyNestedGltf(62), false},  // 64 levels with the document and its asset
        {test::DeeplyNestedGltf(63), true},
        {"{\"asset\":{\"version\":\"2.0\",\"extras\":\"" + brackets + "\"}}", false},
        {"{\"asset\":{\"version\":\"2.0\",\"extras\":\"\\\"" + brackets + "\\\\\"}}", false},
        {"{\"asset\":{\"version\":\"2.0\",\"extras\":\"\\\\\"" + brackets + "}}", true},
    };
    for (const auto& [json, tooDeep] : cases) {
        const Loaded r = Read(test::TextBytes(json));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.find("deeper than 64 levels") != std::string::npos, tooDeep) << json << "\n" << r.error;
    }
}

// A buffer is asked of the loader by its decoded name inside the folder, and one outside it never is.
TEST(GltfModel, AsksTheLoaderOnlyForNamesInsideTheFolder) {
    const test::GltfBuilder b = test::TwoNodeGltf();
    std::vector<std::string> asked;
    const ResourceLoader loader = [&](std::string_view name, std::vector<std::uint8_t>& data, std::string&) {
        asked.emplace_back(name);
        data = b.buffer();
        return true;
    };
    for (const char* uri : {"parts/./ship%20hull.bin", "parts\\..\\..\\ship.bin"}) {
        Scene model;
        std::vector<std::string> notes;
        std::string error;
        ReadGltfModel(test::TextBytes(b.json(uri)), "ship.gltf", loader, model, notes, error);
    }
    EXPECT_EQ(asked, std::vector<std::string>{"parts/ship hull.bin"});
}

// Every prefix of a valid GLB, each in its own allocation so that AddressSanitizer sees its end.
TEST(GltfModel, TruncationSweepOfGlb) {
    const Bytes whole = test::TwoNodeGltf().glb();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::unique_ptr<std::uint8_t[]> prefix(new std::uint8_t[n + 1]);
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n), prefix.get());
        Scene model;
        std::vector<std::string> notes;
        std::string error;
        const bool ok = ReadGltfModel({prefix.get(), n}, "cut.glb", {}, model, notes, error);
        EXPECT_FALSE(ok) << n;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_TRUE(model.objects.empty()) << n;
    }
}

}  // namespace
}  // namespace torvale
