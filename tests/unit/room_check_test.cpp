#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "builders/oof_builder.h"
#include "builders/orf_builder.h"
#include "orf/orf_reader.h"
#include "orf/room_check.h"
#include "orf/room_findings.h"
#include "orf/room_report.h"

namespace torvale {
namespace {

using test::RecordingSink;

struct FaceOf {
    std::vector<std::int32_t> vertices;
    Vector3 normal;
};

Room MakeRoom(std::vector<Vector3> vertices, const std::vector<FaceOf>& faces, std::int32_t version = 4) {
    Room room;
    room.version = version;
    room.vertices = std::move(vertices);
    room.textureNames = {"rock1"};
    for (const FaceOf& f : faces) {
        room.faces.push_back({f.normal, 0, 4, static_cast<std::uint32_t>(room.corners.size()),
                              static_cast<std::uint32_t>(f.vertices.size())});
        for (const std::int32_t v : f.vertices)
            room.corners.push_back({v, 0.0f, 0.0f, 1.0f});
    }
    return room;
}

// The unit cube as the room file builder writes it, read through the reader: clockwise from outside.
Room Cube() {
    Room room;
    std::string error;
    EXPECT_TRUE(ReadOrfFile(test::CubeRoom(), room, error)) << error;
    return room;
}

// A 10 by 10 square in the plane z = 0 seen from -z, its last corner lifted by `lift`.
Room Square(float lift) {
    return MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, lift}}, {{{0, 1, 2, 3}, {0, 0, -1}}});
}

// A long thin triangle whose corner cross products all have the length `length`.
Room Sliver(float length) {
    return MakeRoom({{0, 0, 0}, {10, 0, 0}, {5, length / 10, 0}}, {{{0, 1, 2}, {0, 0, 1}}});
}

// Two triangles, the second the first moved along x by `shift`.
Room TwoTriangles(float shift) {
    return MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}, {shift, 0, 0}, {shift, 10, 0}, {10 + shift, 0, 0}},
                    {{{0, 1, 2}, {0, 0, -1}}, {{3, 4, 5}, {0, 0, -1}}});
}

// A regular polygon of `n` corners, radius 10, clockwise as seen from -z.
Room Polygon(int n) {
    std::vector<Vector3> vertices;
    FaceOf face{{}, {0, 0, -1}};
    for (int k = 0; k < n; ++k) {
        const double a = 2 * std::numbers::pi * k / n;
        vertices.push_back({static_cast<float>(10 * std::sin(a)), static_cast<float>(10 * std::cos(a)), 0});
        face.vertices.push_back(k);
    }
    return MakeRoom(vertices, {face});
}

Room CubeWith(const std::function<void(Room&)>& change) {
    Room room = Cube();
    change(room);
    return room;
}

struct CheckCase {
    const char* name;
    Room room;
    std::vector<std::string> findings;  // "<element> <index>: <text>"
};

std::vector<std::string> Described(const std::vector<RoomFinding>& findings) {
    std::vector<std::string> lines;
    for (const RoomFinding& f : findings) {
        const char* element[] = {"face", "vertex", "texture", "room"};
        lines.push_back(std::string(element[static_cast<int>(f.element)]) + " " + std::to_string(f.index) + ": " +
                        f.text);
    }
    return lines;
}

