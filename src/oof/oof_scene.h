#pragma once

#include <string>
#include <vector>

#include "oof/object_model.h"
#include "scene/scene.h"

namespace torvale {

// The scene of a model as an OOF file left it. The file's tables are checked here, once: counts against the
// data held, corners against the sub-object's vertices, texture numbers against the names, and then the
// scene as a whole (ValidateScene). Names end at their first zero byte, as the game reads them. On refusal
// returns false with one line in `error` saying which element is damaged and how; `scene` is untouched.
// Vertex normals that are not finite numbers (the game's own models have some, on vertices it never lights)
// become zero, the scene's "no normal", and vertex alphas that are not finite become 1; `notes`, when given,
// gets one line per sub-object that had any.
bool SceneFromOof(const ObjectModel& model,
                  Scene& scene,
                  std::string& error,
                  std::vector<std::string>* notes = nullptr);
// The same, emptying the model's sub-objects one by one as the scene takes them over (the model is spent
// afterwards, whatever the outcome), so that a large model and its scene are not both held whole.
bool SceneFromOof(ObjectModel&& model, Scene& scene, std::string& error, std::vector<std::string>* notes = nullptr);

}  // namespace torvale
