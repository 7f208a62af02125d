#include "model_io/copy_suffix.h"

namespace torvale {

std::string WithoutCopySuffix(std::string_view name, const std::function<bool(std::string_view)>& exists) {
    constexpr std::size_t kSuffix = 4;  // ".001"
    if (name.size() <= kSuffix || name[name.size() - kSuffix] != '.')
        return std::string(name);
    for (std::size_t i = name.size() - kSuffix + 1; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return std::string(name);
    const std::string_view base = name.substr(0, name.size() - kSuffix);
    return std::string(exists(base) ? base : name);
}

}  // namespace torvale