TEST(RoomCheck, FindsEachFaultAndOnlyIt) {
    const std::vector<CheckCase> cases = {
        {"clean cube", Cube(), {}},
        {"normal just long enough", Sliver(0.036f), {}},
        {"normal too short", Sliver(0.034f), {"face 0: bad normal"}},
        {"corners 0.09 off the plane", Square(0.12f), {}},
        {"corners 0.11 off the plane", Square(0.1467f), {"face 0: not planar"}},
        {"points 0.11 apart", TwoTriangles(0.11f), {}},
        {"points 0.09 apart",
         TwoTriangles(0.09f),
         {"vertex 3: same as vertex 0", "vertex 4: same as vertex 1", "vertex 5: same as vertex 2"}},
        {"concave corner",
         MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {2, 4, 0}}, {{{0, 1, 2, 3}, {0, 0, -1}}}),
         {"face 0: concave at corner 3"}},
        {"repeated corner",
         MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}}, {{{0, 1, 2, 2, 3}, {0, 0, -1}}}),
         {"face 0: corner 3 repeats corner 2"}},
        {"repeat across the first corner",
         MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}}, {{{0, 1, 2, 3, 0}, {0, 0, -1}}}),
         {"face 0: corner 0 repeats corner 4"}},
        {"degenerate: a spike out and back along an edge",
         MakeRoom({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}, {10, 5, 0}}, {{{0, 1, 2, 4, 2, 3}, {0, 0, -1}}}),
         {"face 0: degenerate"}},
        {"same face from another corner",
         CubeWith([](Room& r) {
             const std::uint32_t first = static_cast<std::uint32_t>(r.corners.size());
             for (const std::int32_t v : {6, 7, 4, 5})
                 r.corners.push_back({v, 0, 0, 1});
             r.faces.push_back({{0, 0, 1}, 0, 4, first, 4});
         }),
         {"face 6: same as face 1"}},
        {"stored normal inwards",
         CubeWith([](Room& r) {
             r.faces[2].normal = {0, 0.6f, 0.8f};
         }),
         {"face 2: faces the other way in the level editor"}},
        {"vertex no face uses",
         CubeWith([](Room& r) {
             r.vertices.push_back({5, 5, 5});
         }),
         {"vertex 8: unused"}},
        {"name of 34 characters", CubeWith([](Room& r) { r.textureNames[1] = std::string(34, 'n'); }), {}},
        {"name of 35 characters",
         CubeWith([](Room& r) { r.textureNames[1] = std::string(35, 'n'); }),
         {"texture 1: texture 1 name longer than 34 characters"}},
        {"alpha above 1 in version 2",
         CubeWith([](Room& r) { r.version = 2, r.corners[14].alpha = 1.5f; }),
         {"face 3: corner 2 alpha outside 0..1"}},
        {"alpha above 1 in version 1, drawn opaque",
         CubeWith([](Room& r) { r.version = 1, r.corners[14].alpha = 1.5f; }),
         {}},
        {"64 corners", Polygon(64), {}},
        {"65 corners", Polygon(65), {"face 0: 65 corners, more than the level editor's 64"}},
        {"no face",
         MakeRoom({{0, 0, 0}}, {}),
         {"vertex 0: unused", "room 0: no vertex or no face; the level editor loads no such room"}},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(Described(CheckRoom(c.room)), c.findings) << c.name;
}

TEST(RoomCheck, ReversingFacesTurnsEachFaceWithItsCornerData) {
    Room room = Cube();
    room.corners[1].alpha = 0.5f;
    room.corners[1].u = 0.25f;
    const Room before = room;
    ReverseFaces(room);
    for (std::size_t f = 0; f < room.faces.size(); ++f) {
        const RoomFace& face = room.faces[f];
        EXPECT_EQ(face.normal,
                  (Vector3{-before.faces[f].normal.x, -before.faces[f].normal.y, -before.faces[f].normal.z}));
        const auto now = room.cornersOf(face);
        const auto was = before.cornersOf(before.faces[f]);
        for (std::size_t k = 0; k < now.size(); ++k)
            EXPECT_EQ(now[k], was[now.size() - 1 - k]) << "face " << f << " corner " << k;
    }
    // Turned inside out, every face agrees with its stored normal again.
    EXPECT_EQ(Described(CheckRoom(room)), std::vector<std::string>{});
    // Reversing only the corner order, not the normal, is what the check catches.
    for (RoomFace& face : room.faces)
        face.normal = before.faces[static_cast<std::size_t>(&face - room.faces.data())].normal;
    EXPECT_EQ(CheckRoom(room).size(), room.faces.size());
}

TEST(RoomCheck, PointsSharingACellNameTheFirstEarlierOneWhateverCameBetween) {
    // Cells are 0.8 wide: x = 4.00, 4.01, 4.02 and 4.75 share one, 4.82 lies in the next, close only to 4.75.
    const Room room = MakeRoom(
        {{4, 5, 5}, {50, 50, 50}, {4.01f, 5, 5}, {4.02f, 5, 5}, {50.05f, 50, 50}, {4.75f, 5, 5}, {4.82f, 5, 5}}, {});
    std::vector<std::string> same;
    for (const std::string& line : Described(CheckRoom(room)))
        if (line.find("same as") != std::string::npos)
            same.push_back(line);
    EXPECT_EQ(same, (std::vector<std::string>{"vertex 2: same as vertex 0", "vertex 3: same as vertex 0",
                                              "vertex 4: same as vertex 1", "vertex 6: same as vertex 5"}));
}

