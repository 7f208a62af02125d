#include <sys/stat.h>

#include "platform/short_path.h"

namespace torvale {
namespace {

// There are no short names here: an existing path is its own short form.
class PosixShortPaths final : public ShortPaths {
public:
    std::string ShortPathName(const std::string& path) override {
        struct stat info {};
        if (path.empty() || ::stat(path.c_str(), &info) != 0)
            return {};
        return path;
    }
    bool FitsAnsiCodePage(const std::string&) override { return true; }
};

}  // namespace

ShortPaths& SystemShortPaths() {
    static PosixShortPaths paths;
    return paths;
}

}  // namespace torvale
