// The sample model and builder models out to glTF and OBJ and back: the same world positions, corner order
// (after triangulation for glTF), UVs and texture names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "app/output_log.h"
#include "builders/bytes.h"
#include "builders/gltf_builder.h"
#include "builders/model_builder.h"
#include "gltf/gltf_model.h"
#include "gltf/gltf_writer.h"
#include "model_io/polygon.h"
#include "obj/obj_model.h"
#include "obj/obj_writer.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

const std::string kSamplePath = std::string(TORVALE_SOURCE_DIR) + "/samples/sample.oof";

Scene Sample() {
    ObjectModel model;
    OutputLog log;
    EXPECT_EQ(ReadOofFile(test::ReadTestFile(kSamplePath), "sample.oof", model, log), kOofLoaded);
    return test::SceneOf(model);
}

// A model with a concave face (an L of six corners), an untextured face and a point on a parent chain.
Scene ConcaveModel() {
    test::ModelBuilder b;
    b.texture("wall_01").subObject(-1, {1, 0, 0});
    b.vertex(0, 0, 0).vertex(2, 0, 0).vertex(2, 1, 0).vertex(1, 1, 0).vertex(1, 2, 0).vertex(0, 2, 0);
    b.face(0, {{0, 0, 0}, {1, 1, 0}, {2, 1, 0.5f}, {3, 0.5f, 0.5f}, {4, 0.5f, 1}, {5, 0, 1}});
    b.subObject(0, {0, 0, 3}).vertex(0, 0, 0).vertex(1, 0, 0).vertex(0, 1, 0);
    b.face(-1, {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}});
    Scene m = b.scene();
    m.objects[0].name = "base";
    m.objects[1].name = "arm";
    m.gunpoints = {{1, {0.5f, 0.25f, 0}, {0, 0, 1}}};
    return m;
}

// One triangle as world positions, UVs and texture (or colour) name: what both formats must keep.
using Triangle = std::tuple<std::array<float, 9>, std::array<float, 6>, std::string>;

std::string LookOf(const Scene& m, const SceneObject& sub, std::size_t f) {
    const SceneFace& face = sub.faces[f];
    return face.texture >= 0 ? m.textures[static_cast<std::size_t>(face.texture)] : ColorMaterialName(face.color);
}

Triangle MakeTriangle(const Scene& m, std::size_t s, std::size_t f, std::array<std::size_t, 3> corner) {
    const SceneObject& sub = m.objects[s];
    const Vector3 offset = WorldOffsetOf(m, s);
    Triangle t;
    for (std::size_t k = 0; k < 3; ++k) {
        const SceneCorner& c = sub.cornersOf(sub.faces[f])[corner[k]];
        const Vector3 p = sub.positions[c.vertex] + offset;
        std::get<0>(t)[3 * k] = p.x, std::get<0>(t)[3 * k + 1] = p.y, std::get<0>(t)[3 * k + 2] = p.z;
        std::get<1>(t)[2 * k] = c.u, std::get<1>(t)[2 * k + 1] = c.v;
    }
    std::get<2>(t) = LookOf(m, sub, f);
    return t;
}

