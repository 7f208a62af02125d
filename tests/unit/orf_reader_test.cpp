#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "builders/model_builder.h"
#include "builders/oof_builder.h"
#include "builders/orf_builder.h"
#include "oof/oof_reader.h"
#include "orf/orf_reader.h"
#include "orf/orf_writer.h"
#include "orf/room_export.h"
#include "orf/room_report.h"

namespace torvale {
namespace {

using test::Bytes;
using test::CubeFaces;
using test::CubeRoom;
using test::CubeVertices;
using test::OrfBuilder;
using test::OrfFaceRecord;

Room Read(const Bytes& bytes) {
    Room room;
    std::string error;
    EXPECT_TRUE(ReadOrfFile(bytes, room, error)) << error;
    return room;
}

std::string Refusal(const Bytes& bytes) {
    Room room;
    std::string error;
    EXPECT_FALSE(ReadOrfFile(bytes, room, error));
    return error;
}

class OrfVersions : public ::testing::TestWithParam<std::int32_t> {};

// Every version carries the same geometry; alpha from version 1 on and the light multiple from version 4 on
// come through, and rooms that lack them read as opaque with a light multiple of 1.0 (4 quarters).
TEST_P(OrfVersions, ReadTheSameGeometry) {
    const std::int32_t version = GetParam();
    std::vector<OrfFaceRecord> faces = CubeFaces();
    faces[3].corners[2].alpha = 0.25f;
    faces[3].lightMultiple = 9;
    const Room room = Read(OrfBuilder(version).room(CubeVertices(), {"rock1", "metal_plate"}, faces).bytes());

    EXPECT_EQ(room.version, version);
    EXPECT_EQ(room.vertices, CubeVertices());
    EXPECT_EQ(room.textureNames, (std::vector<std::string>{"rock1", "metal_plate"}));
    ASSERT_EQ(room.faces.size(), faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const RoomFace& face = room.faces[f];
        EXPECT_EQ(face.normal, faces[f].normal);
        EXPECT_EQ(face.texture, faces[f].texture);
        EXPECT_EQ(face.lightMultiple, version >= 4 ? faces[f].lightMultiple : 4);
        ASSERT_EQ(face.cornerCount, faces[f].corners.size());
        const auto corners = room.cornersOf(face);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const auto& want = faces[f].corners[k];
            EXPECT_EQ(corners[k], (RoomCorner{want.vertex, want.u, want.v, version >= 1 ? want.alpha : 1.0f}))
                << "face " << f << " corner " << k;
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Room, OrfVersions, ::testing::Values(0, 1, 2, 3, 4, 7));

TEST(OrfReader, SkipsUnknownChunksByTheirLength) {
    OrfBuilder b(4);
    b.header(8, 6).chunk(17, {1, 2, 3, 4, 5}).vertices(CubeVertices()).chunk(-2, {}).textures({"a", "b"});
    const Room room = Read(b.faces(CubeFaces()).end().bytes());
    EXPECT_EQ(room.vertices.size(), 8u);
    EXPECT_EQ(room.faces.size(), 6u);
}

struct BadRoom {
    const char* name;
    std::function<void(OrfBuilder&)> build;  // writes a room into a version-4 builder
    std::function<std::string(const OrfBuilder&)> line;
};

std::string At(const OrfBuilder& b, const std::string& mark) {
    return std::to_string(b.at(mark));
}

void Cube(OrfBuilder& b) {
    b.room(CubeVertices(), {"rock1", "metal_plate"}, CubeFaces());
}

TEST(OrfReader, RefusesWhatTheLevelEditorWouldMisreadWithOneLine) {
    const std::vector<BadRoom> cases = {
        {"face count beyond the file", [](OrfBuilder& b) { Cube(b), b.patchI32("header.faces", 70000); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "faces") + " announce 70000 faces, but only " +
                    std::to_string(b.size() - b.at("faces") - 8) + " bytes are left";
         }},
        {"negative vertex count", [](OrfBuilder& b) { Cube(b), b.patchI32("header.vertices", -1); },
         [](const OrfBuilder& b) {
             return "Error: header at byte " + At(b, "header.vertices") + " announces -1 vertices, a negative number";
         }},
        {"corner count beyond the file", [](OrfBuilder& b) { Cube(b), b.patchI32("face5.corners", 1000); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "face5.corners") + ": face 5 announces 1000 corners, but only " +
                    std::to_string(b.size() - b.at("face5.corners") - 4) + " bytes are left";
         }},
        {"face of two corners", [](OrfBuilder& b) { Cube(b), b.patchI32("face1.corners", 2); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "face1.corners") +
                    ": face 1 has 2 corners; the level editor needs at least 3";
         }},
        {"texture index outside the names", [](OrfBuilder& b) { Cube(b), b.patchI16("face2.texture", 2); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "face2.texture") +
                    ": face 2 uses texture 2, but the room names 2; the level editor reads outside its texture "
                    "list here";
         }},
        {"corner naming a missing vertex", [](OrfBuilder& b) { Cube(b), b.patchI16("face4.corner3", 8); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "face4.corner3") +
                    ": corner 3 of face 4 names vertex 8, but the room has 8 vertices; the level editor reads "
                    "outside its vertex list here";
         }},
        {"negative vertex index", [](OrfBuilder& b) { Cube(b), b.patchI16("face0.corner0", -1); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "face0.corner0") +
                    ": corner 0 of face 0 names vertex -1, but the room has 8 vertices; the level editor reads "
                    "outside its vertex list here";
         }},
        {"no end chunk",
         [](OrfBuilder& b) {
             b.header(8, 6).vertices(CubeVertices()).textures({"a", "b"}).faces(CubeFaces());
         },
         [](const OrfBuilder& b) {
             return "Error: end at byte " + std::to_string(b.size()) +
                    ": the file ends without an end chunk; the level editor reads past the end here";
         }},
        {"vertices before the header", [](OrfBuilder& b) { b.vertices(CubeVertices()).header(8, 6); },
         [](const OrfBuilder&) {
             return std::string(
                 "Error: vertices at byte 0 come before the header; the level editor reads outside "
                 "its vertex list here");
         }},
        {"faces before the textures", [](OrfBuilder& b) { b.header(8, 6).vertices(CubeVertices()).faces(CubeFaces()); },
         [](const OrfBuilder& b) {
             return "Error: faces at byte " + At(b, "faces") +
                    " come before the textures; the level editor reads outside its texture list here";
         }},
        {"faces chunk missing", [](OrfBuilder& b) { b.header(8, 6).vertices(CubeVertices()).textures({"a"}).end(); },
         [](const OrfBuilder& b) {
             return "Error: end at byte " + At(b, "end") + ": the room has no faces chunk for its 6 faces";
         }},
        {"length that does not match the content",
         [](OrfBuilder& b) { b.header(8, 6).vertices(CubeVertices()).statedLength(100); },
         [](const OrfBuilder& b) {
             return "Error: vertices at byte " + At(b, "vertices") +
                    ": the chunk's length is 100, but its content takes 96 bytes";
         }},
        {"unknown chunk longer than the file",
         [](OrfBuilder& b) {
             b.header(8, 6).chunk(9, {1, 2}).statedLength(3);
         },
         [](const OrfBuilder& b) {
             return "Error: chunk 9 at byte " + At(b, "chunk9") + ": length 3, but 2 bytes are left";
         }},
        {"name without its zero",
         [](OrfBuilder& b) { b.header(8, 6).textures({"rock"}).patchI32("textures.count", 2); },
         [](const OrfBuilder& b) {
             return "Error: textures at byte " + std::to_string(b.size()) +
                    ": name 1 has no terminating zero before the end of the file";
         }},
        {"a second header", [](OrfBuilder& b) { b.header(8, 6).header(8, 6); },
         [](const OrfBuilder& b) {
             return "Error: header at byte " + std::to_string(b.size() - 20) + ": a second header";
         }},
        {"bytes after the end",
         [](OrfBuilder& b) {
             Cube(b), b.tail({0, 0, 0});
         },
         [](const OrfBuilder& b) {
             return "Error: end at byte " + At(b, "end") + ": 3 bytes follow the end chunk's tag and length";
         }},
    };
    for (const BadRoom& c : cases) {
        OrfBuilder b(4);
        c.build(b);
        EXPECT_EQ(Refusal(b.bytes()), c.line(b)) << c.name;
    }
}

