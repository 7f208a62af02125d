#pragma once

#include <string_view>

#include "core/output_sink.h"
#include "scene/scene.h"

namespace torvale {

// A short report of a model read from glTF or OBJ, one PrintOutput call per line (each line ending in CR LF):
// the title; sub-objects, vertices and faces in total; each sub-object with its name, parent, vertex and face
// counts; the texture names; the bounding box of the world positions.
void ReportModelSummary(const Scene& scene, std::string_view title, OutputSink& out);

}  // namespace torvale
