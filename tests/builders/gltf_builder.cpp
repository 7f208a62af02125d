#include "builders/gltf_builder.h"

#include <cstdio>

#include "builders/bitmap_builder.h"
#include "builders/seeds.h"

namespace torvale::test {
namespace {

std::string Num(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string Base64(const Bytes& bytes) {
    static const char* const kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t b0 = bytes[i];
        const std::uint32_t b1 = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const std::uint32_t b2 = i + 2 < bytes.size() ? bytes[i + 2] : 0;
        const std::uint32_t all = (b0 << 16) | (b1 << 8) | b2;
        out += kDigits[(all >> 18) & 63];
        out += kDigits[(all >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(all >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[all & 63] : '=';
    }
    return out;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? "," : "") + items[i];
    return out;
}

}  // namespace

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string DataUri(const std::string& mimeType, const Bytes& bytes) {
    return "data:" + mimeType + ";base64," + Base64(bytes);
}

int GltfBuilder::mesh(GltfMeshFields fields) {
    std::string attributes;
    const auto add = [&](std::size_t count, int componentType, const char* type) {
        accessors_.push_back({data_.size(), 0, count, componentType, type});
        return static_cast<int>(accessors_.size()) - 1;
    };
    const int position = add(fields.positions.size(), 5126, "VEC3");
    for (const Vector3& p : fields.positions)
        data_.vec(p.x, p.y, p.z);
    accessors_.back().bytes = data_.size() - accessors_.back().offset;
    attributes = "\"POSITION\":" + std::to_string(position);
    if (!fields.uvs.empty()) {
        const int uv = add(fields.uvs.size(), 5126, "VEC2");
        for (const auto& [u, v] : fields.uvs)
            data_.f32(u).f32(v);
        accessors_.back().bytes = data_.size() - accessors_.back().offset;
        attributes += ",\"TEXCOORD_0\":" + std::to_string(uv);
    }
    std::string primitive = "{\"attributes\":{" + attributes + "}";
    if (!fields.indices.empty()) {
        const int indices = add(fields.indices.size(), 5125, "SCALAR");
        for (std::uint32_t i : fields.indices)
            data_.i32(i);
        accessors_.back().bytes = data_.size() - accessors_.back().offset;
        primitive += ",\"indices\":" + std::to_string(indices);
    }
    if (fields.material >= 0)
        primitive += ",\"material\":" + std::to_string(fields.material);
    primitive += ",\"mode\":" + std::to_string(fields.mode) + "}";
    meshes_.push_back("{\"primitives\":[" + primitive + "]}");
    return static_cast<int>(meshes_.size()) - 1;
}

int GltfBuilder::material(GltfMaterialFields fields) {
    std::string pbr;
    if (fields.baseColor)
        pbr = "\"baseColorFactor\":[" + Num((*fields.baseColor)[0]) + "," + Num((*fields.baseColor)[1]) + "," +
              Num((*fields.baseColor)[2]) + ",1]";
    if (!fields.imageUri.empty() || !fields.embeddedImage.empty()) {
        if (fields.imageUri.empty()) {
            imageViews_.push_back(static_cast<int>(extraViews_.size()));
            extraViews_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(data_.size()) +
                                  ",\"byteLength\":" + std::to_string(fields.embeddedImage.size()) + "}");
            data_.raw(fields.embeddedImage);
            while (data_.size() % 4 != 0)
                data_.u8(0);
            images_.push_back("\"mimeType\":\"image/png\",\"name\":\"" + fields.imageName + "\"}");
        } else {
            imageViews_.push_back(-1);
            images_.push_back("{\"uri\":\"" + fields.imageUri + "\"}");
        }
        pbr += std::string(pbr.empty() ? "" : ",") +
               "\"baseColorTexture\":{\"index\":" + std::to_string(images_.size() - 1) +
               (fields.textureInfoMembers.empty() ? "" : "," + fields.textureInfoMembers) + "}";
    }
    materials_.push_back("{\"name\":\"" + fields.name + "\",\"pbrMetallicRoughness\":{" + pbr + "}}");
    return static_cast<int>(materials_.size()) - 1;
}

void GltfBuilder::sparse(int accessor,
                         const std::vector<std::uint32_t>& indices,
                         const std::vector<Vector3>& values,
                         bool dropBase) {
    const std::size_t indexOffset = data_.size();
    for (std::uint32_t i : indices)
        data_.i32(i);
    const std::size_t valueOffset = data_.size();
    for (const Vector3& v : values)
        data_.vec(v.x, v.y, v.z);
    const std::size_t views = accessors_.size() + extraViews_.size();
    extraViews_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(indexOffset) +
                          ",\"byteLength\":" + std::to_string(valueOffset - indexOffset) + "}");
    extraViews_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(valueOffset) +
                          ",\"byteLength\":" + std::to_string(data_.size() - valueOffset) + "}");
    Accessor& a = accessors_[static_cast<std::size_t>(accessor)];
    a.noView = dropBase;
    a.sparse = "\"sparse\":{\"count\":" + std::to_string(indices.size()) +
               ",\"indices\":{\"bufferView\":" + std::to_string(views) + ",\"componentType\":5125}" +
               ",\"values\":{\"bufferView\":" + std::to_string(views + 1) + "}}";
}