// Every prefix of a valid room, each in an allocation of its own size so that AddressSanitizer sees its end.
// A room whose numbers are not numbers shows nothing sensible in the level editor: each place is refused with
// one line that names the chunk and the element.
TEST(OrfReader, RefusesNumbersThatAreNotFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::function<void(std::vector<Vector3>&, std::vector<OrfFaceRecord>&)> spoil;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {"vertex", [&](auto& v, auto&) { v[3].y = nan; }, ": vertex 3 is not a finite position"},
        {"infinite vertex", [&](auto& v, auto&) { v[7].z = -inf; }, ": vertex 7 is not a finite position"},
        {"face normal", [&](auto&, auto& f) { f[2].normal.x = inf; }, ": the normal of face 2 is not a finite number"},
        {"texture coordinate", [&](auto&, auto& f) { f[4].corners[1].v = nan; },
         ": the texture coordinates of corner 1 of face 4 are not finite numbers"},
    };
    for (const Case& c : cases) {
        std::vector<Vector3> vertices = CubeVertices();
        std::vector<OrfFaceRecord> faces = CubeFaces();
        c.spoil(vertices, faces);
        OrfBuilder b(4);
        b.header(8, 6).vertices(vertices).textures({"a", "b"}).faces(faces).end();
        const std::string line = Refusal(b.bytes());
        EXPECT_TRUE(line.starts_with("Error: ")) << c.name << ": " << line;
        EXPECT_TRUE(line.ends_with(c.refusal)) << c.name << ": " << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << c.name;
    }
}