// The triangles of a model whose faces are convex: triangles as they are, polygons as a fan from the first
// corner. Sorted, since the glTF writer groups faces by texture.
std::vector<Triangle> Triangles(const Scene& m) {
    std::vector<Triangle> out;
    for (std::size_t s = 0; s < m.objects.size(); ++s) {
        const SceneObject& sub = m.objects[s];
        for (std::size_t f = 0; f < sub.faces.size(); ++f)
            for (std::size_t k = 1; k + 1 < std::size_t{sub.faces[f].cornerCount}; ++k)
                out.push_back(MakeTriangle(m, s, f, {0, k, k + 1}));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// What any triangulation keeps, concave faces included: per look, the summed vector area (a fan from any
// corner gives a simple polygon's vector area) and the set of corners with their UVs.
struct Coverage {
    std::map<std::string, std::array<double, 3>> area;
    std::set<std::array<float, 5>> corners;
};

Coverage CoverageOf(const Scene& m) {
    Coverage c;
    for (std::size_t s = 0; s < m.objects.size(); ++s) {
        const SceneObject& sub = m.objects[s];
        const Vector3 offset = WorldOffsetOf(m, s);
        for (std::size_t f = 0; f < sub.faces.size(); ++f) {
            const auto n = std::size_t{sub.faces[f].cornerCount};
            const auto at = [&](std::size_t k) {
                return sub.positions[sub.cornersOf(sub.faces[f])[k].vertex] + offset;
            };
            std::array<double, 3>& area = c.area[LookOf(m, sub, f)];
            for (std::size_t k = 1; k + 1 < n; ++k) {
                const Vector3 cross = Cross(at(k) - at(0), at(k + 1) - at(0));
                area[0] += cross.x, area[1] += cross.y, area[2] += cross.z;
            }
            for (std::size_t k = 0; k < n; ++k)
                c.corners.insert(
                    {at(k).x, at(k).y, at(k).z, sub.cornersOf(sub.faces[f])[k].u, sub.cornersOf(sub.faces[f])[k].v});
        }
    }
    return c;
}

void ExpectSameCoverage(const Scene& got, const Scene& expected) {
    const Coverage a = CoverageOf(got), b = CoverageOf(expected);
    EXPECT_EQ(a.corners, b.corners);
    ASSERT_EQ(a.area.size(), b.area.size());
    for (const auto& [look, area] : b.area)
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(a.area.at(look)[i], area[i], 1e-5) << look;
}

// The polygons of a model in order, each as its world-position corners, UVs and look.
std::vector<std::pair<std::vector<float>, std::string>> Polygons(const Scene& m) {
    std::vector<std::pair<std::vector<float>, std::string>> out;
    for (std::size_t s = 0; s < m.objects.size(); ++s) {
        const SceneObject& sub = m.objects[s];
        const Vector3 offset = WorldOffsetOf(m, s);
        for (std::size_t f = 0; f < sub.faces.size(); ++f) {
            std::vector<float> values;
            for (std::size_t k = 0; k < sub.faces[f].cornerCount; ++k) {
                const SceneCorner& c = sub.cornersOf(sub.faces[f])[k];
                const Vector3 p = sub.positions[c.vertex] + offset;
                values.insert(values.end(), {p.x, p.y, p.z, c.u, c.v});
            }
            out.emplace_back(values, LookOf(m, sub, f));
        }
    }
    return out;
}

class ModelRoundTrip : public ::testing::TestWithParam<int> {
protected:
    Scene original() const { return GetParam() == 0 ? Sample() : ConcaveModel(); }
};

TEST_P(ModelRoundTrip, GlbGivesBackTheTrianglesTreeAndPoints) {
    const Scene m = original();
    std::vector<std::string> warnings, notes;
    const std::vector<std::uint8_t> glb = BuildGlb(m, warnings);
    EXPECT_TRUE(warnings.empty());
    Scene back;
    std::string error;
    ASSERT_TRUE(ReadGltfModel(glb, "back.glb", {}, back, notes, error)) << error;
    if (GetParam() == 0)
        EXPECT_EQ(Triangles(back), Triangles(m));
    ExpectSameCoverage(back, m);
    ASSERT_EQ(back.objects.size(), m.objects.size());
    for (std::size_t s = 0; s < m.objects.size(); ++s) {
        EXPECT_EQ(back.objects[s].name, m.objects[s].name);
        EXPECT_EQ(back.objects[s].parent, m.objects[s].parent);
        EXPECT_EQ(back.objects[s].offset, m.objects[s].offset);
    }
    ASSERT_EQ(back.gunpoints.size(), m.gunpoints.size());
    for (std::size_t g = 0; g < m.gunpoints.size(); ++g) {
        EXPECT_EQ(back.gunpoints[g].parent, m.gunpoints[g].parent);
        EXPECT_EQ(back.gunpoints[g].position, m.gunpoints[g].position);
        EXPECT_EQ(back.gunpoints[g].direction, m.gunpoints[g].direction);
    }
}

TEST_P(ModelRoundTrip, ObjGivesBackThePolygonsInOrder) {
    const Scene m = original();
    std::vector<std::string> warnings, notes;
    const ObjFiles files = BuildObj(m, "back.mtl", warnings);
    EXPECT_TRUE(warnings.empty());
    const ResourceLoader loader = [&](std::string_view uri, std::vector<std::uint8_t>& bytes, std::string& why) {
        if (uri != "back.mtl") {
            why = "unexpected";
            return false;
        }
        bytes.assign(files.mtl.begin(), files.mtl.end());
        return true;
    };
    Scene back;
    std::string error;
    ASSERT_TRUE(ReadObjModel(test::TextBytes(files.obj), "back.obj", loader, back, notes, error)) << error;
    EXPECT_TRUE(notes.empty());
    const auto expected = Polygons(m), got = Polygons(back);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].second, expected[i].second) << i;
        ASSERT_EQ(got[i].first.size(), expected[i].first.size()) << i;
        for (std::size_t k = 0; k < got[i].first.size(); ++k)
            EXPECT_NEAR(got[i].first[k], expected[i].first[k], 1e-6f) << i << " " << k;  // 1 - (1 - v)
    }
}

