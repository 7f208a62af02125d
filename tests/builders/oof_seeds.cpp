#include <filesystem>

#include "builders/fake_platform.h"
#include "builders/oof_builder.h"
#include "builders/seeds.h"
#include "game/hog_archive.h"

namespace torvale::test {
namespace {

FaceFields Quad(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, Vector3 normal, std::int32_t texture) {
    FaceFields face;
    face.normal = normal;
    face.textureIndex = texture;
    face.corners = {{a, 0.0f, 0.0f}, {b, 1.0f, 0.0f}, {c, 1.0f, 1.0f}, {d, 0.0f, 1.0f}};
    return face;
}

FaceFields Triangle(std::int32_t a, std::int32_t b, std::int32_t c, Vector3 normal, std::int32_t texture) {
    FaceFields face;
    face.normal = normal;
    face.textureIndex = texture;
    face.corners = {{a, 0.0f, 0.0f}, {b, 1.0f, 0.0f}, {c, 0.5f, 1.0f}};
    return face;
}

// A box from `low` to `high`: 8 vertices and 6 quads, all with `texture`.
void Box(SobjFields& s, Vector3 low, Vector3 high, std::int32_t texture) {
    s.positions = {{low.x, low.y, low.z},  {high.x, low.y, low.z},  {high.x, high.y, low.z},  {low.x, high.y, low.z},
                   {low.x, low.y, high.z}, {high.x, low.y, high.z}, {high.x, high.y, high.z}, {low.x, high.y, high.z}};
    s.faces = {Quad(0, 3, 2, 1, {0, 0, -1}, texture), Quad(4, 5, 6, 7, {0, 0, 1}, texture),
               Quad(0, 1, 5, 4, {0, -1, 0}, texture), Quad(3, 7, 6, 2, {0, 1, 0}, texture),
               Quad(0, 4, 7, 3, {-1, 0, 0}, texture), Quad(1, 2, 6, 5, {1, 0, 0}, texture)};
}

// A square pyramid: 5 vertices, a quad base and four triangles.
void Pyramid(SobjFields& s, float half, float height, std::int32_t texture) {
    s.positions = {{-half, 0, -half}, {half, 0, -half}, {half, 0, half}, {-half, 0, half}, {0, height, 0}};
    s.faces = {Quad(0, 1, 2, 3, {0, -1, 0}, texture), Triangle(0, 4, 1, {0, 0.5f, -0.8660254f}, texture),
               Triangle(1, 4, 2, {0.8660254f, 0.5f, 0}, texture), Triangle(2, 4, 3, {0, 0.5f, 0.8660254f}, texture),
               Triangle(3, 4, 0, {-0.8660254f, 0.5f, 0}, texture)};
}

}  // namespace

std::vector<RealModel> GameModels(const std::string& realWorld) {
    const std::filesystem::path dir(realWorld);
    std::vector<RealModel> models;
    HogArchive hog;
    std::string error;
    if (!hog.open((dir / "hog" / "EXTRA13.HOG").string(), error))
        return models;
    for (const HogEntry& entry : hog.entries()) {
        if (entry.name.size() < 4 || entry.name.substr(entry.name.size() - 4) != ".OOF")
            continue;
        RealModel model{entry.name, {}};
        if (!hog.read(entry, model.bytes, error))
            return {};
        models.push_back(std::move(model));
    }
    models.push_back({"Shield.OOF", ReadTestFile((dir / "oof" / "Shield.OOF").string())});
    return models;
}

Bytes SampleOof() {
    OofBuilder b(2300);
    b.txtr({Stored("rock1"), Stored("metal_plate"), Stored("glass")});
    b.ohdr({3, 7.25f, {-3.0f, -1.5f, -4.0f}, {3.0f, 4.5f, 6.5f}, {{1, 0}}});

    SobjFields hull;
    hull.number = 0;
    hull.parent = -1;
    hull.modelVector = {0, 1, 0};
    hull.radius = 5.5f;
    hull.treeOffset = 120;
    hull.dataOffset = 512;
    hull.geometricCenter = {0, 0, 0.25f};
    hull.name = Stored("hull");
    hull.propertyName = Stored("");
    Box(hull, {-3.0f, -1.5f, -4.0f}, {3.0f, 1.5f, 4.0f}, 0);
    hull.faces[1].textureIndex = 1;
    // The underside carries no texture, only a colour.
    hull.faces[2].textured = 0;
    hull.faces[2].red = 200;
    hull.faces[2].green = 40;
    hull.faces[2].blue = 40;
    b.sobj(hull);
    b.spcl({{Stored("$thruster"), Stored(""), {0.0f, 0.0f, -4.0f}, 0.5f},
            {Stored("$light 1"), Stored("amber"), {2.5f, 1.5f, 3.75f}, 0.25f}});

    SobjFields turret;
    turret.number = 1;
    turret.parent = 0;
    turret.attachOffset = {0.0f, 1.5f, 1.0f};
    turret.modelPoint = {0.0f, 1.5f, 1.0f};
    turret.radius = 1.6f;
    turret.geometricCenter = {0.0f, 0.6f, 0.0f};
    turret.name = Stored("turret");
    turret.propertyName = Stored("$turret");
    turret.movementType = 1;
    turret.movementAxis = 1;
    Pyramid(turret, 1.0f, 1.5f, 1);
    b.sobj(turret);

    SobjFields barrel;
    barrel.number = 2;
    barrel.parent = 1;
    barrel.attachOffset = {0.0f, 0.75f, 0.5f};
    barrel.radius = 2.6f;
    barrel.geometricCenter = {0.0f, 0.0f, 1.25f};
    barrel.name = Stored("barrel");
    barrel.propertyName = Stored("");
    Box(barrel, {-0.2f, -0.2f, 0.0f}, {0.2f, 0.2f, 2.5f}, 2);
    barrel.alphas = {1, 1, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f};
    b.sobj(barrel);

    b.gpnt({{2, {0.0f, 0.0f, 2.5f}, {0.0f, 0.0f, 1.0f}}, {0, {2.75f, -0.5f, 3.0f}, {0.0f, 0.0f, 1.0f}}});
    b.pani({{0, 0, {}}, {0, 0, {}}, {0, 20, {{0, {0.0f, 0.0f, 0.5f}}, {20, {0.0f, 0.0f, 0.0f}}}}});
    b.rani({{0, 0, {}},
            {0, 40, {{0, {0.0f, 1.0f, 0.0f}, 0}, {20, {0.0f, 1.0f, 0.0f}, 16384}, {40, {0.0f, 1.0f, 0.0f}, 32768}}},
            {0, 0, {}}});
    b.wbat({{{0}, {1}}, {{1}, {}}});
    b.grnd({{0, {-2.5f, -1.5f, 0.0f}, {0.0f, -1.0f, 0.0f}}, {0, {2.5f, -1.5f, 0.0f}, {0.0f, -1.0f, 0.0f}}});
    b.atch({{0, {0.0f, 1.5f, -3.0f}, {0.0f, 1.0f, 0.0f}}});
    b.nath({{0, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}});
    b.pinf("pofgen: sample.p3d\nsub-objects: 3\nwritten sample.oof\n");
    return b.bytes();
}

Bytes FullCapacityOof() {
    constexpr int kSide = 125;  // 125 x 200 vertices
    constexpr int kVertices = 25000;
    constexpr int kFaces = 25000;
    OofBuilder b(2300);
    b.txtr({Stored("rock1"), Stored("metal_plate")});
    b.ohdr({1, 100.0f, {0, 0, 0}, {124, 0, 199}, {}});
    SobjFields s;
    s.name = Stored("ground");
    s.positions.reserve(kVertices);
    for (int i = 0; i < kVertices; ++i)
        s.positions.push_back({static_cast<float>(i % kSide), 0.0f, static_cast<float>(i / kSide)});
    s.faces.reserve(kFaces);
    for (int f = 0; f < kFaces; ++f) {
        const int cell = (f / 2) % ((kSide - 1) * 199);
        const int row = cell / (kSide - 1);
        const int at = row * kSide + cell % (kSide - 1);
        FaceFields face = f % 2 == 0 ? Triangle(at, at + kSide, at + 1, {0, 1, 0}, 0)
                                     : Triangle(at + 1, at + kSide, at + kSide + 1, {0, 1, 0}, 1);
        face.extraA = static_cast<std::uint32_t>(f);
        s.faces.push_back(face);
    }
    b.sobj(s);
    b.spcl({{Stored("$center"), Stored(""), {62, 0, 100}, 1.0f}});
    b.gpnt({{0, {0, 1, 0}, {0, 0, 1}}, {0, {124, 1, 0}, {0, 0, 1}}});
    b.pani({{0, 10, {{0, {0, 0, 0}}, {10, {0, 1, 0}}}}});
    b.rani({{0, 10, {{0, {0, 1, 0}, 0}, {10, {0, 1, 0}, 65535}}}});
    b.wbat({{{0, 1}, {}}});
    b.grnd({{0, {0, 0, 0}, {0, -1, 0}}});
    b.atch({{0, {62, 0, 100}, {0, 1, 0}}});
    b.nath({{0, {0, 1, 0}, {0, 0, 1}}});
    b.pinf("pofgen: ground.p3d\nwritten ground.oof\n");
    return b.bytes();
}

Seeds OofSeeds() {
    Seeds seeds;
    seeds.emplace_back("sample_2300", SampleOof());

    // Small files on both sides of each version gate, every chunk present.
    for (const std::int32_t version : {1805, 1908, 2100, 2199}) {
        OofBuilder b(version);
        b.txtr({Stored("a"), "noterm"});
        b.ohdr({2, 2.0f, {-1, -1, -1}, {1, 1, 1}, {{3, 4}}});
        SobjFields s;
        s.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        s.faces = {Triangle(0, 1, 2, {0, 0, 1}, 0), Triangle(0, 2, 1, {0, 0, -1}, 0)};
        s.faces[1].textured = 0;
        s.unusedValues = {7};
        b.sobj(s);
        b.spcl({{Stored("$gun 1"), Stored("p"), {1, 2, 3}, 0.5f}});
        s.number = 1;
        s.parent = 0;
        b.sobj(s);
        b.gpnt({{1, {1, 2.5f, -3}, {0, 0, 1}}});
        b.pani({{0, 1, {{0, {0, 0, 0}}}}, {0, 1, {{1, {0, 1, 0}}}}});
        b.rani({{0, 1, {{0, {0, 1, 0}, 100}}}, {0, 1, {{1, {1, 0, 0}, 200}}}});
        b.wbat({{{0, 1, 2, 3, 4, 5, 6, 7, 8}, {1}}});
        b.grnd({{0, {0, -1, 0}, {0, -1, 0}}});
        b.atch({{1, {0, 0, 1}, {0, 0, 1}}});
        b.nath({{1, {0, 1, 0}, {0, 1, 0}}});
        b.pinf("line one\nline two\n");
        seeds.emplace_back("gates_" + std::to_string(version), b.bytes());
    }

    seeds.emplace_back("header_only", OofBuilder(2300).bytes());
    OofBuilder cut(2300);
    cut.txtr({Stored("x")}).pinf("cut short").statedLength(100);
    seeds.emplace_back("pinf_cut_short", cut.bytes());
    return seeds;
}

}  // namespace torvale::test
