#include <windows.h>

#include <vector>

#include "platform/short_path.h"
#include "platform/utf16_win32.h"

namespace torvale {
namespace {

// The buffer the first call gets; a longer short form is asked for again with the size the system reports.
constexpr DWORD kShortPathBuffer = 255;

class Win32ShortPaths final : public ShortPaths {
public:
    std::string ShortPathName(const std::string& path) override {
        const std::wstring wide = Utf8ToWide(path);
        std::vector<wchar_t> buffer(kShortPathBuffer, L'\0');
        DWORD length = GetShortPathNameW(wide.c_str(), buffer.data(), kShortPathBuffer);
        // A result larger than the buffer is the size needed, terminating zero included. The path can change
        // between the two calls, so this repeats until the answer fits.
        while (length > buffer.size()) {
            buffer.assign(length, L'\0');
            length = GetShortPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        return WideToUtf8(std::wstring_view(buffer.data(), length));
    }

    bool FitsAnsiCodePage(const std::string& path) override { return torvale::FitsAnsiCodePage(path); }
};

}  // namespace

ShortPaths& SystemShortPaths() {
    static Win32ShortPaths paths;
    return paths;
}

}  // namespace torvale
