#pragma once

// Test-side glTF files: JSON text put together by hand, buffers written byte by byte with ByteBuilder. Nothing
// here shares code with the program's glTF reader or writer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builders/bytes.h"
#include "oof/object_model.h"

namespace torvale::test {

struct GltfMeshFields {
    std::vector<Vector3> positions;
    std::vector<std::pair<float, float>> uvs;  // empty: no TEXCOORD_0
    std::vector<std::uint32_t> indices;        // empty: no index accessor
    int material = -1;
    int mode = 4;
};

struct GltfMaterialFields {
    std::string name;
    std::string imageUri;  // empty: no base-colour texture
    std::optional<std::array<float, 3>> baseColor;
    std::string textureInfoMembers;  // raw JSON members added to baseColorTexture, e.g. "texCoord":1
    // With imageUri empty: an image kept in the buffer (a buffer view of these bytes), named imageName.
    Bytes embeddedImage;
    std::string imageName;
};

struct GltfNodeFields {
    std::string name;
    int mesh = -1;
    std::optional<Vector3> translation;
    std::optional<std::array<float, 4>> rotation;  // x, y, z, w
    std::optional<Vector3> scale;
    std::vector<int> children;
    std::string extras;  // the raw JSON object of "extras", or empty for none
};

// One channel of an animation: `values` holds the output numbers in order (4 per rotation key, 3 per
// translation or scale key, three times as many for CUBICSPLINE).
struct GltfChannelFields {
    int node = 0;
    std::string path;  // "rotation", "translation", "scale" or "weights"
    std::string interpolation;
    std::vector<float> times;
    std::vector<float> values;
};

class GltfBuilder {
public:
    // Raw JSON members put into the extras of node `node`, material `material` or the scene.
    void nodeExtras(int node, const std::string& members);
    void materialExtras(int material, const std::string& members);
    void sceneExtras(std::string members) { sceneExtras_ = std::move(members); }
    // Raw JSON members added to node `node`, e.g. "skin":0.
    void nodeMembers(int node, const std::string& members);
    // An animation of the given channels, each with its own sampler.
    void animation(const std::vector<GltfChannelFields>& channels);
    int mesh(GltfMeshFields fields);
    int material(GltfMaterialFields fields);
    int node(GltfNodeFields fields);
    void rootNodes(std::vector<int> roots) { roots_ = std::move(roots); }
    // Makes accessor `index` (in the order meshes add them: POSITION, TEXCOORD_0, indices) claim `count`.
    void overrideCount(int accessor, std::size_t count) { countOverrides_.emplace_back(accessor, count); }
    // Gives VEC3 accessor `accessor` a sparse part replacing elements `indices` by `values`; `dropBase` takes
    // its own buffer view away, so that the elements not replaced are zeros.
    void sparse(int accessor,
                const std::vector<std::uint32_t>& indices,
                const std::vector<Vector3>& values,
                bool dropBase = false);
    // Raw JSON members added to the document's top level, e.g. "extensionsRequired":["X"].
    void rootMembers(std::string members) { rootMembers_ = std::move(members); }

    // The .gltf JSON with its buffer given by `bufferUri` (a file name); and the buffer's bytes.
    std::string json(const std::string& bufferUri) const;
    Bytes buffer() const;
    // The .gltf JSON with the buffer inside as a base64 data: URI.
    std::string jsonWithDataUri() const;
    Bytes glb() const;

private:
    std::string document(const std::string* bufferUri, bool glb) const;
    struct Accessor {
        std::size_t offset;
        std::size_t bytes;
        std::size_t count;
        int componentType;
        const char* type;
        std::string sparse;  // the "sparse" member, or empty
        bool noView = false;
    };
    std::vector<std::string> extraViews_;  // views of sparse parts, after one view per accessor
    std::string rootMembers_;
    ByteBuilder data_;
    std::vector<Accessor> accessors_;
    std::vector<std::string> meshes_, materials_, nodes_, images_, animations_;
    std::vector<int> imageViews_;  // per image: its view among extraViews_, or -1
    std::string sceneExtras_;
    std::vector<int> roots_;
    std::vector<std::pair<int, std::size_t>> countOverrides_;
};

// A unit square in the XY plane facing +Z (counter-clockwise seen from +Z), corners indexed 0 1 2, 0 2 3.
GltfMeshFields FrontFacingSquare();

// A flat grid of `columns` x `rows` unit squares in the z = 0 plane, each cut into two triangles, with UVs
// counting the squares.
GltfMeshFields FlatGrid(int columns, int rows);

// A two-node model: "hull" (square, textured "rock" via textures/rock.png) and its child "turret" at
// (0, 2, 0) (square, untextured material coloured (1, 0.5, 0)).
GltfBuilder TwoNodeGltf();

Bytes TextBytes(const std::string& text);

// A data: URI of `bytes` in base64 ("data:image/png;base64,...").
std::string DataUri(const std::string& mimeType, const Bytes& bytes);

// A GLB of the given JSON chunk (padded with spaces) and, unless empty, binary chunk.
Bytes GlbFromJson(std::string json, Bytes bin);

// A .gltf whose asset extras nest `depth` arrays inside each other.
std::string DeeplyNestedGltf(std::size_t depth);

// `nodes` root nodes sharing one mesh of `triangles` triangles (all of corners 0 1 2): a small file whose
// instances expand to nodes * triangles * 3 corners.
GltfBuilder SharedMeshGltf(int nodes, std::size_t triangles);

// An object model: a hull, a joint and an animated turret ordered by pof_index, a gun and an attach point
// with direction extras, a battery, a d3_texture material and channels of every interpolation.
GltfBuilder AnimatedObjectGltf();

// An OBJ of three vertices and one face statement that names them `corners` times over.
std::string ObjWithLongFace(std::size_t corners);

// A joint "body" (pof_index 0, a battery, movement fields) with an attach point, and after it in the scene's
// list a root "turret" (pof_index 1, rotation keys, properties) with two gun points, one turned, one with
// pof_direction: sub-objects, points and batteries told by their extras.
GltfBuilder ObjectModelGltf();

}  // namespace torvale::test
