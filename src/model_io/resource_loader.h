#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// Gives the bytes of a file that a model names (a glTF buffer, an OBJ material library): `name` is relative to
// the model's own folder, decoded and checked by the reader (model_io/resource_path.h); a loader that reads
// files checks it again and refuses whatever lies outside that folder. Or false with `error` saying why not.
using ResourceLoader = std::function<bool(std::string_view uri, std::vector<std::uint8_t>& bytes, std::string& error)>;

}  // namespace torvale
