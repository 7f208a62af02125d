#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "app/export_model.h"
#include "builders/fake_platform.h"
#include "builders/oof_builder.h"
#include "builders/oof_parser.h"
#include "core/ascii_text.h"
#include "game/hog_archive.h"
#include "oof/oof_reader.h"
#include "oof/oof_scene.h"
#include "oof/oof_writer.h"

namespace torvale {
namespace {

using test::Bytes;
using test::ParsedOof;
using test::ParseOofForTest;

// A sub-object of one square face in the z = 0 plane, corners clockwise as seen from -z (its normal).
SceneObject Square(const std::string& name, std::int32_t parent, Vector3 offset, std::int32_t texture = 0) {
    SceneObject object;
    object.name = name;
    object.parent = parent;
    object.offset = offset;
    object.positions = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    object.normals.assign(4, Vector3{});
    object.alphas.assign(4, 1.0f);
    object.corners = {{0, 0, 1}, {1, 0, 0}, {2, 1, 0}, {3, 1, 1}};
    SceneFace face;
    face.cornerCount = 4;
    face.texture = texture;
    face.color = {10, 20, 30};
    object.faces.push_back(face);
    return object;
}

Scene TwoPartModel() {
    Scene scene;
    scene.textures = {"Rock", "Metal"};
    scene.objects.push_back(Square("body", -1, {0, 0, 0}));
    scene.objects.push_back(Square("turret", 0, {0, 2, 0}, kUntextured));
    scene.objects[1].properties = "$fov=90, 2, 0.5";
    scene.objects[1].positions[2] = {1, 1, 3};  // the farthest vertex: (1, 3, 3) from the origin
    scene.objects[1].faces[0].cornerCount = 3;  // a triangle of the first three corners
    scene.objects[1].rotation = {0, 10, {{0, {0, 1, 0}, 0}, {10, {0, 1, 0}, 16384}}};
    scene.gunpoints = {{1, {0, 0, 1}, {0, 0, 1}}};
    scene.attachPoints = {{0, {1, 0, 0}, {1, 0, 0}}, {0, {-1, 0, 0}, {-1, 0, 0}}};
    scene.attachNormals = {{0, {}, {0, 1, 0}}, {0, {}, {0, 1, 0}}};
    scene.groundPoints = {{0, {0, -1, 0}, {0, 1, 0}}};
    scene.batteries = {{{0}, {1}}};
    return scene;
}

ParsedOof Written(const Scene& scene) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodeOof(scene, bytes, error)) << error;
    ParsedOof parsed = ParseOofForTest(bytes);
    EXPECT_TRUE(parsed.ok) << parsed.problem;
    return parsed;
}

