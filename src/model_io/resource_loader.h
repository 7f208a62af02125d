#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// Gives the bytes of a file that a model names (a glTF buffer, an OBJ material library) by the name written
// in the model, relative to the model's own folder; or false with `error` saying why not.
using ResourceLoader = std::function<bool(std::string_view uri, std::vector<std::uint8_t>& bytes, std::string& error)>;

}  // namespace torvale