// Points scattered close together on either side of many cell borders, along every axis and across edges and
// corners of cells: the grid finds for each the first earlier point closer than 0.1, as comparing every pair does.
TEST(RoomCheck, DuplicatePointsFoundByTheGridAreThoseEveryPairGives) {
    Room room;
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (int i = 0; i < 3000; ++i)
        room.vertices.push_back({next() * 4 - 2, next() * 4 - 2, next() * 2 - 1});
    std::vector<std::string> expected;
    for (std::size_t v = 0; v < room.vertices.size(); ++v) {
        for (std::size_t w = 0; w < v; ++w) {
            const Vector3 d = room.vertices[v] - room.vertices[w];
            if (Dot(d, d) < 0.1f * 0.1f) {
                expected.push_back("vertex " + std::to_string(v) + ": same as vertex " + std::to_string(w));
                break;
            }
        }
    }
    ASSERT_GT(expected.size(), 100u);  // the cloud is dense enough to have many close pairs across borders
    std::vector<std::string> found;
    for (const std::string& line : Described(CheckRoom(room)))
        if (line.find("same as") != std::string::npos)
            found.push_back(line);
    EXPECT_EQ(found, expected);
}

TEST(RoomCheck, DuplicatePointsOfALargeGridAreFoundByTheirCells) {
    // 100 x 100 points 0.25 apart, and a second copy 0.05 along: each copy names its original.
    Room room;
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < 10000; ++i)
            room.vertices.push_back({(i % 100) * 0.25f + copy * 0.05f, (i / 100) * 0.25f, 0});
    }
    std::size_t same = 0;
    for (const RoomFinding& f : CheckRoom(room)) {
        if (f.kind == RoomFindingKind::DuplicatePoint) {
            EXPECT_EQ(f.text, "same as vertex " + std::to_string(f.index - 10000));
            ++same;
        }
    }
    EXPECT_EQ(same, 10000u);
}

TEST(RoomFindings, ShowsTwentyLinesOfAKindAndCountsEveryFinding) {
    std::vector<RoomFinding> findings;
    for (std::size_t v = 0; v < 25; ++v)
        findings.push_back({RoomFindingKind::UnusedPoint, RoomElement::Vertex, v, "unused"});
    findings.push_back({RoomFindingKind::Concave, RoomElement::Face, 7, "concave at corner 2"});
    findings.push_back(UnknownTextureFinding(1, "ROCKY"));
    RecordingSink log;
    PrintRoomFindings("ship.orf", findings, log);
    ASSERT_EQ(log.messages.size(), 1u + 20u + 1u + 1u + 1u);
    EXPECT_EQ(log.messages[0], "Warning: ship.orf, face 7: concave at corner 2\r\n");
    EXPECT_EQ(log.messages[1], "Warning: ship.orf, vertex 0: unused\r\n");
    EXPECT_EQ(log.messages[20], "Warning: ship.orf, vertex 19: unused\r\n");
    EXPECT_EQ(log.messages[21], "Warning: ship.orf: ... and 5 more unused points\r\n");
    EXPECT_EQ(log.messages[22],
              "Warning: ship.orf: texture ROCKY is no texture page of the game's tables; the level editor will show "
              "texture 0\r\n");
    EXPECT_EQ(log.messages[23], "Room check of ship.orf: 27 findings\r\n");
}

TEST(RoomFindings, SummaryOfNoneAndOne) {
    RecordingSink none;
    PrintRoomFindings("a.orf", {}, none);
    EXPECT_EQ(none.messages, std::vector<std::string>{"Room check of a.orf: no findings\r\n"});
    RecordingSink one;
    const RoomFinding name{RoomFindingKind::LongTextureName, RoomElement::Texture, 3,
                           "texture 3 name longer than 34 characters"};
    PrintRoomFindings("a.orf", {&name, 1}, one);
    EXPECT_EQ(one.messages,
              (std::vector<std::string>{"Warning: a.orf, texture 3: texture 3 name longer than 34 characters\r\n",
                                        "Room check of a.orf: 1 finding\r\n"}));
}

TEST(RoomReport, DescribesTheRoom) {
    Room room = Cube();
    room.vertices[6] = {1.5f, -2.25f, 1e-5f};
    RecordingSink log;
    ReportRoom(room, "cube.orf", log);
    EXPECT_EQ(log.messages,
              (std::vector<std::string>{"Room: cube.orf\r\n", "Version: 4\r\n", "Number of Verts: 8\r\n",
                                        "Number of Faces: 6\r\n", "Number of Corners: 24\r\n",
                                        "Number of Textures: 2\r\n", "Texture 0: rock1\r\n",
                                        "Texture 1: metal_plate\r\n", "Bounds: (0, -2.25, 0) to (1.5, 1, 1)\r\n"}));
}

}  // namespace
}  // namespace torvale