int GltfBuilder::node(GltfNodeFields fields) {
    std::string n = "{\"name\":\"" + fields.name + "\"";
    if (fields.mesh >= 0)
        n += ",\"mesh\":" + std::to_string(fields.mesh);
    if (fields.translation)
        n += ",\"translation\":[" + Num(fields.translation->x) + "," + Num(fields.translation->y) + "," +
             Num(fields.translation->z) + "]";
    if (fields.rotation)
        n += ",\"rotation\":[" + Num((*fields.rotation)[0]) + "," + Num((*fields.rotation)[1]) + "," +
             Num((*fields.rotation)[2]) + "," + Num((*fields.rotation)[3]) + "]";
    if (fields.scale)
        n += ",\"scale\":[" + Num(fields.scale->x) + "," + Num(fields.scale->y) + "," + Num(fields.scale->z) + "]";
    if (!fields.children.empty()) {
        std::vector<std::string> c;
        for (int child : fields.children)
            c.push_back(std::to_string(child));
        n += ",\"children\":[" + Join(c) + "]";
    }
    if (!fields.extras.empty())
        n += ",\"extras\":" + fields.extras;
    nodes_.push_back(n + "}");
    return static_cast<int>(nodes_.size()) - 1;
}

namespace {

// `members` put into the object `object` ends with, or into its member `key` (made when missing).
void AddMembers(std::string& object, const std::string& key, const std::string& members) {
    const std::string opening = "\"" + key + "\":{";
    const std::size_t at = object.find(opening);
    if (at == std::string::npos)
        object.insert(object.size() - 1, "," + opening + members + "}");
    else
        object.insert(at + opening.size(), members + ",");
}

}  // namespace

void GltfBuilder::nodeExtras(int node, const std::string& members) {
    AddMembers(nodes_[static_cast<std::size_t>(node)], "extras", members);
}

void GltfBuilder::materialExtras(int material, const std::string& members) {
    AddMembers(materials_[static_cast<std::size_t>(material)], "extras", members);
}

void GltfBuilder::nodeMembers(int node, const std::string& members) {
    std::string& object = nodes_[static_cast<std::size_t>(node)];
    object.insert(object.size() - 1, "," + members);
}

void GltfBuilder::animation(const std::vector<GltfChannelFields>& channels) {
    std::vector<std::string> samplers, targets;
    for (const GltfChannelFields& c : channels) {
        const std::size_t keys = c.times.size();
        const std::size_t width = keys == 0 ? 1 : c.values.size() / keys;
        const bool cubic = c.interpolation == "CUBICSPLINE";
        const std::size_t components = cubic ? width / 3 : width;
        accessors_.push_back({data_.size(), 4 * keys, keys, 5126, "SCALAR"});
        for (float t : c.times)
            data_.f32(t);
        const int input = static_cast<int>(accessors_.size()) - 1;
        const char* type = components == 4 ? "VEC4" : components == 3 ? "VEC3" : "SCALAR";
        accessors_.push_back({data_.size(), 4 * c.values.size(), c.values.size() / components, 5126, type});
        for (float v : c.values)
            data_.f32(v);
        const int output = static_cast<int>(accessors_.size()) - 1;
        samplers.push_back("{\"input\":" + std::to_string(input) + ",\"output\":" + std::to_string(output) +
                           (c.interpolation.empty() ? "" : ",\"interpolation\":\"" + c.interpolation + "\"") + "}");
        targets.push_back("{\"sampler\":" + std::to_string(samplers.size() - 1) +
                          ",\"target\":{\"node\":" + std::to_string(c.node) + ",\"path\":\"" + c.path + "\"}}");
    }
    animations_.push_back("{\"samplers\":[" + Join(samplers) + "],\"channels\":[" + Join(targets) + "]}");
}

