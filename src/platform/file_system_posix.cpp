#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/file_system.h"

namespace torvale {
namespace {

class PosixFileSystem final : public FileSystem {
public:
    // There are no hidden or system attributes here: any regular file counts.
    bool IsOrdinaryFile(const std::string& path) override {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }

    bool Exists(const std::string& path) override {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    std::string ExecutableDirectory() override {
        std::vector<char> buffer(4096);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            return {};
        std::string path(buffer.data(), static_cast<std::size_t>(length));
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return {};
        return slash == 0 ? "/" : path.substr(0, slash);
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace torvale
