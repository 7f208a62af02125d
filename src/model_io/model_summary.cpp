#include "model_io/model_summary.h"

#include <algorithm>
#include <string>

#include "model_io/polygon.h"
#include "oof/model_report.h"

namespace torvale {
void ReportModelSummary(const ObjectModel& model, std::string_view title, OutputSink& out) {
    const auto line = [&](const std::string& text) { out.PrintOutput(text + std::string(kCrLf)); };
    std::size_t vertices = 0, faces = 0;
    bool any = false;
    Vector3 low, high;
    for (std::size_t s = 0; s < model.subObjects.size(); ++s) {
        const SubObject& sub = model.subObjects[s];
        vertices += sub.vertexPositions.size();
        faces += sub.faceVertexCounts.size();
        const Vector3 offset = WorldOffsetOf(model, s);
        for (const Vector3& p : sub.vertexPositions) {
            const Vector3 w = p + offset;
            low = any ? Vector3{std::min(low.x, w.x), std::min(low.y, w.y), std::min(low.z, w.z)} : w;
            high = any ? Vector3{std::max(high.x, w.x), std::max(high.y, w.y), std::max(high.z, w.z)} : w;
            any = true;
        }
    }
    line(std::string(title));
    line("Sub-objects: " + std::to_string(model.subObjects.size()) + ", vertices: " + std::to_string(vertices) +
         ", faces: " + std::to_string(faces));
    for (std::size_t s = 0; s < model.subObjects.size(); ++s) {
        const SubObject& sub = model.subObjects[s];
        std::string_view name = sub.name;
        if (!name.empty() && name.back() == '\0')
            name.remove_suffix(1);
        std::string text("  #");
        text += std::to_string(s);
        text += ' ';
        text += name;
        text += ": parent " + std::to_string(sub.parent);
        text += ", " + std::to_string(sub.vertexPositions.size()) + " vertices";
        text += ", " + std::to_string(sub.faceVertexCounts.size()) + " faces";
        line(text);
    }
    std::string textures = "Textures: " + std::to_string(model.textureNames.size());
    for (std::size_t t = 0; t < model.textureNames.size(); ++t)
        textures += (t == 0 ? ": " : ", ") + std::string(TextureNameOf(model, static_cast<std::int32_t>(t)));
    line(textures);
    std::string bounds("Bounds: ");
    bounds += any ? FormatVectorB(low, {}) + " to " + FormatVectorB(high, {}) : std::string("none (no vertices)");
    line(bounds);
}

}  // namespace torvale
