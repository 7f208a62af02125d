#include <gtest/gtest.h>

#include <cmath>

#include "builders/model_builder.h"
#include "orf/merge_faces.h"

namespace torvale {
namespace {

// The level editor's own checks of one face, written here from the editor's rules and nothing else.
struct EditorCheck {
    bool concave = false;
    bool nonPlanar = false;
};

EditorCheck CheckLikeTheEditor(const SceneObject& sub, std::size_t face) {
    const std::size_t n = sub.faces[face].cornerCount;
    std::vector<std::array<double, 3>> v;
    for (std::size_t k = 0; k < n; ++k) {
        const Vector3& p = sub.positions[sub.cornersOf(sub.faces[face])[k].vertex];
        v.push_back({p.x, p.y, p.z});
    }
    std::array<double, 3> normal{};
    double longest = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const auto &a = v[i], &b = v[(i + 1) % n], &c = v[(i + 2) % n];
        const double e0[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double e1[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const std::array<double, 3> cross = {e0[1] * e1[2] - e0[2] * e1[1], e0[2] * e1[0] - e0[0] * e1[2],
                                             e0[0] * e1[1] - e0[1] * e1[0]};
        const double length = std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
        if (length > longest) {
            longest = length;
            normal = {cross[0] / length, cross[1] / length, cross[2] / length};
        }
    }
    EditorCheck check;
    double mean = 0;
    for (const auto& p : v)
        mean += p[0] * normal[0] + p[1] * normal[1] + p[2] * normal[2];
    mean /= static_cast<double>(n);
    for (const auto& p : v)
        check.nonPlanar = check.nonPlanar ||
                          (n >= 4 && std::abs(p[0] * normal[0] + p[1] * normal[1] + p[2] * normal[2] - mean) > 0.1);
    const double x = normal[0], y = normal[1], z = normal[2];
    int i = 0, j = 0;  // the projection axes
    if (std::abs(x) > std::abs(y) && std::abs(x) > std::abs(z))
        x > 0 ? (i = 2, j = 1) : (i = 1, j = 2);
    else if (std::abs(x) > std::abs(y))
        z > 0 ? (i = 1, j = 0) : (i = 0, j = 1);
    else if (std::abs(y) > std::abs(z))
        y > 0 ? (i = 0, j = 2) : (i = 2, j = 0);
    else
        z > 0 ? (i = 1, j = 0) : (i = 0, j = 1);
    for (std::size_t k = 0; k < n; ++k) {
        const auto& p0 = v[(k + n - 1) % n];
        const auto& p1 = v[k];
        const auto& p2 = v[(k + 1) % n];
        const double i0 = p1[i] - p0[i], j0 = p1[j] - p0[j], i1 = p2[i] - p1[i], j1 = p2[j] - p1[j];
        const double d = (-j0 * i1 + i0 * j1) / (std::hypot(i0, j0) * std::hypot(i1, j1));
        check.concave = check.concave || d > 0.05;
    }
    return check;
}

double AreaOf(const SceneObject& sub) {
    double total = 0;
    for (std::size_t f = 0; f < sub.faces.size(); ++f) {
        const std::span<const SceneCorner> c = sub.cornersOf(sub.faces[f]);
        const auto at = [&](std::size_t k) { return sub.positions[c[k].vertex]; };
        double x = 0, y = 0, z = 0;
        for (std::size_t k = 1; k + 1 < c.size(); ++k) {
            const Vector3 a = at(0), b = at(k), d = at(k + 1);
            const double e0[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e1[3] = {d.x - a.x, d.y - a.y, d.z - a.z};
            x += e0[1] * e1[2] - e0[2] * e1[1], y += e0[2] * e1[0] - e0[0] * e1[2], z += e0[0] * e1[1] - e0[1] * e1[0];
        }
        total += std::sqrt(x * x + y * y + z * z) / 2;
    }
    return total;
}

// The editor's rule itself, checked both ways, so that the checks below cannot pass for want of teeth.
TEST(MergeFaces, TheTestsEditorRulesSeeConcaveAndBentFaces) {
    test::ModelBuilder b;
    b.texture("t").subObject().vertex(0, 0, 0).vertex(0, 2, 0).vertex(1, 2, 0).vertex(1, 1, 0).vertex(2, 1, 0);
    b.vertex(2, 0, 0).face(0, {{0}, {1}, {2}, {3}, {4}, {5}}).face(0, {{0}, {1}, {2}, {5}});
    b.vertex(0, 0, 1).vertex(0, 1, 1).vertex(1, 1, 1.5f).vertex(1, 0, 1);
    b.face(0, {{6}, {7}, {8}, {9}});
    const SceneObject sub = b.scene().objects[0];
    EXPECT_TRUE(CheckLikeTheEditor(sub, 0).concave);
    EXPECT_FALSE(CheckLikeTheEditor(sub, 1).concave);
    EXPECT_TRUE(CheckLikeTheEditor(sub, 2).nonPlanar);
    EXPECT_FALSE(CheckLikeTheEditor(sub, 1).nonPlanar);
}

TEST(MergeFaces, TwoTrianglesOfAWallBecomeOneQuad) {
    test::ModelBuilder b;
    b.texture("wall").subObject().vertex(0, 0, 0).vertex(0, 2, 0).vertex(2, 2, 0).vertex(2, 0, 0);
    b.face(0, {{0, 0, 1}, {1, 0, 0}, {2, 1, 0}}).face(0, {{0, 0, 1}, {2, 1, 0}, {3, 1, 1}});
    Scene m = b.scene();
    const MergeFacesResult r = MergeCoplanarFaces(m);
    EXPECT_EQ(r.facesBefore, 2u);
    EXPECT_EQ(r.facesAfter, 1u);
    const SceneObject& sub = m.objects[0];
    ASSERT_EQ(sub.faces.size(), 1u);
    const std::vector<SceneCorner> expected = {{0, 0, 1}, {1, 0, 0}, {2, 1, 0}, {3, 1, 1}};
    const std::span<const SceneCorner> corners = sub.cornersOf(sub.faces[0]);
    EXPECT_EQ(std::vector<SceneCorner>(corners.begin(), corners.end()), expected);
    EXPECT_NEAR(sub.faces[0].normal.z, -1.0f, 1e-6f);  // (b - a) x (c - b) of the corners
}

// Pairs of triangles over one edge that must stay apart.
TEST(MergeFaces, KeepsApartWhatTheRoomCannotJoin) {
    struct Case {
        const char* what;
        std::int32_t secondTexture;
        float secondU;  // the UV of the shared corner 2 in the second triangle
        Vector3 fourth;
        bool turnSecond;  // the second triangle wound the same way along the shared edge
    };
    const Case cases[] = {
        {"other texture", 1, 1, {2, 0, 0}, false},
        {"UVs disagree on a shared corner", 0, 0.5f, {2, 0, 0}, false},
        {"bent 0.5 out of the plane", 0, 1, {2, 0, 0.5f}, false},
        {"would be concave", 0, 1, {4, 2.5f, 0}, false},
        {"faces the other way", 0, 1, {2, 0, 0}, true},
    };
    for (const Case& c : cases) {
        test::ModelBuilder b;
        b.texture("a").texture("b").subObject().vertex(0, 0, 0).vertex(0, 2, 0).vertex(2, 2, 0);
        b.vertex(c.fourth.x, c.fourth.y, c.fourth.z);
        b.face(0, {{0, 0, 1}, {1, 0, 0}, {2, 1, 0}});
        if (c.turnSecond)
            b.face(c.secondTexture, {{0, 0, 1}, {3, 1, 1}, {2, c.secondU, 0}});
        else
            b.face(c.secondTexture, {{0, 0, 1}, {2, c.secondU, 0}, {3, 1, 1}});
        Scene m = b.scene();
        const SceneObject before = m.objects[0];
        EXPECT_EQ(MergeCoplanarFaces(m).facesAfter, 2u) << c.what;
        EXPECT_EQ(m.objects[0].corners, before.corners) << c.what;
    }
}

// Flat meshes of many triangles: fewer faces, every one convex and flat by the editor's rules, no more than
// 64 corners, and the same area.
TEST(MergeFaces, MergedMeshesPassTheEditorsRules) {
    struct Case {
        const char* what;
        Scene model;
    };
    // A 6 x 6 grid of squares in a gently tilted plane, each square two triangles.
    test::ModelBuilder grid;
    grid.texture("floor").subObject();
    constexpr int kCells = 6;
    for (int y = 0; y <= kCells; ++y)
        for (int x = 0; x <= kCells; ++x)
            grid.vertex(static_cast<float>(x), static_cast<float>(y), 0.01f * static_cast<float>(x));
    for (int y = 0; y < kCells; ++y) {
        for (int x = 0; x < kCells; ++x) {
            const std::int32_t a = y * (kCells + 1) + x, b = a + 1, c = a + kCells + 2, d = a + kCells + 1;
            const float u = static_cast<float>(x), v = static_cast<float>(y);
            grid.face(0, {{a, u, v}, {b, u + 1, v}, {c, u + 1, v + 1}})
                .face(0, {{a, u, v}, {c, u + 1, v + 1}, {d, u, v + 1}});
        }
    }
    // A disc of 80 triangles around its centre: one face would have 80 corners.
    test::ModelBuilder disc;
    disc.texture("lid").subObject().vertex(0, 0, 0);
    constexpr int kRim = 80;
    for (int k = 0; k < kRim; ++k) {
        const double angle = 2 * 3.14159265358979 * k / kRim;
        disc.vertex(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0);
    }
    for (int k = 0; k < kRim; ++k)
        disc.face(0, {{0}, {1 + k}, {1 + (k + 1) % kRim}});
    const Case cases[] = {{"grid", grid.scene()}, {"disc", disc.scene()}};
    for (const Case& c : cases) {
        Scene m = c.model;
        const MergeFacesResult r = MergeCoplanarFaces(m);
        const SceneObject& sub = m.objects[0];
        EXPECT_LE(r.facesAfter * 8, r.facesBefore) << c.what << ": " << r.facesAfter << " faces";
        EXPECT_NEAR(AreaOf(sub), AreaOf(c.model.objects[0]), 1e-3) << c.what;
        for (std::size_t f = 0; f < sub.faces.size(); ++f) {
            EXPECT_LE(sub.faces[f].cornerCount, 64u) << c.what;
            const EditorCheck check = CheckLikeTheEditor(sub, f);
            EXPECT_FALSE(check.concave) << c.what << " face " << f;
            EXPECT_FALSE(check.nonPlanar) << c.what << " face " << f;
        }
    }
}

// A fan of 16 triangles round a centre `rise` above its rim. On a model this small the editor's 0.1 holds any
// bend, so only the angle keeps a curved surface apart; a flat fan still merges.
TEST(MergeFaces, TheAngleKeepsSmallCurvedSurfacesApart) {
    const auto fan = [](float radius, float rise) {
        test::ModelBuilder b;
        b.texture("dome").subObject().vertex(0, 0, rise);
        constexpr int kRim = 16;
        for (int k = 0; k < kRim; ++k) {
            const double angle = 2 * 3.14159265358979 * k / kRim;
            b.vertex(radius * static_cast<float>(std::cos(angle)), radius * static_cast<float>(std::sin(angle)), 0);
        }
        for (int k = 0; k < kRim; ++k)
            b.face(0, {{0}, {1 + k}, {1 + (k + 1) % kRim}});
        return b.scene();
    };
    const struct {
        const char* what;
        Scene model;
        float angle;
        std::size_t facesAfter;  // 0: fewer than 16
    } cases[] = {
        // Neighbouring triangles of the dome lie about 4 degrees apart, its slope 11 degrees.
        {"small dome, default angle", fan(0.05f, 0.01f), MergeFacesOptions{}.maxAngleDegrees, 16},
        {"small dome, 30 degrees", fan(0.05f, 0.01f), 30.0f, 0},
        {"small cone, 2 degrees", fan(0.05f, 0.03f), 2.0f, 16},
        // A closed fan keeps its centre as a corner of two faces: the last triangle would pinch the first.
        {"flat fan, default angle", fan(5.0f, 0.0f), MergeFacesOptions{}.maxAngleDegrees, 2},
        {"flat fan, 0 degrees", fan(5.0f, 0.0f), 0.0f, 2},
    };
    for (const auto& c : cases) {
        Scene m = c.model;
        const MergeFacesResult r = MergeCoplanarFaces(m, MergeFacesOptions{c.angle});
        EXPECT_EQ(r.facesBefore, 16u) << c.what;
        if (c.facesAfter == 0)
            EXPECT_LT(r.facesAfter, 16u) << c.what;
        else
            EXPECT_EQ(r.facesAfter, c.facesAfter) << c.what;
        EXPECT_NEAR(AreaOf(m.objects[0]), AreaOf(c.model.objects[0]), 1e-4) << c.what;
    }
    for (const double angle : {-1.0, 90.0, std::nan(""), HUGE_VAL})
        EXPECT_FALSE(IsMergeAngle(angle)) << angle;
}

}  // namespace
}  // namespace torvale
