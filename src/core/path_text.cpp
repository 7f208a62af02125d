#include "core/path_text.h"

#include "core/ascii_text.h"

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

namespace torvale {
namespace {

bool IsDeviceName(std::string_view stem) {
    const std::string base = AsciiLowered(stem.substr(0, stem.find('.')));
    if (base == "con" || base == "prn" || base == "aux" || base == "nul")
        return true;
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string FileStemFromName(std::string_view name, std::unordered_set<std::string>& taken) {
    std::string stem;
    for (char c : name) {
        const bool unfit =
            static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        stem += unfit ? '_' : c;
    }
    for (std::size_t end = stem.size(); end > 0 && (stem[end - 1] == '.' || stem[end - 1] == ' '); --end)
        stem[end - 1] = '_';
    if (stem.empty() || IsDeviceName(stem))
        stem += '_';
    std::string distinct = stem;
    for (int number = 2; !taken.insert(AsciiLowered(distinct)).second; ++number)
        distinct = stem + "_" + std::to_string(number);
    return distinct;
}

}  // namespace torvale
