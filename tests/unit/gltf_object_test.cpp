// What a glTF file carries for an object model: sub-objects with or without geometry, their names, properties
// and keys, gun, attach and ground points, weapon batteries, texture names and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>

#include "builders/gltf_builder.h"
#include "gltf/gltf_model.h"
#include "model_io/linear_color.h"

namespace torvale {
namespace {

using test::GltfBuilder;

struct Loaded {
    bool ok = false;
    Scene model;
    std::vector<std::string> notes;
    std::string error;
};

Loaded Read(const GltfBuilder& b) {
    Loaded out;
    out.ok = ReadGltfModel(b.glb(), "ship.glb", {}, out.model, out.notes, out.error);
    return out;
}

std::array<float, 4> Turn(Vector3 axis, double degrees) {
    const double half = degrees * std::numbers::pi / 360.0;
    const auto s = static_cast<float>(std::sin(half));
    return {axis.x * s, axis.y * s, axis.z * s, static_cast<float>(std::cos(half))};
}

int Node(GltfBuilder& b,
         const std::string& name,
         int mesh = -1,
         std::optional<Vector3> at = std::nullopt,
         std::optional<std::array<float, 4>> turn = std::nullopt,
         std::vector<int> children = {}) {
    return b.node({name, mesh, at, turn, std::nullopt, std::move(children)});
}

int Square(GltfBuilder& b, int material = -1) {
    test::GltfMeshFields square = test::FrontFacingSquare();
    square.material = material;
    return b.mesh(square);
}

// The game turns a point by the textbook formula for `angle` (1/65536 turn) about `axis`, in its own numbers.
Vector3 TurnInGame(Vector3 p, Vector3 axis, std::int32_t angle) {
    const double a = angle / 65536.0 * 2.0 * std::numbers::pi;
    const double c = std::cos(a), s = std::sin(a), d = Dot(axis, p) * (1.0 - c);
    const Vector3 x = Cross(axis, p);
    return {static_cast<float>(p.x * c + x.x * s + axis.x * d), static_cast<float>(p.y * c + x.y * s + axis.y * d),
            static_cast<float>(p.z * c + x.z * s + axis.z * d)};
}

void ExpectNear(Vector3 got, Vector3 want, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, 1e-4f) << what;
    EXPECT_NEAR(got.y, want.y, 1e-4f) << what;
    EXPECT_NEAR(got.z, want.z, 1e-4f) << what;
}

std::size_t LinesWith(const std::vector<std::string>& notes, const std::string& word) {
    return static_cast<std::size_t>(std::count_if(
        notes.begin(), notes.end(), [&](const std::string& n) { return n.find(word) != std::string::npos; }));
}

struct ObjectCase {
    const char* name;
    std::function<GltfBuilder()> build;
    std::function<void(const Loaded&)> check;
};

const ObjectCase kObjectCases[] = {
    {"HierarchyOffsetsPassThroughEmptyNodes",
     [] {
         GltfBuilder b;
         const int arm = Node(b, "arm", Square(b), Vector3{0, 1, 0});
         const int pivot = Node(b, "pivot", -1, Vector3{2, 0, 0}, std::nullopt, {arm});
         b.rootNodes({Node(b, "hull", Square(b), Vector3{1, 0, 0}, std::nullopt, {pivot})});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.objects.size(), 2u);
         EXPECT_EQ(r.model.objects[0].offset, (Vector3{-1, 0, 0}));  // x mirrored
         EXPECT_EQ(r.model.objects[1].name, "arm");
         EXPECT_EQ(r.model.objects[1].parent, 0);
         EXPECT_EQ(r.model.objects[1].offset, (Vector3{-2, 1, 0}));
     }},
    {"GunsOrderedByTheirNumbersThenUnnumberedByName",
     [] {
         GltfBuilder b;
         std::vector<int> guns;
         const std::pair<const char*, float> named[] = {
             {"Gun_zed", 4}, {"Gun_2", 1}, {"gun_10", 2}, {"Gun_alpha", 3}, {"GUN_1", 0}};
         for (const auto& [name, place] : named)
             guns.push_back(Node(b, name, -1, Vector3{0, place, 0}));
         b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, guns)});
         return b;
     },
     [](const Loaded& r) {
         std::vector<float> heights;
         for (const ScenePoint& p : r.model.gunpoints)
             heights.push_back(p.position.y);
         // Each gun's height is its place in the order: by number, then unnumbered by name.
         EXPECT_EQ(heights, (std::vector<float>{0, 1, 2, 3, 4}));
         EXPECT_EQ(r.model.gunpoints[0].direction, (Vector3{0, 1, 0}));  // local +Y without a rotation
         ASSERT_EQ(r.model.batteries.size(), 1u);
         EXPECT_EQ(r.model.batteries[0].guns, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
     }},
    {"PointUnderNoSubObjectBelongsToTheFirstRoot",
     [] {
         GltfBuilder b;
         const int ground = Node(b, "Ground_0", -1, Vector3{3, -1, 0});
         b.rootNodes({ground, Node(b, "hull", Square(b), Vector3{1, 0, 0})});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.groundPoints.size(), 1u);
         EXPECT_EQ(r.model.groundPoints[0].parent, 0);
         EXPECT_EQ(r.model.groundPoints[0].position, (Vector3{-2, -1, 0}));
         EXPECT_TRUE(r.model.batteries.empty());
     }},
    {"AttachRotationGivesDirectionAndUp",
     [] {
         GltfBuilder b;
         const int attach = Node(b, "Attach_0", -1, Vector3{0, 0, 1}, Turn({0, 0, 1}, 90));
         b.nodeExtras(attach, "\"pof_has_uvec\":1");
         b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, {attach})});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.attachPoints.size(), 1u);
         ASSERT_EQ(r.model.attachNormals.size(), 1u);
         // +Y turned a quarter about +Z is -X in glTF, +X in the game; -Z stays -Z.
         ExpectNear(r.model.attachPoints[0].direction, {1, 0, 0}, "direction");
         ExpectNear(r.model.attachNormals[0].direction, {0, 0, -1}, "up");
         EXPECT_TRUE(r.notes.empty());  // no vertex was turned
     }},
    {"ExtrasWinOverTheRotationAndAreTheGamesNumbers",
     [] {
         GltfBuilder b;
         const int gun = Node(b, "Gun_0", -1, std::nullopt, Turn({0, 0, 1}, 90));
         b.nodeExtras(gun, "\"pof_direction\":[0.6,0,0.8]");
         const int attach = Node(b, "attach_0", -1, std::nullopt, Turn({1, 0, 0}, 90));
         b.nodeExtras(attach, "\"pof_direction\":[-1,0,0],\"pof_up\":[0.6,0.8,0]");
         b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, {gun, attach})});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.gunpoints.size(), 1u);
         EXPECT_EQ(r.model.gunpoints[0].direction, (Vector3{0.6f, 0, 0.8f}));
         EXPECT_EQ(r.model.attachPoints[0].direction, (Vector3{-1, 0, 0}));
         ASSERT_EQ(r.model.attachNormals.size(), 1u);
         EXPECT_EQ(r.model.attachNormals[0].direction, (Vector3{0.6f, 0.8f, 0}));
     }},
    {"PofIndexOrdersSubObjectsAndMakesJoints",
     [] {
         GltfBuilder b;
         const int arm = Node(b, "arm", Square(b), Vector3{0, 1, 0});
         b.nodeExtras(arm, "\"pof_index\":2");
         const int gun = Node(b, "Gun_0", -1, Vector3{0, 0, 1});
         const int joint = Node(b, "joint.001", -1, Vector3{1, 0, 0}, std::nullopt, {arm, gun});
         b.nodeExtras(joint,
                      "\"pof_index\":0,\"pof_name\":\"joint\",\"pof_properties\":\"$rotate=5\","
                      "\"pof_movement_type\":-1,\"pof_movement_axis\":2");
         const int body = Node(b, "body", Square(b));
         b.nodeExtras(body, "\"pof_index\":1");
         b.rootNodes({body, joint});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.objects.size(), 3u);
         const SceneObject& joint = r.model.objects[0];
         EXPECT_EQ(joint.name, "joint");
         EXPECT_TRUE(joint.faces.empty());
         EXPECT_EQ(joint.properties, "$rotate=5");
         EXPECT_EQ(joint.movementType, -1);
         EXPECT_EQ(joint.movementAxis, 2);
         EXPECT_EQ(joint.offset, (Vector3{-1, 0, 0}));
         EXPECT_EQ(r.model.objects[1].name, "body");
         EXPECT_EQ(r.model.objects[2].name, "arm");
         EXPECT_EQ(r.model.objects[2].parent, 0);
         ASSERT_EQ(r.model.gunpoints.size(), 1u);
         EXPECT_EQ(r.model.gunpoints[0].parent, 0);
     }},
    {"TextureNamesFromD3TextureAndWithoutCopySuffixes",
     [] {
         GltfBuilder b;
         const int named = b.material({"hull_paint", "textures/rock.png", std::nullopt});
         b.materialExtras(named, "\"d3_texture\":\"Metal21\"");
         const int metal = b.material({"metal", "", std::nullopt});
         const int copy = b.material({"metal.001", "", std::nullopt});
         const int lone = b.material({"rust.002", "", std::nullopt});
         b.rootNodes({Node(b, "a", Square(b, named)), Node(b, "b", Square(b, copy)), Node(b, "c", Square(b, metal)),
                      Node(b, "d", Square(b, lone))});
         return b;
     },
     [](const Loaded& r) {
         EXPECT_EQ(r.model.textures, (std::vector<std::string>{"Metal21", "metal", "rust.002"}));
         ASSERT_EQ(r.model.objects.size(), 4u);
         EXPECT_EQ(r.model.objects[1].faces[0].texture, 1);
     }},
    {"FlatColourIsTheSrgbByteOfTheLinearFactor",
     [] {
         GltfBuilder b;
         const int grey = b.material({"", "", std::array<float, 3>{0.2159f, 0.2140f, 0.0f}});
         b.rootNodes({Node(b, "a", Square(b, grey))});
         return b;
     },
     [](const Loaded& r) {
         const FaceColor c = r.model.objects[0].faces[0].color;
         EXPECT_EQ(c.red, 128);
         EXPECT_EQ(c.green, 127);  // 127.49 before rounding
         EXPECT_EQ(c.blue, 0);
     }},
    {"BatteriesFromExtrasOfSubObjectZero",
     [] {
         GltfBuilder b;
         const int g0 = Node(b, "Gun_0", -1), g1 = Node(b, "Gun_1", -1);
         const int hull = Node(b, "hull", Square(b), std::nullopt, std::nullopt, {g0, g1});
         b.nodeExtras(hull, "\"pof_batteries\":[{\"guns\":[1,0],\"turrets\":[0]},{\"guns\":[1]}]");
         b.rootNodes({hull});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.batteries.size(), 2u);
         EXPECT_EQ(r.model.batteries[0], (WeaponBattery{{1, 0}, {0}}));
         EXPECT_EQ(r.model.batteries[1], (WeaponBattery{{1}, {}}));
     }},
    {"DefaultBatteryHoldsTheFirstEightGuns",
     [] {
         GltfBuilder b;
         std::vector<int> guns;
         for (int g = 0; g < 9; ++g)
             guns.push_back(Node(b, "Gun_" + std::to_string(g), -1));
         b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, guns)});
         return b;
     },
     [](const Loaded& r) {
         ASSERT_EQ(r.model.gunpoints.size(), 9u);
         ASSERT_EQ(r.model.batteries.size(), 1u);
         EXPECT_EQ(r.model.batteries[0].guns, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
     }},
};

