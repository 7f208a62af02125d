#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "app/open_input.h"
#include "builders/bytes.h"
#include "builders/gltf_builder.h"
#include "builders/model_builder.h"
#include "builders/oof_builder.h"
#include "builders/orf_builder.h"
#include "scene/scene_builder.h"
#include "scene/scene_scale.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::CornerFields;
using test::FaceFields;
using test::OofBuilder;
using test::SobjFields;
using test::Stored;

class TextSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { text += message; }
    std::string text;
};

// An OOF of two triangles' sub-objects, the second hanging from the first; `damage` spoils what it names.
Bytes TwoObjectOof(const std::string& damage) {
    SobjFields base;
    base.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    base.faces = {FaceFields{}};
    base.faces[0].corners = {CornerFields{0}, CornerFields{1}, CornerFields{2}};
    SobjFields arm = base;
    arm.number = 1;
    arm.parent = 0;
    arm.name = Stored("arm");
    if (damage == "index")
        arm.faces[0].corners[2].vertex = 3;
    if (damage == "loop")
        base.parent = 1;
    if (damage == "number")
        arm.positions[1].y = std::numeric_limits<float>::infinity();
    return OofBuilder().txtr({Stored("rock")}).ohdr({.subObjects = 2}).sobj(base).sobj(arm).bytes();
}

Bytes Gltf(bool binary, const std::string& name, float x) {
    test::GltfBuilder b;
    test::GltfMeshFields square = test::FrontFacingSquare();
    square.positions[0].x = x;
    b.rootNodes({b.node({name, b.mesh(square), std::nullopt, std::nullopt, std::nullopt, {}})});
    return binary ? b.glb() : test::TextBytes(b.jsonWithDataUri());
}

