#include <gtest/gtest.h>

#include <cmath>

#include "builders/bytes.h"
#include "builders/gltf_builder.h"
#include "builders/model_builder.h"
#include "model_io/input_kind.h"
#include "model_io/model_summary.h"
#include "model_io/polygon.h"

namespace torvale {
namespace {

using test::ByteBuilder;
using test::Bytes;

class TextSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { text += message; }
    std::string text;
};

TEST(InputKind, TellsInputsApartByContent) {
    const std::pair<Bytes, InputKind> cases[] = {
        {ByteBuilder().text("PSPO").i32(2300).take(), InputKind::Oof},
        {ByteBuilder().i32(5).i32(12).i32(4).i32(8).i32(6).i32(3).i32(4).take(), InputKind::Orf},
        {ByteBuilder().i32(0).i32(8).i32(8).i32(6).take(), InputKind::Orf},
        {ByteBuilder().i32(5).i32(12).i32(9).i32(8).i32(6).take(), InputKind::Unknown},   // no such version
        {ByteBuilder().i32(5).i32(400).i32(4).i32(8).i32(6).take(), InputKind::Unknown},  // longer than the file
        {ByteBuilder().i32(0).i32(8).i32(-1).i32(6).take(), InputKind::Unknown},          // negative count
        {test::TwoNodeGltf().glb(), InputKind::Glb},
        {test::TextBytes(test::TwoNodeGltf().jsonWithDataUri()), InputKind::Gltf},
        {test::TextBytes("\xEF\xBB\xBF{}"), InputKind::Unknown},
        {test::TextBytes("  \n{ \"nodes\": [] }"), InputKind::Unknown},
        {test::TextBytes("\r\n# exported\n\nmtllib a.mtl\nv 0 0 0\n"), InputKind::Obj},
        {test::TextBytes("v 1 2 3\n"), InputKind::Obj},
        {test::TextBytes("# only a comment\n"), InputKind::Unknown},
        {test::TextBytes("vertex 1 2 3\n"), InputKind::Unknown},
        {Bytes{}, InputKind::Unknown},
    };
    for (const auto& [bytes, kind] : cases)
        EXPECT_EQ(InputKindName(DetectInputKind(bytes)), InputKindName(kind)) << std::string(
            bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 16)));
}

// Triangulation keeps the winding, covers the polygon exactly once and leaves out what has no area.
TEST(Polygon, TriangulationCoversConvexAndConcavePolygons) {
    struct Case {
        const char* what;
        std::vector<Vector3> corners;
        double area;  // 0: no triangles expected
    };
    const Case cases[] = {
        {"square", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, 1},
        {"square with a corner on an edge", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, 4},
        {"L", {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}}, 3},
        {"U standing in x",
         {{0, 0, 0}, {0, 3, 0}, {0, 3, 3}, {0, 2, 3}, {0, 2, 1}, {0, 1, 1}, {0, 1, 3}, {0, 0, 3}},
         7},
        {"comb",
         {{0, 0, 0},
          {5, 0, 0},
          {5, 2, 0},
          {4, 2, 0},
          {3.5f, 1, 0},
          {3, 2, 0},
          {2, 2, 0},
          {1.5f, 1, 0},
          {1, 2, 0},
          {0, 2, 0}},
         9},
        {"a line", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0},
        {"two corners", {{0, 0, 0}, {1, 0, 0}}, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> triangles;
        const bool made = TriangulatePolygon(c.corners, triangles);
        EXPECT_EQ(made, c.area > 0) << c.what;
        if (!made) {
            EXPECT_TRUE(triangles.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(triangles.size(), 3 * (c.corners.size() - 2)) << c.what;
        const Vector3 normal = ComputeFaceNormal(c.corners);
        double area = 0;
        for (std::size_t t = 0; t < triangles.size(); t += 3) {
            const Vector3 &a = c.corners[triangles[t]], &b = c.corners[triangles[t + 1]],
                          &d = c.corners[triangles[t + 2]];
            const double signedArea = Dot(Cross(b - a, d - a), normal) / 2;
            EXPECT_GE(signedArea, 0.0) << c.what << " triangle " << t / 3;
            area += signedArea;
        }
        EXPECT_NEAR(area, c.area, 1e-5) << c.what;
    }
}

TEST(ModelSummary, ReportsCountsTexturesAndWorldBounds) {
    test::ModelBuilder b;
    b.texture("rock").texture("glass").subObject(-1, {0, 1, 0}).vertex(-1, 0, 0).vertex(1, 0, 0).vertex(0, 1, 0);
    b.face(0, {{0}, {1}, {2}});
    b.subObject(0, {0, 0, 5}).vertex(0, 0, 0).vertex(0, 0, 1).vertex(0, 1, 0).face(1, {{0}, {1}, {2}});
    Scene m = b.scene();
    m.objects[1].name = "arm";
    TextSink log;
    ReportModelSummary(m, "crane.glb", log);
    EXPECT_EQ(log.text,
              "crane.glb\r\n"
              "Sub-objects: 2, vertices: 6, faces: 2\r\n"
              "  #0 : parent -1, 3 vertices, 1 faces\r\n"
              "  #1 arm: parent 0, 3 vertices, 1 faces\r\n"
              "Textures: 2: rock, glass\r\n"
              "Bounds: [-1, 1, 0] to [1, 2, 6]\r\n");
}

}  // namespace
}  // namespace torvale
