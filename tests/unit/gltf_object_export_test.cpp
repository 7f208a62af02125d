#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "builders/gltf_builder.h"
#include "builders/oof_builder.h"
#include "game/hog_archive.h"
#include "gltf/gltf_model.h"
#include "gltf/gltf_writer.h"
#include "model_io/linear_color.h"
#include "oof/oof_reader.h"
#include "oof/oof_scene.h"
#include "oof/oof_writer.h"
#include "scene/single_face.h"

namespace torvale {
namespace {

// The sRGB transfer function as published, computed here in long double.
TEST(LinearColor, EveryByteDecodesToThePublishedCurveAndComesBackAsItself) {
    double previous = -1.0;
    for (int c = 0; c < 256; ++c) {
        const auto byte = static_cast<std::uint8_t>(c);
        const long double s = c / 255.0L;
        const long double expected = s <= 0.04045L ? s / 12.92L : std::pow((s + 0.055L) / 1.055L, 2.4L);
        const double linear = LinearFromSrgbByte(byte);
        EXPECT_NEAR(linear, static_cast<double>(expected), 1e-12) << c;
        EXPECT_GT(linear, previous) << c;
        previous = linear;
        EXPECT_EQ(SrgbByteFromLinear(linear), byte) << c;
        // A factor a little off, as a JSON printer with fewer digits leaves it, still reads as the same byte.
        EXPECT_EQ(SrgbByteFromLinear(static_cast<double>(static_cast<float>(linear))), byte) << c;
    }
    EXPECT_EQ(SrgbByteFromLinear(-0.5), 0);
    EXPECT_EQ(SrgbByteFromLinear(7.0), 255);
    EXPECT_EQ(SrgbByteFromLinear(std::nan("")), 0);
}

TEST(SingleFace, TheGamesPropertyParsingDecidesWhichSubObjectsWantOneFace) {
    const std::pair<const char*, bool> cases[] = {
        {"$glow=1,0,0,2", true},
        {"$GLOW=1,0,0,2", true},
        {"$thruster=0,0,1,1", true},
        {"$Thruster=", true},
        {"$facing", true},
        {"$facingXYZ", true},
        {"$FACING=whatever", true},
        {" $glow=1,0,0,2", false},
        {"$glow =1,0,0,2", false},
        {"$glow", false},
        {"$glowing=1", false},
        {"$rotate=5", false},
        {"$fa", false},
        {"", false},
        {"$fov=90,1,1", false},
    };
    for (const auto& [text, wanted] : cases)
        EXPECT_EQ(WantsSingleFace(text), wanted) << text;
}

// A sub-object of two triangles over four vertices: 0, 1, 2 and 0, 2, 3 (a quad of the z = 0 plane), the
// fourth vertex raised by `lift` so that the second triangle leans away from the first.
SceneObject TwoTriangles(float lift, std::string properties) {
    SceneObject object;
    object.name = "flare";
    object.properties = std::move(properties);
    object.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, lift}};
    object.normals.assign(4, Vector3{});
    object.alphas.assign(4, 1.0f);
    object.corners = {{0, 0.0f, 1.0f}, {1, 0.0f, 0.0f}, {2, 1.0f, 0.0f},
                      {0, 0.0f, 1.0f}, {2, 1.0f, 0.0f}, {3, 1.0f, 1.0f}};
    object.faces = {SceneFace{0, 3, 0, {}, {}}, SceneFace{3, 3, 0, {}, {}}};
    return object;
}

TEST(SingleFace, TwoCoplanarTrianglesOfAQuadBecomeOneFaceOfFourCorners) {
    Scene scene;
    scene.textures = {"Glow"};
    scene.objects.push_back(TwoTriangles(0.0f, "$glow=1,0,0,2"));
    std::string error;
    ASSERT_TRUE(JoinSingleFaces(scene, error)) << error;
    const SceneObject& object = scene.objects[0];
    ASSERT_EQ(object.faces.size(), 1u);
    EXPECT_EQ(object.faces[0].cornerCount, 4u);
    EXPECT_EQ(object.faces[0].texture, 0);
    // The triangles' winding, from the first triangle's first corner, each corner with its own UV.
    const std::vector<SceneCorner> expected = {{0, 0, 1}, {1, 0, 0}, {2, 1, 0}, {3, 1, 1}};
    EXPECT_EQ(
        std::vector<SceneCorner>(object.cornersOf(object.faces[0]).begin(), object.cornersOf(object.faces[0]).end()),
        expected);
}

