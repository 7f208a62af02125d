#include "model_io/model_summary.h"

#include <algorithm>
#include <string>

#include "model_io/polygon.h"
#include "oof/model_report.h"

namespace torvale {
void ReportModelSummary(const Scene& scene, std::string_view title, OutputSink& out) {
    const auto line = [&](const std::string& text) { out.PrintOutput(text + std::string(kCrLf)); };
    bool any = false;
    Vector3 low, high;
    for (std::size_t s = 0; s < scene.objects.size(); ++s) {
        const Vector3 offset = WorldOffsetOf(scene, s);
        for (const Vector3& p : scene.objects[s].positions) {
            const Vector3 w = p + offset;
            low = any ? Vector3{std::min(low.x, w.x), std::min(low.y, w.y), std::min(low.z, w.z)} : w;
            high = any ? Vector3{std::max(high.x, w.x), std::max(high.y, w.y), std::max(high.z, w.z)} : w;
            any = true;
        }
    }
    line(std::string(title));
    line("Sub-objects: " + std::to_string(scene.objects.size()) + ", vertices: " + std::to_string(scene.vertexCount()) +
         ", faces: " + std::to_string(scene.faceCount()));
    for (std::size_t s = 0; s < scene.objects.size(); ++s) {
        const SceneObject& object = scene.objects[s];
        std::string text("  #");
        text += std::to_string(s);
        text += ' ';
        text += object.name;
        text += ": parent " + std::to_string(object.parent);
        text += ", " + std::to_string(object.positions.size()) + " vertices";
        text += ", " + std::to_string(object.faces.size()) + " faces";
        line(text);
    }
    std::string textures = "Textures: " + std::to_string(scene.textures.size());
    for (std::size_t t = 0; t < scene.textures.size(); ++t)
        textures += (t == 0 ? ": " : ", ") + scene.textures[t];
    line(textures);
    std::string bounds("Bounds: ");
    bounds += any ? FormatVectorB(low, {}) + " to " + FormatVectorB(high, {}) : std::string("none (no vertices)");
    line(bounds);
}

}  // namespace torvale