TEST(OofWriter, WritesEveryChunkTheModelNeedsInTheGamesOrder) {
    const ParsedOof oof = Written(TwoPartModel());
    EXPECT_EQ(oof.version, 2300);
    EXPECT_EQ(oof.chunks, (std::vector<std::string>{"OHDR", "TXTR", "SOBJ", "SOBJ", "GPNT", "WBAT", "RANI", "GRND",
                                                    "ATCH", "NATH"}));
    EXPECT_EQ(oof.header.subObjects, 2);
    EXPECT_EQ(oof.detailCount, 0);
    EXPECT_FLOAT_EQ(oof.header.maxRadius, std::sqrt(19.0f));
    EXPECT_EQ(oof.header.boundsMin, (Vector3{-1, -1, 0}));
    EXPECT_EQ(oof.header.boundsMax, (Vector3{1, 3, 3}));
    EXPECT_EQ(oof.textures, (std::vector<std::string>{"Rock", "Metal"}));

    ASSERT_EQ(oof.objects.size(), 2u);
    const test::SobjFields& body = oof.objects[0];
    EXPECT_EQ(body.number, 0);
    EXPECT_EQ(body.parent, -1);
    EXPECT_EQ(body.name, "body");
    EXPECT_EQ(body.propertyName, "");
    EXPECT_FLOAT_EQ(body.radius, std::sqrt(2.0f));
    EXPECT_EQ(body.geometricCenter, (Vector3{0, 0, 0}));
    ASSERT_EQ(body.faces.size(), 1u);
    // Clockwise seen from -z: the normal is -z, computed from the winding.
    EXPECT_EQ(body.faces[0].normal, (Vector3{0, 0, -1}));
    EXPECT_EQ(body.faces[0].textured, 1);
    EXPECT_EQ(body.faces[0].textureIndex, 0);
    EXPECT_EQ(body.faces[0].corners.size(), 4u);
    EXPECT_EQ(body.faces[0].corners[0].v, 1.0f);
    // Vertex normals the scene left at zero are the faces' normals.
    EXPECT_EQ(body.normals, std::vector<Vector3>(4, Vector3{0, 0, -1}));
    EXPECT_EQ(body.alphas, std::vector<float>(4, 1.0f));

    const test::SobjFields& turret = oof.objects[1];
    EXPECT_EQ(turret.parent, 0);
    EXPECT_EQ(turret.attachOffset, (Vector3{0, 2, 0}));
    EXPECT_EQ(turret.propertyName, "$fov=90, 2, 0.5");
    EXPECT_EQ(turret.faces[0].textured, 0);
    EXPECT_EQ((std::array{turret.faces[0].red, turret.faces[0].green, turret.faces[0].blue}),
              (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(turret.geometricCenter, (Vector3{0, 0, 1.5f}));

    ASSERT_EQ(oof.rotation.size(), 2u);
    EXPECT_TRUE(oof.rotation[0].keys.empty());
    EXPECT_EQ(oof.rotation[1].trackMax, 10);
    ASSERT_EQ(oof.rotation[1].keys.size(), 2u);
    EXPECT_EQ(oof.rotation[1].keys[1].angle, 16384);
    ASSERT_EQ(oof.batteries.size(), 1u);
    EXPECT_EQ(oof.batteries[0].gunpoints, std::vector<std::int32_t>{0});
    EXPECT_EQ(oof.batteries[0].turrets, std::vector<std::int32_t>{1});
    EXPECT_EQ(oof.gunpoints.at(0).parent, 1);
    EXPECT_EQ(oof.attachUps.size(), 2u);
    EXPECT_EQ(oof.groundPoints.at(0).direction, (Vector3{0, 1, 0}));
}

TEST(OofWriter, LeavesOutChunksWithNothingToSay) {
    Scene scene;
    scene.objects.push_back(Square("only", -1, {}, kUntextured));
    scene.attachPoints = {{0, {}, {0, 0, 1}}};
    scene.attachNormals = {{0, {}, {0, 1, 0}}, {0, {}, {0, 1, 0}}};  // not one per attach point
    EXPECT_EQ(Written(scene).chunks, (std::vector<std::string>{"OHDR", "SOBJ", "ATCH"}));
}

TEST(OofWriter, CutsFacesOfMoreCornersThanTheGameTakesIntoFans) {
    Scene scene;
    SceneObject disc = Square("disc", -1, {}, kUntextured);
    disc.positions.clear();
    disc.corners.clear();
    constexpr std::uint32_t kCorners = 70;
    for (std::uint32_t k = 0; k < kCorners; ++k) {
        const double angle = -2 * 3.14159265358979 * k / kCorners;  // clockwise seen from -z
        disc.positions.push_back({static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0});
        disc.corners.push_back({k, 0, 0});
    }
    disc.normals.assign(kCorners, Vector3{});
    disc.alphas.assign(kCorners, 1.0f);
    disc.faces[0].cornerCount = kCorners;
    scene.objects.push_back(disc);
    std::vector<std::uint8_t> bytes;
    std::string error;
    OofWriteNotes notes;
    ASSERT_TRUE(EncodeOof(scene, bytes, error, &notes)) << error;
    EXPECT_EQ(notes.splitFaces, 1u);
    const ParsedOof oof = ParseOofForTest(bytes);
    ASSERT_TRUE(oof.ok) << oof.problem;
    // 70 corners: 0..31, then 0 and 31..61, then 0 and 61..69.
    const std::vector<test::FaceFields>& faces = oof.objects.at(0).faces;
    ASSERT_EQ(faces.size(), 3u);
    std::vector<std::vector<std::int32_t>> pieces;
    for (const test::FaceFields& face : faces) {
        EXPECT_LE(face.corners.size(), kOofMaxCorners);
        EXPECT_NEAR(face.normal.z, -1.0f, 1e-5f);
        pieces.push_back({});
        for (const test::CornerFields& corner : face.corners)
            pieces.back().push_back(corner.vertex);
    }
    EXPECT_EQ(pieces[1].front(), 0);
    EXPECT_EQ(pieces[1][1], 31);
    EXPECT_EQ(pieces[2][1], 61);
    EXPECT_EQ(pieces[2].back(), 69);
    EXPECT_EQ(pieces[0].size() + pieces[1].size() + pieces[2].size(), kCorners + 2 * 2);
}

struct LimitCase {
    const char* what;
    std::function<void(Scene&)> atLimit;  // the scene still writes
    std::function<void(Scene&)> over;     // one more: refused
    const char* refusal;                  // a piece of the one line
};

void AddObjects(Scene& scene, std::size_t count) {
    while (scene.objects.size() < count)
        scene.objects.push_back(Square("part", 0, {}, kUntextured));
}

void SetVertices(Scene& scene, std::size_t count) {
    SceneObject& object = scene.objects[0];
    object.positions.resize(count, Vector3{0, 0, 1});
    object.normals.resize(count);
    object.alphas.resize(count, 1.0f);
}

void SetTriangles(Scene& scene, std::size_t count) {
    SceneObject& object = scene.objects[0];
    object.faces.assign(count, object.faces[0]);
    for (SceneFace& face : object.faces)
        face.cornerCount = 3;
}

void Chain(Scene& scene, std::size_t depth) {
    AddObjects(scene, depth);
    for (std::size_t i = 1; i < depth; ++i)
        scene.objects[i].parent = static_cast<std::int32_t>(i - 1);
}

TEST(OofWriter, RefusesBeyondEveryLimitOfTheGameWithOneLine) {
    const LimitCase cases[] = {
        {"sub-objects", [](Scene& s) { AddObjects(s, 30); }, [](Scene& s) { AddObjects(s, 31); },
         "the model has 31 sub-objects; an object model holds 1 to 30"},
        {"depth", [](Scene& s) { Chain(s, 29); }, [](Scene& s) { Chain(s, 30); },
         "sub-object #29 hangs 30 sub-objects deep; the game draws at most 29"},
        {"vertices", [](Scene& s) { SetVertices(s, 2499); }, [](Scene& s) { SetVertices(s, 2500); },
         "sub-object #0 has 2500 vertices; an object model holds at most 2499 per sub-object"},
        {"faces", [](Scene& s) { SetTriangles(s, 3000); }, [](Scene& s) { SetTriangles(s, 3001); },
         "sub-object #0 has 3001 faces; an object model holds at most 3000 per sub-object"},
        {"textures", [](Scene& s) { s.textures.resize(34, "t"); }, [](Scene& s) { s.textures.resize(35, "t"); },
         "the model uses 35 textures; an object model holds at most 34"},
        {"name", [](Scene& s) { s.objects[0].name.assign(34, 'n'); },
         [](Scene& s) { s.objects[0].name.assign(35, 'n'); }, "35 characters; an object model keeps at most 34"},
        {"texture name", [](Scene& s) { s.textures[0].assign(127, 't'); },
         [](Scene& s) { s.textures[0].assign(128, 't'); },
         "the name of texture #0 has 128 characters; an object model holds at most 127"},
        {"properties", [](Scene& s) { s.objects[0].properties = "$a=" + std::string(196, 'x'); },
         [](Scene& s) { s.objects[0].properties = "$a=" + std::string(200, 'x'); },
         "has a property command or data of more than 199 characters"},
        {"corners", [](Scene& s) { s.objects[0].faces[0].cornerCount = 3; },
         [](Scene& s) { s.objects[0].faces[0].cornerCount = 2; },
         "sub-object #0, face #0 has 2 corners; a face of an object model needs at least 3"},
        {"batteries", [](Scene& s) { s.batteries.resize(21); }, [](Scene& s) { s.batteries.resize(22); },
         "the model has 22 weapon batteries; the game holds at most 21"},
        {"battery guns",
         [](Scene& s) {
             s.gunpoints.resize(9);
             s.batteries = {{{0, 1, 2, 3, 4, 5, 6, 7}, {}}};
         },
         [](Scene& s) {
             s.gunpoints.resize(9);
             s.batteries = {{{0, 1, 2, 3, 4, 5, 6, 7, 8}, {}}};
         },
         "weapon battery #0 has 9 guns and 0 turrets; a battery holds at most 8 of each"},
        {"battery gun index",
         [](Scene& s) {
             s.gunpoints.resize(1), s.batteries = {{{0}, {}}};
         },
         [](Scene& s) {
             s.gunpoints.resize(1), s.batteries = {{{1}, {}}};
         },
         "weapon battery #0 fires from gun point 1, but the model has gun points 0 to 0"},
        {"turret index",
         [](Scene& s) {
             s.batteries = {{{}, {0}}};
         },
         [](Scene& s) {
             s.batteries = {{{}, {1}}};
         },
         "weapon battery #0 aims with sub-object 1, but the model has sub-objects 0 to 0"},
        {"attach points", [](Scene& s) { s.attachPoints.resize(127); }, [](Scene& s) { s.attachPoints.resize(128); },
         "128 attach points; the game uses at most 127"},
        {"point parent",
         [](Scene& s) {
             s.gunpoints = {{0, {}, {0, 0, 1}}};
         },
         [](Scene& s) {
             s.gunpoints = {{1, {}, {0, 0, 1}}};
         },
         "gun point #0 hangs from sub-object 1, but the model has sub-objects 0 to 0"},
        {"glow faces", [](Scene& s) { s.objects[0].properties = "$glow=1,1,1,2"; },
         [](Scene& s) {
             s.objects[0].properties = "$GLOW=1,1,1,2";
             s.objects[0].faces.push_back(s.objects[0].faces[0]);
         },
         "sub-object #0 ($GLOW=) has 2 faces; the game draws it from exactly one face"},
        {"key order",
         [](Scene& s) {
             s.objects[0].rotation = {0, 5, {{0, {0, 1, 0}, 0}, {5, {0, 1, 0}, 100}}};
         },
         [](Scene& s) {
             s.objects[0].rotation = {0, 5, {{0, {0, 1, 0}, 0}, {0, {0, 1, 0}, 100}}};
         },
         "rotation keys: key #1 starts at frame 0, not after key #0 (frame 0)"},
        {"track span",
         [](Scene& s) {
             s.objects[0].position = {0, 1, {{0, {}}, {1, {0, 1, 0}}}};
         },
         [](Scene& s) {
             s.objects[0].position = {1, 1, {{0, {}}, {1, {0, 1, 0}}}};
         },
         "position keys span frames 1 to 1; the game needs a last frame after the first"},
    };
    for (const LimitCase& c : cases) {
        Scene scene;
        scene.textures = {"t"};
        scene.objects.push_back(Square("body", -1, {}));
        Scene over = scene;
        c.atLimit(scene);
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(EncodeOof(scene, bytes, error)) << c.what << ": " << error;
        EXPECT_TRUE(ParseOofForTest(bytes).ok) << c.what;

        c.over(over);
        std::vector<std::uint8_t> untouched{1, 2, 3};
        EXPECT_FALSE(EncodeOof(over, untouched, error)) << c.what;
        EXPECT_NE(error.find(c.refusal), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(untouched, (std::vector<std::uint8_t>{1, 2, 3})) << c.what;
    }
}

// Reads `bytes` with the program's reader into a scene.
Scene SceneOf(const std::vector<std::uint8_t>& bytes, const std::string& title, std::vector<std::string>* notes = {}) {
    ObjectModel model;
    test::RecordingSink log;
    EXPECT_EQ(ReadOofFile(bytes, title, model, log), kOofLoaded) << title << log.text();
    Scene scene;
    std::string error;
    EXPECT_TRUE(SceneFromOof(std::move(model), scene, error, notes)) << title << ": " << error;
    return scene;
}

void ExpectSameModel(const Scene& a, const Scene& b, const std::string& title) {
    EXPECT_EQ(a.textures, b.textures) << title;
    ASSERT_EQ(a.objects.size(), b.objects.size()) << title;
    for (std::size_t i = 0; i < a.objects.size(); ++i) {
        const SceneObject& x = a.objects[i];
        const SceneObject& y = b.objects[i];
        const std::string where = title + ", sub-object " + std::to_string(i);
        EXPECT_EQ(x.name, y.name) << where;
        EXPECT_EQ(x.properties, y.properties) << where;
        EXPECT_EQ(x.parent, y.parent) << where;
        EXPECT_EQ(x.offset, y.offset) << where;
        EXPECT_EQ(x.positions, y.positions) << where;
        EXPECT_EQ(x.alphas, y.alphas) << where;
        EXPECT_EQ(x.corners, y.corners) << where;
        ASSERT_EQ(x.faces.size(), y.faces.size()) << where;
        for (std::size_t f = 0; f < x.faces.size(); ++f) {
            EXPECT_EQ(x.faces[f].texture, y.faces[f].texture) << where << ", face " << f;
            if (x.faces[f].texture == kUntextured)
                EXPECT_EQ(x.faces[f].color, y.faces[f].color) << where << ", face " << f;
        }
        EXPECT_EQ(x.rotation, y.rotation) << where;
        EXPECT_EQ(x.position, y.position) << where;
        EXPECT_EQ(x.specialPoints.size(), y.specialPoints.size()) << where;
    }
    for (const auto& [p, q] : {std::pair{&a.gunpoints, &b.gunpoints},
                               {&a.attachPoints, &b.attachPoints},
                               {&a.groundPoints, &b.groundPoints}}) {
        ASSERT_EQ(p->size(), q->size()) << title;
        for (std::size_t k = 0; k < p->size(); ++k) {
            EXPECT_EQ((*p)[k].parent, (*q)[k].parent) << title;
            EXPECT_EQ((*p)[k].position, (*q)[k].position) << title;
            EXPECT_EQ((*p)[k].direction, (*q)[k].direction) << title;
        }
    }
    EXPECT_EQ(a.batteries, b.batteries) << title;
}

TEST(OofWriter, TheGamesOwnModelsAndTheSampleAreWrittenAgainUnchanged) {
    std::vector<test::RealModel> models = test::GameModels(TORVALE_REAL_WORLD_DIR);
    // Where the game's files are not there, the sample alone is tried.
    ASSERT_TRUE(models.empty() || models.size() == 6u) << models.size();
    models.push_back({"sample.oof", test::SampleOof()});
    std::string error;

    for (const auto& [title, bytes] : models) {
        std::vector<std::string> notes;
        const Scene original = SceneOf(bytes, title, &notes);
        // Each of the game's own Pyro models has two vertices whose normals are not numbers.
        const bool pyro = AsciiLowered(title).starts_with("purplepyro");
        EXPECT_EQ(notes.size(), pyro ? 1u : 0u) << title;
        if (pyro)
            EXPECT_EQ(notes.at(0),
                      "sub-object #0 has 2 vertices whose normal or alpha is not a finite number; taken "
                      "as no normal and alpha 1");
        std::vector<std::uint8_t> written;
        ASSERT_TRUE(EncodeOof(original, written, error)) << title << ": " << error;
        const ParsedOof parsed = ParseOofForTest(written);
        ASSERT_TRUE(parsed.ok) << title << ": " << parsed.problem;
        for (const test::SobjFields& object : parsed.objects)
            for (const Vector3& normal : object.normals)
                EXPECT_TRUE(std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z)) << title;
        ExpectSameModel(original, SceneOf(written, title), title);
    }
}

TEST(OofWriter, ExportModelOffersObjectModelsAfterTheExchangeFormats) {
    const FileDialogRequest request = ExportModelDialog("ship");
    EXPECT_EQ(request.filter.rfind("Descent 3 object model (*.oof)|*.oof"), request.filter.size() - 36);
    FileDialogResult chosen;
    chosen.path = "models/ship";
    chosen.filterIndex = 4;
    ModelTarget target = ModelTarget::Room;
    EXPECT_EQ(ExportModelPath(chosen, target), "models/ship.oof");
    EXPECT_EQ(target, ModelTarget::Oof);
    chosen.path = "models/ship.GLB";  // a name with a known extension keeps it, whatever type was chosen
    EXPECT_EQ(ExportModelPath(chosen, target), "models/ship.GLB");
    EXPECT_EQ(target, ModelTarget::Glb);
    EXPECT_EQ(TargetOf("ROBOT.OOF"), ModelTarget::Oof);
    EXPECT_EQ(ExchangeModelFiles("robot.oof", ModelTarget::Oof), std::vector<std::string>{"robot.oof"});
}

}  // namespace
}  // namespace torvale
