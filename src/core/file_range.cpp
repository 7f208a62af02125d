#include "core/file_range.h"

#include "core/utf8_path.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace torvale {
namespace {

// Seeks and tells with 64-bit positions on every system we build for (the 32-bit Windows program included).
bool SeekTo(std::FILE* file, std::uint64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

bool Tell(std::FILE* file, std::uint64_t& position) {
#ifdef _WIN32
    const __int64 at = _ftelli64(file);
#else
    const off_t at = ftello(file);
#endif
    if (at < 0)
        return false;
    position = static_cast<std::uint64_t>(at);
    return true;
}

std::string SystemReason(int code) {
    return code != 0 ? std::strerror(code) : "unknown error";
}

}  // namespace

bool RangeFile::open(const std::string& path, std::string& error) {
    file_.reset();
    size_ = 0;
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(OpenFileUtf8(path, "rb"));
    if (!file) {
        error = "the file cannot be opened: " + SystemReason(errno);
        return false;
    }
    std::uint64_t size = 0;
    if (!SeekTo(file.get(), 0, SEEK_END) || !Tell(file.get(), size)) {
        error = "the size of the file cannot be learnt (is it a folder?)";
        return false;
    }
    file_ = std::move(file);
    size_ = size;
    return true;
}

bool RangeFile::read(std::uint64_t offset, std::uint64_t count, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (!file_) {
        error = "the file is not open";
        return false;
    }
    if (offset > size_ || count > size_ - offset) {
        error = "the file is " + std::to_string(size_) + " bytes long; it ends before the " + std::to_string(count) +
                " bytes at byte " + std::to_string(offset);
        return false;
    }
    if (count > std::numeric_limits<std::size_t>::max()) {
        error = std::to_string(count) + " bytes are more than this program can hold in memory";
        return false;
    }
    std::vector<std::uint8_t> read;
    try {
        read.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory for " + std::to_string(count) + " bytes";
        return false;
    } catch (const std::length_error&) {
        error = std::to_string(count) + " bytes are more than this program can hold in memory";
        return false;
    }
    errno = 0;
    if (!SeekTo(file_.get(), offset, SEEK_SET)) {
        error = "cannot go to byte " + std::to_string(offset) + " of the file: " + SystemReason(errno);
        return false;
    }
    if (std::fread(read.data(), 1, read.size(), file_.get()) != read.size()) {
        error = std::ferror(file_.get()) ? "the file could not be read at byte " + std::to_string(offset)
                                         : "the file became shorter while it was read";
        std::clearerr(file_.get());
        return false;
    }
    bytes = std::move(read);
    return true;
}

bool ReadFileRange(const std::string& path,
                   std::uint64_t offset,
                   std::uint64_t count,
                   std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    RangeFile file;
    return file.open(path, error) && file.read(offset, count, bytes, error);
}

}  // namespace torvale