TEST(SingleFace, FacesThatAreNotOneConvexPolygonAreRefusedWithTheSubObjectNamed) {
    struct Case {
        const char* what;
        std::function<void(SceneObject&)> change;
        const char* why;
    };
    const Case cases[] = {
        {"at an angle", [](SceneObject& o) { o.positions[3].z = 0.5f; }, "do not lie in one plane"},
        {"one turned over", [](SceneObject& o) { std::swap(o.corners[4], o.corners[5]); },
         "do not lie in one plane facing one way"},
        {"two textures", [](SceneObject& o) { o.faces[1].texture = 1; }, "do not share one texture"},
        {"not convex",
         [](SceneObject& o) {
             o.positions[2] = {0.4f, 0.4f, 0.0f};
         },
         "not convex"},
        {"a UV torn", [](SceneObject& o) { o.corners[3].u = 0.5f; }, "different texture coordinates"},
        {"a quad among them", [](SceneObject& o) { o.faces[1].cornerCount = 2; }, "not all triangles"},
        {"apart",
         [](SceneObject& o) {
             o.positions.push_back({2, 2, 0});
             o.positions.push_back({3, 2, 0});
             o.positions.push_back({3, 3, 0});
             o.corners[3] = {4, 0, 0};
             o.corners[4] = {6, 0, 0};
             o.corners[5] = {5, 0, 0};
         },
         "do not cover one polygon"},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.textures = {"Glow", "Other"};
        scene.objects.push_back(TwoTriangles(0.0f, "$thruster=1,1,1,1"));
        c.change(scene.objects[0]);
        const std::size_t corners = scene.objects[0].corners.size();
        std::string error;
        EXPECT_FALSE(JoinSingleFaces(scene, error)) << c.what;
        EXPECT_NE(error.find("sub-object"), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find("flare"), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(scene.objects[0].faces.size(), 2u) << c.what;
        EXPECT_EQ(scene.objects[0].corners.size(), corners) << c.what;
    }
    // The same triangles under no property that wants one face are left alone.
    Scene plain;
    plain.objects.push_back(TwoTriangles(0.5f, "$rotate=5"));
    std::string error;
    EXPECT_TRUE(JoinSingleFaces(plain, error)) << error;
    EXPECT_EQ(plain.objects[0].faces.size(), 2u);
}

// The seven models every round trip is tried on: the five of the game's archive, the shield and the sample; the
// sample alone where the game's files are not there.
std::vector<test::RealModel> RealModels() {
    std::vector<test::RealModel> models = test::GameModels(TORVALE_REAL_WORLD_DIR);
    EXPECT_TRUE(models.empty() || models.size() == 6u) << models.size();
    models.push_back({"sample.oof", test::SampleOof()});
    return models;
}

// The program's own reading of an OOF file.
Scene SceneOfOof(const std::vector<std::uint8_t>& bytes, const std::string& title) {
    ObjectModel model;
    test::RecordingSink log;
    EXPECT_EQ(ReadOofFile(bytes, title, model, log), kOofLoaded) << title << log.text();
    Scene scene;
    std::string error;
    EXPECT_TRUE(SceneFromOof(std::move(model), scene, error)) << title << ": " << error;
    return scene;
}

// Twice the area of the faces, added up per texture name (or colour) of a sub-object. Faces without area are
// left out of a glTF file, so they are not counted.
std::map<std::tuple<std::string, int, int, int>, double> AreaByTexture(const Scene& scene, const SceneObject& object) {
    std::map<std::tuple<std::string, int, int, int>, double> areas;
    for (const SceneFace& face : object.faces) {
        const std::span<const SceneCorner> c = object.cornersOf(face);
        Vector3 sum;
        for (std::size_t k = 1; k + 1 < c.size(); ++k)
            sum = sum + Cross(object.positions[c[k].vertex] - object.positions[c[0].vertex],
                              object.positions[c[k + 1].vertex] - object.positions[c[0].vertex]);
        if (Length(sum) == 0.0f)
            continue;
        const bool flat = face.texture == kUntextured;
        const std::string name = flat ? "" : scene.textures[static_cast<std::size_t>(face.texture)];
        areas[{name, flat ? face.color.red : -1, flat ? face.color.green : -1, flat ? face.color.blue : -1}] +=
            Length(sum);
    }
    return areas;
}

std::set<std::tuple<float, float, float>> UsedPositions(const SceneObject& object) {
    std::set<std::tuple<float, float, float>> used;
    for (const SceneFace& face : object.faces)
        for (const SceneCorner& c : object.cornersOf(face)) {
            const Vector3& p = object.positions[c.vertex];
            used.emplace(p.x, p.y, p.z);
        }
    return used;
}

class OofThroughGltf : public ::testing::TestWithParam<std::size_t> {};

TEST_P(OofThroughGltf, KeepsTheModelExactlyButForTheSplitOfItsFaces) {
    const auto models = RealModels();
    if (GetParam() >= models.size())
        GTEST_SKIP() << TORVALE_REAL_WORLD_DIR << " is not there";
    const auto& [title, bytes] = models[GetParam()];
    const Scene original = SceneOfOof(bytes, title);
    ASSERT_FALSE(original.objects.empty()) << title;

    std::vector<std::string> warnings;
    const std::vector<std::uint8_t> glb = BuildGlb(original, warnings);
    Scene read;
    std::vector<std::string> notes;
    std::string error;
    const ResourceLoader none = [](std::string_view, std::vector<std::uint8_t>&, std::string&) { return false; };
    ASSERT_TRUE(ReadGltfModel(glb, title, none, read, notes, error)) << error;
    ASSERT_TRUE(JoinSingleFaces(read, error)) << title << ": " << error;
    std::vector<std::uint8_t> oof;
    ASSERT_TRUE(EncodeOof(read, oof, error)) << title << ": " << error;
    const Scene back = SceneOfOof(oof, title);

    ASSERT_EQ(back.objects.size(), original.objects.size()) << title;
    for (std::size_t s = 0; s < original.objects.size(); ++s) {
        const SceneObject& a = original.objects[s];
        const SceneObject& b = back.objects[s];
        const std::string where = title + " " + SubObjectLabel(s);
        EXPECT_EQ(b.name, a.name) << where;
        EXPECT_EQ(b.properties, a.properties) << where;
        EXPECT_EQ(b.parent, a.parent) << where;
        EXPECT_EQ(b.offset, a.offset) << where;
        EXPECT_EQ(b.movementType, a.movementType) << where;
        EXPECT_EQ(b.movementAxis, a.movementAxis) << where;
        EXPECT_EQ(b.rotation, a.rotation) << where;
        EXPECT_EQ(b.position, a.position) << where;
        EXPECT_EQ(UsedPositions(b), UsedPositions(a)) << where;
        const auto areasA = AreaByTexture(original, a), areasB = AreaByTexture(back, b);
        ASSERT_EQ(areasB.size(), areasA.size()) << where;
        for (const auto& [key, area] : areasA) {
            const auto found = areasB.find(key);
            ASSERT_NE(found, areasB.end()) << where << " texture " << std::get<0>(key);
            EXPECT_NEAR(found->second, area, 1e-4 * std::max(1.0, area)) << where << " texture " << std::get<0>(key);
        }
        if (WantsSingleFace(a.properties))
            EXPECT_EQ(b.faces.size(), 1u) << where;
    }
    for (const auto& [p, q, what] : {std::tuple{&original.gunpoints, &back.gunpoints, "gun point"},
                                     {&original.attachPoints, &back.attachPoints, "attach point"},
                                     {&original.groundPoints, &back.groundPoints, "ground point"}}) {
        ASSERT_EQ(q->size(), p->size()) << title << " " << what;
        for (std::size_t k = 0; k < p->size(); ++k) {
            EXPECT_EQ((*q)[k].parent, (*p)[k].parent) << title << " " << what << " " << k;
            EXPECT_EQ((*q)[k].position, (*p)[k].position) << title << " " << what << " " << k;
            EXPECT_EQ((*q)[k].direction, (*p)[k].direction) << title << " " << what << " " << k;
        }
    }
    // Of an up-vector the game reads only the direction (the number and position before it are ignored).
    ASSERT_EQ(back.attachNormals.size(), original.attachNormals.size()) << title;
    for (std::size_t k = 0; k < original.attachNormals.size(); ++k)
        EXPECT_EQ(back.attachNormals[k].direction, original.attachNormals[k].direction) << title << " up " << k;
    EXPECT_EQ(back.batteries, original.batteries) << title;
}

INSTANTIATE_TEST_SUITE_P(GameShieldAndSample, OofThroughGltf, ::testing::Range<std::size_t>(0, 7));

// A turret on a body, turning a quarter about +y over frames 0 to 30 and rising by 1: every kind of point, a
// battery, a flat colour.
Scene AnimatedTurret() {
    Scene scene;
    scene.textures = {"Hull"};
    for (int s = 0; s < 2; ++s) {
        SceneObject object = TwoTriangles(0.0f, s == 0 ? "" : "$fov=90,2,0.5");
        object.name = s == 0 ? "body" : "turret";
        object.parent = s - 1;
        object.offset = {0.0f, 2.0f * static_cast<float>(s), 0.0f};
        if (s == 1)
            for (SceneFace& face : object.faces)
                face.texture = kUntextured, face.color = {200, 60, 7};
        scene.objects.push_back(std::move(object));
    }
    scene.objects[1].rotation = {0, 30, {{0, {0, 1, 0}, 0}, {30, {0, 1, 0}, 16384}}};
    scene.objects[1].position = {0, 30, {{0, {0, 0, 0}}, {30, {0, 1, 0}}}};
    scene.gunpoints = {{1, {0.5f, 0, 1}, {0, 0, 1}}};
    scene.attachPoints = {{0, {1, 0, 0}, {1, 0, 0}}};
    scene.attachNormals = {{0, {}, {0, 1, 0}}};
    scene.groundPoints = {{0, {0, -1, 0}, {0, -1, 0}}};
    scene.batteries = {{{0}, {1}}};
    return scene;
}

// Whether the binary chunk holds these numbers one after another (to a millionth), at a 4-byte boundary.
bool HoldsFloats(const std::vector<std::uint8_t>& bin, std::initializer_list<float> values) {
    for (std::size_t at = 0; at + values.size() * 4 <= bin.size(); at += 4) {
        bool same = true;
        std::size_t k = 0;
        for (const float expected : values) {
            float f;
            std::memcpy(&f, bin.data() + at + 4 * k++, 4);
            same = same && std::fabs(f - expected) <= 1e-6f;
        }
        if (same)
            return true;
    }
    return false;
}

// Writes the files the Khronos glTF Validator checks (the gltf_validator test, after this one).
TEST(GltfValidatorFiles, WritesAnAnimatedModelWithItsPointsAndBattery) {
    const Scene scene = AnimatedTurret();
    std::vector<std::string> warnings;
    const GltfFiles files = BuildGltf(scene, "animated.bin", warnings);
    EXPECT_TRUE(warnings.empty());
    for (const char* part :
         {"\"animations\"", "\"path\": \"rotation\"", "\"path\": \"translation\"", "\"LINEAR\"", "\"Gun_0\"",
          "\"Attach_0\"", "\"Ground_0\"", "\"pof_up\"", "\"pof_batteries\"", "\"pof_rotation_keys\""})
        EXPECT_NE(files.json.find(part), std::string::npos) << part;
    // The quarter turn about +y takes the game's +z to its +x; mirrored, glTF's +z to its -x: a turn of -90
    // degrees about +y. The rise is added to the offset.
    const float half = std::sqrt(0.5f);
    EXPECT_TRUE(HoldsFloats(files.bin, {0.0f, -half, 0.0f, half}));
    EXPECT_FALSE(HoldsFloats(files.bin, {0.0f, half, 0.0f, half}));
    EXPECT_TRUE(HoldsFloats(files.bin, {0.0f, 3.0f, 0.0f}));
    EXPECT_TRUE(HoldsFloats(files.bin, {0.0f, 1.0f}));  // the times of frames 0 and 30

    const std::filesystem::path dir = TORVALE_GLTF_CHECK_DIR;
    std::filesystem::create_directories(dir);
    for (const char* name : {"animated.gltf", "animated.glb"}) {
        std::string error;
        ASSERT_TRUE(WriteGltfModel(scene, (dir / name).string(), warnings, error)) << error;
    }
}

// Hand-made glTF files whose extras say what the model is: read as the game's numbers, unmirrored.
TEST(GltfObjectExtras, AreReadAsTheGamesNumbersAndOrderTheModel) {
    // The node tree puts the turret first; pof_index puts it second.
    const test::Bytes glb = test::ObjectModelGltf().glb();
    Scene scene;
    std::vector<std::string> notes;
    std::string error;
    const ResourceLoader none = [](std::string_view, std::vector<std::uint8_t>&, std::string&) { return false; };
    ASSERT_TRUE(ReadGltfModel(glb, "m.glb", none, scene, notes, error)) << error;
    ASSERT_EQ(scene.objects.size(), 2u);
    EXPECT_EQ(scene.objects[0].name, "body");
    EXPECT_TRUE(scene.objects[0].positions.empty());
    EXPECT_EQ(scene.objects[0].movementType, 3);
    EXPECT_EQ(scene.objects[0].movementAxis, 1);
    EXPECT_EQ(scene.objects[1].name, "turret");
    EXPECT_EQ(scene.objects[1].parent, -1);
    EXPECT_EQ(scene.objects[1].offset, (Vector3{0, 2, 0}));
    EXPECT_EQ(scene.objects[1].properties, "$fov=90,2,0.5");
    EXPECT_EQ(scene.objects[1].rotation, (KeyTrack<RotationKey>{0, 10, {{0, {0, 1, 0}, 0}, {10, {0, 1, 0}, 16384}}}));
    ASSERT_EQ(scene.gunpoints.size(), 2u);
    // GUN_0 first; its turn takes +Y to glTF +x, the game's -x.
    EXPECT_EQ(scene.gunpoints[0].parent, 1);
    EXPECT_NEAR(scene.gunpoints[0].direction.x, -1.0f, 1e-6f);
    EXPECT_NEAR(scene.gunpoints[0].direction.y, 0.0f, 1e-6f);
    EXPECT_EQ(scene.gunpoints[1].direction, (Vector3{1, 0, 0}));
    EXPECT_EQ(scene.gunpoints[1].position, (Vector3{1, 0, 0}));
    ASSERT_EQ(scene.attachPoints.size(), 1u);
    EXPECT_EQ(scene.attachPoints[0].parent, 0);
    ASSERT_EQ(scene.attachNormals.size(), 1u);
    EXPECT_EQ(scene.attachNormals[0].direction, (Vector3{1, 0, 0}));
    EXPECT_EQ(scene.batteries, (std::vector<WeaponBattery>{{{1, 0}, {1}}}));
}

TEST(GltfObjectExtras, EveryCutOfAModelWithExtrasIsRefusedInOneLineAndLeavesTheSceneAlone) {
    const test::Bytes glb = test::ObjectModelGltf().glb();
    const ResourceLoader none = [](std::string_view, std::vector<std::uint8_t>&, std::string&) { return false; };
    for (std::size_t size = 0; size < glb.size(); ++size) {
        Scene scene;
        scene.textures = {"untouched"};
        std::vector<std::string> notes;
        std::string error;
        EXPECT_FALSE(ReadGltfModel(std::span(glb.data(), size), "cut.glb", none, scene, notes, error)) << size;
        EXPECT_EQ(error.rfind("cut.glb", 0), 0u) << size << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << size;
        EXPECT_EQ(scene.textures, std::vector<std::string>{"untouched"}) << size;
    }
}

}  // namespace
}  // namespace torvale
