#include "builders/model_builder.h"

#include <stdexcept>
#include <string>

#include "app/open_input.h"
#include "oof/oof_scene.h"

namespace torvale::test {

ModelBuilder& ModelBuilder::texture(std::string_view name) {
    std::string stored(name);
    stored += '\0';
    model_.textureNameLengths.push_back(static_cast<std::int32_t>(stored.size()));
    model_.textureNames.push_back(stored);
    model_.textureCount = static_cast<std::int32_t>(model_.textureNames.size());
    return *this;
}

ModelBuilder& ModelBuilder::subObject(std::int32_t parent, Vector3 attachOffset) {
    SubObject sub;
    sub.number = model_.subObjectCount;
    sub.parent = parent;
    sub.attachOffset = attachOffset;
    model_.subObjects.push_back(sub);
    model_.subObjectCount = static_cast<std::int32_t>(model_.subObjects.size());
    return *this;
}

Scene SceneOf(const ObjectModel& model) {
    Scene scene;
    std::string error;
    if (!SceneFromOof(model, scene, error))
        throw std::invalid_argument(error);
    return scene;
}

int ImportOof(const std::string& path,
              const std::string& title,
              ObjectModel& model,
              OutputSink& out,
              const ReportFormat& format,
              std::string* openError) {
    OpenRequest request;
    request.as = OpenAs::Oof;
    request.format = format;
    request.openError = openError;
    request.oofModel = &model;
    return OpenInput(path, title, out, request).loaded ? kOofLoaded : kOofInvalid;
}

std::vector<std::uint32_t> CornerCounts(const SceneObject& object) {
    std::vector<std::uint32_t> counts;
    for (const SceneFace& face : object.faces)
        counts.push_back(face.cornerCount);
    return counts;
}

std::vector<std::int32_t> TextureNumbers(const SceneObject& object) {
    std::vector<std::int32_t> numbers;
    for (const SceneFace& face : object.faces)
        numbers.push_back(face.texture);
    return numbers;
}

Scene ModelBuilder::scene() const {
    return SceneOf(model_);
}

SubObject& ModelBuilder::current() {
    return model_.subObjects.back();
}

ModelBuilder& ModelBuilder::vertex(float x, float y, float z) {
    SubObject& sub = current();
    sub.vertexPositions.push_back({x, y, z});
    sub.vertexNormals.push_back({0, 0, 1});
    sub.vertexAlphas.push_back(1.0f);
    ++sub.vertexCount;
    return *this;
}

ModelBuilder& ModelBuilder::face(std::int32_t textureIndex, std::span<const Corner> corners, Vector3 normal) {
    SubObject& sub = current();
    sub.faceNormals.push_back(normal);
    sub.faceVertexCounts.push_back(static_cast<std::int32_t>(corners.size()));
    sub.faceTextured.push_back(textureIndex >= 0 ? 1 : 0);
    sub.faceColors.push_back(textureIndex >= 0 ? FaceColor{} : FaceColor{200, 100, 50});
    sub.faceTextureIndices.push_back(textureIndex);
    sub.faceFirstCorner.push_back(sub.faceVertices.size());
    for (const Corner& c : corners)
        sub.faceVertices.push_back({c.vertex, c.u, c.v});
    sub.faceExtraA.push_back(0);
    sub.faceExtraB.push_back(0);
    ++sub.faceCount;
    return *this;
}

ObjectModel FullCapacityModel(std::int32_t vertexCount, std::int32_t faceCount) {
    ModelBuilder builder;
    builder.texture("rock").subObject();
    for (std::int32_t i = 0; i < vertexCount; ++i) {
        builder.vertex(static_cast<float>(i % 157) * 0.5f, static_cast<float>(i / 157) * 0.25f, 1.5f);
    }
    for (std::int32_t f = 0; f < faceCount; ++f) {
        const std::int32_t a = f % (vertexCount - 2);
        builder.face(0, {{a, 0.0f, 0.0f}, {a + 1, 1.0f, 0.0f}, {a + 2, 0.0f, 1.0f}}, {0.0f, 0.6f, 0.8f});
    }
    return builder.build();
}

}  // namespace torvale::test