INSTANTIATE_TEST_SUITE_P(SampleAndConcave, ModelRoundTrip, ::testing::Values(0, 1));

TEST(GltfWriter, LeavesOutFacesWithoutAreaWithAWarning) {
    test::ModelBuilder b;
    b.texture("t").subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(2, 0, 0).vertex(0, 1, 0);
    b.face(0, {{0}, {1}, {2}}).face(0, {{0}, {1}, {3}}).face(0, {{0}, {1}});
    std::vector<std::string> warnings;
    const GltfFiles files = BuildGltf(b.scene(), "x.bin", warnings);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "sub-object 0 face 0: has no area; left out");
    EXPECT_EQ(warnings[1], "sub-object 0 face 2: has no area; left out");
    EXPECT_EQ(files.bin.size(), 3u * (12 + 12 + 8) + 3u * 4);  // one triangle's corners and indices
}

// Writes the files the Khronos glTF Validator checks (the gltf_validator test, after this one).
TEST(GltfValidatorFiles, WritesSampleAndConcaveModelsAsGltfAndGlb) {
    const std::filesystem::path dir = TORVALE_GLTF_CHECK_DIR;
    std::filesystem::create_directories(dir);
    const std::pair<const char*, Scene> models[] = {{"sample", Sample()}, {"concave", ConcaveModel()}};
    for (const auto& [name, model] : models) {
        for (const char* extension : {".gltf", ".glb"}) {
            const std::string path = (dir / (std::string(name) + extension)).string();
            std::vector<std::string> warnings;
            std::string error;
            ASSERT_TRUE(WriteGltfModel(model, path, warnings, error)) << error;
            Scene back;
            std::vector<std::string> notes;
            const ResourceLoader loader = [&](std::string_view uri, std::vector<std::uint8_t>& bytes, std::string&) {
                bytes = test::ReadTestFile((dir / std::string(uri)).string());
                return !bytes.empty();
            };
            ASSERT_TRUE(ReadGltfModel(test::ReadTestFile(path), path, loader, back, notes, error)) << error;
            ExpectSameCoverage(back, model);
        }
    }
}

// Textured models for the validator: images embedded in a GLB and beside a .gltf, a texture without an image and
// a face of a colour beside them, and a texture name that is no file name as it stands.
TEST(GltfValidatorFiles, WritesTexturedModelsAsGltfAndGlb) {
    const std::filesystem::path dir = TORVALE_GLTF_CHECK_DIR;
    std::filesystem::create_directories(dir);
    test::ModelBuilder b;
    b.texture("walls/brick:1").texture("bare").subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(1, 1, 0);
    b.vertex(0, 1, 0).face(0, {{0, 0, 0}, {1, 2, 0}, {2, 2, 2}}).face(1, {{0}, {2, 1, 1}, {3, 0, 1}});
    b.face(-1, {{1}, {2}, {3}});
    auto image = std::make_shared<Image>();
    image->level.width = 8;
    image->level.height = 4;
    for (std::uint8_t i = 0; i < 8 * 4 * 4; ++i)
        image->level.rgba.push_back(static_cast<std::uint8_t>(i * 37));
    const TextureImages images = {{image, "walls/brick.png"}};
    for (const char* file : {"textured.gltf", "textured.glb"}) {
        std::vector<std::string> warnings;
        std::string error;
        ASSERT_TRUE(WriteGltfModel(b.scene(), (dir / file).string(), warnings, error, images)) << error;
        EXPECT_TRUE(warnings.empty());
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "walls_brick_1.png"));
}

}  // namespace
}  // namespace torvale
