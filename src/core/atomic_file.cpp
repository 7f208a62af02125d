#include "core/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace torvale {
namespace {

std::string DescribeErrno(int code) {
    return code != 0 ? std::strerror(code) : "unknown error";
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file)
            std::fclose(file);
    }
};

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return path + ".tmp" + std::to_string(stamp % 1000000007ULL) + "_" + std::to_string(counter++);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = DescribeErrno(errno);
        return false;
    }
    bytes.clear();
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(file.get())) {
        error = "the file could not be read";
        return false;
    }
    return true;
}

bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    const std::string temporary = TemporaryNameBeside(path);
    errno = 0;
    std::FILE* raw = std::fopen(temporary.c_str(), "wb");
    if (!raw) {
        error = DescribeErrno(errno);
        return false;
    }
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
    const int writeErrno = errno;
    written = (std::fflush(raw) == 0) && written;
    written = (std::fclose(raw) == 0) && written;
    if (!written) {
        error = DescribeErrno(writeErrno != 0 ? writeErrno : errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (!MoveFileReplacing(temporary, path, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace torvale
