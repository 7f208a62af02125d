#include "core/path_text.h"

namespace torvale {

std::size_t FileNameStart(std::string_view path, PathSeparators separators) {
    std::size_t at = std::string_view::npos;
    if (separators == PathSeparators::Any) {
        at = path.find_last_of("/\\");
    } else {
        at = path.find_last_of('/');
#ifdef _WIN32
        const std::size_t backslash = path.find_last_of("\\:");
        if (backslash != std::string_view::npos && (at == std::string_view::npos || backslash > at))
            at = backslash;
#endif
    }
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string FileNameOf(std::string_view path, PathSeparators separators) {
    return std::string(path.substr(FileNameStart(path, separators)));
}

std::string FileStemOf(std::string_view path, PathSeparators separators) {
    std::string_view name = path.substr(FileNameStart(path, separators));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

}  // namespace torvale