class GltfObjectCases : public ::testing::TestWithParam<ObjectCase> {};

TEST_P(GltfObjectCases, Read) {
    const Loaded r = Read(GetParam().build());
    ASSERT_TRUE(r.ok) << r.error;
    GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(All,
                         GltfObjectCases,
                         ::testing::ValuesIn(kObjectCases),
                         [](const ::testing::TestParamInfo<ObjectCase>& info) { return info.param.name; });

TEST(GltfObject, ScenesBatteriesAreReadWhenSubObjectZeroHasNone) {
    GltfBuilder b;
    b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, {Node(b, "Gun_0", -1)})});
    b.sceneExtras("\"pof_batteries\":[{\"guns\":[0],\"turrets\":[0]}]");
    const Loaded r = Read(b);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.batteries, (std::vector<WeaponBattery>{{{0}, {0}}}));
}

// A sub-object turned by a rotation channel: its keys in frames, each the turn from the key before it.
struct TurnCase {
    const char* name;
    std::optional<std::array<float, 4>> rest;
    std::vector<float> times;
    std::vector<double> degrees;  // about glTF's +Y
    std::vector<std::int32_t> frames;
    std::vector<std::int32_t> angles;
};

const TurnCase kTurnCases[] = {
    {"TwoKeys", std::nullopt, {0, 1}, {0, 90}, {0, 30}, {0, -16384}},
    {"KeysAreIncrements", std::nullopt, {0, 1, 2}, {0, 45, 90}, {0, 30, 60}, {0, -8192, -8192}},
    {"FromTheRestPose", Turn({0, 1, 0}, 90), {0, 0.5f}, {90, 180}, {0, 15}, {0, -16384}},
    {"SameFrameKeepsTheLater", std::nullopt, {0, 0.01f, 1}, {10, 0, 90}, {0, 30}, {0, -16384}},
};

