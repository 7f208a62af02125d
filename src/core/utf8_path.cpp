#include "core/utf8_path.h"

#include <system_error>

namespace torvale {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::exception&) {
        return {};  // a Windows name with a lone surrogate has no UTF-8 form
    }
}

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(PathFromUtf8(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool RemoveFileUtf8(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::remove(PathFromUtf8(path), ignored);
}

}  // namespace torvale
