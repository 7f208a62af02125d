#include <windows.h>

#include <vector>

#include "platform/short_path.h"

namespace torvale {
namespace {

// The buffer the first call gets; a longer short form is asked for again with the size the system reports.
constexpr DWORD kShortPathBuffer = 255;

class Win32ShortPaths final : public ShortPaths {
public:
    std::string ShortPathName(const std::string& path) override {
        std::vector<char> buffer(kShortPathBuffer, '\0');
        DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), kShortPathBuffer);
        // A result larger than the buffer is the size needed, terminating zero included. The path can change
        // between the two calls, so this repeats until the answer fits.
        while (length > buffer.size()) {
            buffer.assign(length, '\0');
            length = GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        return std::string(buffer.data(), length);
    }
};

}  // namespace

ShortPaths& SystemShortPaths() {
    static Win32ShortPaths paths;
    return paths;
}

}  // namespace torvale