class GltfTurnCases : public ::testing::TestWithParam<TurnCase> {};

TEST_P(GltfTurnCases, BecomeIncrementalGameKeys) {
    const TurnCase& c = GetParam();
    GltfBuilder b;
    const int turret = Node(b, "turret", Square(b), Vector3{0, 1, 0}, c.rest);
    b.rootNodes({Node(b, "hull", Square(b), std::nullopt, std::nullopt, {turret})});
    test::GltfChannelFields channel{turret, "rotation", "", c.times, {}};
    for (double d : c.degrees) {
        const std::array<float, 4> q = Turn({0, 1, 0}, d);
        channel.values.insert(channel.values.end(), q.begin(), q.end());
    }
    b.animation({channel});
    const Loaded r = Read(b);
    ASSERT_TRUE(r.ok) << r.error;
    const KeyTrack<RotationKey>& track = r.model.objects[1].rotation;
    std::vector<std::int32_t> frames, angles;
    Vector3 point{0, 0, 1};
    for (const RotationKey& key : track.keys) {
        frames.push_back(key.frame);
        angles.push_back(key.angle);
        if (key.angle != 0)
            ExpectNear(key.axis, {0, 1, 0}, "axis");
        point = TurnInGame(point, key.axis, key.angle);
    }
    EXPECT_EQ(frames, c.frames);
    EXPECT_EQ(angles, c.angles);
    EXPECT_EQ(track.firstFrame, c.frames.front());
    EXPECT_EQ(track.lastFrame, c.frames.back());
    // glTF turns +Z a quarter about +Y to +X; in the game's numbers that is -X.
    ExpectNear(point, {-1, 0, 0}, "turned point");
    EXPECT_EQ(LinesWith(r.notes, "same frame"), c.times.size() == c.frames.size() ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(All,
                         GltfTurnCases,
                         ::testing::ValuesIn(kTurnCases),
                         [](const ::testing::TestParamInfo<TurnCase>& info) { return info.param.name; });

TEST(GltfObject, TranslationChannelGivesDisplacementsFromTheRest) {
    GltfBuilder b;
    const int door = Node(b, "door", Square(b), Vector3{0, 2, 0});
    b.rootNodes({Node(b, "frame", Square(b), std::nullopt, std::nullopt, {door})});
    b.animation({{door, "translation", "", {0, 0.5f}, {0, 2, 0, 1, 2.5f, 0}}});
    const Loaded r = Read(b);
    ASSERT_TRUE(r.ok) << r.error;
    const KeyTrack<PositionKey>& track = r.model.objects[1].position;
    EXPECT_EQ(track.keys, (std::vector<PositionKey>{{0, {0, 0, 0}}, {15, {-1, 0.5f, 0}}}));
    EXPECT_EQ(track.lastFrame, 15);
    EXPECT_TRUE(r.notes.empty());
}

TEST(GltfObject, KeyExtrasWinOverChannels) {
    GltfBuilder b;
    const int turret = Node(b, "turret", Square(b));
    b.nodeExtras(turret,
                 "\"pof_rotation_keys\":{\"first\":0,\"last\":40,\"keys\":[[0,0,0,1,0],[40,0.6,0.8,0,-123]]},"
                 "\"pof_position_keys\":{\"first\":2,\"last\":9,\"keys\":[[2,0,0,0],[9,1.5,0,-2]]}");
    b.rootNodes({turret});
    b.animation({{turret, "rotation", "", {0, 1}, {0, 0, 0, 1, 0, 1, 0, 0}}});
    const Loaded r = Read(b);
    ASSERT_TRUE(r.ok) << r.error;
    const SceneObject& o = r.model.objects[0];
    EXPECT_EQ(o.rotation, (KeyTrack<RotationKey>{0, 40, {{0, {0, 0, 1}, 0}, {40, {0.6f, 0.8f, 0}, -123}}}));
    EXPECT_EQ(o.position, (KeyTrack<PositionKey>{2, 9, {{2, {0, 0, 0}}, {9, {1.5f, 0, -2}}}}));
}

// What an object model cannot hold is read as far as it goes and named in one warning line of each kind.
struct WarningCase {
    const char* name;
    std::function<void(GltfBuilder&, int mover, int hull)> add;
    const char* warning;
};

const WarningCase kWarningCases[] = {
    {"CubicSplineKeepsTheValues",
     [](GltfBuilder& b, int mover, int) {
         b.animation(
             {{mover, "translation", "CUBICSPLINE", {0, 1}, {9, 9, 9, 0, 1, 0, 9, 9, 9, 9, 9, 9, 1, 1, 0, 9, 9, 9}}});
     },
     "cubic spline"},
    {"Step",
     [](GltfBuilder& b, int mover, int) {
         b.animation({{mover, "translation", "STEP", {0, 1}, {0, 1, 0, 1, 1, 0}}});
     },
     "step from key"},
    {"Scale",
     [](GltfBuilder& b, int mover, int) {
         b.animation({{mover, "scale", "", {0, 1}, {1, 1, 1, 2, 2, 2}}});
     },
     "scale animation"},
    {"NodeThatIsNoSubObject",
     [](GltfBuilder& b, int, int) {
         b.animation({{b.node({"camera_rig", -1, std::nullopt, std::nullopt, std::nullopt, {}}),
                       "translation",
                       "",
                       {0, 1},
                       {0, 0, 0, 1, 1, 1}}});
     },
     "not sub-objects"},
    {"Skin",
     [](GltfBuilder& b, int mover, int hull) {
         b.nodeMembers(mover, "\"skin\":0");
         b.rootMembers("\"skins\":[{\"joints\":[" + std::to_string(hull) + "]}]");
     },
     "skins left out"},
};

class GltfWarningCases : public ::testing::TestWithParam<WarningCase> {};

TEST_P(GltfWarningCases, OneLine) {
    GltfBuilder b;
    const int mover = Node(b, "mover", Square(b), Vector3{0, 1, 0});
    const int hull = Node(b, "hull", Square(b), std::nullopt, std::nullopt, {mover});
    b.rootNodes({hull});
    GetParam().add(b, mover, hull);
    const Loaded r = Read(b);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(LinesWith(r.notes, "Warning: ship.glb: "), 1u);
    EXPECT_EQ(LinesWith(r.notes, GetParam().warning), 1u);
    const KeyTrack<PositionKey>& track = r.model.objects[1].position;
    if (std::string(GetParam().name) == "CubicSplineKeepsTheValues")
        EXPECT_EQ(track.keys, (std::vector<PositionKey>{{0, {0, 0, 0}}, {30, {-1, 0, 0}}}));
    if (std::string(GetParam().name) == "Step")
        EXPECT_EQ(track.keys.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(All,
                         GltfWarningCases,
                         ::testing::ValuesIn(kWarningCases),
                         [](const ::testing::TestParamInfo<WarningCase>& info) { return info.param.name; });

TEST(GltfObject, BadExtrasAreRefusedNamingTheNode) {
    const std::pair<const char*, const char*> cases[] = {
        {"\"pof_index\":\"one\"", "pof_index is not a whole number"},
        {"\"pof_index\":1.5", "pof_index is not a whole number"},
        {"\"pof_properties\":7", "pof_properties is not a text"},
        {"\"pof_rotation_keys\":{\"keys\":[[0,1,0]]}", "is not 5 numbers"},
        {"\"pof_batteries\":[{\"guns\":[\"a\"]}]", "other than a whole number"},
        {"\"pof_batteries\":5", "not an array of batteries"},
    };
    for (const auto& [extras, why] : cases) {
        GltfBuilder b;
        const int hull = Node(b, "hull", Square(b));
        b.nodeExtras(hull, extras);
        b.rootNodes({hull});
        const Loaded r = Read(b);
        EXPECT_FALSE(r.ok) << extras;
        EXPECT_NE(r.error.find("ship.glb: node 0"), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(why), std::string::npos) << r.error;
        EXPECT_TRUE(r.model.objects.empty());
    }
}

// Every prefix of an object model with extras and animations, each in its own allocation so that
// AddressSanitizer sees its end.
TEST(GltfObject, TruncationSweepOfAnAnimatedObject) {
    const test::Bytes whole = test::AnimatedObjectGltf().glb();
    const Loaded full = Read(test::AnimatedObjectGltf());
    ASSERT_TRUE(full.ok) << full.error;
    ASSERT_EQ(full.model.objects.size(), 3u);
    EXPECT_EQ(full.model.objects[2].rotation.keys.size(), 2u);
    EXPECT_EQ(full.model.batteries, (std::vector<WeaponBattery>{{{0}, {2}}}));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::unique_ptr<std::uint8_t[]> prefix(new std::uint8_t[n + 1]);
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n), prefix.get());
        Loaded r;
        r.ok = ReadGltfModel({prefix.get(), n}, "cut.glb", {}, r.model, r.notes, r.error);
        EXPECT_FALSE(r.ok) << n;
        EXPECT_FALSE(r.error.empty()) << n;
        EXPECT_TRUE(r.model.objects.empty()) << n;
    }
}

// Sample models from elsewhere that animate in ways an object model cannot: each loads and says so.
TEST(GltfObject, AnimatedSamplesLoadWithTheirWarnings) {
    const std::filesystem::path dir = std::filesystem::path(TORVALE_REAL_WORLD_DIR) / "gltf";
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << dir << " is not there";
    const std::pair<const char*, std::vector<const char*>> samples[] = {
        {"InterpolationTest/glTF/InterpolationTest.gltf", {"cubic spline", "step from key", "scale animation"}},
        {"CesiumMan/CesiumMan.glb", {"skins left out", "not sub-objects"}},
        {"AnimatedMorphCube/glTF/AnimatedMorphCube.gltf", {"morph targets"}},
        {"Fox/glTF/Fox.gltf", {"skins left out", "not sub-objects"}},
    };
    for (const auto& [name, warnings] : samples) {
        const std::filesystem::path path = dir / name;
        const test::Bytes bytes = test::ReadTestFile(path.string());
        const ResourceLoader loader = [&](std::string_view uri, std::vector<std::uint8_t>& data, std::string&) {
            data = test::ReadTestFile((path.parent_path() / std::string(uri)).string());
            return true;
        };
        Loaded r;
        r.ok = ReadGltfModel(bytes, name, loader, r.model, r.notes, r.error);
        ASSERT_TRUE(r.ok) << r.error;
        for (const char* warning : warnings)
            EXPECT_EQ(LinesWith(r.notes, warning), 1u) << name << ": " << warning;
        EXPECT_EQ(LinesWith(r.notes, "Warning:"), warnings.size()) << name;
    }
}

}  // namespace
}  // namespace torvale