std::string GltfBuilder::document(const std::string* bufferUri, bool glb) const {
    std::vector<std::string> views, accessors, textures, roots;
    for (std::size_t i = 0; i < accessors_.size(); ++i) {
        const Accessor& a = accessors_[i];
        std::size_t count = a.count;
        for (const auto& [index, claimed] : countOverrides_)
            if (static_cast<std::size_t>(index) == i)
                count = claimed;
        views.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(a.offset) +
                        ",\"byteLength\":" + std::to_string(a.bytes) + "}");
        accessors.push_back("{" + (a.noView ? std::string() : "\"bufferView\":" + std::to_string(i) + ",") +
                            "\"componentType\":" + std::to_string(a.componentType) +
                            ",\"count\":" + std::to_string(count) + ",\"type\":\"" + a.type + "\"" +
                            (a.sparse.empty() ? "" : "," + a.sparse) + "}");
    }
    views.insert(views.end(), extraViews_.begin(), extraViews_.end());
    // An embedded image's view is numbered only now, after every accessor's own.
    std::vector<std::string> images = images_;
    for (std::size_t i = 0; i < images.size(); ++i)
        if (imageViews_[i] >= 0)
            images[i] =
                "{\"bufferView\":" + std::to_string(accessors_.size() + static_cast<std::size_t>(imageViews_[i])) +
                "," + images[i];
    for (std::size_t i = 0; i < images_.size(); ++i)
        textures.push_back("{\"source\":" + std::to_string(i) + "}");
    for (int r : roots_)
        roots.push_back(std::to_string(r));
    const std::string sceneExtras = sceneExtras_.empty() ? "" : ",\"extras\":{" + sceneExtras_ + "}";
    std::string buffer = "{\"byteLength\":" + std::to_string(data_.size());
    if (data_.size() == 0)
        return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[" + Join(roots) + "]" +
               sceneExtras + "}]," + "\"nodes\":[" + Join(nodes_) + "]}";
    if (!glb)
        buffer += ",\"uri\":\"" + (bufferUri ? *bufferUri : DataUri("application/octet-stream", data_.bytes())) + "\"";
    buffer += "}";
    return "{\"asset\":{\"version\":\"2.0\"}," + (rootMembers_.empty() ? "" : rootMembers_ + ",") +
           "\"scene\":0,\"scenes\":[{\"nodes\":[" + Join(roots) + "]" + sceneExtras + "}]," +
           (animations_.empty() ? "" : "\"animations\":[" + Join(animations_) + "],") + "\"nodes\":[" + Join(nodes_) +
           "],\"meshes\":[" + Join(meshes_) + "],\"materials\":[" + Join(materials_) + "],\"textures\":[" +
           Join(textures) + "],\"images\":[" + Join(images) + "],\"accessors\":[" + Join(accessors) +
           "],\"bufferViews\":[" + Join(views) + "],\"buffers\":[" + buffer + "]}";
}

std::string GltfBuilder::json(const std::string& bufferUri) const {
    return document(&bufferUri, false);
}

std::string GltfBuilder::jsonWithDataUri() const {
    return document(nullptr, false);
}

Bytes GltfBuilder::buffer() const {
    return data_.bytes();
}

Bytes GltfBuilder::glb() const {
    return GlbFromJson(document(nullptr, true), data_.bytes());
}

Bytes GlbFromJson(std::string text, Bytes bin) {
    while (text.size() % 4 != 0)
        text += ' ';
    while (bin.size() % 4 != 0)
        bin.push_back(0);
    ByteBuilder out;
    // A model without data has no binary chunk at all.
    const std::size_t binChunk = bin.empty() ? 0 : 8 + bin.size();
    out.text("glTF").i32(2).i32(static_cast<std::int64_t>(12 + 8 + text.size() + binChunk));
    out.i32(static_cast<std::int64_t>(text.size())).text("JSON").text(text);
    if (!bin.empty())
        out.i32(static_cast<std::int64_t>(bin.size())).text("BIN").u8(0).raw(bin);
    return out.take();
}