TEST(OrfReader, EveryPrefixOfARoomIsRefusedWithOneLine) {
    for (const std::int32_t version : {0, 4}) {
        const Bytes whole = CubeRoom(version);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const auto prefix = std::make_unique<std::uint8_t[]>(size);
            std::copy_n(whole.begin(), size, prefix.get());
            Room room;
            std::string error;
            ASSERT_FALSE(ReadOrfFile({prefix.get(), size}, room, error)) << size;
            EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
            EXPECT_EQ(error.find_first_of("\r\n"), std::string::npos) << error;
        }
    }
}

// The rooms the program writes read back to the model they came from: positions (moved by each sub-object's
// offsets in the combined room), faces, corners, UVs and names, "SAMPLE TEXTURE" standing in for untextured faces.
void ExpectRoomOfModel(const ObjectModel& model, bool combined, const std::string& what) {
    const TextureTable table;
    const Scene scene = test::SceneOf(model);
    const std::vector<std::string> names = RoomTextureNames(scene, table);
    ASSERT_EQ(FindRoomLimitProblem(scene, combined), "") << what;
    const std::size_t rooms = combined ? 1 : static_cast<std::size_t>(model.subObjectCount);
    for (std::size_t r = 0; r < rooms; ++r) {
        const Room room =
            Read(EncodeRoom(combined ? BuildCombinedRoom(scene, names) : BuildSubObjectRoom(scene, r, names)));
        std::vector<std::string> expectedNames;
        for (const std::string& name : names)
            expectedNames.push_back(name.substr(0, name.size() - 1));
        std::size_t vertex = 0;
        std::size_t face = 0;
        bool untextured = false;
        const std::size_t last = combined ? static_cast<std::size_t>(model.subObjectCount) : r + 1;
        for (std::size_t s = combined ? 0 : r; s < last; ++s) {
            const SubObject& sub = model.subObject(s);
            Vector3 offset;
            for (const SubObject* p = &sub; combined && p != nullptr;) {
                offset = {offset.x + p->attachOffset.x, offset.y + p->attachOffset.y, offset.z + p->attachOffset.z};
                p = p->parent == -1 ? nullptr : &model.subObject(static_cast<std::size_t>(p->parent));
            }
            const std::size_t base = vertex;
            for (const Vector3& p : sub.vertexPositions) {
                ASSERT_LT(vertex, room.vertices.size()) << what;
                const Vector3& got = room.vertices[vertex++];
                EXPECT_NEAR(got.x, p.x + offset.x, 1e-5) << what << " vertex " << vertex - 1;
                EXPECT_NEAR(got.y, p.y + offset.y, 1e-5) << what << " vertex " << vertex - 1;
                EXPECT_NEAR(got.z, p.z + offset.z, 1e-5) << what << " vertex " << vertex - 1;
            }
            for (std::size_t f = 0; f < static_cast<std::size_t>(sub.faceCount); ++f, ++face) {
                ASSERT_LT(face, room.faces.size()) << what;
                const RoomFace& got = room.faces[face];
                const std::int32_t texture = sub.faceTextureIndices[f];
                untextured = untextured || texture == -1;
                const auto sample = static_cast<std::int32_t>(model.textureCount > 0 ? names.size() : 0);
                EXPECT_EQ(got.texture, texture == -1 ? sample : texture) << what << " face " << face;
                EXPECT_EQ(got.normal, sub.faceNormals[f]) << what << " face " << face;
                ASSERT_EQ(got.cornerCount, static_cast<std::uint32_t>(sub.faceVertexCounts[f])) << what;
                const auto corners = room.cornersOf(got);
                for (std::size_t k = 0; k < corners.size(); ++k) {
                    const FaceVertex& want = sub.cornersOf(f)[k];
                    EXPECT_EQ(corners[k],
                              (RoomCorner{static_cast<std::int32_t>(base) + want.vertexIndex, want.u, want.v, 1.0f}))
                        << what << " face " << face << " corner " << k;
                }
            }
        }
        if (untextured && model.textureCount > 0)
            expectedNames.push_back("SAMPLE TEXTURE");
        EXPECT_EQ(room.vertices.size(), vertex) << what;
        EXPECT_EQ(room.faces.size(), face) << what;
        EXPECT_EQ(room.textureNames, expectedNames) << what;
    }
}