// Every kind of input becomes a valid scene through the one way in, or is refused with one line naming the
// element and why; a damaged OOF model still loads (its report stands) but gives no scene.
TEST(Scene, EveryInputKindGivesAValidSceneOrOneLineWhyNot) {
    struct Case {
        const char* what;
        const char* file;
        Bytes bytes;
        InputKind kind;
        const char* refusal;  // empty: a valid scene
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<test::OrfFaceRecord> cube = test::CubeFaces();
    const Case cases[] = {
        {"OOF", "ship.oof", TwoObjectOof(""), InputKind::Oof, ""},
        {"OOF, corner past the vertices", "ship.oof", TwoObjectOof("index"), InputKind::Oof,
         "sub-object #1, face #0, corner #2 names vertex 3, but the sub-object has vertices 0 to 2"},
        {"OOF, parent loop", "ship.oof", TwoObjectOof("loop"), InputKind::Oof,
         "the parent chain of sub-object #0 loops back to sub-object #0"},
        {"OOF, infinite vertex", "ship.oof", TwoObjectOof("number"), InputKind::Oof,
         "sub-object #1, vertex #1 is at (1, Inf, 0), which is not a finite position"},
        {"ORF", "room.orf", test::CubeRoom(), InputKind::Orf, ""},
        {"ORF, texture past the names", "room.orf",
         test::OrfBuilder(4).room(test::CubeVertices(), {"rock"}, cube).bytes(), InputKind::Orf,
         "uses texture 1, but the room names 1"},
        {"glTF", "sign.gltf", Gltf(false, "sign", 0), InputKind::Gltf, ""},
        {"glTF, position not a number", "sign.gltf", Gltf(false, "sign", nan), InputKind::Gltf,
         "POSITION element 0 is not a finite number"},
        {"GLB", "sign.glb", Gltf(true, "sign", 0), InputKind::Glb, ""},
        {"GLB, zero byte in a name", "sign.glb", Gltf(true, "si\\u0000gn", 0), InputKind::Glb,
         "sign.glb: the name of sub-object #0 holds a zero byte"},
        {"OBJ", "room.obj", test::TextBytes("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), InputKind::Obj, ""},
        {"OBJ, corner past the vertices", "room.obj", test::TextBytes("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n"),
         InputKind::Obj, "corner 3 names vertex 4, but"},
    };
    const fs::path dir = fs::temp_directory_path() / "torvale_scene_kinds";
    fs::create_directories(dir);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = (dir / c.file).string();
        ASSERT_TRUE(test::WriteTestFile(path, c.bytes));
        TextSink log;
        const OpenedInput opened = OpenInput(path, c.file, log);
        EXPECT_EQ(opened.kind, c.kind);
        if (std::string(c.refusal).empty()) {
            ASSERT_TRUE(opened.loaded) << log.text;
            ASSERT_TRUE(opened.scene.has_value());
            EXPECT_EQ(ValidateScene(*opened.scene), "");
            EXPECT_FALSE(opened.scene->objects.empty());
            continue;
        }
        EXPECT_FALSE(opened.scene.has_value());
        const std::string why = c.kind == InputKind::Oof ? opened.sceneProblem : log.text;
        EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
        if (c.kind == InputKind::Oof) {
            EXPECT_TRUE(opened.loaded) << "the report of a damaged model stands";
            EXPECT_EQ(why.find('\n'), std::string::npos) << why;
        } else {
            EXPECT_FALSE(opened.loaded);
        }
    }
    fs::remove_all(dir);
}

// Joining by position takes exactly equal bits: -0 and +0, and two NaN patterns, stay apart, however the
// table grows.
TEST(SceneBuilder, JoinsPositionsOfEqualBitsOnly) {
    SceneBuilder b;
    b.subObject("grid", -1, {});
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 1000; ++i)
            EXPECT_EQ(b.sharedVertex({static_cast<float>(i), 0.5f, -2}), static_cast<std::uint32_t>(i)) << round;
    EXPECT_EQ(b.sharedVertex({0.0f, 0, 0}), 1000u);
    EXPECT_EQ(b.sharedVertex({-0.0f, 0, 0}), 1001u);
    EXPECT_EQ(b.sharedVertex({0.0f, 0, 0}), 1000u);
    b.subObject("next", 0, {});  // a new sub-object joins nothing with the old one's vertices
    EXPECT_EQ(b.sharedVertex({5, 0.5f, -2}), 0u);
    const SceneCorner corners[] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    b.face(corners, kUntextured);
    Scene scene;
    std::string error;
    ASSERT_TRUE(b.finish(scene, error)) << error;
    EXPECT_EQ(scene.objects[0].positions.size(), 1002u);
    EXPECT_EQ(scene.objects[1].positions.size(), 1u);
}

// Scaling moves every place and keeps directions; a factor that takes a number beyond single precision leaves a
// scene that is no longer valid, and says where.
TEST(SceneScale, ScalesPlacesAndRefusesWhatOutgrowsSinglePrecision) {
    test::ModelBuilder b;
    b.subObject(-1, {1, 2, 3}).vertex(1, 0, 0).vertex(0, 1, 0).vertex(0, 0, 1e30f).face(-1, {{0}, {1}, {2}});
    Scene scene = b.scene();
    scene.gunpoints = {{0, {1, 1, 1}, {0, 0, 1}}};
    Scene small = scene;
    EXPECT_EQ(ScaleScene(small, 2.0), "");
    EXPECT_EQ(small.objects[0].offset, (Vector3{2, 4, 6}));
    EXPECT_EQ(small.objects[0].positions[1], (Vector3{0, 2, 0}));
    EXPECT_EQ(small.gunpoints[0].position, (Vector3{2, 2, 2}));
    EXPECT_EQ(small.gunpoints[0].direction, (Vector3{0, 0, 1}));
    EXPECT_EQ(ScaleScene(scene, 1e10), "sub-object #0, vertex #2 is at (0, 0, Inf), which is not a finite position");
}

}  // namespace
}  // namespace torvale