std::string DeeplyNestedGltf(std::size_t depth) {
    return "{\"asset\":{\"version\":\"2.0\",\"extras\":" + std::string(depth, '[') + std::string(depth, ']') + "}}";
}

GltfBuilder SharedMeshGltf(int nodes, std::size_t triangles) {
    GltfBuilder b;
    GltfMeshFields mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (std::size_t t = 0; t < triangles; ++t)
        mesh.indices.insert(mesh.indices.end(), {0, 1, 2});
    const int shared = b.mesh(mesh);
    std::vector<int> roots;
    for (int n = 0; n < nodes; ++n)
        roots.push_back(b.node({"n" + std::to_string(n), shared, std::nullopt, std::nullopt, std::nullopt, {}}));
    b.rootNodes(roots);
    return b;
}

std::string ObjWithLongFace(std::size_t corners) {
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf";
    for (std::size_t k = 0; k < corners; ++k)
        text += k % 3 == 0 ? " 1" : k % 3 == 1 ? " 2" : " 3";
    return text + "\n";
}

GltfMeshFields FrontFacingSquare() {
    GltfMeshFields fields;
    fields.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    fields.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    fields.indices = {0, 1, 2, 0, 2, 3};
    return fields;
}

GltfMeshFields FlatGrid(int columns, int rows) {
    GltfMeshFields grid;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= columns; ++x) {
            grid.positions.push_back({static_cast<float>(x), static_cast<float>(y), 0});
            grid.uvs.emplace_back(static_cast<float>(x), static_cast<float>(y));
        }
    const auto across = static_cast<std::uint32_t>(columns);
    for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(rows); ++y)
        for (std::uint32_t x = 0; x < across; ++x) {
            const std::uint32_t a = y * (across + 1) + x, c = a + across + 2;
            grid.indices.insert(grid.indices.end(), {a, a + 1, c, a, c, c - 1});
        }
    return grid;
}

GltfBuilder TwoNodeGltf() {
    GltfBuilder b;
    GltfMeshFields textured = FrontFacingSquare();
    textured.material = b.material({"stone", "textures/rock.png", std::nullopt});
    GltfMeshFields plain = FrontFacingSquare();
    plain.material = b.material({"", "", std::array<float, 3>{1.0f, 0.5f, 0.0f}});
    const int hullMesh = b.mesh(textured);
    const int turretMesh = b.mesh(plain);
    const int turret = b.node({"turret", turretMesh, Vector3{0, 2, 0}, std::nullopt, std::nullopt, {}});
    const int hull = b.node({"hull", hullMesh, std::nullopt, std::nullopt, std::nullopt, {turret}});
    b.rootNodes({hull});
    return b;
}