TEST(OrfReader, ReadsBackEveryRoomTheProgramWrites) {
    const Bytes bundled = test::ReadTestFile(std::string(TORVALE_SOURCE_DIR) + "/samples/sample.oof");
    ASSERT_FALSE(bundled.empty());
    std::vector<std::pair<std::string, ObjectModel>> models;
    for (const auto& [name, bytes] :
         {std::pair{"bundled sample", bundled}, std::pair{"builder sample", test::SampleOof()}}) {
        ObjectModel model;
        test::RecordingSink log;
        ASSERT_EQ(ReadOofFile(bytes, "sample.oof", model, log), kOofLoaded) << name;
        models.emplace_back(name, model);
    }
    test::ModelBuilder untexturedOnly;
    untexturedOnly.subObject().vertex(0, 0, 0).vertex(0, 1, 0).vertex(1, 0, 0).face(-1, {{0, 0.5f}, {1}, {2, 0, 1}});
    models.emplace_back("untextured only", untexturedOnly.build());
    models.emplace_back("full capacity", test::FullCapacityModel(3000, 2000));
    for (const auto& [name, model] : models) {
        ExpectRoomOfModel(model, true, name + ", combined");
        ExpectRoomOfModel(model, false, name + ", per sub-object");
    }
}

TEST(OrfReader, ModelFromARoomWritesTheSameRoomAgain) {
    std::vector<OrfFaceRecord> faces = CubeFaces();
    faces[1].corners[3].u = 0.375f;
    faces[2].texture = 2;
    const Bytes original = OrfBuilder(4).room(CubeVertices(), {"rock1", "metal_plate", "glass"}, faces).bytes();
    const Room room = Read(original);
    const Scene scene = SceneFromRoom(room, "cube");
    ASSERT_EQ(ValidateScene(scene), "");
    ASSERT_EQ(FindRoomLimitProblem(scene, false), "");
    EXPECT_EQ(scene.objects[0].name, "cube");
    const Bytes again = EncodeRoom(BuildSubObjectRoom(scene, 0, scene.textures));
    const Room back = Read(again);
    EXPECT_EQ(back.vertices, room.vertices);
    EXPECT_EQ(back.textureNames, room.textureNames);
    EXPECT_EQ(back.faces, room.faces);
    EXPECT_EQ(back.corners, room.corners);
}

}  // namespace
}  // namespace torvale
