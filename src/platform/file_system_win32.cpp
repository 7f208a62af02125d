#include <windows.h>

#include <vector>

#include "platform/file_system.h"
#include "platform/utf16_win32.h"

namespace torvale {
namespace {

class Win32FileSystem final : public FileSystem {
public:
    bool IsOrdinaryFile(const std::string& path) override {
        const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::string ExecutableDirectory() override {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (length == 0)
                return {};
            if (length < buffer.size()) {
                buffer.resize(length);
                break;
            }
            buffer.resize(buffer.size() * 2);  // cut short: try again with more room
        }
        std::string path = WideToUtf8(std::wstring_view(buffer.data(), buffer.size()));
        const std::size_t slash = path.find_last_of("\\/");
        if (slash == std::string::npos)
            return {};
        path.resize(slash);
        if (path.size() == 2 && path[1] == ':')
            path.push_back('\\');  // a drive root keeps its backslash
        return path;
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace torvale