GltfBuilder AnimatedObjectGltf() {
    GltfBuilder b;
    GltfMeshFields square = FrontFacingSquare();
    square.material = b.material({"metal.001", "", std::nullopt});
    b.material({"metal", "", std::nullopt});
    b.materialExtras(square.material, "\"d3_texture\":\"Metal21\"");
    const int mesh = b.mesh(square);
    const int gun =
        b.node({"Gun_1", -1, Vector3{0, 0, 1}, std::array<float, 4>{0.7071068f, 0, 0, 0.7071068f}, std::nullopt, {}});
    b.nodeExtras(gun, "\"pof_direction\":[0,0,1]");
    const int attach = b.node({"Attach_0", -1, std::nullopt, std::nullopt, std::nullopt, {}});
    b.nodeExtras(attach, "\"pof_up\":[0,1,0]");
    const int turret = b.node({"turret", mesh, Vector3{0, 1, 0}, std::nullopt, std::nullopt, {gun}});
    b.nodeExtras(turret, "\"pof_index\":2,\"pof_properties\":\"$fov=90,2,0\"");
    const int joint = b.node({"joint", -1, Vector3{1, 0, 0}, std::nullopt, std::nullopt, {turret}});
    b.nodeExtras(joint,
                 "\"pof_index\":1,\"pof_position_keys\":{\"first\":0,\"last\":5,"
                 "\"keys\":[[0,0,0,0],[5,1,0,0]]}");
    const int hull = b.node({"hull", mesh, std::nullopt, std::nullopt, std::nullopt, {joint, attach}});
    b.nodeExtras(hull, "\"pof_index\":0,\"pof_batteries\":[{\"guns\":[0],\"turrets\":[2]}]");
    b.rootNodes({hull});
    b.animation({{turret, "rotation", "", {0, 1}, {0, 0, 0, 1, 0, 0.7071068f, 0, 0.7071068f}},
                 {turret, "translation", "CUBICSPLINE", {0, 1}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
                 {turret, "scale", "STEP", {0}, {1, 1, 1}}});
    return b;
}

GltfBuilder ObjectModelGltf() {
    GltfBuilder b;
    const int mesh = b.mesh({.positions = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}});
    const int gun =
        b.node({.name = "gun_1", .translation = Vector3{-1, 0, 0}, .extras = R"({"pof_direction":[1,0,0]})"});
    const int gun0 = b.node({.name = "GUN_0", .rotation = std::array<float, 4>{0, 0, -0.70710678f, 0.70710678f}});
    const int turret = b.node({.name = "t",
                               .mesh = mesh,
                               .translation = Vector3{0, 2, 0},
                               .children = {gun, gun0},
                               .extras = R"({"pof_name":"turret","pof_index":1,"pof_properties":"$fov=90,2,0.5",)"
                                         R"("pof_rotation_keys":{"first":0,"last":10,"keys":[[0,0,1,0,0],)"
                                         R"([10,0,1,0,16384]]}})"});
    const int attach = b.node({.name = "Attach_0", .extras = R"({"pof_direction":[0,0,1],"pof_up":[1,0,0]})"});
    const int body = b.node({.name = "body",
                             .children = {attach},
                             .extras = R"({"pof_index":0,"pof_movement_type":3,"pof_movement_axis":1,)"
                                       R"("pof_batteries":[{"guns":[1,0],"turrets":[1]}]})"});
    b.rootNodes({turret, body});
    return b;
}

Seeds GltfSeeds() {
    const GltfBuilder two = TwoNodeGltf();
    GltfBuilder mirrored;
    const int m = mirrored.mesh(FrontFacingSquare());
    mirrored.rootNodes({mirrored.node(
        {"mirror", m, std::nullopt, std::array<float, 4>{0, 0, 0.7071068f, 0.7071068f}, Vector3{-1, 1, 1}, {}})});
    GltfBuilder pictured;
    GltfMeshFields square = FrontFacingSquare();
    square.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    square.material =
        pictured.material({.name = "m", .embeddedImage = StoredPng(1, 1, {10, 20, 30, 255}), .imageName = "Hull"});
    pictured.rootNodes({pictured.node({.name = "hull", .mesh = pictured.mesh(square)})});
    // Inputs past the size of the default fuzzing run: deep JSON, many nodes, a long face line.
    return {{"two_nodes.glb", two.glb()},
            {"embedded_image.glb", pictured.glb()},
            {"object.glb", AnimatedObjectGltf().glb()},
            {"object.gltf", TextBytes(AnimatedObjectGltf().jsonWithDataUri())},
            {"two_nodes.gltf", TextBytes(two.jsonWithDataUri())},
            {"mirrored.glb", mirrored.glb()},
            {"object_model.glb", ObjectModelGltf().glb()},
            {"nested.gltf", TextBytes(DeeplyNestedGltf(60))},
            {"nested.glb", GlbFromJson(DeeplyNestedGltf(60), {})},
            {"many_nodes.glb", SharedMeshGltf(1500, 4).glb()},
            {"many_nodes.gltf", TextBytes(SharedMeshGltf(1500, 4).jsonWithDataUri())}};
}

Seeds ObjSeeds() {
    return {{"quad.obj", TextBytes("o wall\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                   "usemtl rock\nf 1/1 2/2 3/3 4/4\n")},
            {"groups.obj", TextBytes("# two groups\nv 0 0 0\nv 1 0 0\nv 0 1 0\ng a\nf 1 2 3\ng b\nf -3 -2 -1\n")},
            {"long_face.obj", TextBytes(ObjWithLongFace(20000))},
            {"indices.obj", TextBytes("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1/1 -2//-1 +3/1 2147483647\n")}};
}

}  // namespace torvale::test
