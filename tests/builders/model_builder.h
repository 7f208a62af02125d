#pragma once

// Test-side assembly of ObjectModel values in memory, for the room export tests: the export reads a model,
// so its fixtures are models, not bytes.

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include <span>
#include <string>
#include <vector>

#include "oof/model_report.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"
#include "scene/scene.h"

namespace torvale::test {

struct Corner {
    std::int32_t vertex;
    float u = 0.0f;
    float v = 0.0f;
};

class ModelBuilder {
public:
    // Adds a texture; the model stores its name with a trailing zero character, as the OOF file does.
    ModelBuilder& texture(std::string_view name);
    // Starts a new sub-object; the following vertices and faces go into it.
    ModelBuilder& subObject(std::int32_t parent = -1, Vector3 attachOffset = {});
    ModelBuilder& vertex(float x, float y, float z);
    // A face of the current sub-object; `textureIndex` -1 makes it untextured.
    ModelBuilder& face(std::int32_t textureIndex, std::initializer_list<Corner> corners, Vector3 normal = {0, 0, 1}) {
        return face(textureIndex, std::span<const Corner>(corners.begin(), corners.size()), normal);
    }
    ModelBuilder& face(std::int32_t textureIndex, std::span<const Corner> corners, Vector3 normal = {0, 0, 1});

    // Direct access for the odd field a test wants to damage or tune.
    ObjectModel& model() { return model_; }
    SubObject& current();
    ObjectModel build() const { return model_; }
    // The model as the OOF conversion makes it a scene; a model it refuses throws std::invalid_argument.
    Scene scene() const;

private:
    ObjectModel model_;
};

// The scene of `model`, as the OOF conversion makes it; a model it refuses throws std::invalid_argument with the
// reason, so that a test of a valid model fails loudly.
Scene SceneOf(const ObjectModel& model);

// Import OOF of the file at `path` into `model` in place, through the program's one way in: kOofLoaded or
// kOofInvalid, the log written to `out`.
int ImportOof(const std::string& path,
              const std::string& title,
              ObjectModel& model,
              OutputSink& out,
              const ReportFormat& format = {},
              std::string* openError = nullptr);

// Per face of `object`: its corner count, its texture number.
std::vector<std::uint32_t> CornerCounts(const SceneObject& object);
std::vector<std::int32_t> TextureNumbers(const SceneObject& object);

// One sub-object with `vertexCount` vertices and `faceCount` triangles over them, one texture: the largest
// model the reader's capacities promise for a single sub-object (25000 and 25000).
ObjectModel FullCapacityModel(std::int32_t vertexCount = 25000, std::int32_t faceCount = 25000);

}  // namespace torvale::test
