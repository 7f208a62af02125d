#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace torvale {

// Blender names the copy of "metal" "metal.001": `name` without such a suffix (a dot and three digits) when
// `exists` says a material of the shorter name exists too, otherwise `name` as it is.
std::string WithoutCopySuffix(std::string_view name, const std::function<bool(std::string_view)>& exists);

}  // namespace torvale
